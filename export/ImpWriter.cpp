#include "export/ImpWriter.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "base/FloatMath.h"
#include "base/NumberFormat.h"
#include "base/StringList.h"

const char* const kNoFrequencySelectedMessage = "No frequency selected.";

namespace {

constexpr double kFrequencyTolerance = 1e-10;
// Room for a block line and the column line; for one receiver's three coordinates and two lines
// without its name.
constexpr size_t kBlockBytes = 256;
constexpr size_t kReceiverBytes = 3 * 13 + 32 + 42;

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

void AddLine(std::string& text, const std::string& line)
{
    text.append(line).append("\r\n");
}

void AddCoordinateLine(std::string& text, const std::vector<Receiver>& receivers,
                       float info::*coordinate)
{
    for (const Receiver& r : receivers)
        text += CFormat("%13.3f", static_cast<double>(r.Station->Info.*coordinate));
    text += "\r\n";
}

std::string BlockLine(const TxData& tx, int valuesPerReceiver, size_t receivers)
{
    const double angle = tx.Azimuth;
    return CFormat("%12.6e%12d%12d%12d%12.1f%12.1f%12.1f%12.1f%12.1f%12.1f%12.1f%12.1f%12.1f",
                   static_cast<double>(tx.Fip.Freq), valuesPerReceiver, static_cast<int>(receivers),
                   2, static_cast<double>(tx.Cx), static_cast<double>(tx.Cy),
                   static_cast<double>(tx.Cz), static_cast<double>(tx.Fip.Current) * tx.Length,
                   static_cast<double>(tx.Length), 1.0, angle, 0.0, angle);
}

void AddReceiverLines(std::string& text, const Receiver& r, ImpForm form, double s1, double s2)
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

void WriteImpFile(const SurveyStore& store, const std::string& fileName, ImpForm form,
                  bool conjugate, bool negate, const ShowMessageFn& showMessage)
{
    if (store.OutputFreqs.empty()) {
        if (showMessage) showMessage(kNoFrequencySelectedMessage);
        return;
    }
    std::unordered_map<std::string, std::vector<const TStation*>> byTransmitter;
    for (const TStation& s : store.ExStations) byTransmitter[s.Info.TxName].push_back(&s);

    struct Block {
        const TxData* Transmitter;
        std::vector<Receiver> Receivers;
    };
    std::vector<Block> blocks;
    size_t capacity = 256;
    for (const TxData& tx : store.Transmitters) {
        const double f = tx.Fip.Freq;
        if (!ContainsFrequency(f, store.OutputFreqs)) continue;
        auto stations = byTransmitter.find(tx.Name);
        if (stations == byTransmitter.end()) continue;
        Block block{&tx, {}};
        for (const TStation* s : stations->second) {
            const size_t n = UsableSamples(*s, form);
            for (size_t k = 0; k < n; ++k) {
                if (std::fabs(s->Amplitude.X[k] - f) < kFrequencyTolerance) {
                    block.Receivers.push_back({s, k});
                    capacity += kReceiverBytes + s->Name.size();
                    break;
                }
            }
        }
        if (block.Receivers.empty()) continue;
        capacity += kBlockBytes;
        blocks.push_back(std::move(block));
    }

    // One allocation for the whole file: growing a large text step by step costs more than
    // formatting it.
    std::string text;
    text.reserve(capacity);
    AddLine(text, "Description: Ex responses from Palvex ");
    AddLine(text, "Units: V/m/A");
    AddLine(text, "Sign convension:   1 ");
    AddLine(text, "");
    AddLine(text, std::to_string(blocks.size()));
    const double s1 = negate ? -1 : 1;
    const double s2 = conjugate ? -1 : 1;
    for (const Block& block : blocks) {
        AddLine(text, BlockLine(*block.Transmitter, form == ImpForm::Complex ? 2 : 1,
                                block.Receivers.size()));
        AddCoordinateLine(text, block.Receivers, &info::X);
        AddCoordinateLine(text, block.Receivers, &info::Y);
        AddCoordinateLine(text, block.Receivers, &info::Z);
        AddLine(text, form == ImpForm::Complex ? "                 Re(Ex)         Im(Ex)"
                                               : "                 |Ex|");
        for (const Receiver& r : block.Receivers) AddReceiverLines(text, r, form, s1, s2);
    }
    WriteFileReplacing(fileName, text);
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
