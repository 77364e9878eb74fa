// The arrangements "水平平铺" and "垂直平铺" under a real X server with a window manager, with L14
// loaded and the station map, the sounding-curve viewer and the static-shift window open, then a
// profile chart as well: every chart of every window reads after either arrangement (its plot,
// axis labels and titles and legend whole), the windows lie one after the other without overlap,
// and what reaches beyond the area is reached by its scroll bar.
//
// With QUILLANE_SCREENSHOTS naming a folder, the screen is saved there after each arrangement.

#include <QtTest>

#include <QChartView>
#include <QMdiArea>
#include <QScreen>
#include <QScrollBar>

#include "app/Application.h"
#include "app/MainForm.h"
#include "app/ScriptedUserInterface.h"
#include "export/forms/TEMTrace.h"
#include "map/TxRx.h"
#include "processing/forms/RES_PREVIEW.h"
#include "processing/forms/SEC.h"
#include "tests/support/forms/ChartReading.h"
#include "tests/support/forms/Screenshot.h"
#include "tests/support/forms/WindowFixture.h"

namespace {

// Empty when every chart of the window reads; the static-shift window's ratio chart is a strip.
QString ReadingFault(const QMdiSubWindow* window)
{
    for (const QChartView* view : window->findChildren<QChartView*>()) {
        const bool strip = qobject_cast<const TForm4*>(window) && view->objectName() == "Chart2";
        const QString fault = ChartReadingFault(
            view, QSize(kReadablePlotWidth, strip ? kReadableStripHeight : kReadablePlotHeight));
        if (!fault.isEmpty()) return window->windowTitle() + " " + fault;
    }
    return QString();
}

// Empty when the windows lie one after the other from the area's origin as the arrangement
// lays them, each at least at its minimum size and as broad as the area across, and every
// window's charts read, also once the area is scrolled to its far end.
QString ArrangementFault(bool oneAboveTheOther)
{
    const QList<QMdiSubWindow*> windows = Form1->ArrangedWindows();
    QMdiArea* area = Form1->MdiArea;
    const QSize room = area->viewport()->size();
    int start = 0;
    for (const QMdiSubWindow* w : windows) {
        const QRect g = w->geometry();
        const QSize minimum = w->minimumSizeHint();
        const QString name = w->windowTitle() + ": ";
        if ((oneAboveTheOther ? g.top() : g.left()) != start) return name + "not next to the last";
        if ((oneAboveTheOther ? g.left() : g.top()) != 0) return name + "off the area's side";
        if (g.height() < minimum.height() || g.width() < minimum.width())
            return name +
                   QString("below its minimum %1 x %2").arg(minimum.width()).arg(minimum.height());
        if ((oneAboveTheOther ? g.width() : g.height()) <
            (oneAboveTheOther ? room.width() : room.height()))
            return name + "narrower than the area";
        start += oneAboveTheOther ? g.height() : g.width();
        const QString fault = ReadingFault(w);
        if (!fault.isEmpty()) return fault;
    }
    const int length = oneAboveTheOther ? room.height() : room.width();
    QScrollBar* bar = oneAboveTheOther ? area->verticalScrollBar() : area->horizontalScrollBar();
    if (start < length) return QString("%1 of %2 left empty").arg(length - start).arg(length);
    if (start > length) {
        if (!bar->isVisible()) return "no scroll bar to reach beyond the area";
        bar->setValue(bar->maximum());
        QCoreApplication::processEvents();
        const QRect last = windows.last()->geometry();
        const int end = oneAboveTheOther ? last.bottom() : last.right();
        bar->setValue(bar->minimum());
        QCoreApplication::processEvents();
        if (end + 1 > length)
            return QString("the last window ends at %1 of %2").arg(end).arg(length);
    }
    return QString();
}

}  // namespace

class TilingX11Test : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        StartMaximizedMainForm();
        Form2 = new TForm2(Form1);
        QTRY_VERIFY(Form2->isVisible());
        const QString file = QStringLiteral(QUILLANE_PEER_DATA "/pycsamt/L14.avg");
        if (!QFile::exists(file)) QSKIP("the peer data are not here");
        Form1->OpenDialog.Files = {QFile::encodeName(file).toStdString()};
        Form1->OpenDialog.FileName = Form1->OpenDialog.Files.front();
        Form1->OpenChosenFiles();
        QCOMPARE(Form1->ExStations.size(), size_t(58));
    }

    void cleanupTestCase() { delete Form1; }

    void arrangements_data()
    {
        QTest::addColumn<bool>("profileChart");
        QTest::newRow("three windows") << false;
        QTest::newRow("four windows") << true;
    }

    void arrangements()
    {
        QFETCH(bool, profileChart);
        Form1->N8Click(Form1->N8);
        Form1->SEC1Click(Form1->SEC1);
        if (profileChart) {
            ScriptedUserInterface ui;  // the response file's dialog is cancelled
            Form2->SelectedStations.clear();
            for (const TStation& s : Form1->ExStations) Form2->SelectedStations.push_back(s.Name);
            Form1->ShowExProfileChart();
        }
        QCOMPARE(Form1->ArrangedWindows().size(), profileChart ? 4 : 3);
        QTest::qWait(300);
        const QString count = profileChart ? "4" : "3";

        Form1->N11Click(Form1->N11);
        QTRY_VERIFY2_WITH_TIMEOUT(ArrangementFault(true).isEmpty(),
                                  qPrintable(ArrangementFault(true)), 5000);
        Screenshot("tiled-horizontally-" + count);
        Form1->N12Click(Form1->N12);
        QTRY_VERIFY2_WITH_TIMEOUT(ArrangementFault(false).isEmpty(),
                                  qPrintable(ArrangementFault(false)), 5000);
        Screenshot("tiled-vertically-" + count);
        // Back from side by side, and once more from the area scrolled to its end.
        Form1->N11Click(Form1->N11);
        QTRY_VERIFY2_WITH_TIMEOUT(ArrangementFault(true).isEmpty(),
                                  qPrintable(ArrangementFault(true)), 5000);
        QScrollBar* bar = Form1->MdiArea->verticalScrollBar();
        bar->setValue(bar->maximum());
        QCoreApplication::processEvents();
        Form1->N11Click(Form1->N11);
        QTRY_VERIFY2_WITH_TIMEOUT(ArrangementFault(true).isEmpty(),
                                  qPrintable(ArrangementFault(true)), 5000);
    }
};

int main(int argc, char** argv)
{
    QuillaneApplication app(argc, argv);
    TilingX11Test test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_tiling_x11.moc"
