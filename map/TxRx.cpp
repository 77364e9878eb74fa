#include "map/TxRx.h"

#include <QCategoryAxis>
#include <QCloseEvent>
#include <QGraphicsSimpleTextItem>
#include <QLineSeries>
#include <QMdiArea>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QScatterSeries>
#include <QValueAxis>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "chart/forms/ChartParts.h"
#include "chart/forms/MarkLayer.h"
#include "chart/forms/PatternAxis.h"
#include "chart/forms/ReadableChart.h"
#include "chart/forms/PointLabels.h"
#include "survey/SurveyStore.h"

TForm2* Form2 = nullptr;

namespace {

constexpr double kTxGrabPixels = 4.0;  // how near a press must come to the drawn transmitter line

double PixelDistanceToSegment(QPointF p, QPointF a, QPointF b)
{
    const QPointF ab = b - a;
    const double length2 = QPointF::dotProduct(ab, ab);
    const double t =
        length2 > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / length2, 0.0, 1.0) : 0.0;
    const QPointF d = p - (a + t * ab);
    const double distance = std::hypot(d.x(), d.y());
    return std::isfinite(distance) ? distance : std::numeric_limits<double>::infinity();
}

bool IsModifier(Qt::KeyboardModifiers keys)
{
    return (keys & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) != 0;
}

}  // namespace

MapChartView::MapChartView(QChart* chart, TForm2* form) : QChartView(chart), form_(form)
{
    // The menu must open on the release, after the release gesture.
    setContextMenuPolicy(Qt::PreventContextMenu);
    setRenderHint(QPainter::Antialiasing);
}

void MapChartView::mousePressEvent(QMouseEvent* event)
{
    form_->Owner()->RunMapGesture([&] {
        form_->Chart1MouseDown(this, event->button(), event->modifiers(), event->position());
    });
    QChartView::mousePressEvent(event);
}

void MapChartView::mouseReleaseEvent(QMouseEvent* event)
{
    form_->Owner()->RunMapGesture([&] {
        form_->Chart1MouseUp(this, event->button(), event->modifiers(), event->position());
    });
    QChartView::mouseReleaseEvent(event);
    if (event->button() == Qt::RightButton)
        form_->Owner()->PopupMapMenu(event->globalPosition().toPoint());
}

// The second press of a double click arrives here instead of as a press.
void MapChartView::mouseDoubleClickEvent(QMouseEvent* event)
{
    form_->Owner()->RunMapGesture([&] {
        form_->Chart1MouseDown(this, event->button(), event->modifiers(), event->position());
    });
    QChartView::mouseDoubleClickEvent(event);
}

void MapChartView::mouseMoveEvent(QMouseEvent* event)
{
    form_->Owner()->RunMapGesture(
        [&] { form_->Chart1MouseMove(this, event->modifiers(), event->position()); });
    QChartView::mouseMoveEvent(event);
}

void MapChartView::wheelEvent(QWheelEvent* event)
{
    const QRectF area = chart()->plotArea();
    const QPointF at = chart()->mapFromScene(mapToScene(event->position().toPoint()));
    if (!area.contains(at) || event->angleDelta().y() == 0) return;
    const qreal factor = event->angleDelta().y() > 0 ? 1.25 : 0.8;
    const QRectF zoomed(at - (at - area.topLeft()) / factor, area.size() / factor);
    chart()->zoomIn(zoomed);
    event->accept();
}

TForm2::TForm2(MapOwner* Owner) : owner_(Owner)
{
    Form2 = this;
    setObjectName("Form2");
    setWindowTitle(QString::fromUtf8("CSEM点位分布图"));

    QChart* chart = WhiteChart(QMargins(6, 6, 6, 6));
    chart->legend()->hide();
    QFont titleFont = chart->titleFont();
    titleFont.setPointSizeF(titleFont.pointSizeF() + 1);
    chart->setTitleFont(titleFont);

    Series2 = new QScatterSeries;
    Series3 = new QScatterSeries;
    Series1 = new QLineSeries;
    Series1->setName("Tx");
    Series1->setPen(QPen(Qt::red, 2));
    Series1->setColor(Qt::red);
    Series1->setPointsVisible(true);
    Series1->setLightMarker(MarkImage(Mark::DownTriangle, Qt::red, 15, {QColor(), 2, 1.5}));
    Series1->setMarkerSize(9);
    Series2->setName("Ex");
    Series2->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    Series2->setMarkerSize(6);
    Series2->setColor(QColor(0, 160, 0));
    Series2->setBorderColor(QColor(0, 110, 0));
    Series3->setName("Hy");
    Series3->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    Series3->setMarkerSize(9);
    Series3->setColor(Qt::yellow);
    Series3->setBorderColor(QColor(150, 150, 0));
    chart->addSeries(Series1);
    chart->addSeries(Series2);
    chart->addSeries(Series3);

    BottomAxis = PatternAxis("######");
    BottomAxis->setTitleText("x");
    LeftAxis = PatternAxis("#####");
    LeftAxis->setTitleText("y");
    AttachAxes(chart, BottomAxis, LeftAxis);
    AddMarkLayer(Series2);
    AddMarkLayer(Series3);

    Chart1 = new MapChartView(chart, this);
    Chart1->setObjectName("Chart1");
    KeepChartReadable(Chart1);
    setWidget(Chart1);

    connect(chart, &QChart::plotAreaChanged, this, [this] { PlaceLabels(); });
    connect(BottomAxis, &QValueAxis::rangeChanged, this, [this] { PlaceLabels(); });
    connect(LeftAxis, &QValueAxis::rangeChanged, this, [this] { PlaceLabels(); });

    emptyRange_ = QRectF(QPointF(BottomAxis->min(), LeftAxis->min()),
                         QPointF(BottomAxis->max(), LeftAxis->max()));

    ShowMarkLabelTips(Chart1, [this](const QXYSeries* series, int index) {
        const std::vector<std::string>* labels = series == Series2   ? &Series2Labels
                                                 : series == Series3 ? &Series3Labels
                                                                     : &Series1Labels;
        return index < static_cast<int>(labels->size()) ? DisplayText((*labels)[index]) : QString();
    });

    resize(640, 440);
    Owner->MapArea()->addSubWindow(this);
    // Minimize and maximize, neither close box nor system menu.
    setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowMinMaxButtonsHint);
    show();
}

void TForm2::closeEvent(QCloseEvent* event)
{
    // The map lives until the program ends.
    event->ignore();
}

QPointF TForm2::MapCoordinates(QPointF chartPixel) const
{
    QChart* chart = Chart1->chart();
    return chart->mapToValue(chart->mapFromScene(Chart1->mapToScene(chartPixel.toPoint())),
                             Series1);
}

QPointF TForm2::ChartPixel(QPointF mapPoint) const
{
    QChart* chart = Chart1->chart();
    return Chart1->mapFromScene(chart->mapToScene(chart->mapToPosition(mapPoint, Series1)));
}

void TForm2::Chart1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers Shift,
                             QPointF Position)
{
    if (owner_->MapWaitsForLoad()) return;
    const QPointF c = MapCoordinates(Position);
    picking_ = IsModifier(Shift);
    bandOrigin_ = Position;
    if (profileBand_) profileBand_->hide();
    PressAt(c.x(), c.y(), IsModifier(Shift));
}

void TForm2::Chart1MouseUp(QObject*, Qt::MouseButton, Qt::KeyboardModifiers Shift, QPointF Position)
{
    picking_ = false;
    if (profileBand_) profileBand_->hide();
    if (owner_->MapWaitsForLoad()) return;
    const QPointF c = MapCoordinates(Position);
    ReleaseAt(c.x(), c.y(), IsModifier(Shift));
}

// While a drag begun with Shift, Ctrl or Alt goes on, the rectangle it would pick is shown, as
// long as one of the keys is held (a release without one picks nothing).
void TForm2::Chart1MouseMove(QObject*, Qt::KeyboardModifiers Shift, QPointF Position)
{
    if (!picking_ || !IsModifier(Shift)) {
        if (profileBand_) profileBand_->hide();
        return;
    }
    ShowProfileBand(Position);
}

void TForm2::ShowProfileBand(QPointF to)
{
    if (!profileBand_) profileBand_ = new QRubberBand(QRubberBand::Rectangle, Chart1->viewport());
    profileBand_->setGeometry(QRect(bandOrigin_.toPoint(), to.toPoint()).normalized());
    profileBand_->show();
}

void TForm2::PressAt(double cx, double cy, bool modifier)
{
    if (owner_->MapWaitsForLoad()) return;
    AnchorX = 0.0;
    AnchorY = 0.0;
    if (modifier) {
        AnchorX = cx;
        AnchorY = cy;
        return;
    }
    TxGrabbed = false;
    if (Series1->count() < 2) return;
    const QPointF a = Series1->at(0), b = Series1->at(1);
    AnchorX = (a.x() + b.x()) * 0.5;
    AnchorY = (a.y() + b.y()) * 0.5;
    // Within a few pixels of the line at the present zoom, or within the band of a square metre
    // around it in map units, whichever is wider.
    const bool inBand = (a.x() - cx) * (b.x() - cx) < 1.0 && (a.y() - cy) * (b.y() - cy) < 1.0;
    TxGrabbed = inBand || PixelDistanceToSegment(ChartPixel(QPointF(cx, cy)), ChartPixel(a),
                                                 ChartPixel(b)) <= kTxGrabPixels;
}

void TForm2::ReleaseAt(double cx, double cy, bool modifier)
{
    if (owner_->MapWaitsForLoad()) return;
    EndX = AnchorX;
    EndY = AnchorY;
    if (modifier) {
        EndX = cx;
        EndY = cy;
        owner_->PickProfile(AnchorX, AnchorY, EndX, EndY);
        return;
    }
    // A redraw without a transmitter may have emptied the line since the grab.
    if (!TxGrabbed || Series1->count() < 2) return;
    const double dx = cx - AnchorX, dy = cy - AnchorY;
    const QPointF a = Series1->at(0), b = Series1->at(1);
    Series1->replace(0, a.x() + dx, a.y() + dy);
    Series1->replace(1, b.x() + dx, b.y() + dy);
    FitAxes();
}

void TForm2::FitAxes()
{
    double minX = std::numeric_limits<double>::infinity(), maxX = -minX;
    double minY = minX, maxY = -minX;
    for (const QXYSeries* series :
         {static_cast<QXYSeries*>(Series1), static_cast<QXYSeries*>(Series2),
          static_cast<QXYSeries*>(Series3)}) {
        for (const QPointF& p : ShownPoints(series)) {
            minX = std::min(minX, p.x());
            maxX = std::max(maxX, p.x());
            minY = std::min(minY, p.y());
            maxY = std::max(maxY, p.y());
        }
    }
    if (!(minX <= maxX)) return;
    auto widen = [](double& low, double& high) {
        const double span = high - low;
        const double margin = span > 0 ? span * 0.05 : std::max(1.0, std::abs(low) * 0.05);
        low -= margin;
        high += margin;
    };
    widen(minX, maxX);
    widen(minY, maxY);
    BottomAxis->setRange(minX, maxX);
    LeftAxis->setRange(minY, maxY);
}

// Label texts are made only while labels are shown; a redraw then reuses the texts it has, and
// a hidden redraw leaves them for the next showing.
void TForm2::RebuildLabels()
{
    if (!labelsVisible_) return;
    QChart* chart = Chart1->chart();
    const size_t n = Series2Labels.size();
    // From the last one: the chart finds a last child at once, any other by a search.
    while (labelItems_.size() > n) {
        delete labelItems_.back();
        labelItems_.pop_back();
    }
    for (size_t i = 0; i < n; ++i) {
        const QString text = DisplayText(Series2Labels[i]);
        if (i < labelItems_.size()) {
            if (labelItems_[i]->text() != text) labelItems_[i]->setText(text);
            continue;
        }
        auto* item = new QGraphicsSimpleTextItem(text, chart);
        item->setZValue(100);
        item->setBrush(Qt::black);
        labelItems_.push_back(item);
    }
    PlaceLabels();
}

void TForm2::PlaceLabels()
{
    QChart* chart = Chart1->chart();
    if (!labelsVisible_) {
        for (QGraphicsSimpleTextItem* item : labelItems_) item->setVisible(false);
        return;
    }
    std::vector<std::optional<QPointF>> points(labelItems_.size());
    const QList<QPointF> stations = ShownPoints(Series2);
    const int n = std::min<int>(static_cast<int>(labelItems_.size()), stations.size());
    for (int i = 0; i < n; ++i) points[i] = chart->mapToPosition(stations[i], Series2);
    PlacePointLabels(labelItems_, points, chart->plotArea(), 3);
}

void TForm2::SetLabelsVisible(bool visible)
{
    labelsVisible_ = visible;
    if (visible)
        RebuildLabels();
    else
        PlaceLabels();
}

void DrawLayoutMap(const MapOwner* Form)
{
    if (!Form || !Form2 || Form->MapSurvey().ExStations.empty()) return;
    const SurveyStore& store = Form->MapSurvey();
    TForm2* map = Form2;

    map->TitleLines = {DisplayText(Form->MapFileName()),
                       QString::fromUtf8("可控源频率测深装置布置图")};
    map->Chart1->chart()->setTitle(map->TitleLines.at(0).toHtmlEscaped() + "<br>" +
                                   map->TitleLines.at(1));

    QList<QPointF> points;
    map->Series1Labels.clear();
    if (!store.Transmitters.empty()) {
        const TxData& tx = store.Transmitters.front();
        points = {QPointF(tx.Ax, tx.Ay), QPointF(tx.Bx, tx.By)};
        map->Series1Labels = {std::string(), std::string()};
    }
    map->Series1->replace(points);

    auto stationPoints = [](std::vector<std::string>& labels,
                            const std::vector<TStation>& stations) {
        QList<QPointF> at;
        at.reserve(static_cast<qsizetype>(stations.size()));
        labels.clear();
        for (const TStation& station : stations) {
            at.push_back(QPointF(station.Info.X, station.Info.Y));
            labels.push_back(station.Name);
        }
        return at;
    };
    ReplaceSeriesPoints(map->Chart1->chart(),
                        {{map->Series2, stationPoints(map->Series2Labels, store.ExStations)},
                         {map->Series3, stationPoints(map->Series3Labels, store.HyStations)}});

    map->FitAxes();
    map->RebuildLabels();
}

void ClearLayoutMap()
{
    if (!Form2) return;
    TForm2* map = Form2;
    map->TitleLines.clear();
    map->Chart1->chart()->setTitle(QString());
    map->Series1Labels.clear();
    map->Series2Labels.clear();
    map->Series3Labels.clear();
    map->Series1->clear();
    ReplaceSeriesPoints(map->Chart1->chart(), {{map->Series2, {}}, {map->Series3, {}}});
    map->ClearAxes();
    map->RebuildLabels();
}

void TForm2::ClearAxes()
{
    BottomAxis->setRange(emptyRange_.left(), emptyRange_.right());
    LeftAxis->setRange(emptyRange_.top(), emptyRange_.bottom());
}
