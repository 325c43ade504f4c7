// The airflow block reader on any input (CheckBlockReader tells what must hold).

#include "FuzzSupport.h"

#include "components/CylHeadFlow.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    InstallFuzzPresenter();
    CheckBlockReader<CylHeadFlowData>(data, size, "input.flw");
    return 0;
}
