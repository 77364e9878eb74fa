#include "processing/CurveFiles.h"

#include <cmath>

#include "base/FileName.h"
#include "base/NumberFormat.h"
#include "base/SafeFile.h"

std::string ComponentName(int componentIndex)
{
    static const char* const names[] = {"Ex", "Hy", "Ey", "Hx", "Ez", "Hz"};
    if (componentIndex < 0 || componentIndex > 5) componentIndex = 5;
    return names[componentIndex];
}

std::string StationComponentFileName(const std::string& stationName, int componentIndex)
{
    return stationName + ComponentName(componentIndex) + ".txt";
}

namespace {

void WriteStationComponentText(TextSink& text, const EditorCharts& charts)
{
    const ChartSeries& a = charts.Amplitude.Present;
    const ChartSeries& p = charts.Phase.Present;
    text += " f::Hz   Amp:: V/m/A   phase:: rad\r\n";
    text += "      Freq         AMP     PHASE          RE          IM\r\n";
    for (size_t i = 0; i < p.Count() && i < a.Count(); ++i) {
        // In the real/imaginary form the charts hold Re and Im; the file's columns announce
        // amplitude and phase, so they are taken back as the write-back does.
        double amp = a.Y[i];
        double phase = p.Y[i];
        if (charts.Form == DisplayForm::ReIm) {
            amp = std::sqrt(a.Y[i] * a.Y[i] + p.Y[i] * p.Y[i]);
            phase = std::atan2(p.Y[i], a.Y[i]);
        }
        amp *= 1e-6;
        // The frequency leads the line, and always fills its field.
        text += CFormat("%10.4e", p.X[i]) + SeparatedField("%12.4e", amp) +
                SeparatedField("%10.4f", phase) + SeparatedField("%12.4e", amp * std::cos(phase)) +
                SeparatedField("%12.4e", amp * std::sin(phase));
        text += "\r\n";
    }
}

void WriteModelResponseText(TextSink& text, const EditorCharts& charts)
{
    const ChartSeries& a = charts.Amplitude.Present;
    const ChartSeries& p = charts.Phase.Present;
    text += "f/Hz     ||E||/Re[E]     Phase/Im[E]\r\n";
    for (size_t i = 0; i < a.Count() && i < p.Count(); ++i)
        text += CFormat("%12.5e %12.5e %12.5e\n\r\n", a.X[i], a.Y[i], p.Y[i]);
}

}  // namespace

std::string StationComponentFileText(const EditorCharts& charts)
{
    return TextOf([&](TextSink& text) { WriteStationComponentText(text, charts); });
}

void WriteStationComponentFile(const std::string& fileName, const EditorCharts& charts)
{
    SafeFile file(fileName);
    WriteStationComponentText(file, charts);
    file.Commit();
}

std::string ModelResponseFileText(const EditorCharts& charts)
{
    return TextOf([&](TextSink& text) { WriteModelResponseText(text, charts); });
}

std::string ReplaceFileExtension(const std::string& fileName, const std::string& ext)
{
    return ChangeFileExt(fileName, ext);
}

std::string WriteModelResponseFile(const std::string& chosenName, const EditorCharts& charts)
{
    std::string fileName = ReplaceFileExtension(chosenName, ".txt");
    SafeFile file(fileName);
    WriteModelResponseText(file, charts);
    file.Commit();
    return fileName;
}
