#include "SimWorkspace.h"

SimWorkspace& ProgramSimWorkspace()
{
    static SimWorkspace workspace;
    return workspace;
}
