#include "processing/CorrectionCurves.h"

#include "base/Exception.h"
#include "base/NumberFormat.h"
#include "base/SafeFile.h"
#include "processing/NearFieldCorrection.h"

void ComputeCorrectionCurves(const SurveyStore& store, const std::string& stationName,
                             CorrectionCurves& result)
{
    result = CorrectionCurves();
    StationCurves& c = result.Curves;
    ComputeStationCurves(store, stationName, c);
    result.StoredFreq = c.Freq;
    result.UncorrectedMT = c.RhoMT;
    result.Order = CorrectNearTransitionZone(c.Freq, c.RhoMT, c.RhoExHyN, c.Distance);
}

std::string ResistivityComparisonFileName(const std::string& stationName)
{
    return stationName + "_RES_COMP.TXT";
}

namespace {

void WriteResistivityComparison(TextSink& text, const CorrectionCurves& curves)
{
    text += " Aparent Resistivity from MT  E/N_N AND CORRECTION\r\n";
    text += "Freq      RhoMT     Rho[E/H]  RhoCor\r\n";
    const size_t n = curves.Order.size();
    std::vector<size_t> sortedAt(n);
    for (size_t k = 0; k < n; ++k) sortedAt[curves.Order[k]] = k;
    for (size_t s = 0; s < n; ++s) {
        const size_t k = sortedAt[s];
        text += CFormat("%10.4e", curves.StoredFreq[s]) +
                SeparatedField("%10.2e", curves.UncorrectedMT[s]) +
                SeparatedField("%10.2e", curves.Curves.RhoExHyN[k]) +
                SeparatedField("%10.2e", curves.Curves.RhoMT[k]);
        text += "\r\n";
    }
}

}  // namespace

std::string ResistivityComparisonText(const CorrectionCurves& curves)
{
    return TextOf([&](TextSink& text) { WriteResistivityComparison(text, curves); });
}

bool WriteResistivityComparisonFile(const std::string& fileName, const CorrectionCurves& curves)
{
    try {
        SafeFile file(fileName);
        WriteResistivityComparison(file, curves);
        file.Commit();
    } catch (const EFCreateError&) {
        return false;
    }
    return true;
}
