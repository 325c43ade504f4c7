#include "app/TorqApp.h"

#include <QApplication>

#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    // Qt takes its own options out of argv; the rest passes on as bytes, so
    // that a file name in any encoding reaches the file system unchanged.
    QApplication application(argc, argv);
    const std::vector<std::string> arguments(argv, argv + argc);
    CTorqApp torqApp;
    if (!torqApp.InitInstance(arguments)) return 1;
    return QApplication::exec();
}
