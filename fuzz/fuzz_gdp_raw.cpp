// The GDP32 raw file as the open command takes it: rewritten in place, then read, and read again
// into the survey that holds the first read (a file opened twice).

#include "FuzzInput.h"
#include "import/GdpRawReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string file = fuzz::InputFile("line.raw", data, size);
    fuzz::Expecting([&] { RewriteTextFile(file); });
    SurveyStore store;
    fuzz::Expecting([&] { ReadGdpRawFile(store, file); });
    fuzz::Expecting([&] { ReadGdpRawFile(store, file); });
    fuzz::CheckStore(store);
    return 0;
}
