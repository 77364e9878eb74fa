#include "import/ImpReader.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/Convert.h"
#include "base/Exception.h"
#include "base/FloatMath.h"
#include "base/TextStream.h"
#include "import/TransmitterLookup.h"
#include "survey/TextLines.h"

namespace {

std::string NameWithoutFolderAndExtension(const std::string& fileName)
{
    size_t slash = fileName.find_last_of("/\\");
    std::string name = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.resize(dot);
    return name;
}

// Whether the stream has reached its end as a text file reports it: nothing more to read, the
// last line read had no line end, or a line too long for the line reader ended it.
bool ReachedEnd(const TextStream& stream)
{
    if (stream.Failed()) return true;
    const std::string& text = stream.Text();
    return stream.AtEnd() && (text.empty() || text.back() != '\n');
}

void ReadFields(TextStream& stream, std::vector<std::string>& fields)
{
    std::string line;
    ReadNonBlankLine(stream, line);
    SplitFields(line, fields);
}

// A coordinate line holds one value per receiver, and a block may hold any number of them: its
// values are converted straight from the stream's text.
void ReadCoordinates(std::string_view line, size_t count, std::vector<double>& values)
{
    std::string failed;
    if (!FieldNumbers(line, count, values, failed)) throw InvalidFloat(failed);
}

// A missing token converts like an empty text: it raises the conversion error.
double Number(const std::vector<std::string>& fields, size_t k)
{
    return StrToFloat(FieldOrEmpty(fields, k));
}

int Integer(const std::vector<std::string>& fields, size_t k)
{
    return StrToInt(FieldOrEmpty(fields, k));
}

struct PolarValue {
    double Amplitude, Phase, AmplitudeError, PhaseError;
};

// The inverse of the writers' complex form: the four-quadrant phase, and the errors propagated to
// first order, so that equal errors e of Re and Im give the amplitude error e and the phase error
// e/A. A zero value has no phase: its amplitude error is the error averaged over all directions
// and its phase error pi.
PolarValue ToPolar(double re, double im, double reError, double imError)
{
    const double a = CheckedSqrt(Checked(re * re + im * im));
    if (a == 0)
        return {0, 0, CheckedSqrt(Checked(0.5 * (reError * reError + imError * imError))),
                3.141592653589793};
    const double c = re / a, s = im / a;
    const double amplitudeError =
        CheckedSqrt(Checked(c * c * reError * reError + s * s * imError * imError));
    const double phaseError =
        CheckedDiv(CheckedSqrt(Checked(s * s * reError * reError + c * c * imError * imError)), a);
    return {a, std::atan2(im, re), amplitudeError, phaseError};
}

void AddSample(TStation& station, float f, float amplitude, float phase, float amplitudeError,
               float phaseError)
{
    station.Amplitude.X.push_back(f);
    station.Amplitude.Y.push_back(amplitude);
    station.Phase.X.push_back(f);
    station.Phase.Y.push_back(phase);
    station.Errors.X.push_back(amplitudeError);
    station.Errors.Y.push_back(phaseError);
}

void ReadImpStream(SurveyStore& store, const std::string& fileName, TextStream& stream)
{
    std::string transmitterName = NameWithoutFolderAndExtension(fileName);
    std::string line;
    for (int i = 0; i < 3; ++i) ReadNonBlankLine(stream, line);
    ReadNonBlankLine(stream, line);
    if (StrToIntDef(line, 0) == 0) return;

    // The last station of a name receives the samples.
    std::unordered_map<std::string, size_t> stationIndex;
    for (size_t i = 0; i < store.ExStations.size(); ++i) stationIndex[store.ExStations[i].Name] = i;
    TransmitterLookup transmitters(store.Transmitters);

    // Start values for a first block that keeps the geometry of a block before it.
    double cx = 0, cy = 0, cz = 0, length = 1000, angle = 0;
    std::vector<std::string> fields;
    std::string_view coordinates;
    std::vector<double> xs, ys, zs;
    while (ReadNonBlankLine(stream, line) && !ReachedEnd(stream)) {
        SplitFields(line, fields);
        if (fields.empty()) break;
        double f = StrToFloat(fields[0]);
        int n = 0;
        double moment = 0;  // current x length, where the block line gives it
        int valuesPerReceiver = 2;
        if (fields.size() == 3) {
            valuesPerReceiver = Integer(fields, 1);
            n = Integer(fields, 2);
        } else if (fields.size() == 6) {
            cx = Number(fields, 1);
            cy = Number(fields, 2);
            cz = Number(fields, 3);
            Integer(fields, 4);
            n = Integer(fields, 5);
            length = 1000;
            angle = 0;
        } else if (fields.size() >= 13) {
            valuesPerReceiver = Integer(fields, 1);
            n = Integer(fields, 2);
            cx = Number(fields, 4);
            cy = Number(fields, 5);
            cz = Number(fields, 6);
            moment = Number(fields, 7);
            length = Number(fields, 8);
            Number(fields, 9);
            Number(fields, 10);
            Number(fields, 11);
            angle = Number(fields, 12);
        } else {
            break;
        }
        // The amplitude form holds no phase to read back.
        if (valuesPerReceiver == 1)
            throw EReadError(kImpAmplitudeFormMessage +
                             FileLinePlace(fileName, stream.LastLineNumber()));

        TxData tx;
        tx.Name = transmitterName;
        tx.Cx = ToSingle(cx);
        tx.Cy = ToSingle(cy);
        tx.Cz = ToSingle(cz);
        tx.Length = ToSingle(length);
        tx.Azimuth = ToSingle(angle);  // degrees, as every reader stores it
        double a = tx.Azimuth * (1.0 / 180.0) * 3.141592653589793;
        double h = tx.Length * 0.5;
        tx.Ax = ToSingle(cx - std::cos(a) * h);
        tx.Ay = ToSingle(cy - std::sin(a) * h);
        tx.Bx = ToSingle(cx + std::cos(a) * h);
        tx.By = ToSingle(cy + std::sin(a) * h);
        tx.Az = tx.Bz = tx.Cz;
        // The current is what the source moment gives over the length, so that writing the record
        // again gives the moment back.
        float current = 1.0f;
        if (fields.size() >= 13) current = ToSingle(tx.Length == 0 ? moment : moment / tx.Length);
        tx.Fip = FIP{ToSingle(f), current, 0.0f, 0.0f, 0.0f};
        const bool known = transmitters.FindSame(tx, store.Transmitters);
        if (known) transmitterName = tx.Name;

        // Receivers are read only as far as every coordinate list reaches.
        ReadNonBlankWholeLine(stream, coordinates);
        size_t receivers = std::min(static_cast<size_t>(std::max(n, 0)), CountFields(coordinates));
        ReadCoordinates(coordinates, receivers, xs);
        ReadNonBlankWholeLine(stream, coordinates);
        ReadCoordinates(coordinates, receivers, ys);
        ReadNonBlankWholeLine(stream, coordinates);
        ReadCoordinates(coordinates, receivers, zs);
        ReadNonBlankLine(stream, line);  // column headings

        // A block without receivers has no data: its source is not recorded.
        if (!known && receivers > 0) {
            transmitters.Add(tx, store.Transmitters.size());
            store.Transmitters.push_back(tx);
        }

        float frequency = tx.Fip.Freq;
        for (size_t r = 0; r < receivers; ++r) {
            ReadFields(stream, fields);
            std::string name = FieldOrEmpty(fields, 0);
            double re = Number(fields, 1);
            double im = Number(fields, 2);
            ReadFields(stream, fields);
            double reError = Number(fields, 0);
            double imError = Number(fields, 1);

            const PolarValue value = ToPolar(re, im, reError, imError);
            float amplitude = ToSingle(value.Amplitude * 1e6);
            float phase = ToSingle(value.Phase);
            float amplitudeError = ToSingle(value.AmplitudeError * 1e6);
            float phaseError = ToSingle(value.PhaseError);

            auto known = stationIndex.find(name);
            if (known != stationIndex.end()) {
                AddSample(store.ExStations[known->second], frequency, amplitude, phase,
                          amplitudeError, phaseError);
                continue;
            }
            TStation station;
            station.Name = name;
            station.Info.X = ToSingle(xs[r]);
            station.Info.Y = ToSingle(ys[r]);
            station.Info.Z = ToSingle(zs[r]);
            station.Info.HyName = transmitterName;
            station.Info.TxName = transmitterName;
            AddSample(station, frequency, amplitude, phase, amplitudeError, phaseError);
            stationIndex[name] = store.ExStations.size();
            store.ExStations.push_back(std::move(station));
        }
    }
}

}  // namespace

void ReadImpFile(SurveyStore& store, const std::string& fileName)
{
    TextStream stream;
    if (!stream.Open(fileName)) return;
    NamingConversionErrorPlace(stream, fileName, [&] { ReadImpStream(store, fileName, stream); });
}

void ReadUsfFile(SurveyStore&, const std::string&) {}

const char* const kImpAmplitudeFormMessage = "IMP文件只有Ex振幅数据，没有实部和虚部，不能加载。";
