#include "chart/forms/PatternAxis.h"

#include <QCategoryAxis>
#include <QChart>
#include <QFontMetricsF>
#include <QLogValueAxis>
#include <algorithm>
#include <cmath>
#include <vector>

#include "base/RoundTicks.h"

namespace {

// The category names of one axis must differ: an empty label becomes blanks of its own length.
QString CategoryName(QString label, const QStringList& used)
{
    if (label.isEmpty()) label = " ";
    while (used.contains(label)) label = ' ' + label + ' ';
    return label;
}

void SetCategories(QCategoryAxis* axis, const std::vector<double>& at, const QStringList& labels)
{
    for (const QString& name : axis->categoriesLabels()) axis->remove(name);
    axis->setStartValue(at.empty() ? axis->min() : at.front());
    QStringList used;
    for (size_t i = 0; i < at.size(); ++i) {
        used << CategoryName(labels[qsizetype(i)], used);
        axis->append(used.last(), at[i]);
    }
}

}  // namespace

QCategoryAxis* PatternAxis(const std::string& pattern, int intervals)
{
    auto* axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setTruncateLabels(false);
    const auto relabel = [axis, pattern, intervals] {
        const std::vector<double> ticks = RoundTicks(axis->min(), axis->max(), pattern, intervals);
        QStringList labels;
        for (double tick : ticks) labels << QString::fromStdString(TickLabel(pattern, tick));
        SetCategories(axis, ticks, labels);
    };
    QObject::connect(axis, &QValueAxis::rangeChanged, axis, relabel);
    relabel();
    return axis;
}

QCategoryAxis* PatternDecadeLabels(QChart* chart, QLogValueAxis* axis, Qt::Alignment alignment,
                                   const std::string& pattern)
{
    auto* labels = new QCategoryAxis;
    labels->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    labels->setTruncateLabels(false);
    labels->setReverse(axis->isReverse());
    labels->setTitleText(axis->titleText());
    chart->addAxis(labels, alignment);
    axis->setVisible(false);
    const auto follow = [chart, labels, axis, pattern] {
        const double low = std::log10(axis->min()), high = std::log10(axis->max());
        labels->setRange(low, high);
        std::vector<double> at;
        QStringList texts;
        qreal widest = 0;
        const QFontMetricsF metrics(labels->labelsFont());
        for (double e = std::ceil(low - 1e-9); e <= high + 1e-9; ++e) {
            at.push_back(e);
            texts << QString::fromStdString(DecadeLabel(pattern, static_cast<int>(e)));
            widest = std::max(widest, metrics.horizontalAdvance(texts.last()));
        }
        // Every decade keeps its grid line; where the plot is too short to hold every label
        // apart, only every second, fifth, ... decade is labelled.
        const bool vertical = labels->orientation() == Qt::Vertical;
        const qreal room = (vertical ? chart->plotArea().height() : chart->plotArea().width()) /
                           std::max(high - low, 1.0);
        const qreal needed = vertical ? metrics.height() : widest + metrics.height();
        int stride = 1;
        for (int next : {2, 5, 10, 20, 50}) {
            if (room <= 0 || room * stride >= needed) break;
            stride = next;
        }
        for (size_t i = 0; i < at.size(); ++i)
            if (std::fmod(std::fabs(at[i]), stride) != 0) texts[qsizetype(i)].clear();
        QStringList current;
        for (const QString& name : labels->categoriesLabels()) current << name.trimmed();
        if (current == texts && size_t(labels->count()) == at.size() &&
            (at.empty() || labels->endValue(labels->categoriesLabels().first()) == at.front()))
            return;  // unchanged: no new layout, which would call this again
        SetCategories(labels, at, texts);
    };
    QObject::connect(axis, &QLogValueAxis::rangeChanged, labels, follow);
    QObject::connect(chart, &QChart::plotAreaChanged, labels, follow);
    QObject::connect(axis, &QAbstractAxis::reverseChanged, labels, &QAbstractAxis::setReverse);
    QObject::connect(axis, &QAbstractAxis::titleTextChanged, labels, &QAbstractAxis::setTitleText);
    follow();
    return labels;
}
