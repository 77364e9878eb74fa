#pragma once
// What the profile chart window computes, without the window: curve titles and colours, axis
// ranges, the range and legend commands and the smoothing.

#include <cstdint>
#include <string>
#include <vector>

#include "export/ProfileCurves.h"

struct AxisRange {
    double Min = 0;
    double Max = 1;
};

// Title of the curve of a Value: Value x 1000 with "##.#" and "m" above 0.001, else
// Value x 1000000 with "##.#" and "u" (256 Hz: "256m", 0.5 Hz: "500u").
std::string ProfileSeriesTitle(float value);

// One colour per curve, red in the low byte, green in the next, blue in the third: from pure blue
// to pure red. A single curve is blue.
std::vector<std::uint32_t> AssignTraceColours(size_t count);

// The label of point j of a curve: the station it stands at, or empty.
std::string ProfilePointLabel(const Profile& profile, size_t j);

// The left axis as the chart opens: a tenth of the smallest to ten times the largest amplitude of
// every curve. Only positive amplitudes count, since the axis is logarithmic; without any the
// range is 1e-6..1.
AxisRange ProfileAmplitudeRange(const std::vector<Profile>& profiles);

// The bottom axis's automatic range over the distances of every curve. On a logarithmic axis only
// positive distances count and an empty range spans a decade each side; without any value the
// range is 0..1 (linear) or 1..1000 (logarithmic).
AxisRange ProfileDistanceRange(const std::vector<Profile>& profiles, bool logarithmic);

// The text of a range input box made into a range: "lo,hi" (either order); no comma gives
// 1e-6..1; a part that does not convert (or lies beyond single precision) gives 1e-5..1 when the
// bottom axis is logarithmic, else 0..1000, for either axis.
AxisRange ParseAxisRangeText(const std::string& text, bool bottomAxisLogarithmic);

// A range the axis can show: ordered, finite, not empty, and positive on a logarithmic axis (a
// non-positive minimum becomes a thousandth of the maximum).
AxisRange UsableAxisRange(AxisRange range, bool logarithmic);

// Default texts and prompts of the window's input boxes, captioned kProfileInputCaption.
extern const char* const kProfileInputCaption;  // "Ostrelle"
extern const char* const kTitleInputPrompt;     // "输入新图名"
extern const char* const kLeftRangeInputPrompt;  // "输入垂直轴最小与最大值，数据用','隔开."
extern const char* const kLeftRangeInputDefault;    // "1.E-06,1.0"
extern const char* const kBottomRangeInputDefault;  // "1,1000.0"

// The axis-scale toggles: the caption holds "linear" when the axis is to become linear.
struct ScaleToggle {
    bool Logarithmic;
    std::string Caption;
};
ScaleToggle ToggleScale(const std::string& caption, char axisLetter);

// The legend command. "藏" in the caption hides the legend, "示" shows it; the design caption
// "&Hide legends" holds neither and acts on the legend as it is, so the first use hides the legend
// that the chart opens with.
struct LegendToggle {
    bool Visible;
    std::string Caption;
};
LegendToggle ToggleLegend(const std::string& caption, bool legendVisible);

// Smoothing of every curve of two or more points: Y[j] := (2 Y[j] + Y[j-1] + Y[j+1]) / 4 for the
// inner points in increasing j (Y[j-1] already smoothed), then Y[0] := Y[1]; the last point stays.
void SmoothProfilesHorizontally(std::vector<Profile>& profiles);
