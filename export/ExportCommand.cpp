#include "export/ExportCommand.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <set>

#include "base/AsciiText.h"
#include "base/NumberFormat.h"
#include "base/StationNumber.h"
#include "export/ExportErrors.h"
#include "export/ImpWriter.h"
#include "export/MtdWriter.h"
#include "export/StationRows.h"
#include "export/ZFileWriter.h"

void CollectFrequencies(SurveyStore& store)
{
    constexpr double kTolerance = 1e-10;
    store.OutputFreqs.clear();
    // The values taken so far, ordered, so that each test looks at two neighbours only.
    std::set<double> taken;
    for (const TStation& s : store.ExStations) {
        for (float value : s.Amplitude.X) {
            const double f = value;
            if (std::isnan(f)) {
                store.OutputFreqs.push_back(value);  // within no distance of anything
                continue;
            }
            auto above = taken.lower_bound(f);
            if (above != taken.end() && *above - f < kTolerance) continue;
            if (above != taken.begin() && f - *std::prev(above) < kTolerance) continue;
            taken.insert(f);
            store.OutputFreqs.push_back(value);
        }
    }
}

std::vector<std::string> SortedStationNames(const SurveyStore& store)
{
    std::vector<std::string> names;
    names.reserve(store.ExStations.size());
    for (const TStation& s : store.ExStations) names.push_back(s.Name);
    if (StationNamesAreNumbers(store)) {
        // Names of one value keep their store order.
        std::stable_sort(names.begin(), names.end(),
                         [](const std::string& a, const std::string& b) {
                             return PlainDecimalValue(a) < PlainDecimalValue(b);
                         });
        return names;
    }
    // std::string compares as unsigned bytes, the shorter of a name and its extension first.
    std::sort(names.begin(), names.end());
    return names;
}

std::string FrequencyItemText(float frequency)
{
    return FormatFloat("0.000000E+00", frequency);
}

std::string FrequencyCountCaption(int pointCount)
{
    return "一共" + std::to_string(pointCount) + "个频点，输出其中的";
}

std::vector<bool> FrequencyPresetChecks(size_t itemCount, int tag)
{
    const size_t n = itemCount, h = n / 2;
    std::vector<bool> checks(n, false);
    for (size_t i = 0; i < n; ++i) {
        switch (tag) {
        case 2:
            checks[i] = i < 2;
            break;
        case 4:
            checks[i] = i < 4;
            break;
        case 5:
            checks[i] = i < h;
            break;
        case -5:
            checks[i] = i > h;
            break;
        case -4:
            checks[i] = i + 4 >= n;
            break;
        case -2:
            checks[i] = i + 2 >= n;
            break;
        case 1:
            checks[i] = i % 2 == 0;
            break;
        case 0:
            checks[i] = i % 2 == 1;
            break;
        default:
            checks[i] = true;
            break;
        }
    }
    return checks;
}

ExportFormat ChooseExportFormat(const std::string& fileName, bool amplitude)
{
    const std::string lower = LowerAscii(fileName);
    if (Contains(lower, ".mtd")) return ExportFormat::Mtd;
    if (Contains(lower, ".z")) return ExportFormat::ZFile;
    if (Contains(lower, ".imp"))
        return amplitude ? ExportFormat::ImpAmplitude : ExportFormat::ImpComplex;
    return ExportFormat::None;
}

ExportFormat RunExport(SurveyStore& store, const ExportSettings& settings,
                       const ShowMessageFn& showMessage)
{
    store.OutputFreqs = settings.Frequencies;
    const ExportFormat format = ChooseExportFormat(settings.FileName, settings.Amplitude);
    const ExportSettings& s = settings;
    switch (format) {
    case ExportFormat::Mtd:
        WriteMtdAndMdeFiles(store, s.FileName, s.FromStation, s.ToStation, s.Count,
                            s.NearZoneCorrection, showMessage);
        break;
    case ExportFormat::ZFile:
        WriteZFile(store, s.FileName, s.FromStation, s.ToStation, s.Count, s.NearZoneCorrection,
                   showMessage);
        break;
    case ExportFormat::ImpComplex:
        WriteImpFileComplex(store, s.FileName, s.FromStation, s.ToStation, s.Count, s.Conjugate,
                            s.Negate, showMessage);
        break;
    case ExportFormat::ImpAmplitude:
        WriteImpFileAmplitude(store, s.FileName, s.FromStation, s.ToStation, s.Count, s.Conjugate,
                              s.Negate, showMessage);
        break;
    case ExportFormat::None:
        if (showMessage) showMessage(kNoOutputFormatMessage);
        break;
    }
    return format;
}
