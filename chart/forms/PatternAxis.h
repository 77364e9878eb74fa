#pragma once
// Chart axes labelled in the program's number patterns, which the chart axes' label formats
// cannot express: the labels are categories of a linear axis, each standing on its value.

#include <Qt>
#include <string>

class QCategoryAxis;
class QChart;
class QLogValueAxis;

// A linear axis labelled in a number pattern at round ticks (RoundTicks), relabelled whenever its
// range changes. The labels are the axis's categories, each standing on its tick value.
QCategoryAxis* PatternAxis(const std::string& pattern, int intervals = 6);
// Labels the decades of a logarithmic axis of the chart in a number pattern. The axis stays on
// the chart for its series but is hidden; in its place a linear axis over the decade exponents,
// following its range, direction and title, draws the line, the grid and the labels.
QCategoryAxis* PatternDecadeLabels(QChart* chart, QLogValueAxis* axis, Qt::Alignment alignment,
                                   const std::string& pattern);
