// The smallest size at which a chart reads: a host laid out at its minimum size gives the chart a
// plot of the readable size with every axis label, title and legend entry drawn whole.

#include <QtTest>

#include <QChart>
#include <QChartView>
#include <QLegend>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QVBoxLayout>

#include "chart/forms/ChartParts.h"
#include "chart/forms/PatternAxis.h"
#include "chart/forms/ReadableChart.h"
#include "tests/support/forms/ChartReading.h"

class ReadableChartTest : public QObject {
    Q_OBJECT
private slots:
    void minimumSizeReads_data()
    {
        QTest::addColumn<int>("series");
        QTest::addColumn<int>("legend");  // Qt::Alignment, 0 for none
        QTest::addColumn<QString>("title");
        QTest::newRow("no legend") << 3 << 0 << QString();
        QTest::newRow("legend on the right") << 3 << int(Qt::AlignRight) << QString("Title");
        QTest::newRow("legend on the right taller than the plot")
            << 12 << int(Qt::AlignRight) << QString();
        QTest::newRow("legend at the top") << 4 << int(Qt::AlignTop) << QString("Two<br>lines");
    }

    void minimumSizeReads()
    {
        QFETCH(int, series);
        QFETCH(int, legend);
        QFETCH(QString, title);
        QChart* chart = WhiteChart(QMargins(4, 4, 4, 4));
        chart->setTitle(title);
        chart->legend()->setVisible(legend != 0);
        if (legend) chart->legend()->setAlignment(Qt::Alignment(legend));
        for (int i = 0; i < series; ++i) {
            auto* line = new QLineSeries;
            line->setName(QString("curve %1").arg(i));
            line->append(1, 1 + i);
            line->append(1000, 100 + i);
            chart->addSeries(line);
        }
        auto* bottom = new QLogValueAxis;
        bottom->setTitleText("freq/Hz");
        auto* left = new QLogValueAxis;
        AttachAxes(chart, bottom, left);
        // Decades inside the ends: a label at an end stands half beyond the plot.
        bottom->setRange(0.2, 5000);
        left->setRange(2e-6, 5e3);
        PatternDecadeLabels(chart, bottom, Qt::AlignBottom, "######");
        PatternDecadeLabels(chart, left, Qt::AlignLeft, "#####");
        QWidget host;
        auto* view = new QChartView(chart);
        view->setObjectName("chart");
        KeepChartReadable(view);
        auto* column = new QVBoxLayout(&host);
        column->setContentsMargins(0, 0, 0, 0);
        column->addWidget(view);
        host.resize(800, 600);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QCoreApplication::processEvents();
        // Squeezed, the chart's legend and labels lay out anew, and the minimum follows them.
        for (int turn = 0; turn < 3; ++turn) {
            host.resize(host.minimumSizeHint());
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
        }
        QCOMPARE(host.size(), host.minimumSizeHint());
        const QString fault = ChartReadingFault(view);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        // Nothing but the legend's whole extent makes the plot larger than it needs.
        const QRectF plot = chart->plotArea();
        if (legend != Qt::AlignTop)
            QVERIFY2(plot.width() < kReadablePlotWidth + 2,
                     qPrintable(QString::number(plot.width())));
        if (series < 12)
            QVERIFY2(plot.height() < kReadablePlotHeight + 2,
                     qPrintable(QString::number(plot.height())));
    }

    // Room the chart gives up first is not counted; room that comes and goes is counted as it is.
    void spareAndPassingRoom()
    {
        QChart* chart = WhiteChart(QMargins(4, 4, 4, 4));
        chart->legend()->hide();
        auto* line = new QLineSeries;
        line->append(0, 0);
        line->append(1, 1);
        chart->addSeries(line);
        AttachAxes(chart, PatternAxis("0.0"), PatternAxis("0.0"));
        QChartView view(chart);
        ReadableChart* readable = KeepChartReadable(&view);
        view.resize(700, 500);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCoreApplication::processEvents();
        const QSize plain = readable->Minimum();
        QVERIFY(plain.width() > kReadablePlotWidth && plain.height() > kReadablePlotHeight);
        const QMargins margins = chart->margins();
        // Room counted apart from before it comes until it has gone.
        readable->SetSpare([] { return QSize(0, 30); });
        chart->setMargins(margins + QMargins(0, 30, 0, 0));
        QCoreApplication::processEvents();
        QCOMPARE(readable->Minimum(), plain);
        chart->setMargins(margins);
        QCoreApplication::processEvents();
        readable->SetSpare(nullptr);
        QCOMPARE(readable->Minimum(), plain);
        int passing = 0;
        readable->SetPassing([&passing] { return QSize(passing, 0); });
        passing = 40;
        chart->setMargins(margins + QMargins(0, 0, 40, 0));
        QCoreApplication::processEvents();
        QCOMPARE(readable->Minimum(), plain + QSize(40, 0));
        QTRY_COMPARE(view.minimumSize(), readable->Minimum());
        readable->SetPassing(nullptr);
    }
};

QTEST_MAIN(ReadableChartTest)
#include "tst_readablechart.moc"
