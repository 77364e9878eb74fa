#include "export/ProfileChart.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/Convert.h"
#include "base/NumberFormat.h"

const char* const kProfileInputCaption = "Ostrelle";
const char* const kTitleInputPrompt = "输入新图名";
const char* const kLeftRangeInputPrompt = "输入垂直轴最小与最大值，数据用','隔开.";
const char* const kLeftRangeInputDefault = "1.E-06,1.0";
const char* const kBottomRangeInputDefault = "1,1000.0";

namespace {

// Smallest and largest value that passes the filter; false when none does.
template <typename Filter>
bool ValueBounds(const std::vector<Profile>& profiles, bool ordinate, Filter accept, double& lo,
                 double& hi)
{
    bool any = false;
    for (const Profile& profile : profiles) {
        for (float v : ordinate ? profile.Y : profile.X) {
            if (!std::isfinite(v) || !accept(v)) continue;
            if (!any || v < lo) lo = v;
            if (!any || v > hi) hi = v;
            any = true;
        }
    }
    return any;
}

bool Positive(float v)
{
    return v > 0;
}
bool Any(float)
{
    return true;
}

bool ToSingleRange(const std::string& text, double& value)
{
    if (!TryStrToFloat(text, value)) return false;
    if (std::fabs(value) > std::numeric_limits<float>::max()) return false;
    value = static_cast<float>(value);
    return true;
}

}  // namespace

std::string ProfileSeriesTitle(float value)
{
    double v = value;
    if (v > 0.001) return FormatFloat("##.#", v * 1000) + "m";
    return FormatFloat("##.#", v * 1000000) + "u";
}

std::vector<std::uint32_t> AssignTraceColours(size_t count)
{
    std::vector<std::uint32_t> colours;
    // One curve would divide by zero; it takes the first colour of the run.
    float step = count > 1 ? static_cast<float>(255.0 / static_cast<double>(count - 1)) : 0.0f;
    for (size_t i = 0; i < count; ++i) {
        double shifted = static_cast<double>(i) * step;
        auto red = static_cast<std::uint32_t>(std::clamp(std::trunc(shifted), 0.0, 255.0));
        auto blue = static_cast<std::uint32_t>(std::clamp(std::trunc(255 - shifted), 0.0, 255.0));
        colours.push_back(red | (blue << 16));
    }
    return colours;
}

std::string ProfilePointLabel(const Profile& profile, size_t j)
{
    return j < profile.Labels.size() ? profile.Labels[j] : std::string();
}

AxisRange ProfileAmplitudeRange(const std::vector<Profile>& profiles)
{
    double lo = 0, hi = 0;
    if (!ValueBounds(profiles, true, Positive, lo, hi)) return {1e-6, 1.0};
    return UsableAxisRange({std::pow(10.0, std::log10(lo) - 1), std::pow(10.0, std::log10(hi) + 1)},
                           true);
}

AxisRange ProfileDistanceRange(const std::vector<Profile>& profiles, bool logarithmic)
{
    double lo = 0, hi = 0;
    bool any = logarithmic ? ValueBounds(profiles, false, Positive, lo, hi)
                           : ValueBounds(profiles, false, Any, lo, hi);
    if (!any) return logarithmic ? AxisRange{1, 1000} : AxisRange{0, 1};
    return UsableAxisRange({lo, hi}, logarithmic);
}

AxisRange ParseAxisRangeText(const std::string& text, bool bottomAxisLogarithmic)
{
    size_t comma = text.find(',');
    if (comma == std::string::npos) return {1e-6f, 1.0};
    double lo = 0, hi = 0;
    if (!ToSingleRange(text.substr(0, comma), lo) || !ToSingleRange(text.substr(comma + 1), hi))
        return bottomAxisLogarithmic ? AxisRange{1e-5f, 1.0} : AxisRange{0, 1000};
    if (lo > hi) std::swap(lo, hi);
    return {lo, hi};
}

AxisRange UsableAxisRange(AxisRange range, bool logarithmic)
{
    double lo = range.Min, hi = range.Max;
    if (!std::isfinite(lo) || !std::isfinite(hi))
        return logarithmic ? AxisRange{1, 1000} : AxisRange{0, 1};
    if (lo > hi) std::swap(lo, hi);
    if (logarithmic) {
        if (hi <= 0) return {1, 1000};
        if (lo <= 0) lo = hi / 1000;
        if (lo == hi) {
            lo /= 10;
            hi *= 10;
        }
    } else if (lo == hi) {
        double pad = lo == 0 ? 1.0 : std::fabs(lo) * 0.1;
        lo -= pad;
        hi += pad;
    }
    return {lo, hi};
}

ScaleToggle ToggleScale(const std::string& caption, char axisLetter)
{
    std::string letter(1, axisLetter);
    if (caption.find("linear") != std::string::npos) return {false, letter + " is logarithmic"};
    return {true, letter + " is linear"};
}

LegendToggle ToggleLegend(const std::string& caption, bool legendVisible)
{
    const LegendToggle hide{false, "显示图例"};
    const LegendToggle show{true, "隐藏图例"};
    if (caption.find("藏") != std::string::npos) return hide;
    if (caption.find("示") != std::string::npos) return show;
    return legendVisible ? hide : show;
}

void SmoothProfilesHorizontally(std::vector<Profile>& profiles)
{
    for (Profile& profile : profiles) {
        std::vector<float>& y = profile.Y;
        size_t n = std::min(profile.X.size(), y.size());
        if (n < 2) continue;
        for (size_t j = 1; j + 1 < n; ++j) {
            y[j] = static_cast<float>((2.0 * y[j] + y[j - 1] + y[j + 1]) * 0.25);
        }
        y[0] = y[1];
    }
}
