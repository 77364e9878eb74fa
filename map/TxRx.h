#pragma once
// The station map: the child window that shows the first transmitter line, the Ex and the Hy
// stations of the store in map coordinates. A rectangle dragged with Shift, Ctrl or Alt picks the
// stations of a profile; a drag without a key moves the drawn transmitter line (picture only).
// The main window's pop-up menu is its context menu, opened on the release of the right button.

#include <QChartView>
#include <QRectF>
#include <QMdiSubWindow>
#include <QStringList>
#include <string>
#include <vector>

#include "map/MapOwner.h"

class QCategoryAxis;
class QRubberBand;
class QGraphicsSimpleTextItem;
class QLineSeries;
class QScatterSeries;
class TForm2;

// The map's chart: hands its mouse events to the map's handlers and zooms with the wheel.
class MapChartView : public QChartView {
    Q_OBJECT
public:
    MapChartView(QChart* chart, TForm2* form);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    TForm2* form_;
};

class TForm2 : public QMdiSubWindow {
    Q_OBJECT
public:
    // Stands in the owner's area and asks the owner what a gesture needs.
    explicit TForm2(MapOwner* Owner);

    MapOwner* Owner() const { return owner_; }

    MapChartView* Chart1;
    QScatterSeries* Series2;  // "Ex"
    QScatterSeries* Series3;  // "Hy"
    QLineSeries* Series1;     // "Tx": points 0 and 1 are the electrodes A and B
    // Value axes whose labels are written in the map's number patterns ("######" and "#####";
    // zero, which they write as nothing, reads "0"), re-made on every range change.
    QCategoryAxis* BottomAxis;
    QCategoryAxis* LeftAxis;

    double AnchorX = 0.0, AnchorY = 0.0;
    double EndX = 0.0, EndY = 0.0;
    bool TxGrabbed = false;
    std::vector<std::string> SelectedStations;  // filled by the profile selection

    QStringList TitleLines;
    // The label of every point of a series, in the order of its points.
    std::vector<std::string> Series1Labels, Series2Labels, Series3Labels;

    // The chart's mouse handlers; the position is in the chart's pixels.
    void Chart1MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift,
                         QPointF Position);
    void Chart1MouseUp(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift,
                       QPointF Position);
    void Chart1MouseMove(QObject* Sender, Qt::KeyboardModifiers Shift, QPointF Position);

    // The gestures once the position is in map coordinates.
    void PressAt(double cx, double cy, bool modifier);
    void ReleaseAt(double cx, double cy, bool modifier);

    QPointF MapCoordinates(QPointF chartPixel) const;
    QPointF ChartPixel(QPointF mapPoint) const;

    // The rectangle of a drag begun with Shift, Ctrl or Alt, shown while the key is held; none
    // before the first such drag.
    const QRubberBand* ProfileBand() const { return profileBand_; }

    bool LabelsVisible() const { return labelsVisible_; }
    void SetLabelsVisible(bool visible);
    // The station-name texts over the Ex points, one per point, made when labels are shown.
    const std::vector<QGraphicsSimpleTextItem*>& StationLabels() const { return labelItems_; }

    // Axis ranges that hold every point with room for the marks.
    void FitAxes();
    // The ranges of a map that has shown no survey.
    void ClearAxes();
    void PlaceLabels();
    void RebuildLabels();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowProfileBand(QPointF to);

    MapOwner* owner_;
    bool labelsVisible_ = false;
    QRubberBand* profileBand_ = nullptr;
    bool picking_ = false;  // a press with a modifier began the drag
    QPointF bandOrigin_;    // where, in the chart's pixels
    QRectF emptyRange_;
    std::vector<QGraphicsSimpleTextItem*> labelItems_;
};

extern TForm2* Form2;

// Refills the map from the store of the main window; with no Ex station it changes nothing.
void DrawLayoutMap(const MapOwner* Form);
// Empties the map: no title, no transmitter line, no station.
void ClearLayoutMap();
