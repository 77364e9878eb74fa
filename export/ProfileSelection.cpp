#include "export/ProfileSelection.h"

#include <algorithm>
#include <cmath>

#include "base/Exception.h"
#include "base/NumberFormat.h"
#include "base/Progress.h"
#include "base/SafeFile.h"
#include "processing/CurveFiles.h"

const char* const kProfileHelpText =
    "剖面响应输出方法\n\n"
    "Ctrl+Mouse->Down-Move->Up\n\n"
    "具体的操作过程是：\n"
    "1 按下Ctrl 或者 Alt 或者 Shift\n"
    "2 鼠标移动到需要研究剖面的左侧\n"
    "3 按下鼠标左键\n"
    "4 移动鼠标\n"
    "5 在剖面右侧松开鼠标\n"
    "6 松开Ctrl 或者 Alt 或者 Shift\n\n"
    "剖面响应被自动保存在剖面同名的数据文件中.\n"
    "数据显示可直接对该文件操作。\n";

namespace {

const char* const kHeaderLines[] = {
    "Palvex Ex response along Prifle",
    "Units:: F=Hz; Re,Im,Amp = mv/Km/A; Phz = rad",
    ("        SN        SX          SY       FREQ          RE         IM          Amp"
     "            PHZ  ..."),
};

// "%10s" without stopping at a NUL byte inside the name.
std::string RightAligned(const std::string& text, size_t width)
{
    if (text.size() >= width) return text;
    return std::string(width - text.size(), ' ') + text;
}

void AppendStationLine(TextSink& out, const TStation& station)
{
    out += RightAligned(station.Name, 10);
    out += SeparatedField("%12.1f", station.Info.X);
    out += SeparatedField("%12.1f", station.Info.Y);
    // A record whose lists disagree in length is written as far as all three reach.
    size_t samples =
        std::min({station.Amplitude.X.size(), station.Amplitude.Y.size(), station.Phase.Y.size()});
    for (size_t k = 0; k < samples; ++k) {
        double f = station.Amplitude.X[k];
        double a = station.Amplitude.Y[k];
        double phi = station.Phase.Y[k];
        // Single-precision values never fill an exponent field; a phase can fill its field.
        out += CFormat("%12.4e%12.4e%12.4e%12.4e", f, a * std::cos(phi), a * std::sin(phi), a);
        out += SeparatedField("%12.4f", phi);
    }
    out += "\r\n";
}

}  // namespace

bool InsideProfileRectangle(float x, float y, double x1, double y1, double x2, double y2)
{
    double px = x, py = y;
    return (px - x1) * (px - x2) <= 0 && (py - y1) * (py - y2) <= 0;
}

void SelectProfileStations(SurveyStore& store, std::vector<std::string>& selectedStations,
                           double x1, double y1, double x2, double y2,
                           ProfileResponseDialogs& dialogs)
{
    store.ProfileIndices.clear();
    selectedStations.clear();
    for (size_t i = 0; i < store.ExStations.size(); ++i) {
        const TStation& station = store.ExStations[i];
        if (!InsideProfileRectangle(station.Info.X, station.Info.Y, x1, y1, x2, y2)) continue;
        store.ProfileIndices.push_back(static_cast<int>(i));
        selectedStations.push_back(station.Name);
    }
    if (!store.ProfileIndices.empty()) WriteProfileResponse(store, dialogs);
}

void WriteProfileResponse(const SurveyStore& store, ProfileResponseDialogs& dialogs)
{
    std::string chosen;
    if (!dialogs.ExecuteSaveDialog(chosen)) return;
    std::string fileName = ReplaceFileExtension(chosen, ".txt");
    try {
        WriteProfileResponseFile(fileName, store);
        ReportChangesMade();  // the file is there: the pick is no longer to be cancelled
    } catch (const EFCreateError& error) {
        dialogs.ReportWriteError(error.what());
    }
}

static void WriteProfileResponseText(TextSink& out, const SurveyStore& store)
{
    for (const char* line : kHeaderLines) {
        out += line;
        out += "\r\n";
    }
    for (const int& index : store.ProfileIndices) {
        ReportProgress(static_cast<size_t>(&index - store.ProfileIndices.data()),
                       store.ProfileIndices.size());
        if (index < 0 || static_cast<size_t>(index) >= store.ExStations.size()) continue;
        AppendStationLine(out, store.ExStations[index]);
    }
}

std::string ProfileResponseText(const SurveyStore& store)
{
    return TextOf([&](TextSink& out) { WriteProfileResponseText(out, store); });
}

void WriteProfileResponseFile(const std::string& fileName, const SurveyStore& store)
{
    SafeFile file(fileName);
    WriteProfileResponseText(file, store);
    ReportWorkDone();
    file.Commit();
}
