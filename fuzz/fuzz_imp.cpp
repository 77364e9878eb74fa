// The IMP response file, read into an empty survey and again into the survey that holds the first
// read.

#include "FuzzInput.h"
#include "import/ImpReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string file = fuzz::InputFile("line.imp", data, size);
    SurveyStore store;
    fuzz::Expecting([&] { ReadImpFile(store, file); });
    fuzz::Expecting([&] { ReadImpFile(store, file); });
    fuzz::CheckStore(store);
    return 0;
}
