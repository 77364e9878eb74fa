#include <QtTest>

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QLogValueAxis>

#include "base/NumberFormat.h"
#include "chart/PatternAxis.h"

class PatternAxisTest : public QObject {
    Q_OBJECT
private slots:
    void roundTicksReadTheirValues_data()
    {
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("intervals");
        QTest::addColumn<QList<double>>("ticks");
        QTest::newRow("phase") << -0.0478 << 0.0266 << "0.E+00" << 6
                               << QList<double>{-0.04, -0.02, 0, 0.02};
        QTest::newRow("Hy phase") << -0.85 << -0.28 << "0.E+00" << 6
                                  << QList<double>{-0.8, -0.7, -0.6, -0.5, -0.4, -0.3};
        QTest::newRow("map x") << -300.0 << 6300.0 << "######" << 6
                               << QList<double>{0, 2000, 4000, 6000};
        // Halves would read "6000" and "6001" twice.
        QTest::newRow("whole metres") << 5999.3 << 6001.2 << "0" << 6 << QList<double>{6000, 6001};
        QTest::newRow("two places") << 0.0 << 2.0 << "0.00" << 2 << QList<double>{0, 1, 2};
        QTest::newRow("tenths") << 0.93 << 1.31 << "0.00" << 6 << QList<double>{1.0, 1.1, 1.2, 1.3};
        // One significant digit cannot write 0.013 .. 0.018: no label rather than a wrong one.
        QTest::newRow("nothing readable") << 0.0123 << 0.0189 << "0.E+00" << 6 << QList<double>{};
        QTest::newRow("no span") << 5.0 << 5.0 << "0" << 6 << QList<double>{};
    }

    void roundTicksReadTheirValues()
    {
        QFETCH(double, low);
        QFETCH(double, high);
        QFETCH(QString, pattern);
        QFETCH(int, intervals);
        QFETCH(QList<double>, ticks);
        const QList<double> got = RoundTicks(low, high, pattern.toStdString(), intervals);
        QCOMPARE(got.size(), ticks.size());
        QStringList labels;
        for (qsizetype i = 0; i < got.size(); ++i) {
            QVERIFY2(std::abs(got[i] - ticks[i]) < 1e-12, QByteArray::number(got[i]));
            labels << QString::fromStdString(FormatFloat(pattern.toStdString(), got[i]));
        }
        QCOMPARE(QSet<QString>(labels.begin(), labels.end()).size(), labels.size());
    }

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
    }

    // A logarithmic axis hands its labels to a linear axis over its decade exponents: decades
    // below 1 read empty in "#####", the series keep the logarithmic axis.
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
        QCOMPARE(shown, QStringList({"", "", "1", "10", "100", "1000"}));
        QCOMPARE(labels->endValue("100"), 2.0);
        QVERIFY(!labels->truncateLabels());
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
            QCOMPARE(at.size() == 8, height == 900);  // 1 .. 10000000
        }
    }
};

QTEST_MAIN(PatternAxisTest)
#include "tst_patternaxis.moc"
