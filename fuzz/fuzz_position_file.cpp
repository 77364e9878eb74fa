// The station position editor's file load, and the text the editor would save from it.

#include "FuzzInput.h"
#include "geometry/PositionFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string file = fuzz::InputFile("points.pos", data, size);
    PositionGrid grid;
    fuzz::Expecting([&] {
        if (LoadPositionFile(file, grid)) PositionFileText(grid);
    });
    return 0;
}
