#include <QtTest>

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QGraphicsTextItem>
#include <QLineSeries>
#include <QLogValueAxis>

#include "chart/forms/ChartParts.h"
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

    // Along the bottom of a chart Qt draws every label, over one another where they are close: a
    // pattern axis there labels fewer intervals where its plot is narrow, and all of them where
    // it is wide. An axis up the side keeps its intervals.
    void linearLabelsKeepApartAlongTheBottom_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<QStringList>("bottom");
        QTest::newRow("wide") << 800 << QStringList{"1000", "1500", "2000", "2500", "3000"};
        QTest::newRow("narrow") << 230 << QStringList{"1000", "2000", "3000"};
    }

    void linearLabelsKeepApartAlongTheBottom()
    {
        QFETCH(int, width);
        QFETCH(QStringList, bottom);
        auto* chart = new QChart;
        auto* series = new QLineSeries;
        series->append(1000, 1000);
        series->append(3300, 3300);
        chart->addSeries(series);
        QCategoryAxis* x = PatternAxis("######");
        QCategoryAxis* y = PatternAxis("######");
        AttachAxes(chart, x, y);
        x->setRange(900, 3300);
        y->setRange(900, 3300);
        QChartView view(chart);
        view.resize(width, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCoreApplication::processEvents();
        QCOMPARE(x->categoriesLabels(), bottom);
        QCOMPARE(y->categoriesLabels(), QStringList({"1000", "1500", "2000", "2500", "3000"}));
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

    // Every decade has its label and its grid line. Decades too close for their labels show only
    // every few of them, no two drawn over each other, and never none; a longer plot shows them
    // all.
    void crowdedDecadesAreLabelledApart_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("all");
        QTest::newRow("short") << true << QSize(400, 160) << false;
        QTest::newRow("tall") << true << QSize(400, 900) << true;
        QTest::newRow("narrow") << false << QSize(300, 300) << false;
        QTest::newRow("wide") << false << QSize(1600, 300) << true;
    }

    void crowdedDecadesAreLabelledApart()
    {
        QFETCH(bool, vertical);
        QFETCH(QSize, size);
        QFETCH(bool, all);
        auto* chart = new QChart;
        auto* log = new QLogValueAxis;
        chart->addAxis(log, vertical ? Qt::AlignLeft : Qt::AlignBottom);
        QCategoryAxis* labels =
            PatternDecadeLabels(chart, log, vertical ? Qt::AlignLeft : Qt::AlignBottom, "#####");
        log->setRange(2e-8, 5e7);
        QChartView view(chart);
        view.resize(size);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCoreApplication::processEvents();
        QCOMPARE(labels->count(), 15);
        if (vertical) {  // Qt draws those that keep apart
            QCOMPARE(labels->categoriesLabels().first(), QString("1E-7"));
            QCOMPARE(labels->categoriesLabels().last(), QString("10000000"));
        }
        QList<QRectF> drawn;
        for (QGraphicsItem* item : view.scene()->items()) {
            auto* text = dynamic_cast<QGraphicsTextItem*>(item);
            if (!text || !text->isVisible() || text->toPlainText().trimmed().isEmpty() ||
                !labels->categoriesLabels().contains(text->toPlainText()))
                continue;
            // Qt's label boxes touch; their texts, a margin inside, keep apart.
            const QRectF box = text->sceneBoundingRect().adjusted(2, 2, -2, -2);
            for (const QRectF& other : drawn) QVERIFY(!other.intersects(box));
            drawn << box;
        }
        QVERIFY(drawn.size() >= 2);
        QCOMPARE(drawn.size() == 15, all);
    }
};

QTEST_MAIN(PatternAxisTest)
#include "tst_patternaxis.moc"
