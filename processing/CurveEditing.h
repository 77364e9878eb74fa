#pragma once
// The curve editor's two charts as data: what they show of a station, the point gestures on them
// and the write-back of their values into the station. The window only paints these series.

#include <string>
#include <vector>

#include "survey/ChartSeries.h"
#include "survey/Records.h"

// Item index of the editor's display-form choice.
enum class DisplayForm { AmpPhase = 0, ReIm = 1 };

// Item index of the amplitude step's range choice.
enum class ScaleRange { All = 0, LeftOfCursor = 1, RightOfCursor = 2 };

// The four series of one chart, by role.
struct CurveChart {
    ChartSeries Present;   // the shown station; the only series the user edits
    ChartSeries Raw;       // the shown station as it was at the last drawing
    ChartSeries Previous;  // the station before it in the list
    ChartSeries Next;      // the station after it
};

// Both charts with the form in which they were drawn, which the write-back goes by.
struct EditorCharts {
    CurveChart Amplitude;  // amplitudes, or real parts in the real/imaginary form
    CurveChart Phase;      // phases in rad, or imaginary parts
    DisplayForm Form = DisplayForm::AmpPhase;

    EditorCharts();
};

// The chart points of a station in a form: x the frequencies, then the amplitude chart's and the
// phase chart's values. Only samples present in all three value lists are taken.
void StationChartValues(const TStation& station, DisplayForm form, std::vector<double>& x,
                        std::vector<double>& amplitudeChart, std::vector<double>& phaseChart);

// Draws stations[index] with its neighbours in a form: Present and Raw from the station, Previous
// and Next from the stations before and after it (empty, with an empty title, at the ends).
void DrawStation(EditorCharts& charts, const std::vector<TStation>& stations, int index,
                 DisplayForm form);

// What the editor shows when it opens: only the two Present series, from the station in the
// amplitude/phase form; every other series stays empty and every title as it was.
void DrawOpeningStation(EditorCharts& charts, const TStation& station);

// The first point, in ascending frequency, whose frequency X satisfies low*X < x < high*X; -1
// when none does.
int FindPointNear(const ChartSeries& series, double x, double low, double high);

// A click on a Present series at data values (x, y): picks the first point within 0.9 to 1.1 of
// its frequency. A right click toggles the picked point's flag, any other button moves its y to
// the click. Returns the picked index, -1 when none (then nothing changes).
int ClickPoint(ChartSeries& present, double x, double y, bool rightButton);

// Moves a segment of the phase curve by one offset so that the reference point (the first within
// 0.75 to 1.5 of its frequency) lands on y: the points up to it with left, from it on otherwise.
// Returns false when no point is near x.
bool ShiftPhaseSegment(ChartSeries& phasePresent, double x, double y, bool left);

// Multiplies the y of the points in a range by a factor: all, those below cursorIndex, or those
// from cursorIndex on.
void ScaleAmplitudes(ChartSeries& amplitudePresent, double factor, ScaleRange range,
                     int cursorIndex);

// The amplitude step's factor in single precision: 1.05 up, 0.95 down.
float AmplitudeStepFactor(bool up);

// Writes both Present series into the station by frequency, in the form the charts were drawn
// in: a sample takes the last point whose frequency lies within a relative 1e-4 of the sample's
// (relative to the point's); samples no point matches keep their values.
void StoreChartToStation(const EditorCharts& charts, TStation& station);

// Position in stations of the first record named exactly name; index keeps its value when none.
void FindCurrentStation(const std::vector<TStation>& stations, const std::string& name, int& index);
