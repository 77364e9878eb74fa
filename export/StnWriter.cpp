#include "export/StnWriter.h"

#include <cmath>

#include "base/NumberFormat.h"
#include "base/StringList.h"

namespace {

// At least the bytes of FormatFloat("#######.0", value): a sign, the integer digits (none below
// 1), the point and one decimal.
size_t PatternBytes(float value)
{
    if (std::isnan(value)) return 3;
    const double a = std::fabs(static_cast<double>(value)) + 0.05;  // rounding may add a digit
    size_t digits = 0;
    for (double power = 1; a >= power && digits < 40; power *= 10) ++digits;
    return (value < 0) + digits + 2;
}

}  // namespace

void WriteStnFile(const SurveyStore& store, const std::string& fileName)
{
    // Sized first: a text that outgrows its room is copied into one twice as large.
    size_t bytes = 32;
    for (const TStation& s : store.ExStations)
        bytes += s.Name.size() + 5 + PatternBytes(s.Info.X) + PatternBytes(s.Info.Y) +
                 PatternBytes(s.Info.Z);
    std::string text;
    text.reserve(bytes);
    text += " STN     X    Y    Z\r\n";
    for (const TStation& s : store.ExStations) {
        text += s.Name;
        for (float v : {s.Info.X, s.Info.Y, s.Info.Z}) text += " " + FormatFloat("#######.0", v);
        text += "\r\n";
    }
    WriteFileReplacing(fileName, text);
}
