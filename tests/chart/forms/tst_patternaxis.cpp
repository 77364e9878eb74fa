#include <QtTest>

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QLogValueAxis>

#include "chart/forms/PatternAxis.h"

class PatternAxisTest : public QObject {
    Q_OBJECT
private slots:
    // The labels of a linear axis follow its range, each on its tick, never elided.
    void linearAxisLabelsFollowTheRange()
    {
        QCategoryAxis* axis = PatternAxis("0.E+00");
        axis->setRange(-0.0478, 0.0266);
        QCOMPARE(axis->categoriesLabels(), QStringList({"-4E-02", "-2E-02", "0E+00", "2E-02"}));
        QCOMPARE(axis->endValue("-2E-02"), -0.02);
        QCOMPARE(axis->labelsPosition(), QCategoryAxis::AxisLabelsPositionOnValue);
        QVERIFY(!axis->truncateLabels());
        // Halves would write 1.5 as "2E+00", next to the 2.
        axis->setRange(0, 3);
        QCOMPARE(axis->categoriesLabels(), QStringList({"0E+00", "1E+00", "2E+00", "3E+00"}));
        delete axis;
        // Zero, which "#####" writes as nothing, reads "0".
        axis = PatternAxis("#####");
        axis->setRange(-500, 1500);
        QCOMPARE(axis->categoriesLabels(), QStringList({"-500", "0", "500", "1000", "1500"}));
        delete axis;
    }

    // A logarithmic axis hands its labels to a linear axis over its decade exponents: decades
    // below 1, which "#####" writes as nothing, read in their short form; the series keep the
    // logarithmic axis.
    void decadeLabelsOfALogarithmicAxis()
    {
        QChart chart;
        auto* series = new QLineSeries;
        chart.addSeries(series);
        auto* log = new QLogValueAxis;
        log->setReverse(true);
        log->setTitleText("freq/Hz");
        chart.addAxis(log, Qt::AlignLeft);
        series->attachAxis(log);
        QCategoryAxis* labels = PatternDecadeLabels(&chart, log, Qt::AlignLeft, "#####");
        log->setRange(0.01, 1000);
        QVERIFY(!log->isVisible());
        QVERIFY(labels->isVisible() && labels->isReverse());
        QCOMPARE(labels->titleText(), QString("freq/Hz"));
        QCOMPARE(labels->min(), -2.0);
        QCOMPARE(labels->max(), 3.0);
        QStringList shown;
        for (const QString& name : labels->categoriesLabels()) shown << name.trimmed();
        QCOMPARE(shown, QStringList({"0.01", "0.1", "1", "10", "100", "1000"}));
        QCOMPARE(labels->endValue("100"), 2.0);
        QCOMPARE(labels->endValue("0.01"), -2.0);
        QVERIFY(!labels->truncateLabels());
        log->setRange(1e-6, 1e-2);
        shown.clear();
        for (const QString& name : labels->categoriesLabels()) shown << name.trimmed();
        QCOMPARE(shown, QStringList({"1E-6", "1E-5", "1E-4", "1E-3", "0.01"}));
        QCOMPARE(series->attachedAxes(), QList<QAbstractAxis*>({log}));
    }

    // Decades too close for their labels keep their grid lines but only every few of them is
    // labelled, so that no two labels overlap; a taller plot labels them all.
    void crowdedDecadesAreLabelledApart()
    {
        auto* chart = new QChart;
        auto* log = new QLogValueAxis;
        chart->addAxis(log, Qt::AlignLeft);
        QCategoryAxis* labels = PatternDecadeLabels(chart, log, Qt::AlignLeft, "#####");
        log->setRange(1e-7, 1e7);
        QChartView view(chart);
        const auto labelled = [&] {
            QList<double> at;
            for (const QString& name : labels->categoriesLabels())
                if (!name.trimmed().isEmpty()) at << labels->endValue(name);
            return at;
        };
        for (int height : {160, 900}) {
            view.resize(400, height);
            view.show();
            QVERIFY(QTest::qWaitForWindowExposed(&view));
            QTRY_VERIFY(chart->plotArea().height() > height / 2);
            QCoreApplication::processEvents();
            QCOMPARE(labels->count(), 15);
            const QList<double> at = labelled();
            QVERIFY(at.size() >= 2);
            const double gap = (at[1] - at[0]) * chart->plotArea().height() / 14;
            QVERIFY2(gap >= QFontMetricsF(labels->labelsFont()).height(), QByteArray::number(gap));
            QCOMPARE(at.size() == 15, height == 900);  // 1E-7 .. 10000000
        }
    }
};

QTEST_MAIN(PatternAxisTest)
#include "tst_patternaxis.moc"
