#include "chart/forms/MarkLayer.h"

#include <QChart>
#include <QGraphicsEllipseItem>
#include <QGraphicsRectItem>
#include <QGraphicsView>
#include <QLogValueAxis>
#include <QPainter>
#include <QPointer>
#include <QScatterSeries>
#include <QStyleOptionGraphicsItem>
#include <QValueAxis>
#include <algorithm>
#include <memory>

namespace {

// The item Qt Charts draws a scatter series with: the series' place among the chart's scatter
// series is its item's place among the chart's scatter items.
QGraphicsObject* ScatterItem(QChart* chart, const QScatterSeries* series)
{
    int place = 0;
    for (QAbstractSeries* s : chart->series()) {
        if (s == series) break;
        if (s->type() == QAbstractSeries::SeriesTypeScatter) ++place;
    }
    for (QGraphicsItem* child : chart->childItems()) {
        QGraphicsObject* object = child->toGraphicsObject();
        if (!object || qstrcmp(object->metaObject()->className(), "ScatterChartItem") != 0)
            continue;
        if (place-- == 0) return object;
    }
    return nullptr;
}

// The range of values an axis shows, for the marks Qt Charts leaves out beyond it.
bool AxisRange(const QAbstractAxis* axis, double& low, double& high)
{
    if (auto* value = qobject_cast<const QValueAxis*>(axis)) {
        low = value->min();
        high = value->max();
        return true;
    }
    if (auto* log = qobject_cast<const QLogValueAxis*>(axis)) {
        low = log->min();
        high = log->max();
        return true;
    }
    return false;
}

std::vector<MarkLayer*>& Layers()
{
    static std::vector<MarkLayer*> layers;
    return layers;
}

// A mark of the series as Qt Charts makes it, for the shapes a layer paints; none for others.
std::unique_ptr<QAbstractGraphicsShapeItem> MarkItem(const QScatterSeries& series)
{
    const qreal size = series.markerSize();
    std::unique_ptr<QAbstractGraphicsShapeItem> mark;
    if (series.markerShape() == QScatterSeries::MarkerShapeRectangle)
        mark = std::make_unique<QGraphicsRectItem>(0, 0, size, size);
    else if (series.markerShape() == QScatterSeries::MarkerShapeCircle)
        mark = std::make_unique<QGraphicsEllipseItem>(0, 0, size, size);
    else
        return nullptr;
    mark->setPen(series.pen());
    mark->setBrush(series.brush());
    return mark;
}

}  // namespace

class MarkLayer : public QGraphicsObject {
public:
    // Stacked right above the series' own item, so that the marks keep their place among the
    // chart's other series.
    MarkLayer(QScatterSeries* series, QGraphicsObject* scatterItem)
        : QGraphicsObject(series->chart()), series_(series), scatterItem_(scatterItem)
    {
        QChart* chart = series->chart();
        setZValue(scatterItem->zValue());
        const QList<QGraphicsItem*> siblings = chart->childItems();
        const qsizetype next = siblings.indexOf(scatterItem) + 1;
        if (next < siblings.size() && siblings[next] != this &&
            siblings[next]->zValue() == zValue())
            stackBefore(siblings[next]);
        setFlag(ItemUsesExtendedStyleOption);
        bounds_ = chart->plotArea();
        connect(chart, &QChart::plotAreaChanged, this, [this](const QRectF& plot) {
            prepareGeometryChange();
            bounds_ = plot;
        });
        for (QAbstractAxis* axis : series->attachedAxes()) {
            if (auto* value = qobject_cast<QValueAxis*>(axis))
                connect(value, &QValueAxis::rangeChanged, this, [this] { update(); });
            else if (auto* log = qobject_cast<QLogValueAxis*>(axis))
                connect(log, &QLogValueAxis::rangeChanged, this, [this] { update(); });
        }
        Layers().push_back(this);
    }

    ~MarkLayer() override
    {
        auto& layers = Layers();
        layers.erase(std::remove(layers.begin(), layers.end(), this), layers.end());
    }

    // Off while pictures are drawn by Qt's own marks.
    bool OnScreen() const { return onScreen_; }
    void SetOnScreen(bool on)
    {
        onScreen_ = on;
        setVisible(on);
    }

    QScatterSeries* Series() const { return series_; }
    const QList<QPointF>& Points() const { return points_; }

    void SetPoints(const QList<QPointF>& points)
    {
        points_ = points;
        update();
    }

    QRectF boundingRect() const override { return bounds_; }

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override
    {
        QChart* chart = series_->chart();
        if (!chart || !scatterItem_ || points_.isEmpty() || !series_->isVisible()) return;
        // Qt leaves out the marks of points beyond the axes and clips the others to the plot.
        double x0 = -qInf(), x1 = qInf(), y0 = -qInf(), y1 = qInf();
        for (const QAbstractAxis* axis : series_->attachedAxes()) {
            if (axis->orientation() == Qt::Horizontal)
                AxisRange(axis, x0, x1);
            else
                AxisRange(axis, y0, y1);
        }
        const auto beyond = [&](const QPointF& p) {
            return p.x() < x0 || p.x() > x1 || p.y() < y0 || p.y() > y1;
        };
        // Painted in the coordinates of the series' own item, as its marks are.
        const QPointF origin = scatterItem_->pos();
        QTransform item = painter->worldTransform();
        item.translate(origin.x(), origin.y());
        painter->setWorldTransform(item);
        painter->setClipRect(QRectF(QPointF(0, 0), chart->plotArea().size()), Qt::IntersectClip);
        if (series_->opacity() != 1.0) painter->setOpacity(painter->opacity() * series_->opacity());
        // Marks wholly outside what is painted again are passed over. The view paints only its
        // exposed part, which the painter's clip does not tell.
        const QRectF painted =
            painter->clipBoundingRect() & option->exposedRect.translated(-origin);
        const auto unseen = [&painted](const QPointF& g, qreal reach) {
            return g.x() + reach < painted.left() || g.x() - reach > painted.right() ||
                   g.y() + reach < painted.top() || g.y() - reach > painted.bottom();
        };
        const qreal size = series_->markerSize();
        // Before any is placed, the points far from it in values are left out too.
        const qreal far = 2 * (size + series_->pen().widthF()) + 4;
        const QPointF a =
            chart->mapToValue(painted.topLeft() + origin - QPointF(far, far), series_);
        const QPointF b =
            chart->mapToValue(painted.bottomRight() + origin + QPointF(far, far), series_);
        x0 = std::max(x0, std::min(a.x(), b.x()));
        x1 = std::min(x1, std::max(a.x(), b.x()));
        y0 = std::max(y0, std::min(a.y(), b.y()));
        y1 = std::min(y1, std::max(a.y(), b.y()));
        const QImage marker = series_->lightMarker();
        if (!marker.isNull()) {
            for (const QPointF& p : points_) {
                if (beyond(p)) continue;
                const QPointF g = chart->mapToPosition(p, series_) - origin;
                if (unseen(g, size)) continue;
                painter->drawImage(QRectF(g.x() - size / 2, g.y() - size / 2, size, size), marker);
            }
            return;
        }
        // One mark item of Qt's own kind, placed and painted as Qt places and paints each.
        std::unique_ptr<QAbstractGraphicsShapeItem> mark = MarkItem(*series_);
        const QRectF bounds = mark->boundingRect();
        // A mark placed by its bounds' corner reaches less than its bounds (pen included) from
        // its place, and one pixel more with smoothed edges: marks farther from what is painted
        // again are not stroked at all.
        const qreal reach = std::max(bounds.width(), bounds.height()) + 1;
        const QStyleOptionGraphicsItem markOption;
        for (const QPointF& p : points_) {
            if (beyond(p)) continue;
            const QPointF g = chart->mapToPosition(p, series_) - origin;
            if (unseen(g, reach)) continue;
            QTransform at = item;
            at.translate(g.x() - bounds.width() / 2, g.y() - bounds.height() / 2);
            painter->setWorldTransform(at);
            mark->paint(painter, &markOption, widget);
        }
    }

private:
    QScatterSeries* series_;
    QPointer<QGraphicsObject> scatterItem_;  // gone if the series leaves the chart
    QList<QPointF> points_;
    QRectF bounds_;
    bool onScreen_ = true;
};

namespace {

MarkLayer* ScreenLayer(const QXYSeries* series)
{
    for (MarkLayer* layer : Layers())
        if (layer->Series() == series && layer->OnScreen()) return layer;
    return nullptr;
}

}  // namespace

void AddMarkLayer(QScatterSeries* series)
{
    QGraphicsObject* item = series->chart() ? ScatterItem(series->chart(), series) : nullptr;
    if (!item || (series->lightMarker().isNull() && !MarkItem(*series))) return;
    auto* layer = new MarkLayer(series, item);
    layer->SetPoints(series->points());
    series->clear();
}

bool SetLayerPoints(const QXYSeries* series, const QList<QPointF>& points)
{
    MarkLayer* layer = ScreenLayer(series);
    if (layer) layer->SetPoints(points);
    return layer;
}

QList<QPointF> ShownPoints(const QXYSeries* series)
{
    const MarkLayer* layer = ScreenLayer(series);
    return layer ? layer->Points() : series->points();
}

QtMarks::QtMarks(QGraphicsView* view)
{
    std::vector<SeriesPoints> back;
    QChart* chart = nullptr;
    for (MarkLayer* layer : Layers()) {
        QChart* owner = layer->Series()->chart();
        if (!owner || owner->scene() != view->scene() || !layer->OnScreen()) continue;
        chart = owner;
        layers_.push_back(layer);
        back.push_back({layer->Series(), layer->Points()});
    }
    if (!chart) return;
    for (MarkLayer* layer : layers_) layer->SetOnScreen(false);
    ReplaceSeriesPoints(chart, back);
}

QtMarks::~QtMarks()
{
    if (layers_.empty()) return;
    std::vector<SeriesPoints> none;
    for (MarkLayer* layer : layers_) none.push_back({layer->Series(), {}});
    ReplaceSeriesPoints(layers_.front()->Series()->chart(), none);
    for (MarkLayer* layer : layers_) layer->SetOnScreen(true);
}

void ReplaceSeriesPoints(QChart* chart, const std::vector<SeriesPoints>& all)
{
    std::vector<SeriesPoints> changes;
    for (const SeriesPoints& change : all)
        if (!SetLayerPoints(change.Series, change.Points)) changes.push_back(change);
    const auto recounted = [](const SeriesPoints& change) {
        return qobject_cast<QScatterSeries*>(change.Series) &&
               change.Series->count() != change.Points.size();
    };
    const bool recount = std::any_of(changes.begin(), changes.end(), recounted);
    struct ShownAgain {
        QChart* chart;
        ~ShownAgain()
        {
            if (chart) chart->show();
        }
    } shownAgain{recount && chart->isVisible() ? chart : nullptr};
    if (shownAgain.chart) chart->hide();
    for (const SeriesPoints& change : changes) {
        QXYSeries* series = change.Series;
        if (recounted(change) && !change.Points.isEmpty())
            series->replace(
                QList<QPointF>(std::max<qsizetype>(series->count(), 1), change.Points.front()));
        series->replace(change.Points);
    }
}
