// The cam block reader on any input (CheckBlockReader tells what must hold).

#include "FuzzSupport.h"

#include "components/Cam.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    InstallFuzzPresenter();
    CheckBlockReader<CamData>(data, size, "input.cam");
    return 0;
}
