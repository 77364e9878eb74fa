#include "export/ZFileWriter.h"

#include <cmath>

#include "base/Convert.h"
#include "base/FloatMath.h"
#include "base/NumberFormat.h"
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

constexpr size_t kRowBytes = 32;  // line end included, with room for wide values

}  // namespace

void WriteZFile(const SurveyStore& store, const std::string& fileName,
                const std::string& firstStation, const std::string& lastStation, int count,
                bool correct)
{
    CheckRowCount(count);
    CheckTransmitterPresent(store);
    const TxData& tx = store.Transmitters.front();
    // Plot 2 is appended to plot 1 at the end; both are sized at once for all their rows.
    size_t rows = 0;
    for (const TStation& station : store.ExStations)
        rows += MaxSelectedRows(station.Amplitude.X.size());
    std::string plot1, plot2;
    plot1.reserve(2 * (1024 + rows * kRowBytes));
    plot2.reserve(1024 + rows * kRowBytes);
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

    const StationCurveIndex index(store);
    const StaticFactorIndex factors(store.StaticFactors);
    const double log2 = std::log(2.0);
    StationCurves curves;
    for (const TStation& station : store.ExStations) {
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
            AddLine(plot1, Row(number, y, ToSingle(curves.RhoMT[k] * factor)));
            AddLine(plot2, Row(number, y, ToSingle(1000 * curves.PhaseDiff[k])));
        }
    }
    AddLine(plot1, " 9999.0");
    AddLine(plot2, " 9999.0");
    plot1 += plot2;
    WriteFileReplacing(fileName, plot1);
}
