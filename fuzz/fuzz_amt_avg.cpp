// The AMTAVG dialect of averaged files, read into an empty survey and again into the survey that
// holds the first read.

#include "FuzzInput.h"
#include "import/AmtAvgReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string file = fuzz::InputFile("line.avg", data, size);
    SurveyStore store;
    auto pending = [] {};
    fuzz::Expecting([&] { ReadAmtAvgFile(store, file, pending); });
    fuzz::Expecting([&] { ReadAmtAvgFile(store, file, pending); });
    fuzz::CheckStore(store);
    return 0;
}
