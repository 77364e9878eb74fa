// The station editor under a real X server with a window manager, on the survey L14 with the
// position file published with it: every coordinate and label reads in full at the dialog's first
// size and maximized, where the columns share the room the grid is given.

#include <QtTest>

#include <QPushButton>
#include <QScreen>

#include "app/Application.h"
#include "app/MainForm.h"
#include "app/ScriptedUserInterface.h"
#include "tests/support/forms/Screenshot.h"
#include "tests/support/forms/StationEditorFixture.h"
#include "tests/support/forms/WindowFixture.h"

namespace {

// The screen after the window has painted what changed.
void Screenshot(QWidget* window, const char* step)
{
    window->repaint();
    Screenshot(QString("station-editor-") + step);
}

}  // namespace

class StationEditorX11Test : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { StartMaximizedMainFormWithMap(); }

    void cleanupTestCase() { delete Form1; }

    void peerSurveyReadsInFullAtEverySize()
    {
        const std::string stn = LoadPeerSurveyL14();
        if (stn.empty()) QSKIP("peer data absent");
        QCOMPARE(Form1->ExStations.size(), size_t(58));
        ScriptedUserInterface ui;
        ui.FileAnswers.push_back({{stn}});
        bool reached = false;
        WhenShown([&](QDialog* dialog) {
            reached = true;
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
            PositionTable* grid = ChangeXY->StringGrid1;
            QCOMPARE(ColumnMisfit(), QString());
            Screenshot(dialog, "filled");
            QTest::mouseClick(ChangeXY->Button1, Qt::LeftButton);
            QCOMPARE(grid->rowCount(), 58);
            QCOMPARE(ColumnMisfit(), QString());
            QVERIFY(ColumnsWidth() <= grid->viewport()->width());
            Screenshot(dialog, "loaded");

            const QRect area = dialog->screen()->availableGeometry();
            dialog->showMaximized();
            QTRY_VERIFY_WITH_TIMEOUT(dialog->frameGeometry().width() >= area.width() - 2, 10000);
            QTRY_COMPARE_WITH_TIMEOUT(ColumnsWidth(), grid->viewport()->width(), 10000);
            QCOMPARE(ColumnMisfit(), QString());
            Screenshot(dialog, "maximized");
            QTest::mouseClick(ChangeXY->BitBtn1, Qt::LeftButton);
            QVERIFY(!dialog->isVisible());
        });
        Form1->N19->trigger();
        QVERIFY(reached);
        QVERIFY(ui.Shown.empty());
        QCOMPARE(Form1->ExStations.front().Info.X, 497563.0f);
        QCOMPARE(Form1->ExStations.back().Info.Y, 3182576.0f);
    }
};

int main(int argc, char** argv)
{
    QuillaneApplication app(argc, argv);
    StationEditorX11Test test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_xy_x11.moc"
