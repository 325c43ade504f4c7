#include <cstdio>

int main()
{
    std::puts("torqwell-cli");
    return 0;
}
