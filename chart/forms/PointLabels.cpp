#include "chart/forms/PointLabels.h"

#include "chart/forms/MarkLayer.h"

#include <QChart>
#include <QChartView>
#include <QEvent>
#include <QGraphicsSimpleTextItem>
#include <QHelpEvent>
#include <QToolTip>
#include <QXYSeries>
#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace {

constexpr qreal kTipPixels = 6;  // how near the mouse must rest to a mark for its tip
constexpr qreal kLabelRoom = 3;  // pixels kept free on either side of a label

// The boxes shown so far, filed in a grid of cells as large as the largest box, so that a new box
// meets only the few boxes filed in the cells it covers.
class ShownBoxes {
public:
    explicit ShownBoxes(QSizeF cell)
        : cell_(std::max(cell.width(), 1.0), std::max(cell.height(), 1.0))
    {
    }

    bool Overlaps(const QRectF& box) const
    {
        bool overlaps = false;
        ForCells(box, [&](long long key) {
            const auto found = cells_.find(key);
            if (found == cells_.end()) return;
            for (const QRectF& shown : found->second) overlaps = overlaps || shown.intersects(box);
        });
        return overlaps;
    }

    void Add(const QRectF& box)
    {
        ForCells(box, [&](long long key) { cells_[key].push_back(box); });
    }

private:
    template <class Visit>
    void ForCells(const QRectF& box, Visit visit) const
    {
        const auto index = [](qreal at, qreal size) {
            return static_cast<long long>(std::floor(at / size));
        };
        for (long long x = index(box.left(), cell_.width()); x <= index(box.right(), cell_.width());
             ++x)
            for (long long y = index(box.top(), cell_.height());
                 y <= index(box.bottom(), cell_.height()); ++y)
                visit(x * 1000003LL + y);
    }

    QSizeF cell_;
    std::unordered_map<long long, std::vector<QRectF>> cells_;
};

}  // namespace

void PlacePointLabels(const std::vector<QGraphicsSimpleTextItem*>& labels,
                      const std::vector<std::optional<QPointF>>& points, const QRectF& plotArea,
                      qreal gap)
{
    QSizeF largest;
    for (const QGraphicsSimpleTextItem* label : labels)
        largest = largest.expandedTo(label->boundingRect().size() + QSizeF(2 * kLabelRoom, 0));
    ShownBoxes shown(largest);
    // One pixel of slack: a point on the area's edge is in it.
    const QRectF area = plotArea.adjusted(-1, -1, 1, 1);
    for (size_t i = 0; i < labels.size(); ++i) {
        QGraphicsSimpleTextItem* label = labels[i];
        const std::optional<QPointF> at = i < points.size() ? points[i] : std::nullopt;
        if (!at || !std::isfinite(at->x()) || !std::isfinite(at->y()) || !area.contains(*at) ||
            label->text().isEmpty()) {
            label->setVisible(false);
            continue;
        }
        const QRectF size = label->boundingRect();
        // Centred on its point, but moved sideways as far as it takes to stay off the axes and
        // whatever stands beside the plot.
        const qreal left = std::clamp(at->x() - size.width() / 2, plotArea.left(),
                                      std::max(plotArea.left(), plotArea.right() - size.width()));
        const QPointF corner(left, at->y() - size.height() - gap);
        label->setPos(corner);
        // A little room on each side keeps neighbouring names apart.
        const QRectF box = QRectF(corner, size.size()).adjusted(-kLabelRoom, 0, kLabelRoom, 0);
        const bool free = !shown.Overlaps(box);
        label->setVisible(free);
        if (free) shown.Add(box);
    }
}

namespace {

class MarkTips : public QObject {
public:
    MarkTips(QChartView* view, MarkLabel label)
        : QObject(view), view_(view), label_(std::move(label))
    {
        view->viewport()->installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::ToolTip) return false;
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = LabelAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, view_->viewport());
        return true;
    }

private:
    QString LabelAt(QPoint pixel) const
    {
        QChart* chart = view_->chart();
        const QPointF at = chart->mapFromScene(view_->mapToScene(pixel));
        qreal nearest = kTipPixels;
        QString text;
        for (QAbstractSeries* abstract : chart->series()) {
            auto* series = qobject_cast<QXYSeries*>(abstract);
            if (!series || !series->isVisible()) continue;
            const QList<QPointF> points = ShownPoints(series);
            for (int i = 0; i < points.size(); ++i) {
                const QPointF d = chart->mapToPosition(points[i], series) - at;
                const qreal distance = std::hypot(d.x(), d.y());
                if (distance > nearest) continue;
                const QString label = label_(series, i);
                if (label.isEmpty()) continue;
                nearest = distance;
                text = label;
            }
        }
        return text;
    }

    QChartView* view_;
    MarkLabel label_;
};

}  // namespace

void ShowMarkLabelTips(QChartView* view, MarkLabel label)
{
    new MarkTips(view, std::move(label));
}
