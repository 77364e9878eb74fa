#pragma once
// A chart's legend in columns at the right of the chart: one entry per series, a short line in
// the series' colour and its name, top to bottom and then in the next column, as many columns as
// the entries need. Qt's own legend lays one column and cuts the entries that do not fit.
//
// The legend keeps the chart's right margin free for itself, so that neither the plot nor what
// stands in it reaches the entries. Where the columns would take more than half the chart's width
// the legend stands back, whole or not at all, and leaves the curves to what else lists them.

#include <QColor>
#include <QGraphicsObject>
#include <QString>
#include <vector>

class QChart;

class ColumnLegend : public QGraphicsObject {
public:
    // Made for the chart, whose own legend it hides; lays itself out once the chart has laid
    // itself out anew.
    explicit ColumnLegend(QChart* chart);

    struct Entry {
        QString Name;
        QColor Colour;
    };
    void SetEntries(std::vector<Entry> entries);
    void SetShown(bool shown);
    bool Shown() const { return shown_; }

    // Lays the entries out for the chart's present size.
    void Layout();

    // Each entry's place in the chart's coordinates, while the legend is drawn; none otherwise.
    std::vector<QRectF> EntryRects() const;

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    QChart* chart_;
    std::vector<Entry> entries_;
    std::vector<QRectF> places_;  // in the legend's own coordinates
    QRectF bounds_;
    bool shown_ = true;
    bool drawn_ = false;
    bool laying_ = false;
    int baseRightMargin_;
};
