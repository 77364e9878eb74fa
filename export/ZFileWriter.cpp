#include "export/ZFileWriter.h"

#include <algorithm>
#include <cmath>

#include "base/Convert.h"
#include "base/FloatMath.h"
#include "base/NumberFormat.h"
#include "base/Progress.h"
#include "base/StringList.h"
#include "export/ExportErrors.h"
#include "export/StationRows.h"

namespace {

void AddLine(std::string& text, const std::string& line)
{
    text.append(line).append("\r\n");
}

std::string Row(float station, float y, float value)
{
    return CFormat("%2d %7.f%8.2f%12.3e", 2, static_cast<double>(station), static_cast<double>(y),
                   static_cast<double>(value));
}

constexpr size_t kRowBytes = 32;  // line end included
constexpr size_t kEndBytes = 9;   // " 9999.0" and its line end

}  // namespace

void WriteZFile(const SurveyStore& store, const std::string& fileName,
                const std::string& firstStation, const std::string& lastStation, int count,
                bool correct)
{
    CheckRowCount(count);
    CheckTransmitterPresent(store);
    const TxData& tx = store.Transmitters.front();
    // A station gives at most the rows that its frequencies allow, each as wide as its number.
    double first = 0, last = 0;
    const bool range = TryStrToFloat(firstStation, first) && TryStrToFloat(lastStation, last);
    size_t rowBytes = 0;
    for (const TStation& station : store.ExStations) {
        double number = 0;
        const bool isNumber = TryStrToFloat(station.Name, number);
        if (isNumber && range && (number > last || number < first)) continue;
        const size_t rows = SelectRows(station.Amplitude.Count, station.Amplitude.X.size(),
                                       station.Amplitude.X.size(), count)
                                .size();
        rowBytes += rows * (kRowBytes - 7 + (isNumber ? FixedFormatBytes(number, 7, 0) : 7));
    }
    std::string plot1, plot2;
    for (const char* line :
         {"$ ZPLOT: DATA = FLOG", "$ ZPLOT: AXSTN = Vertical", "$ ZPLOT: SIZEX = 1.0",
          "$ ZPLOT: SIZEY = 1.0", "$ ZPLOT: PLTREV = No", "Contour Plot Z-File",
          "Cl Cn Ce Ns Nd Yl Plot file 1", "1 5 0 3 1 1", "CSAMT ExHy DATA", "CAGNIARD APP. RES.",
          "values in ohm-m", "$ TXID = 0"})
        AddLine(plot1, line);
    const std::string bearing = TruncText(tx.Azimuth);
    AddLine(plot1, "$ TXLEN = " + TruncText(tx.Length) + " m");
    AddLine(plot1, "$ TXBRG = " + bearing);
    AddLine(plot1, "$ TXCX = " + TruncText(tx.Cx) + " m");
    AddLine(plot1, "$ TXCY = " + TruncText(tx.Cy) + " m");
    AddLine(plot1, "$ ASPACE = 10 m");
    AddLine(plot1, "$ RXBRG = " + bearing);
    AddLine(plot1, "IIxxxxxxxxYYYYYYYYzzzzzzzzzzzz  AAA");
    for (const char* line :
         {" C1 Cn Ce Ns Nd Y1   Plot file  2", "  0 10  3  3  0  1", " CSAMT ExHy DATA",
          " IMPEDANCE PHASE", "  values in milliradians", "IIxxxxxxxxYXYYYYYYYzzzzzzzzzzzz  AAA"})
        AddLine(plot2, line);

    // Both plots are written into one text of the file's size, plot 1 from its start and plot 2
    // from where it will stand when plot 1 has all its rows: no second text grows beside the first.
    // Rows that outrun their room push the rest on; the room left over is closed at the end.
    std::string text = std::move(plot1);
    size_t end1 = text.size(), gap = end1 + rowBytes + kEndBytes;
    text.resize(gap + plot2.size() + rowBytes + kEndBytes);
    text.replace(gap, plot2.size(), plot2);
    size_t end2 = gap + plot2.size();
    auto put = [&text](size_t& at, size_t limit, const std::string& bytes) {
        const size_t room = std::min(bytes.size(), limit - at);
        text.replace(at, room, bytes);
        at += bytes.size();
        return bytes.size() - room;
    };

    const StationCurveIndex index(store);
    const StaticFactorIndex factors(store.StaticFactors);
    const double log2 = std::log(2.0);
    StationCurves curves;
    for (const TStation& station : store.ExStations) {
        ReportProgress(static_cast<size_t>(&station - store.ExStations.data()),
                       store.ExStations.size());
        const float factor = factors.FactorOf(station.Name);
        // Converted per station, so a name that is not a number fails even outside the range;
        // the name before the range text, so that the error names the station first.
        const double value = StrToFloat(station.Name);
        if (value > StrToFloat(lastStation)) continue;
        if (value < StrToFloat(firstStation)) continue;
        ExportCurves(store, index, station.Name, correct, curves);
        const float number = ToSingle(value);
        for (size_t k : SelectRows(station.Amplitude.Count, station.Amplitude.X.size(),
                                   curves.Freq.size(), count)) {
            const float y = ToSingle(CheckedLn(curves.Freq[k]) / log2 + 9);
            const size_t pushed =
                put(end1, gap, Row(number, y, ToSingle(curves.RhoMT[k] * factor)) + "\r\n");
            gap += pushed;
            end2 += pushed;
            put(end2, text.size(), Row(number, y, ToSingle(1000 * curves.PhaseDiff[k])) + "\r\n");
        }
    }
    const std::string end = " 9999.0\r\n";
    const size_t pushed = put(end1, gap, end);
    gap += pushed;
    end2 += pushed;
    text.erase(end1, gap - end1);
    end2 -= gap - end1;
    put(end2, text.size(), end);
    text.resize(end2);
    WriteFileReplacing(fileName, text);
}
