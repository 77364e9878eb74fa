#pragma once
// The static-shift window: along the profile the "MT" value of every Ex station at the reference
// frequency beside "REF" from the magnetic field alone; dragging an "MT" point sets the ratio
// "SEC" of dragged to computed value, and "校正静位移" stores those ratios as the stations'
// static-shift factors and writes "SEC.txt". A child window of the main window; at most one
// exists.

#include <QChartView>
#include <QMargins>
#include <QMarginsF>
#include <QMdiSubWindow>
#include <vector>

#include "processing/StaticShift.h"

class QCheckBox;
class QGraphicsRectItem;
class QHBoxLayout;
class QLabel;
class QLineSeries;
class QMenu;
class QScatterSeries;
class QToolButton;
class QValueAxis;
class ReadableChart;
class TForm1;
class TForm4;

// The upper chart: hands its mouse events to the window's drag handlers.
class StaticShiftChartView : public QChartView {
    Q_OBJECT
public:
    StaticShiftChartView(QChart* chart, TForm4* form);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TForm4* form_;
};

class TForm4 : public QMdiSubWindow {
    Q_OBJECT
public:
    explicit TForm4(TForm1* Owner);
    ~TForm4() override;

    StaticShiftChartView* Chart1;
    QLineSeries* Series1;     // "MT", moved by dragging
    QScatterSeries* Series2;  // "MT-RAW"
    QScatterSeries* Series4;  // "REF"
    QValueAxis* BottomAxis1;
    QValueAxis* LeftAxis1;
    QGraphicsRectItem* LegendBand;  // the silver band behind the upper chart's legend
    QCheckBox* SEC_CHECKBOX;        // "获得静位移曲线": dragging allowed
    QChartView* Chart2;
    QLineSeries* Series3;  // "SEC"
    QValueAxis* BottomAxis2;
    QValueAxis* LeftAxis2;

    QWidget* Panel1;
    QLabel* StaticText1;
    QToolButton* SpeedButton1;  // "校正静位移"
    QLabel* Label1;

    QMenu* PopupMenu1;
    QAction* N1;  // "复制静态效应对比曲线"
    QAction* N2;  // "输出静态效应曲线", hidden

    // The stations' points by ascending station number: entry i is point i of every series.
    std::vector<StaticShiftPoint> Points;
    int DragPoint = -1;  // index of the "MT" point being dragged, -1 when none
    // While a point is dragged, Chart1 paints again only around the moved point: DragRepaint
    // after the last move.
    QRect DragRepaint;
    void SetDragPoint(int point);
    QRectF DragSpan() const;

    // Places a point per value (raising the conversion error of a name that is not a number,
    // after showing the stations placed before it).
    void PlacePoints(const std::vector<StaticShiftValue>& values);
    // Refills the series from Points and fits the axes.
    void FillSeries();

    // The drag; positions are in Chart1's pixels.
    void Chart1MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift,
                         QPointF Position);
    void Chart1MouseMove(QObject* Sender, Qt::KeyboardModifiers Shift, QPointF Position);
    void Chart1MouseUp(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift,
                       QPointF Position);
    // Where a chart value of Series1 lies in Chart1's pixels.
    QPointF ChartPixel(QPointF value) const;

    // Short of the height at which both charts read with the silver band and the hint text, the
    // window gives up their room first: the band and its gap go, the hint text goes and the panel
    // keeps the button alone. Its minimum size is that of the charts read so. A hint text too
    // long for the panel's width goes as well, rather than show cut.
    bool Compact() const { return compact_; }
    QSize minimumSizeHint() const override;

public slots:
    void SpeedButton1Click(QObject* Sender = nullptr);
    void N1Click(QObject* Sender = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FitToSize();
    void SetCompact(bool compact);
    int CompactPanelHeight() const;

    TForm1* owner_;
    QWidget* client_ = nullptr;
    QHBoxLayout* panelRow_ = nullptr;
    ReadableChart* readable1_ = nullptr;
    ReadableChart* readable2_ = nullptr;
    QMarginsF legendMargins_;  // the legend's own, without the band's gap
    QMargins panelMargins_;    // the panel row's, with the hint text
    bool compact_ = false;
};

extern TForm4* Form4;

// The command "显示静态效应": brings an open window back, or computes the values and opens one.
void OpenStaticShiftWindow(TForm1* Form);
