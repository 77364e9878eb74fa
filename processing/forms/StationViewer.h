#pragma once
// What the sounding-curve viewer and the correction viewer share: the chart on frequency axes,
// the panel with the step buttons, and keeping the shown station inside the Ex list.

#include <QList>

class QChart;
class QChartView;
class QHBoxLayout;
class QLabel;
class QLogValueAxis;
class QMenu;
class QToolButton;
class QWidget;
class QXYSeries;
class TForm1;
struct TStation;

// Resets CurrentStation to 0 when it lies outside ExStations (a load left a shorter list); true
// when it was reset so.
bool KeepCurrentStation(TForm1* form);
// The Ex station at CurrentStation (kept inside the list), none when the list is empty.
const TStation* ShownStation(TForm1* form);
// Moves CurrentStation by step within the Ex list; true when the view must be drawn again: moved,
// or started again at the first station of a list that became too short.
bool StepStation(TForm1* form, int step);

// A white chart with its legend on the right, holding the series in their order.
QChart* ViewerChart(const QList<QXYSeries*>& series);
// Logarithmic frequency (bottom, high frequencies on the left) and value axes for every series of
// the chart, at one decade until points come.
void AttachFrequencyAxes(QChart* chart, QLogValueAxis*& bottomAxis, QLogValueAxis*& leftAxis);
// The view "Chart1" of the chart, opening the menu on a right click, never smaller than its chart
// reads at.
QChartView* ViewerChartView(QChart* chart, QMenu* menu);

// A step button "SpeedButton1" or "SpeedButton2" that never takes the focus.
QToolButton* StepButton(const char* name, const char* caption);
// The panel "Panel1" under the chart: the two step buttons and a gap; the caller adds the rest to
// the row returned.
QHBoxLayout* StepPanel(QWidget* panel, QToolButton* previous, QToolButton* next);
// The information picture "Image1" at the end of the panel.
QLabel* InfoImage(const QWidget* window);
// The chart above the panel, filling host.
void ChartOverPanel(QWidget* host, QWidget* chart, QWidget* panel);
