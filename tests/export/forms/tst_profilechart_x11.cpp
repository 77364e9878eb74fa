// The profile gesture and its chart under a real X server with a window manager: the rectangle
// shown while the mouse drags it, the chart of L14's 58 stations with every legend entry whole and
// no station label over another label or the legend, as it opens, maximized and tiled, and the
// progress dialog wide enough for its frame's title and its step.
//
// With QUILLANE_SCREENSHOTS naming a folder, the screen is saved there at each of these moments.

#include <QtTest>

#include <QGraphicsSimpleTextItem>
#include <QMdiArea>
#include <QProcess>
#include <QProgressDialog>
#include <QRubberBand>
#include <QScreen>

#include "app/Application.h"
#include "app/MainForm.h"
#include "app/ProgressDialog.h"
#include "app/ScriptedUserInterface.h"
#include "export/forms/TEMTrace.h"
#include "map/TxRx.h"
#include "tests/export/forms/ProfileChartChecks.h"
#include "tests/support/forms/Screenshot.h"
#include "tests/support/forms/WindowFixture.h"

namespace {

bool Xdotool(const QStringList& arguments)
{
    return QProcess::execute("xdotool", arguments) == 0;
}

QList<TTEMTraceForm*> Charts()
{
    QList<TTEMTraceForm*> charts;
    for (QMdiSubWindow* window : Form1->MdiArea->subWindowList())
        if (auto* chart = qobject_cast<TTEMTraceForm*>(window)) charts << chart;
    return charts;
}

}  // namespace

class ProfileChartX11Test : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        StartMaximizedMainForm();
        Form2 = new TForm2(Form1);
        QTRY_VERIFY(Form2->isVisible());
    }

    void cleanupTestCase() { delete Form1; }

    // L14 loaded, its map filling the main window's area; the load's progress dialog shows with
    // its title and step whole.
    void loadShowsAWideEnoughProgressDialog()
    {
        const QString file = QStringLiteral(QUILLANE_PEER_DATA "/pycsamt/L14.avg");
        if (!QFile::exists(file)) QSKIP("the peer data are not here");
        ProgressDialog::ShowAfter = 0;
        ProgressDialog::LookInterval = 0;
        QRect frame, client;
        int wanted = 0;
        bool shot = false;
        ProgressDialog::OnLook = [&](QProgressDialog& dialog) {
            if (shot) return;
            QTest::qWait(300);  // the window manager frames it
            frame = dialog.frameGeometry();
            client = dialog.geometry();
            const QString title = dialog.windowTitle().isEmpty()
                                      ? QGuiApplication::applicationDisplayName()
                                      : dialog.windowTitle();
            wanted = ProgressDialogWidth(title, dialog.labelText());
            Screenshot("progress");
            shot = true;
        };
        Form1->OpenDialog.Files = {QFile::encodeName(file).toStdString()};
        Form1->OpenDialog.FileName = Form1->OpenDialog.Files.front();
        Form1->OpenChosenFiles();
        ProgressDialog::OnLook = nullptr;
        ProgressDialog::ShowAfter = 500;
        ProgressDialog::LookInterval = 50;
        QCOMPARE(Form1->ExStations.size(), size_t(58));
        QVERIFY(shot);
        QVERIFY2(client.width() >= wanted,
                 qPrintable(QString("%1 < %2").arg(client.width()).arg(wanted)));
        QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(frame));
        Form2->showMaximized();
        QTRY_VERIFY(Form2->isMaximized());
        QTest::qWait(300);
    }

    // A real drag with Shift held: the rectangle follows the mouse and goes with the release,
    // which picks the stations inside and opens their chart.
    void rubberBandFollowsTheMouse()
    {
        if (Form1->ExStations.empty()) QSKIP("the peer data are not here");
        ScriptedUserInterface ui;  // the response file's dialog is cancelled
        QWidget* viewport = Form2->Chart1->viewport();
        const QRectF area = Form2->Chart1->chart()->plotArea();
        const QPoint from = viewport->mapToGlobal(area.topLeft().toPoint() + QPoint(2, 2));
        const QPoint to = viewport->mapToGlobal(area.bottomRight().toPoint() - QPoint(2, 2));
        const QPoint middle = (from + to) / 2;
        QVERIFY(Xdotool({"mousemove", "--sync", QString::number(from.x()),
                         QString::number(from.y()), "keydown", "shift", "mousedown", "1"}));
        QTest::qWait(100);
        QVERIFY(Xdotool(
            {"mousemove", "--sync", QString::number(middle.x()), QString::number(middle.y())}));
        QTRY_VERIFY(Form2->ProfileBand() && Form2->ProfileBand()->isVisible());
        QCOMPARE(Form2->ProfileBand()->geometry(),
                 QRect(viewport->mapFromGlobal(from), viewport->mapFromGlobal(middle)));
        Screenshot("rubberband");
        QVERIFY(Xdotool({"mousemove", "--sync", QString::number(to.x()), QString::number(to.y())}));
        QTRY_COMPARE(Form2->ProfileBand()->geometry().bottomRight(), viewport->mapFromGlobal(to));
        QVERIFY(Xdotool({"mouseup", "1", "keyup", "shift"}));
        QTRY_VERIFY(!Form2->ProfileBand()->isVisible());
        QTRY_COMPARE(Charts().size(), 1);
        QCOMPARE(Form2->SelectedStations.size(), size_t(58));
    }

    // The chart of the 58 stations as it opens, maximized and tiled beside the map.
    void chartShowsEveryLegendEntryWhole()
    {
        if (Charts().isEmpty()) QSKIP("no chart");
        TTEMTraceForm* chart = Charts().front();
        QTRY_VERIFY(chart->isVisible());
        auto check = [chart](const QString& moment) {
            QTest::qWait(300);
            Screenshot(moment);
            QTRY_COMPARE(chart->Legend->EntryRects().size(), chart->TraceSeries.size());
            const QString fault = ProfileChartLayoutFault(chart);
            QVERIFY2(fault.isEmpty(), qPrintable(moment + ": " + fault));
        };
        check("chart-opened");
        chart->showMaximized();
        check("chart-maximized");
        chart->showNormal();
        Form1->MdiArea->tileSubWindows();
        check("chart-tiled");
        chart->resize(871, 541);  // the size it opens with beside windows that are not maximized
        check("chart-default");
    }
};

int main(int argc, char** argv)
{
    QuillaneApplication app(argc, argv);
    ProfileChartX11Test test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_profilechart_x11.moc"
