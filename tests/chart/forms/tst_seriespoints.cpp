#include <QtTest>

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>

#include "chart/forms/MarkLayer.h"
#include "app/Pictures.h"

namespace {

struct View {
    QChartView* Chart;
    QLineSeries* Line;
    QScatterSeries* Circles;
    QScatterSeries* Squares;
    QScatterSeries* Images;
};

// A chart as the windows draw theirs: a line with marks and three kinds of scatter marks.
View MakeView()
{
    auto* chart = new QChart;
    chart->legend()->hide();
    View v{new QChartView(chart), new QLineSeries, new QScatterSeries, new QScatterSeries,
           new QScatterSeries};
    v.Line->setPointsVisible(true);
    v.Circles->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    v.Circles->setMarkerSize(9);
    v.Circles->setBorderColor(Qt::darkYellow);
    v.Squares->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    v.Squares->setMarkerSize(6);
    QImage star(7, 7, QImage::Format_ARGB32_Premultiplied);
    star.fill(Qt::transparent);
    QPainter painter(&star);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawLine(QPointF(0.5, 0.5), QPointF(6.5, 6.5));
    painter.drawLine(QPointF(0.5, 6.5), QPointF(6.5, 0.5));
    painter.end();
    v.Images->setLightMarker(star);
    v.Images->setMarkerSize(7);
    for (QXYSeries* s : {static_cast<QXYSeries*>(v.Line), static_cast<QXYSeries*>(v.Circles),
                         static_cast<QXYSeries*>(v.Squares), static_cast<QXYSeries*>(v.Images)})
        chart->addSeries(s);
    auto *x = new QValueAxis, *y = new QValueAxis;
    x->setRange(-10, 1010);
    y->setRange(-10, 510);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* s : chart->series()) {
        s->attachAxis(x);
        s->attachAxis(y);
    }
    v.Chart->setRenderHint(QPainter::Antialiasing);
    v.Chart->resize(500, 300);
    v.Chart->show();
    return v;
}

QList<QPointF> Grid(int n, double shift)
{
    QList<QPointF> points;
    for (int i = 0; i < n; ++i)
        points.append(QPointF(50 * (i % 20) + shift, 100 * (i / 20) + shift));
    return points;
}

}  // namespace

class SeriesPointsTest : public QObject {
    Q_OBJECT
private slots:
    // Points given through ReplaceSeriesPoints draw the very pictures a plain replace draws,
    // whether the counts grow, shrink, stay or fall to none.
    void samePicturesAsAPlainReplace()
    {
        View plain = MakeView(), shared = MakeView();
        QVERIFY(QTest::qWaitForWindowExposed(plain.Chart));
        QVERIFY(QTest::qWaitForWindowExposed(shared.Chart));
        for (int n : {60, 100, 100, 7, 0, 40}) {
            const QList<QPointF> line = Grid(n / 2, 3), circles = Grid(n, 0), squares = Grid(n, 20);
            plain.Line->replace(line);
            plain.Circles->replace(circles);
            plain.Squares->replace(squares);
            ReplaceSeriesPoints(
                shared.Chart->chart(),
                {{shared.Line, line}, {shared.Circles, circles}, {shared.Squares, squares}});
            QCoreApplication::processEvents();
            QCOMPARE(shared.Circles->points(), circles);
            QCOMPARE(shared.Squares->points(), squares);
            QVERIFY(shared.Chart->chart()->isVisible());
            QVERIFY(ChartMetafile(shared.Chart) == ChartMetafile(plain.Chart));
            QCOMPARE(ChartSvg(shared.Chart), ChartSvg(plain.Chart));
            QCOMPARE(shared.Chart->viewport()->grab().toImage(),
                     plain.Chart->viewport()->grab().toImage());
        }
        delete plain.Chart;
        delete shared.Chart;
    }

    // Marks painted by layers show the very pixels of Qt's own marks, and pictures are Qt's own:
    // round, square and image marks, inside, on the edge of and beyond the axes.
    void layersShowQtsOwnMarks()
    {
        View plain = MakeView(), layered = MakeView();
        for (QScatterSeries* s : {layered.Circles, layered.Squares, layered.Images})
            AddMarkLayer(s);
        QVERIFY(QTest::qWaitForWindowExposed(plain.Chart));
        QVERIFY(QTest::qWaitForWindowExposed(layered.Chart));
        const QList<QPointF> edges = {{-10, 250}, {1010, 77.7}, {500, 510}, {-10.5, 30}, {40, 511}};
        for (int n : {60, 400, 0, 7}) {
            const QList<QPointF> line = Grid(n / 2, 3), circles = Grid(n, 0.37) + edges,
                                 squares = Grid(n, 20.61) + edges, images = Grid(n, 41.13);
            plain.Line->replace(line);
            plain.Circles->replace(circles);
            plain.Squares->replace(squares);
            plain.Images->replace(images);
            ReplaceSeriesPoints(layered.Chart->chart(), {{layered.Line, line},
                                                         {layered.Circles, circles},
                                                         {layered.Squares, squares},
                                                         {layered.Images, images}});
            QCoreApplication::processEvents();
            QCOMPARE(ShownPoints(layered.Circles), circles);
            QCOMPARE(ShownPoints(layered.Images), images);
            QCOMPARE(layered.Circles->count() + layered.Squares->count(), 0);  // no Qt marks
            QCOMPARE(layered.Chart->viewport()->grab().toImage(),
                     plain.Chart->viewport()->grab().toImage());
            QVERIFY(ChartMetafile(layered.Chart) == ChartMetafile(plain.Chart));
            QCOMPARE(ChartSvg(layered.Chart), ChartSvg(plain.Chart));
            // The picture hands the points back to the layers.
            QCOMPARE(layered.Squares->count() + layered.Images->count(), 0);
            QCOMPARE(ShownPoints(layered.Squares), squares);
            QCOMPARE(layered.Chart->viewport()->grab().toImage(),
                     plain.Chart->viewport()->grab().toImage());
        }
        delete plain.Chart;
        delete layered.Chart;
    }
};

QTEST_MAIN(SeriesPointsTest)
#include "tst_seriespoints.moc"
