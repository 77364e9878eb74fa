#include "export/ImpWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_map>

#include "base/FloatMath.h"
#include "base/NumberFormat.h"
#include "base/Progress.h"
#include "base/SafeFile.h"

const char* const kNoFrequencySelectedMessage = "No frequency selected.";
const char* const kNoImpBlockMessage = "所选频点没有发射源和测点数据，没有输出数据文件。";

namespace {

constexpr double kFrequencyTolerance = 1e-10;

enum class ImpForm { Complex, Amplitude };

struct Receiver {
    const TStation* Station;
    size_t Sample;
};

// Samples a form can use: those present in every list it reads.
size_t UsableSamples(const TStation& s, ImpForm form)
{
    size_t n = std::min(s.Amplitude.X.size(), s.Amplitude.Y.size());
    if (form == ImpForm::Complex)
        n = std::min({n, s.Phase.Y.size(), s.Errors.X.size(), s.Errors.Y.size()});
    return n;
}

void AddLine(TextSink& text, std::string_view line)
{
    text += line;
    text += "\r\n";
}

void AddCoordinateLine(TextSink& text, const std::vector<Receiver>& receivers,
                       float info::*coordinate)
{
    for (const Receiver& r : receivers)
        text += SeparatedField("%13.3f", static_cast<double>(r.Station->Info.*coordinate));
    text += "\r\n";
}

// The frequencies a record gives blocks at, each with the current of its source moment: its own
// Fip, or, when that has no frequency (as the AVG readers leave it), each frequency of its FipList
// in list order with current 1, as its amplitudes are per ampere already.
template <typename Take>
void ForEachRecordFrequency(const TxData& tx, Take&& take)
{
    if (tx.Fip.Freq == 0 && !tx.FipList.empty()) {
        for (const FIP& fip : tx.FipList) take(fip.Freq, 1.0f);
        return;
    }
    take(tx.Fip.Freq, tx.Fip.Current);
}

std::string BlockLine(const TxData& tx, float frequency, float current, int valuesPerReceiver,
                      size_t receivers)
{
    const double angle = tx.Azimuth;
    std::string line = CFormat("%12.6e%12d%12d%12d", static_cast<double>(frequency),
                               valuesPerReceiver, static_cast<int>(receivers), 2);
    for (double value : {static_cast<double>(tx.Cx), static_cast<double>(tx.Cy),
                         static_cast<double>(tx.Cz), static_cast<double>(current) * tx.Length,
                         static_cast<double>(tx.Length), 1.0, angle, 0.0, angle})
        line += SeparatedField("%12.1f", value);
    return line;
}

void AddReceiverLines(TextSink& text, const Receiver& r, ImpForm form, double s1, double s2)
{
    const TStation& s = *r.Station;
    const double a = s.Amplitude.Y[r.Sample] * 1e-6;
    if (form == ImpForm::Amplitude) {
        text += CFormat("%10s%15.6e\r\n", s.Name.c_str(), Checked(a));
        text += CFormat("%25.6e\r\n", 1e-9);
        return;
    }
    const double ph = s.Phase.Y[r.Sample];
    const double sa = s.Errors.X[r.Sample] * 1e-6;
    const double sph = s.Errors.Y[r.Sample];
    const double c = std::cos(ph), n = std::sin(ph);
    const double re = Checked(s1 * a * c);
    const double im = Checked(s1 * s2 * a * n);
    const double eRe = CheckedSqrt(c * c * sa * sa + n * n * a * a * sph * sph);
    const double eIm = CheckedSqrt(n * n * sa * sa + c * c * a * a * sph * sph);
    text += CFormat("%10s%15.6e%15.6e\r\n", s.Name.c_str(), re, im);
    text += CFormat("%25.6e%15.6e\r\n", Checked(eRe), Checked(eIm));
}

// The receivers of a record, in store order: stations of its name, each with its first sample at
// the record's frequency.
void CollectReceivers(const std::vector<const TStation*>& stations, double f, ImpForm form,
                      std::vector<Receiver>& receivers)
{
    receivers.clear();
    for (const TStation* s : stations) {
        const size_t n = UsableSamples(*s, form);
        for (size_t k = 0; k < n; ++k) {
            if (std::fabs(s->Amplitude.X[k] - f) < kFrequencyTolerance) {
                receivers.push_back({s, k});
                break;
            }
        }
    }
}

const char* ColumnLine(ImpForm form)
{
    return form == ImpForm::Complex ? "                 Re(Ex)         Im(Ex)"
                                    : "                 |Ex|";
}

void WriteImpFile(const SurveyStore& store, const std::string& fileName, ImpForm form,
                  bool conjugate, bool negate, const ShowMessageFn& showMessage)
{
    if (store.OutputFreqs.empty()) {
        if (showMessage) showMessage(kNoFrequencySelectedMessage);
        return;
    }
    std::unordered_map<std::string, std::vector<const TStation*>> byTransmitter;
    for (const TStation& s : store.ExStations) byTransmitter[s.Info.TxName].push_back(&s);
    const int valuesPerReceiver = form == ImpForm::Complex ? 2 : 1;

    // The records that get a block, with their block lines; the receivers are collected again per
    // block while writing, so that nothing grows with the file.
    struct Block {
        double Freq;
        const std::vector<const TStation*>* Stations;
        std::string Line;
    };
    std::vector<Block> blocks;
    std::vector<Receiver> receivers;
    for (const TxData& tx : store.Transmitters) {
        auto stations = byTransmitter.find(tx.Name);
        ForEachRecordFrequency(tx, [&](float frequency, float current) {
            const double f = frequency;
            if (!ContainsFrequency(f, store.OutputFreqs)) return;
            if (stations == byTransmitter.end()) return;
            CollectReceivers(stations->second, f, form, receivers);
            if (receivers.empty()) return;
            blocks.push_back(
                {f, &stations->second,
                 BlockLine(tx, frequency, current, valuesPerReceiver, receivers.size())});
        });
    }
    if (blocks.empty()) {
        if (showMessage) showMessage(kNoImpBlockMessage);
        return;
    }
    const char* const header[] = {"Description: Ex responses from Palvex ", "Units: V/m/A",
                                  "Sign convension:   1 ", ""};
    SafeFile text(fileName);
    for (const char* line : header) AddLine(text, line);
    AddLine(text, std::to_string(blocks.size()));
    const double s1 = negate ? -1 : 1;
    const double s2 = conjugate ? -1 : 1;
    for (const Block& block : blocks) {
        ReportProgress(static_cast<size_t>(&block - blocks.data()), blocks.size());
        CollectReceivers(*block.Stations, block.Freq, form, receivers);
        AddLine(text, block.Line);
        AddCoordinateLine(text, receivers, &info::X);
        AddCoordinateLine(text, receivers, &info::Y);
        AddCoordinateLine(text, receivers, &info::Z);
        AddLine(text, ColumnLine(form));
        for (const Receiver& r : receivers) AddReceiverLines(text, r, form, s1, s2);
    }
    ReportWorkDone();
    text.Commit();
}

}  // namespace

bool ContainsFrequency(double f, const std::vector<float>& list)
{
    for (float entry : list)
        if (std::fabs(entry - f) < kFrequencyTolerance) return true;
    return false;
}

void WriteImpFileComplex(const SurveyStore& store, const std::string& fileName,
                         const std::string& /*firstStation*/, const std::string& /*lastStation*/,
                         int /*count*/, bool conjugate, bool negate,
                         const ShowMessageFn& showMessage)
{
    WriteImpFile(store, fileName, ImpForm::Complex, conjugate, negate, showMessage);
}

void WriteImpFileAmplitude(const SurveyStore& store, const std::string& fileName,
                           const std::string& /*firstStation*/, const std::string& /*lastStation*/,
                           int /*count*/, bool /*conjugate*/, bool /*negate*/,
                           const ShowMessageFn& showMessage)
{
    WriteImpFile(store, fileName, ImpForm::Amplitude, false, false, showMessage);
}
