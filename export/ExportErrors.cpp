#include "export/ExportErrors.h"

#include <cmath>

#include "base/Exception.h"

const char* const kZeroCountMessage = "输出频点个数为0，没有输出数据文件。";
const char* const kTooFewExStationsMessage = "MDE文件需要至少两个Ex测点，没有输出数据文件。";
const char* const kNoTransmitterMessage = "没有发射源数据，没有输出数据文件。";
const char* const kNoStationInRangeMessage = "所选测点范围内没有测点，没有输出数据文件。";
const char* const kNoHyStationMessage = "没有Hy测点数据，没有输出数据文件。";
const char* const kNoSampleInRangeMessage =
    "所选测点范围内的测点没有与Hy测点频点相同的数据，没有输出数据文件。";
const char* const kNoExStationMessage = "没有Ex测点数据，没有输出数据文件。";
const char* const kNoOutputFormatMessage =
    "数据文件名中没有.mtd、.z或.imp扩展名，没有输出数据文件。";

void CheckRowCount(int count)
{
    if (count == 0) throw EWriteError(kZeroCountMessage);
}

void CheckTransmitterPresent(const SurveyStore& store)
{
    if (store.Transmitters.empty()) throw EWriteError(kNoTransmitterMessage);
}

void CheckMdeInputs(const SurveyStore& store)
{
    if (store.ExStations.size() < 2) throw EWriteError(kTooFewExStationsMessage);
    CheckTransmitterPresent(store);
}

std::string TruncText(double value)
{
    const double t = std::trunc(value);
    if (std::isnan(t) || t >= 9223372036854775808.0 || t < -9223372036854775808.0)
        throw EInvalidOp();
    return std::to_string(static_cast<long long>(t));
}
