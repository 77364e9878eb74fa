#pragma once
// The smallest size at which a chart still reads: its plot at least kReadablePlotHeight pixels
// tall and kReadablePlotWidth wide, with room for every axis label and title and for the whole
// legend around it. A window keeps its charts' views at least that large, so that its own
// minimum size, which the tile arrangements respect, is the size at which its charts read.

#include <QObject>
#include <QSize>
#include <functional>

class QChartView;

// A plot this tall holds the labels of a logarithmic axis over ten decades at every second decade
// and lets a point be dragged; this wide it shows a line's course over the stations.
constexpr int kReadablePlotHeight = 100;
constexpr int kReadablePlotWidth = 150;
// A low strip of values under another chart, as the static-shift ratios: three labels tall.
constexpr int kReadableStripHeight = 40;

class ReadableChart : public QObject {
    Q_OBJECT
public:
    // Follows the chart of the view, whose minimum size it keeps from then on in place of the
    // chart's own.
    ReadableChart(QChartView* view, QSize plot);

    // The view's minimum size: the most room the chart took around its plot, plus the plot; at
    // least the legend's whole height where it stands beside the plot, or its whole width above or
    // below it, with the room around it.
    QSize Minimum() const { return minimum_; }
    // The room that the chart holds now and gives up before its plot shrinks (a gap the window
    // drops when it is short, a legend that stands back where it would crowd the plot), asked
    // at each layout of the chart: not counted in the minimum. Room about to come counts as
    // spare before it comes, room about to go until it has gone.
    void SetSpare(std::function<QSize()> spare);
    // The room of a part that comes and goes with the chart's size (a legend beside the plot in
    // as many columns as its height needs, drawn only where it takes no more than half the
    // chart), asked at each layout of the chart: counted in the minimum as it is now.
    void SetPassing(std::function<QSize()> passing);

signals:
    void MinimumChanged();

private:
    void Measure();

    QChartView* view_;
    QSize plot_;
    std::function<QSize()> spare_;
    std::function<QSize()> passing_;
    QSize around_;  // the most the chart took around its plot, spare and passing room aside
    QSize legendNeeds_{0, 0};  // the most extent of the legend's entries, with its margins
    QSize minimum_;
};

// The view keeps the minimum size at which its chart reads, for a plot of the size given.
ReadableChart* KeepChartReadable(QChartView* view,
                                 QSize plot = QSize(kReadablePlotWidth, kReadablePlotHeight));
