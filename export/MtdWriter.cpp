#include "export/MtdWriter.h"

#include <algorithm>
#include <cmath>

#include "base/FileName.h"
#include "base/FloatMath.h"
#include "base/NumberFormat.h"
#include "base/Progress.h"
#include "base/SafeFile.h"
#include "export/ExportErrors.h"
#include "export/StationRows.h"

namespace {

const char* const kMtdHeader[] = {
    "\"Stn\",\"GridE\",\"GridN\",\"Elev\",\"Freq\",\"ARTMobs\",\"ARTMerr\",\"ZPTMobs\","
    "\"ZPTMerr\",\"ARTEobs\",\"ARTEerr\",\"ZPTEobs\",\"ZPTEerr\",\"ARTMmod\",\"ZPTMmod\","
    "\"ARTEmod\",\"ZPTEmod\"",
    "\"Modeling results updated by RSCS2D v2.00f Date:19/04/99 Time:10:06\"",
    "\"From S2D2D v2.00f Date:19/04/99 Time:10:02:56\"",
};

// The rows of every station in the range, after the header.
void MtdText(TextSink& text, const SurveyStore& store, const StationCurveIndex& index,
             const StationRange& range, int count, bool correct)
{
    for (const char* line : kMtdHeader) {
        text += line;
        text += "\r\n";
    }
    const StaticFactorIndex factors(store.StaticFactors);
    StationCurves curves;
    for (const TStation& station : store.ExStations) {
        ReportProgress(static_cast<size_t>(&station - store.ExStations.data()),
                       store.ExStations.size());
        const float factor = factors.FactorOf(station.Name);
        if (!range.Contains(station.Name)) continue;
        ExportCurves(store, index, station.Name, correct, curves);
        for (size_t k : SelectRows(station.Amplitude.Count, station.Amplitude.X.size(),
                                   curves.Freq.size(), count)) {
            const double rho = Checked(ToSingle(curves.RhoMT[k]) * factor);
            const double phase = 1000 * curves.PhaseDiff[k];
            text += CFormat(
                "%5s,%10.1f,%10.1f,%7.1f,%10.4e,%10.2f,%4.1f,%10.2f,%4.2f,%10.2f,%4.2f,%10.2f,%4."
                "2f,"
                " , , , ,",
                station.Name.c_str(), station.Info.X, station.Info.Y, station.Info.Z,
                curves.Freq[k], rho, 0.6, phase, 0.6, rho, 0.6, phase, 0.6);
            text += "\r\n";
        }
    }
}

// Whether the range gives rows; when it gives none, the message saying why is shown.
bool HasRows(const SurveyStore& store, const StationCurveIndex& index, const StationRange& range,
             const ShowMessageFn& showMessage)
{
    const char* reason =
        NoRowsReason(store, index, [&](const TStation& s) { return range.Contains(s.Name); });
    if (reason && showMessage) showMessage(reason);
    return !reason;
}

void MdeText(TextSink& text, const SurveyStore& store)
{
    CheckMdeInputs(store);
    const double x0 = store.ExStations[0].Info.X;
    const double dx = store.ExStations[1].Info.X - x0;
    const TxData& tx = store.Transmitters.front();
    const double ax = tx.Ax, ay = tx.Ay, bx = tx.Bx, by = tx.By;
    const double length = std::sqrt((ax - bx) * (ax - bx) + (ay - by) * (ay - by));
    const std::string bearing = TruncText(store.RotationAngle);
    const std::string spacing = TruncText(dx);

    const std::string lines[] = {
        "$ JOBLINE=1-2",
        "$ BRGLINE=" + bearing,
        "$ BRGBACK=N00W",
        "$ UNITS=meter",
        "$ STNLO  =" + TruncText(x0),
        "$ STNDELT=" + spacing,
        "$ LBLFRST=" + CFormat("%12.1f", static_cast<double>(ToSingle(x0 + 0.5 * dx))),
        "$ LBLDELT=" + spacing,
        "$ SurveyType=Scalar",
        "$ TxType=Bipole",
        "$ TxLen= " + TruncText(length),
        "$ TxBrg= " + bearing,
        "$ TxCX =" + TruncText((ax + bx) * 0.5),
        "$ TxCY =" + TruncText((ay + by) * 0.5),
        "$ TxDis=8700",
        "$ Rx2Tx= North",
        "$ RxBrg= S00E",
        "$ aspace= " + spacing,
        "$ MODSECT: PLOT = Surfer",
        "$ MODSECT: LNUNITS = m",
    };
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
}

}  // namespace

bool WriteMtdFile(const SurveyStore& store, const std::string& fileName,
                  const std::string& firstStation, const std::string& lastStation, int count,
                  bool correct, const ShowMessageFn& showMessage)
{
    CheckRowCount(count);
    const StationRange range(store, firstStation, lastStation);
    const StationCurveIndex index(store);
    if (!HasRows(store, index, range, showMessage)) return false;
    SafeFile text(fileName);
    MtdText(text, store, index, range, count, correct);
    ReportWorkDone();
    text.Commit();
    return true;
}

std::string MdeFileName(const std::string& fileName)
{
    return ChangeFileExt(fileName, ".mde");
}

void WriteMdeFile(const SurveyStore& store, const std::string& fileName)
{
    WriteFileReplacing(MdeFileName(fileName),
                       TextOf([&](TextSink& text) { MdeText(text, store); }));
}

bool WriteMtdAndMdeFiles(const SurveyStore& store, const std::string& fileName,
                         const std::string& firstStation, const std::string& lastStation, int count,
                         bool correct, const ShowMessageFn& showMessage)
{
    CheckRowCount(count);
    CheckMdeInputs(store);
    const StationRange range(store, firstStation, lastStation);
    const StationCurveIndex index(store);
    if (!HasRows(store, index, range, showMessage)) return false;
    const FileSetOutcome outcome = WriteFileSet(
        {{fileName, [&](TextSink& text) { MtdText(text, store, index, range, count, correct); }},
         {MdeFileName(fileName), [&](TextSink& text) { MdeText(text, store); }}},
        ReportWorkDone);
    if (!outcome.Saved()) throw EWriteError(FileSetMessage(outcome));
    return true;
}
