#pragma once
// Chart axes labelled in the program's number patterns, which the chart axes' label formats
// cannot express: the labels are categories of a linear axis, each standing on its value.

#include <Qt>
#include <string>

class QAbstractAxis;
class QCategoryAxis;
class QChart;
class QLogValueAxis;

// A linear axis labelled in a number pattern at round ticks (RoundTicks), relabelled whenever its
// range changes. The labels are the axis's categories, each standing on its tick value; a tick
// the pattern writes as nothing, such as zero in "#####", reads in its short form (TickLabel).
QCategoryAxis* PatternAxis(const std::string& pattern, int intervals = 6);
// A pattern axis along the bottom or the top of the chart labels fewer intervals where its
// labels would not keep apart on the chart's plot; any other axis stays as it is.
void FitPatternAxisToPlot(QChart* chart, QAbstractAxis* axis);
// Labels every decade of a logarithmic axis of the chart in a number pattern, those below 1
// that the pattern cannot write in their short form (DecadeLabel). The axis stays on the chart
// for its series but is hidden; in its place a linear axis over the decade exponents, following
// its range, direction and title, draws the line, the grid and the labels; where the plot is too
// short to hold them apart, every few of them is drawn.
QCategoryAxis* PatternDecadeLabels(QChart* chart, QLogValueAxis* axis, Qt::Alignment alignment,
                                   const std::string& pattern);
