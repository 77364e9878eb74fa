// The CSAMT dialect of averaged files, read into an empty survey and again into the survey that
// holds the first read.

#include "FuzzInput.h"
#include "import/CsamtAvgReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string file = fuzz::InputFile("line.avg", data, size);
    SurveyStore store;
    bool otherDialect = false;
    fuzz::Expecting([&] { ReadCsamtAvgFile(store, file, &otherDialect); });
    fuzz::Expecting([&] { ReadCsamtAvgFile(store, file, &otherDialect); });
    fuzz::CheckStore(store);
    return 0;
}
