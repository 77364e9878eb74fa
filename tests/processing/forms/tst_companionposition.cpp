// Where the curve editor and its companion chart go on the screen: a table of placements worked
// out by hand, and the promises of the placement on the common screen sizes, for editor and
// chart frames of several sizes at every corner and edge. No window is shown.

#include <QtTest>

#include "processing/forms/TruncIPForm.h"

class CompanionPositionTest : public QObject {
    Q_OBJECT
private slots:
    // Frames in screen pixels; the companion's frame is 405 x 218, the editor's 900 x 650.
    void companionPlacement_data()
    {
        QTest::addColumn<QPoint>("editor");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QPoint>("editorAt");
        QTest::addColumn<QPoint>("at");
        const QRect wide(0, 0, 1920, 1080), mid(0, 0, 1600, 1000), small(0, 0, 1366, 768);
        QTest::newRow("above, centred")
            << QPoint(500, 300) << wide << QPoint(500, 300) << QPoint(748, 80);
        QTest::newRow("just room above")
            << QPoint(500, 220) << wide << QPoint(500, 220) << QPoint(748, 0);
        QTest::newRow("editor moved down")
            << QPoint(500, 100) << wide << QPoint(500, 220) << QPoint(748, 0);
        QTest::newRow("centred on 1600 x 1000")
            << QPoint(350, 175) << mid << QPoint(350, 220) << QPoint(598, 0);
        QTest::newRow("editor low on the screen")
            << QPoint(500, 600) << wide << QPoint(500, 430) << QPoint(748, 210);
        QTest::newRow("editor off the left edge")
            << QPoint(-400, 300) << wide << QPoint(0, 300) << QPoint(248, 80);
        QTest::newRow("editor off the right edge")
            << QPoint(1700, 300) << wide << QPoint(1020, 300) << QPoint(1268, 80);
        QTest::newRow("second screen") << QPoint(2300, 300) << QRect(1920, 40, 1280, 1024)
                                       << QPoint(2300, 300) << QPoint(2548, 80);
        // Too short for the pair: the chart beside the editor, right where there is room.
        QTest::newRow("beside, editor moved left")
            << QPoint(233, 59) << small << QPoint(59, 59) << QPoint(961, 59);
        QTest::newRow("beside on the right")
            << QPoint(0, 40) << small << QPoint(0, 40) << QPoint(902, 40);
        QTest::newRow("beside on the left")
            << QPoint(1000, 40) << QRect(0, 0, 1920, 700) << QPoint(1000, 40) << QPoint(593, 40);
        QTest::newRow("beside on the left, editor off the right edge")
            << QPoint(1300, 40) << QRect(0, 0, 1920, 700) << QPoint(1020, 40) << QPoint(613, 40);
        QTest::newRow("beside, editor moved up")
            << QPoint(0, 300) << small << QPoint(0, 118) << QPoint(902, 118);
        // Neither way: the editor stays, the chart in the corner.
        QTest::newRow("no room") << QPoint(62, -20) << QRect(0, 0, 1024, 600) << QPoint(62, 0)
                                 << QPoint(619, 382);
    }

    void companionPlacement()
    {
        QFETCH(QPoint, editor);
        QFETCH(QRect, area);
        QFETCH(QPoint, editorAt);
        QFETCH(QPoint, at);
        const QSize editorSize(900, 650), chartSize(405, 218);
        const CompanionPlacement place =
            CompanionPosition(QRect(editor, editorSize), chartSize, area);
        QCOMPARE(place.Editor, editorAt);
        QCOMPARE(place.Companion, at);
        const QRect e(place.Editor, editorSize), c(place.Companion, chartSize);
        QVERIFY(area.contains(c));
        if (area.width() >= 900 + 2 + 405 || area.height() >= 650 + 2 + 218) {
            QVERIFY(area.contains(e));
            QVERIFY(!c.intersects(e));
        }
        // Placed once, the pair stays where it is.
        const CompanionPlacement again = CompanionPosition(e, chartSize, area);
        QCOMPARE(again.Editor, place.Editor);
        QCOMPARE(again.Companion, place.Companion);
    }

    // The area of a screen alone, of a second screen right of a 1920-wide one with a panel
    // along its top, and of a screen left of the primary one.
    void everyScreenAndWindowSize_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QSize>("editorSize");
        QTest::addColumn<QSize>("chartSize");
        QTest::addColumn<QPoint>("editor");
        const QSize screens[] = {{1024, 600},  {1280, 720},  {1280, 1024}, {1366, 768},
                                 {1440, 900},  {1600, 900},  {1600, 1000}, {1920, 1080},
                                 {1920, 1200}, {2560, 1440}, {3840, 2160}};
        const QSize editors[] = {{640, 480}, {900, 650}, {1200, 800}};
        const QSize charts[] = {{405, 218}, {600, 400}};
        for (const QSize& screen : screens) {
            const std::pair<const char*, QRect> areas[] = {
                {"alone", QRect(QPoint(0, 0), screen)},
                {"second with a panel", QRect(1920, 32, screen.width(), screen.height() - 32)},
                {"left of the first", QRect(QPoint(-screen.width(), 0), screen)}};
            for (const auto& [where, area] : areas)
                for (const QSize& editor : editors)
                    for (const QSize& chart : charts) {
                        const int right = area.left() + area.width() - editor.width();
                        const int bottom = area.top() + area.height() - editor.height();
                        const std::pair<const char*, QPoint> starts[] = {
                            {"centred",
                             QPoint((area.left() + right) / 2, (area.top() + bottom) / 2)},
                            {"top left", area.topLeft()},
                            {"bottom right", QPoint(right, bottom)},
                            {"half off the left", QPoint(area.left() - editor.width() / 2, bottom)},
                            {"half off the right", QPoint(right + editor.width() / 2, area.top())},
                            {"above the top", QPoint(right, area.top() - 100)},
                            {"below the bottom", QPoint(area.left(), bottom + 300)}};
                        for (const auto& [at, start] : starts)
                            QTest::addRow("%dx%d %s, editor %dx%d, chart %dx%d, %s", screen.width(),
                                          screen.height(), where, editor.width(), editor.height(),
                                          chart.width(), chart.height(), at)
                                << area << editor << chart << start;
                    }
        }
    }

    void everyScreenAndWindowSize()
    {
        QFETCH(QRect, area);
        QFETCH(QSize, editorSize);
        QFETCH(QSize, chartSize);
        QFETCH(QPoint, editor);
        constexpr int kGap = 2;
        const QRect before(editor, editorSize);
        const CompanionPlacement place = CompanionPosition(before, chartSize, area);
        const QRect e(place.Editor, editorSize), c(place.Companion, chartSize);
        const auto fits = [&](const QSize& size) {
            return size.width() <= area.width() && size.height() <= area.height();
        };
        if (fits(editorSize)) QVERIFY(area.contains(e));
        if (fits(chartSize)) QVERIFY(area.contains(c));
        const bool tall = chartSize.height() + kGap + editorSize.height() <= area.height();
        const bool wide = editorSize.width() + kGap + chartSize.width() <= area.width();
        const bool onTheArea = area.contains(before);
        if (tall) {
            // Above the editor, centred over it where the area allows.
            QCOMPARE(c.bottom() + 1 + kGap, e.top());
            const int centred = e.left() + e.width() / 2 - c.width() / 2;
            if (centred >= area.left() && centred + c.width() <= area.left() + area.width())
                QCOMPARE(c.left(), centred);
            if (onTheArea && before.top() - kGap - c.height() >= area.top())
                QCOMPARE(place.Editor, editor);
        } else if (wide) {
            // Beside the editor at its top, on the right where there is room.
            QVERIFY(!c.intersects(e));
            if (c.height() <= e.height()) QCOMPARE(c.top(), e.top());
            const bool onTheRight = c.left() == e.right() + 1 + kGap;
            QVERIFY(onTheRight || c.right() + 1 + kGap == e.left());
            const bool roomRight = before.right() + 1 + kGap + c.width() <= area.right() + 1;
            const bool roomLeft = before.left() - kGap - c.width() >= area.left();
            if (roomRight) QVERIFY(onTheRight);
            if (onTheArea && (roomRight || roomLeft)) QCOMPARE(place.Editor, editor);
        } else {
            // Neither way: the editor stays, the chart in the area's bottom right corner.
            if (fits(chartSize)) QCOMPARE(c.bottomRight(), area.bottomRight());
            if (onTheArea) QCOMPARE(place.Editor, editor);
        }
        // Placed once, the pair stays where it is.
        const CompanionPlacement again = CompanionPosition(e, chartSize, area);
        QCOMPARE(again.Editor, place.Editor);
        QCOMPARE(again.Companion, place.Companion);
    }
};

QTEST_APPLESS_MAIN(CompanionPositionTest)

#include "tst_companionposition.moc"
