#include "export/ZFileWriter.h"

#include <algorithm>
#include <cmath>

#include "base/Convert.h"
#include "base/FloatMath.h"
#include "base/NumberFormat.h"
#include "base/Progress.h"
#include "base/SafeFile.h"
#include "export/ExportErrors.h"
#include "export/StationRows.h"

namespace {

void AddLine(TextSink& text, std::string_view line)
{
    text += line;
    text += "\r\n";
}

void AddRow(TextSink& text, float station, float y, float value)
{
    text += CFormat("%2d %7.f%8.2f%12.3e\r\n", 2, static_cast<double>(station),
                    static_cast<double>(y), static_cast<double>(value));
}

// Whether a station's name, as a number, lies in the range; the name is converted before the range
// texts, so that an error names the station first.
bool InNumberRange(const TStation& station, const std::string& first, const std::string& last)
{
    const double value = StrToFloat(station.Name);
    return !(value > StrToFloat(last)) && !(value < StrToFloat(first));
}

}  // namespace

void WriteZFile(const SurveyStore& store, const std::string& fileName,
                const std::string& firstStation, const std::string& lastStation, int count,
                bool correct, const ShowMessageFn& showMessage)
{
    CheckRowCount(count);
    CheckTransmitterPresent(store);
    // Stations are tried in store order, so that a name that is not a number fails as the
    // writing would.
    const StationCurveIndex index(store);
    if (const char* reason = NoRowsReason(store, index, [&](const TStation& s) {
            return InNumberRange(s, firstStation, lastStation);
        })) {
        if (showMessage) showMessage(reason);
        return;
    }
    const TxData& tx = store.Transmitters.front();
    SafeFile text(fileName);
    for (const char* line :
         {"$ ZPLOT: DATA = FLOG", "$ ZPLOT: AXSTN = Vertical", "$ ZPLOT: SIZEX = 1.0",
          "$ ZPLOT: SIZEY = 1.0", "$ ZPLOT: PLTREV = No", "Contour Plot Z-File",
          "Cl Cn Ce Ns Nd Yl Plot file 1", "1 5 0 3 1 1", "CSAMT ExHy DATA", "CAGNIARD APP. RES.",
          "values in ohm-m", "$ TXID = 0"})
        AddLine(text, line);
    const std::string bearing = TruncText(tx.Azimuth);
    AddLine(text, "$ TXLEN = " + TruncText(tx.Length) + " m");
    AddLine(text, "$ TXBRG = " + bearing);
    AddLine(text, "$ TXCX = " + TruncText(tx.Cx) + " m");
    AddLine(text, "$ TXCY = " + TruncText(tx.Cy) + " m");
    AddLine(text, "$ ASPACE = 10 m");
    AddLine(text, "$ RXBRG = " + bearing);
    AddLine(text, "IIxxxxxxxxYYYYYYYYzzzzzzzzzzzz  AAA");
    // The two plots hold the same rows, plot 2 after all of plot 1: the curves are made once for
    // each plot, so that no row waits in memory for its place.
    const StaticFactorIndex factors(store.StaticFactors);
    const double log2 = std::log(2.0);
    StationCurves curves;
    for (const bool phase : {false, true}) {
        if (phase)
            for (const char* line :
                 {" C1 Cn Ce Ns Nd Y1   Plot file  2", "  0 10  3  3  0  1", " CSAMT ExHy DATA",
                  " IMPEDANCE PHASE", "  values in milliradians",
                  "IIxxxxxxxxYXYYYYYYYzzzzzzzzzzzz  AAA"})
                AddLine(text, line);
        for (const TStation& station : store.ExStations) {
            const size_t n = store.ExStations.size();
            ReportProgress(
                (phase ? n : 0) + static_cast<size_t>(&station - store.ExStations.data()), 2 * n);
            const float factor = factors.FactorOf(station.Name);
            // Converted per station, so a name that is not a number fails even outside the range.
            if (!InNumberRange(station, firstStation, lastStation)) continue;
            ExportCurves(store, index, station.Name, correct, curves);
            const float number = ToSingle(StrToFloat(station.Name));
            for (size_t k : SelectRows(station.Amplitude.Count, station.Amplitude.X.size(),
                                       curves.Freq.size(), count)) {
                const float y = ToSingle(CheckedLn(curves.Freq[k]) / log2 + 9);
                AddRow(text, number, y,
                       phase ? ToSingle(1000 * curves.PhaseDiff[k])
                             : ToSingle(curves.RhoMT[k] * factor));
            }
        }
        AddLine(text, " 9999.0");
    }
    ReportWorkDone();
    text.Commit();
}
