// The source keys of an MDE file, and the electrodes the transmitter dialog derives from them.

#include "FuzzInput.h"
#include "geometry/TransmitterSetup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string file = fuzz::InputFile("source.mde", data, size);
    fuzz::Expecting([&] {
        MdeSource source;
        if (LoadMdeSource(file, source) == MdeLoad::Loaded) ElectrodesFromSource(source);
    });
    return 0;
}
