#include "import/CsamtAvgReader.h"

#include <cmath>
#include <unordered_set>
#include <vector>

#include "base/AsciiText.h"
#include "base/Convert.h"
#include "base/FloatMath.h"
#include "base/NumberFormat.h"
#include "base/TextStream.h"
#include "import/RelativeTests.h"
#include "import/TagMatcher.h"
#include "survey/TextLines.h"

namespace {

using Fields = std::vector<std::string>;

// A data row's or a merged entry's frequency within this ratio of one of the transmitter's is it.
constexpr double kFrequencyTolerance = 1e-4;

// The files' degrees are turned into radians with this value of pi, not the exact one.
double DegreesToRadians(double degrees)
{
    return degrees * (1.0 / 180.0) * 3.1415926;
}

// A column that must be a number; a missing column fails like a malformed one.
double Number(const Fields& fields, size_t column)
{
    return StrToFloat(FieldOrEmpty(fields, column));
}

// The station label of a channel row: the x text of the first electrode or sensor, or its y text
// when the wire runs along the y axis; a ".0" in it turns the label into its whole number.
std::string StationLabel(const Fields& fields, bool vertical)
{
    std::string label = FieldOrEmpty(fields, vertical ? 5 : 4);
    if (Contains(label, ".0")) label = CFormat("%.0f", std::trunc(StrToFloat(label)) + 0.0);
    return label;
}

class CsamtAvgFile {
public:
    explicit CsamtAvgFile(TextStream& stream) : stream_(stream) {}
    void Read();
    // Whether the file gave a channel row, a frequency or a data row.
    bool HasData() const { return hasData_; }
    size_t TagSteps() const { return tags_.Work(); }
    void Merge(SurveyStore& store);

private:
    bool NextLine() { return stream_.ReadLine(line_); }
    void ReadSurveyBlock();
    void ReadChannelBlock();
    bool ReadFrequencyTable();
    bool ReadDataTable(TStation* receiver);
    TStation* ExTableReceiver();
    const std::string& LineName() const { return hy_.Info.HyName; }

    TextStream& stream_;
    std::string line_;  // the current line
    Fields fields_;
    TxData tx_;
    TStation hy_;
    std::vector<TStation> ex_;
    TagIndex tags_;  // over the tags of ex_
    RelativeIndex fipByFrequency_{kFrequencyTolerance};
    double elevation_ = 0;
    bool vertical_ = false;
    bool hasData_ = false;
};

void CsamtAvgFile::Read()
{
    while (!stream_.Exhausted()) {
        NextLine();
        if (line_.empty()) continue;
        if (Contains(line_, "<Survey")) {
            ReadSurveyBlock();
            continue;
        }
        if (Contains(line_, "<Channel")) {
            ReadChannelBlock();
            continue;
        }
        if (Contains(line_, "<Data>")) continue;
        // A table ends at a line that is then tried against the keywords after its own only.
        bool current = true;
        if (Contains(LowerAscii(line_), "id:tx")) current = ReadFrequencyTable();
        if (current && Contains(LowerAscii(line_), "id:ex"))
            current = ReadDataTable(ExTableReceiver());
        if (current && Contains(LowerAscii(line_), "id:hy")) current = ReadDataTable(&hy_);
        if (current && Contains(line_, "<End>")) break;
    }
}

void CsamtAvgFile::ReadSurveyBlock()
{
    while (NextLine() && !line_.empty()) {
        SplitFields(line_, fields_);
        if (Contains(line_, "Site") && fields_.size() > 1) tx_.Name = fields_[1];
        if (Contains(line_, "Line:") && fields_.size() > 1) hy_.Info.HyName = fields_[1];
        if (Contains(line_, "Elevation")) elevation_ = Number(fields_, 1);
    }
}

void CsamtAvgFile::ReadChannelBlock()
{
    if (!NextLine()) return;  // heading
    while (NextLine() && !line_.empty()) {
        SplitFields(line_, fields_);
        std::string lower = LowerAscii(line_);
        if (Contains(lower, "tx") || Contains(lower, "ex") || Contains(lower, "hy"))
            hasData_ = true;
        if (Contains(lower, "tx")) {
            tx_.Name = FieldOrEmpty(fields_, 1);
            tx_.Ax = ToSingle(Number(fields_, 4));
            tx_.Ay = ToSingle(Number(fields_, 5));
            tx_.Az = ToSingle(Number(fields_, 6));
            tx_.Bx = ToSingle(Number(fields_, 9));
            tx_.By = ToSingle(Number(fields_, 10));
            tx_.Bz = ToSingle(Number(fields_, 11));
        }
        vertical_ = tx_.Ax == tx_.Bx;
        if (Contains(lower, "ex")) {
            double x1 = Number(fields_, 4), y1 = Number(fields_, 5), z1 = Number(fields_, 6);
            double x2 = Number(fields_, 9), y2 = Number(fields_, 10), z2 = Number(fields_, 11);
            TStation station;
            station.Info.HyName = LineName();
            station.Info.Tag = FieldOrEmpty(fields_, 2);
            station.Name = LineName() + StationLabel(fields_, vertical_);
            station.Info.X = ToSingle((x1 + x2) * 0.5);
            station.Info.Y = ToSingle((y1 + y2) * 0.5);
            double z = (z1 + z2) * 0.5;
            station.Info.Z = ToSingle(z == 0 ? elevation_ : z);
            ex_.push_back(std::move(station));
        }
        if (Contains(lower, "hy")) {
            float x = ToSingle(Number(fields_, 4));
            float y = ToSingle(Number(fields_, 5));
            float z = ToSingle(Number(fields_, 6));
            hy_.Name = LineName() + StationLabel(fields_, vertical_);
            hy_.Info.X = x;
            hy_.Info.Y = y;
            hy_.Info.Z = z;
        }
    }
}

// Returns whether the line that ended the table is still to be tried; false at the end of the file.
bool CsamtAvgFile::ReadFrequencyTable()
{
    if (!NextLine()) return false;  // heading
    while (NextLine()) {
        SplitFields(line_, fields_);
        if (fields_.empty()) return true;
        FIP fip;
        double frequency = Number(fields_, 0);
        double current = Number(fields_, 1);
        double currentError = Number(fields_, 2);
        std::string phase = FieldOrEmpty(fields_, 3);
        if (!phase.empty() && phase.back() == 'e') phase.pop_back();
        double phaseDegrees = StrToFloat(phase);
        double phaseError = Number(fields_, 4);
        fip.Freq = ToSingle(frequency);
        fip.Current = ToSingle(current);
        fip.Phase = ToSingle(DegreesToRadians(phaseDegrees));
        fip.CurrentErr = ToSingle(current * currentError * 0.01);
        fip.PhaseErr = ToSingle(DegreesToRadians(phaseError));
        tx_.FipList.push_back(fip);
        fipByFrequency_.Add(fip.Freq, tx_.FipList.size() - 1);
        hasData_ = true;
    }
    return false;
}

// The Ex station that an "id:ex" line names by its tag, else the file's first; none without one.
// The first station in channel order whose tag occurs in the line wins.
TStation* CsamtAvgFile::ExTableReceiver()
{
    if (ex_.empty()) return nullptr;
    size_t best = tags_.FirstIn(ex_, line_);
    return &ex_[best < ex_.size() ? best : 0];
}

// A receiver of null reads the table's rows and keeps none.
bool CsamtAvgFile::ReadDataTable(TStation* receiver)
{
    if (!NextLine()) return false;  // heading
    while (NextLine()) {
        SplitFields(line_, fields_);
        double frequency = 0;
        if (fields_.empty() || !TryStrToFloat(fields_[0], frequency)) return true;
        if (!receiver) continue;
        size_t fip = fipByFrequency_.FindFirst(frequency, [&](size_t i) {
            return WithinRelative(frequency, tx_.FipList[i].Freq, frequency, kFrequencyTolerance);
        });
        double divisor = fip == RelativeIndex::npos ? 1.0 : tx_.FipList[fip].Current;
        double amplitude = CheckedDiv(Number(fields_, 1), divisor);
        double amplitudeError = Number(fields_, 2);
        double phase = Number(fields_, 3);
        double phaseError = Number(fields_, 4);
        float f = ToSingle(frequency);
        receiver->Amplitude.X.push_back(f);
        receiver->Amplitude.Y.push_back(ToSingle(amplitude));
        receiver->Errors.X.push_back(ToSingle(amplitude * (amplitudeError * 0.01)));
        receiver->Errors.Y.push_back(ToSingle(DegreesToRadians(phaseError)));
        receiver->Phase.X.push_back(f);
        receiver->Phase.Y.push_back(ToSingle(DegreesToRadians(phase)));
        hasData_ = true;
    }
    return false;
}

void CsamtAvgFile::Merge(SurveyStore& store)
{
    // The geometry may raise a floating-point error: compute it before the store changes.
    ComputeTransmitterGeometry(tx_);

    std::unordered_set<std::string> exNames;
    for (const TStation& station : store.ExStations) exNames.insert(station.Name);
    for (TStation& station : ex_) {
        station.Info.TxName = tx_.Name;
        station.Info.HyName = hy_.Name;
        if (exNames.insert(station.Name).second) store.ExStations.push_back(std::move(station));
    }

    hy_.Info.TxName = tx_.Name;
    bool knownHy = false;
    for (const TStation& station : store.HyStations) {
        if (station.Name == hy_.Name) {
            knownHy = true;
            break;
        }
    }
    if (!knownHy) store.HyStations.push_back(hy_);

    for (TxData& known : store.Transmitters) {
        if (known.Name != tx_.Name) continue;
        RelativeIndex held(kFrequencyTolerance);
        for (size_t i = 0; i < known.FipList.size(); ++i) held.Add(known.FipList[i].Freq, i);
        for (const FIP& fip : tx_.FipList) {
            size_t found = held.FindFirst(fip.Freq, [&](size_t i) {
                float stored = known.FipList[i].Freq;
                return WithinRelative(stored, fip.Freq, stored, kFrequencyTolerance);
            });
            if (found != RelativeIndex::npos) continue;
            known.FipList.push_back(fip);
            held.Add(fip.Freq, known.FipList.size() - 1);
        }
        return;
    }
    store.Transmitters.push_back(std::move(tx_));
}

}  // namespace

void ReadCsamtAvgFile(SurveyStore& store, const std::string& fileName, bool* OtherDialect,
                      CsamtAvgReadWork* work)
{
    TextStream stream;
    if (!stream.Open(fileName)) return;
    std::string first;
    stream.ReadLine(first);
    // The other dialect's signature decides, also where the converter that wrote the file names
    // itself with "CSAMT" on the same line.
    if (Contains(first, "AMTAVG") || !Contains(UpperAscii(first), "CSAMT")) {
        if (OtherDialect) *OtherDialect = true;
        return;
    }
    CsamtAvgFile file(stream);
    NamingConversionErrorPlace(stream, fileName, [&] { file.Read(); });
    if (work) work->TagSteps += file.TagSteps();
    // A file that gave no row adds no station and no transmitter of its own.
    if (file.HasData()) file.Merge(store);
}
