#include "chart/PatternAxis.h"

#include <QCategoryAxis>
#include <QChart>
#include <QFontMetricsF>
#include <QLogValueAxis>
#include <algorithm>
#include <cmath>

#include "base/Convert.h"
#include "base/NumberFormat.h"

namespace {

// The label of a tick reads its value when the text converts back to it; only zero may vanish.
bool ReadsItsValue(const std::string& label, double tick, double step)
{
    if (label.empty()) return tick == 0;
    std::string digits = label;
    digits.erase(std::remove(digits.begin(), digits.end(), ','), digits.end());
    double value = 0;
    return TryStrToFloat(digits, value) && std::fabs(value - tick) <= step * 1e-6;
}

// k times factor times 10^exponent, exact for the decimal ticks a pattern writes.
double TickValue(double k, int factor, int exponent)
{
    const double decade = std::pow(10.0, std::abs(exponent));
    return exponent >= 0 ? k * factor * decade : k * factor / decade;
}

// The category names of one axis must differ: an empty label becomes blanks of its own length.
QString CategoryName(QString label, const QStringList& used)
{
    if (label.isEmpty()) label = " ";
    while (used.contains(label)) label = ' ' + label + ' ';
    return label;
}

void SetCategories(QCategoryAxis* axis, const QList<double>& at, const QStringList& labels)
{
    for (const QString& name : axis->categoriesLabels()) axis->remove(name);
    axis->setStartValue(at.isEmpty() ? axis->min() : at.first());
    QStringList used;
    for (qsizetype i = 0; i < at.size(); ++i) {
        used << CategoryName(labels[i], used);
        axis->append(used.last(), at[i]);
    }
}

}  // namespace

QList<double> RoundTicks(double low, double high, const std::string& pattern, int intervals)
{
    QList<double> ticks;
    const double span = high - low;
    if (!(span > 0) || !std::isfinite(span) || intervals < 1) return ticks;
    int exponent = static_cast<int>(std::floor(std::log10(span / intervals)));
    for (int attempt = 0; attempt < 60; ++attempt, ++exponent) {
        for (int factor : {1, 2, 5}) {
            const double step = TickValue(1, factor, exponent);
            if (span / step > intervals * (1 + 1e-9)) continue;
            const double first = std::ceil(low / step - 1e-9),
                         last = std::floor(high / step + 1e-9);
            ticks.clear();
            bool readable = true;
            for (double k = first; k <= last && readable; ++k) {
                const double tick = TickValue(k, factor, exponent) + 0.0;  // no negative zero
                readable = ReadsItsValue(FormatFloat(pattern, tick), tick, step);
                ticks.append(tick);
            }
            if (readable) return ticks;  // at worst none, once the step outgrows the span
        }
    }
    ticks.clear();
    return ticks;
}

QCategoryAxis* PatternAxis(const std::string& pattern, int intervals)
{
    auto* axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setTruncateLabels(false);
    const auto relabel = [axis, pattern, intervals] {
        const QList<double> ticks = RoundTicks(axis->min(), axis->max(), pattern, intervals);
        QStringList labels;
        for (double tick : ticks) labels << QString::fromStdString(FormatFloat(pattern, tick));
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
        QList<double> at;
        QStringList texts;
        qreal widest = 0;
        const QFontMetricsF metrics(labels->labelsFont());
        for (double e = std::ceil(low - 1e-9); e <= high + 1e-9; ++e) {
            at << e;
            texts << QString::fromStdString(FormatFloat(pattern, std::pow(10.0, e)));
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
        for (qsizetype i = 0; i < at.size(); ++i)
            if (std::fmod(std::fabs(at[i]), stride) != 0) texts[i].clear();
        QStringList current;
        for (const QString& name : labels->categoriesLabels()) current << name.trimmed();
        if (current == texts && labels->count() == at.size() &&
            (at.isEmpty() || labels->endValue(labels->categoriesLabels().first()) == at.first()))
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
