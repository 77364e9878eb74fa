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

// True when the categories are those already: a new layout would follow for nothing.
bool SameCategories(QCategoryAxis* axis, const std::vector<double>& at, const QStringList& labels)
{
    const QStringList names = axis->categoriesLabels();
    if (names.size() != qsizetype(at.size())) return false;
    for (qsizetype i = 0; i < names.size(); ++i)
        if (names[i].trimmed() != labels[i] || axis->endValue(names[i]) != at[size_t(i)])
            return false;
    return true;
}

constexpr const char* kTicksName = "PatternTicks";

// How a linear pattern axis is labelled: its pattern, the most intervals it shows and, once it
// follows a chart's plot along a horizontal axis, the plot's width.
struct PatternTicks : QObject {
    QCategoryAxis* Axis = nullptr;
    std::string Pattern;
    int Intervals = 6;
    qreal Room = 0;
    const QChart* Chart = nullptr;

    // Qt draws every label along a horizontal axis, over one another where they are close:
    // fewer intervals there until the labels keep apart by a line's height.
    void Relabel()
    {
        std::vector<double> ticks;
        QStringList labels;
        const QFontMetricsF metrics(Axis->labelsFont());
        const double span = Axis->max() - Axis->min();
        for (int intervals = Intervals; intervals >= 1; --intervals) {
            ticks = RoundTicks(Axis->min(), Axis->max(), Pattern, intervals);
            labels.clear();
            for (double tick : ticks) labels << QString::fromStdString(TickLabel(Pattern, tick));
            bool apart = true;
            for (size_t i = 1; i < ticks.size() && Room > 0 && apart; ++i) {
                const qreal needed = (metrics.horizontalAdvance(labels[qsizetype(i - 1)]) +
                                      metrics.horizontalAdvance(labels[qsizetype(i)])) /
                                         2 +
                                     metrics.height();
                apart = Room * (ticks[i] - ticks[i - 1]) / span >= needed;
            }
            if (apart) break;
        }
        if (SameCategories(Axis, ticks, labels)) return;
        SetCategories(Axis, ticks, labels);
    }
};

}  // namespace

QCategoryAxis* PatternAxis(const std::string& pattern, int intervals)
{
    auto* axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setTruncateLabels(false);
    auto* ticks = new PatternTicks;
    ticks->setObjectName(kTicksName);
    ticks->setParent(axis);
    ticks->Axis = axis;
    ticks->Pattern = pattern;
    ticks->Intervals = intervals;
    QObject::connect(axis, &QValueAxis::rangeChanged, ticks, [ticks] { ticks->Relabel(); });
    ticks->Relabel();
    return axis;
}

void FitPatternAxisToPlot(QChart* chart, QAbstractAxis* axis)
{
    auto* ticks = static_cast<PatternTicks*>(axis->findChild<QObject*>(kTicksName));
    if (!ticks || ticks->Chart == chart || axis->orientation() != Qt::Horizontal) return;
    ticks->Chart = chart;
    const auto follow = [chart, ticks] {
        if (ticks->Room == chart->plotArea().width()) return;
        ticks->Room = chart->plotArea().width();
        ticks->Relabel();
    };
    QObject::connect(chart, &QChart::plotAreaChanged, ticks, follow);
    follow();
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
    // Every decade in view gets its grid line and its label, drawn where the plot holds it apart
    // from the others. Up a vertical axis Qt draws those that keep clear of the last one drawn, a
    // blank label counting as drawn: none is blank there. Along a horizontal axis Qt draws every
    // label, so only every second, fifth, ... decade there gets its text where they are close.
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
        if (labels->orientation() == Qt::Horizontal) {
            const qreal room = chart->plotArea().width() / std::max(high - low, 1.0);
            const qreal needed = widest + metrics.height();
            int stride = 1;
            for (int next : {2, 5, 10, 20, 50}) {
                if (room <= 0 || room * stride >= needed) break;
                stride = next;
            }
            for (size_t i = 0; i < at.size(); ++i)
                if (std::fmod(std::fabs(at[i]), stride) != 0) texts[qsizetype(i)].clear();
        }
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
