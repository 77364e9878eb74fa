#include "import/AmtAvgReader.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "base/AsciiText.h"
#include "base/Convert.h"
#include "base/FloatMath.h"
#include "base/NumberFormat.h"
#include "base/Progress.h"
#include "base/TextStream.h"
#include "import/EHStationMerge.h"
#include "import/RelativeTests.h"
#include "survey/TextLines.h"

namespace {

using Fields = std::vector<std::string>;

// A field as a single-precision number; false when it is missing, no number, or beyond the range.
bool TryField(const Fields& fields, size_t k, float& value)
{
    double number = 0;
    if (!TryStrToFloat(FieldOrEmpty(fields, k), number) || std::fabs(number) > FLT_MAX)
        return false;
    value = static_cast<float>(number);
    return true;
}

float FieldOr(const Fields& fields, size_t k, float fallback)
{
    float value = 0;
    return TryField(fields, k, value) ? value : fallback;
}

float CappedAt100(float value)
{
    return value > 100 ? 100.0f : value;
}

// One data row: the fields as read, then as they are kept.
struct Row {
    int flag = 0;
    std::string name;
    float freq, txCurrent, eAmp, ePhase, hAmp, hPhase, col9, col10, eAmpErr, ePhaseErr, hAmpErr,
        hPhaseErr, col15, col16, col17;
};

// Parses a row as one guarded block: false abandons it. The station value follows every numeric
// name, also of a row that is abandoned afterwards.
bool ParseRow(const Fields& fields, float& stationValue, Row& row)
{
    double flag = std::trunc(StrToFloatDef(fields[0], 2));
    row.flag = flag > INT_MAX ? INT_MAX : flag < INT_MIN ? INT_MIN : static_cast<int>(flag);

    row.name = FieldOrEmpty(fields, 1);
    double value = 0;
    if (TryStrToFloat(row.name, value)) {
        stationValue =
            std::fabs(value) > FLT_MAX ? std::copysign(INFINITY, value) : static_cast<float>(value);
        if (row.name.find('.') == row.name.size() - 1)
            row.name = CFormat("%.0f", std::trunc(static_cast<double>(stationValue)) + 0.0);
    }

    if (!TryField(fields, 2, row.freq) || !TryField(fields, 4, row.txCurrent) ||
        !TryField(fields, 5, row.eAmp) || !TryField(fields, 6, row.ePhase) ||
        !TryField(fields, 7, row.hAmp) || !TryField(fields, 8, row.hPhase) ||
        !TryField(fields, 9, row.col9) || !TryField(fields, 10, row.col10))
        return false;
    row.eAmpErr = CappedAt100(FieldOr(fields, 11, 100));
    row.hAmpErr = CappedAt100(FieldOr(fields, 13, 100));
    row.col15 = CappedAt100(FieldOr(fields, 15, 100));
    row.ePhaseErr = FieldOr(fields, 12, 0.1f);
    row.hPhaseErr = FieldOr(fields, 14, 0.1f);
    row.col16 = FieldOr(fields, 16, 0.1f);
    row.col17 = 9999;
    return fields.size() != 18 || TryField(fields, 17, row.col17);
}

// Whether a row passes the validity check; field 0 must then be an integer text (EConvertError).
bool IsValidRow(const Fields& fields, float stationValue, const Row& row)
{
    if (std::fabs(std::trunc(static_cast<double>(stationValue))) > 100000) return false;
    if (static_cast<double>(row.col9) <= 0.001) return false;
    return StrToInt(fields[0]) != 0;
}

// Fields as read to the survey's units: radians, absolute amplitude errors.
void ConvertRow(Row& row)
{
    row.ePhase = ToSingle(row.ePhase * 0.001);
    row.hPhase = ToSingle(row.hPhase * 0.001);
    row.col10 = ToSingle(row.col10 * 0.001);
    row.ePhaseErr = ToSingle(row.ePhaseErr * 0.001);
    row.hPhaseErr = ToSingle(row.hPhaseErr * 0.001);
    row.eAmp = ToSingle(row.eAmp * 3.1415926 * 0.25 * 0.001);
    row.hAmp = ToSingle(row.hAmp * 3.1415926 * 0.25 * 0.001);
    row.eAmpErr = ToSingle(static_cast<double>(row.eAmp) * row.eAmpErr * 0.01);
    row.hAmpErr = ToSingle(static_cast<double>(row.hAmp) * row.hAmpErr * 0.01);
}

void AppendRow(TEHStation& station, const Row& row)
{
    station.Flags.push_back(row.flag);
    station.Freq.push_back(row.freq);
    station.TxCurrent.push_back(row.txCurrent);
    station.EAmp.push_back(row.eAmp);
    station.EPhase.push_back(row.ePhase);
    station.HAmp.push_back(row.hAmp);
    station.HPhase.push_back(row.hPhase);
    station.Col9.push_back(row.col9);
    station.Col10.push_back(row.col10);
    station.EAmpErr.push_back(row.eAmpErr);
    station.EPhaseErr.push_back(row.ePhaseErr);
    station.HAmpErr.push_back(row.hAmpErr);
    station.HPhaseErr.push_back(row.hPhaseErr);
    station.Col15.push_back(row.col15);
    station.Col16.push_back(row.col16);
    station.Col17.push_back(row.col17);
}

// Gathers a row into EHStations, by name through an index that gives what FindEHStation gives.
class Gatherer {
public:
    explicit Gatherer(std::vector<TEHStation>& stations) : stations_(stations) {}

    void Add(const Row& row, float stationValue)
    {
        long index = Find(row.name);
        if (index < 0) {
            TEHStation station;
            station.Name = row.name;
            station.StationValue = stationValue;
            AppendRow(station, row);
            stations_.push_back(std::move(station));
            index_[row.name] = stations_.size() - 1;
            indexedCount_ = stations_.size();
            frequencies_.push_back(FrequencyIndex(stations_.back().Freq));
            return;
        }
        TEHStation& station = stations_[static_cast<size_t>(index)];
        RelativeIndex& frequencies = frequencies_[static_cast<size_t>(index)];
        if (frequencies.Size() != station.Freq.size()) frequencies = FrequencyIndex(station.Freq);
        bool held = frequencies.FindFirst(row.freq, [&](size_t i) {
            return WithinRelative(row.freq, station.Freq[i], station.Freq[i], kFrequencyTolerance);
        }) != RelativeIndex::npos;
        if (held) return;
        AppendRow(station, row);
        frequencies.Add(row.freq, station.Freq.size() - 1);
    }

private:
    long Find(const std::string& name)
    {
        // Pending messages run between rows; should the list have changed meanwhile, index afresh.
        if (indexedCount_ != stations_.size()) Rebuild();
        auto found = index_.find(name);
        if (found == index_.end()) return -1;
        if (found->second >= stations_.size() || stations_[found->second].Name != name) {
            Rebuild();
            found = index_.find(name);
            if (found == index_.end()) return -1;
        }
        indexedCount_ = stations_.size();
        return static_cast<long>(found->second);
    }

    void Rebuild()
    {
        index_.clear();
        frequencies_.clear();
        for (size_t i = 0; i < stations_.size(); ++i) {
            index_[stations_[i].Name] = i;  // last wins
            frequencies_.push_back(FrequencyIndex(stations_[i].Freq));
        }
        indexedCount_ = stations_.size();
    }

    // A row's frequency within this ratio of one the station holds is a repeated reading.
    static constexpr double kFrequencyTolerance = 0.001;

    static RelativeIndex FrequencyIndex(const std::vector<float>& freq)
    {
        RelativeIndex index(kFrequencyTolerance);
        for (size_t k = 0; k < freq.size(); ++k) index.Add(freq[k], k);
        return index;
    }

    std::vector<TEHStation>& stations_;
    std::unordered_map<std::string, size_t> index_;
    std::vector<RelativeIndex> frequencies_;  // the Freq list of each entry of stations_
    size_t indexedCount_ = 0;
};

}  // namespace

void ReadAmtAvgFile(SurveyStore& store, const std::string& fileName,
                    const std::function<void()>& processMessages)
{
    auto letMessagesRun = [&processMessages] {
        if (processMessages) processMessages();
    };

    TextStream stream;
    if (!stream.Open(fileName)) return;
    store.EHStations.clear();
    std::string line;
    stream.ReadLine(line);
    if (!Contains(line, "AMTAVG")) return;

    std::string transmitterId = "1";
    Fields fields;
    bool headerEnded = false;
    Gatherer gatherer(store.EHStations);
    NamingConversionErrorPlace(stream, fileName, [&] {
        while (!headerEnded && stream.ReadLine(line)) {
            // After an "ASPACE" line's value is taken, the other checks look at that value only.
            std::string tested = line;
            if (Contains(line, "ASPACE")) {
                SplitFields(line, fields);
                tested = FieldOrEmpty(fields, 2);
                if (tested.find_first_of("mM") != std::string::npos) tested.pop_back();
                StrToFloat(tested);  // the dipole spacing is not used, but must be a number
            }
            if (Contains(tested, "XMTR")) {
                SplitFields(tested, fields);
                transmitterId = fields.back();
                size_t dot = transmitterId.find('.');
                if (dot != std::string::npos) transmitterId.erase(dot, 50);
            }
            headerEnded = Contains(tested, "++-");
        }

        float stationValue = 0;  // until the first row with a numeric name
        Row row;
        while (headerEnded && stream.ReadLine(line)) {
            ReportProgress(stream.Position(), stream.Text().size());
            SplitFields(line, fields);
            if (fields.empty()) continue;
            if (!ParseRow(fields, stationValue, row)) continue;
            if (!IsValidRow(fields, stationValue, row)) {
                letMessagesRun();
                continue;
            }
            ConvertRow(row);
            gatherer.Add(row, stationValue);
        }
    });
    letMessagesRun();

    EHStationMerger merger(store);
    for (const TEHStation& station : store.EHStations) merger.Add(station, transmitterId);
}
