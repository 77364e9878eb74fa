#include <QtTest>

#include <QCategoryAxis>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScatterSeries>
#include <QTemporaryDir>
#include <QToolButton>
#include <functional>
#include <memory>

#include "app/Application.h"
#include "app/MainForm.h"
#include "app/Pictures.h"
#include "app/ScriptedUserInterface.h"
#include "base/RoundTicks.h"
#include "base/StringList.h"
#include "map/TxRx.h"
#include "processing/CorrectionCurves.h"
#include "processing/forms/NTC_PREVIEW.h"
#include "tests/processing/forms/ViewerSurvey.h"
#include "tests/support/forms/ChartReading.h"

namespace {

QString Title()
{
    return Form6->Chart1->chart()->title();
}

// Runs the command; while its window is shown modally, drives it and then closes it. False when
// no window came up.
bool RunViewer(const std::function<void()>& drive)
{
    bool shown = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal != Form6) return;
        shown = true;
        drive();
        if (Form6) Form6->close();
    });
    Form1->ToolButton11->trigger();
    FlushDeletes();
    return shown;
}

void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyRelease(Form6->Chart1, static_cast<Qt::Key>(key), modifiers);
}

}  // namespace

class CorrectionViewerTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir::setCurrent(dir_->path()));
        StartMainForm();
        LoadViewerSurvey(Form1);
    }

    void cleanup()
    {
        delete Form1;
        FlushDeletes();
        QVERIFY(Form6 == nullptr);
    }

    void nothingWithoutExOrHy()
    {
        Form1->HyStations.clear();
        QVERIFY(!RunViewer([] {}));
        Form1->ExStations.clear();
        QVERIFY(!RunViewer([] {}));
    }

    void showsTheThreeCurvesModally()
    {
        // The first station stored from low to high frequency.
        CorrectionCurves expected;
        ComputeCorrectionCurves(*Form1, "100", expected);
        QVERIFY(RunViewer([&] {
            TForm6* v = Form6;
            QVERIFY(v->isModal());
            QCOMPARE(v->parent(), Form1);
            QCOMPARE(v->windowTitle(), Text("CSEM近区-过渡区改正效果图"));
            QCOMPARE(v->size(), QSize(688, 382));
            QCOMPARE(Title(), Text("点频率测深改正曲线100"));
            QCOMPARE(v->STN->text(), QString("100"));
            QCOMPARE(v->StaticText1->text(), Text("当前测点为："));
            QCOMPARE(v->Series1->name(), Text("近区"));
            QCOMPARE(v->Series2->name(), Text("远区"));
            QCOMPARE(v->Series3->name(), Text("改正后"));
            QCOMPARE(v->Series1->markerSize(), 7.0);
            QCOMPARE(v->Series2->markerSize(), 5.0);
            QCOMPARE(v->Series3->markerSize(), 5.0);
            QVERIFY(!v->Series4->isVisible() && v->Series4->count() == 0);
            QVERIFY(!v->Series5->isVisible() && v->Series5->count() == 0);
            QVERIFY(v->BottomAxis->isReverse());
            QCOMPARE(v->BottomAxis->titleText(), QString("freq/Hz"));
            // What shows are the decades in "######" and "#####", those below 1 in their short
            // form, on the hidden axes' ranges.
            int shown = 0;
            for (QAbstractAxis* axis : v->Chart1->chart()->axes()) {
                if (!axis->isVisible()) continue;
                ++shown;
                auto* labels = qobject_cast<QCategoryAxis*>(axis);
                QVERIFY(labels && !labels->truncateLabels());
                const bool bottom = axis->alignment() == Qt::AlignBottom;
                QLogValueAxis* log = bottom ? v->BottomAxis : v->LeftAxis;
                QCOMPARE(labels->min(), std::log10(log->min()));
                QCOMPARE(labels->isReverse(), bottom);
                if (bottom) QCOMPARE(labels->titleText(), QString("freq/Hz"));
                for (const QString& name : labels->categoriesLabels())
                    QCOMPARE(name.trimmed(), QString::fromStdString(DecadeLabel(
                                                 bottom ? "######" : "#####",
                                                 int(std::lround(labels->endValue(name))))));
            }

            QCOMPARE(v->Series2->points(), Points(expected.StoredFreq, expected.UncorrectedMT));
            QCOMPARE(v->Series2->at(0).x(), 1.0);  // stored order
            QCOMPARE(v->Series1->points(), Points(expected.Curves.Freq, expected.Curves.RhoExHyN));
            QCOMPARE(v->Series1->at(0).x(), 10000.0);  // descending
            QCOMPARE(v->Series3->points(), Points(expected.Curves.Freq, expected.Curves.RhoMT));
            // At its smallest size the chart still reads, its three legend entries whole.
            const QString fault = FaultAtMinimumSize(v);
            QVERIFY2(fault.isEmpty(), qPrintable(fault));
        }));
        QCOMPARE(Form1->CurrentStation, 0);
    }

    void stepsByButtonsAndKeys()
    {
        QStringList titles;
        QVERIFY(RunViewer([&] {
            Key(Qt::Key_Left);  // at the first: nothing
            Key(Qt::Key_Up);
            titles << Title();
            QTest::mouseClick(Form6->SpeedButton2, Qt::LeftButton);
            titles << Title();
            Key(Qt::Key_Right, Qt::ControlModifier);  // an arrow steps with Ctrl held too
            titles << Title();
            Key(Qt::Key_Down);  // at the last: nothing
            Form6->SpeedButton2Click();
            titles << Title() << QString::number(Form1->CurrentStation);
            Key(Qt::Key_Up);
            titles << Title();
            QTest::mouseClick(Form6->SpeedButton1, Qt::LeftButton);
            titles << Title();
            Key(Qt::Key_Down);
            titles << Title();
            Key(Qt::Key_A);  // other keys do nothing
            titles << Title();
            // A key on another control reaches the window as well.
            QTest::keyRelease(Form6->BitBtn1, Qt::Key_Right);
            titles << Title();
        }));
        QCOMPARE(titles,
                 QStringList({Text("点频率测深改正曲线100"), Text("点频率测深改正曲线200"),
                              Text("点频率测深改正曲线300"), Text("点频率测深改正曲线300"), "2",
                              Text("点频率测深改正曲线200"), Text("点频率测深改正曲线100"),
                              Text("点频率测深改正曲线200"), Text("点频率测深改正曲线200"),
                              Text("点频率测深改正曲线300")}));
        QCOMPARE(Form1->CurrentStation, 0);  // closing resets it
    }

    void arrowsInTheOpenMenuDoNotStep()
    {
        QVERIFY(RunViewer([] {
            Form6->PopupMenu1->popup(Form6->mapToGlobal(QPoint(20, 20)));
            QTest::keyClick(Form6->PopupMenu1, Qt::Key_Down);
            QTest::keyClick(Form6->PopupMenu1, Qt::Key_Right);
            QCOMPARE(Form1->CurrentStation, 0);
            Form6->PopupMenu1->close();
        }));
    }

    void copyAndSaveByKeys()
    {
        QGuiApplication::clipboard()->clear();
        int station = -1;
        QVERIFY(RunViewer([&] {
            Form6->SpeedButton2Click();
            Key(Qt::Key_C, Qt::ControlModifier);  // copies without stepping
            station = Form1->CurrentStation;
            Key(Qt::Key_S, Qt::ControlModifier);
            Key(Qt::Key_S, Qt::ControlModifier);  // a second save replaces the file
        }));
        QCOMPARE(station, 1);
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data && data->hasFormat(kEmfMimeType));

        CorrectionCurves expected;
        ComputeCorrectionCurves(*Form1, "200", expected);
        StringList file;
        file.LoadFromFile("200_RES_COMP.TXT");
        QCOMPARE(file.Text(), ResistivityComparisonText(expected));
        QCOMPARE(file.Count(), 7u);
        QVERIFY(!QFile::exists("100_RES_COMP.TXT"));
    }

    void saveByMenuAndTheFailureReported()
    {
        ScriptedUserInterface ui;
        QVERIFY(QDir().mkdir("100_RES_COMP.TXT"));  // a folder stands where the file would go
        QVERIFY(RunViewer([&] {
            QCOMPARE(Form6->N1->text().section('\t', 0, 0), Text("复制图形"));
            QCOMPARE(Form6->N2->text().section('\t', 0, 0), Text("保存数据"));
            Form6->N2->trigger();
            Form6->SpeedButton2Click();
            Form6->N2->trigger();
        }));
        QCOMPARE(ui.Shown.size(), 1u);
        QCOMPARE(ui.Shown[0].Kind, ScriptedUserInterface::Message);
        QCOMPARE(ui.Shown[0].Text, std::string("Cannot create file 100_RES_COMP.TXT"));
        QVERIFY(QFileInfo("100_RES_COMP.TXT").isDir());
        QVERIFY(QFile::exists("200_RES_COMP.TXT"));
    }

    // A station whose correction fails is named over empty series and saves no file, neither
    // under its own name nor with the values of the station shown before.
    void failedStationShowsNothingOfAnother()
    {
        ScriptedUserInterface ui;
        for (float& a : Form1->ExStations[1].Amplitude.Y) a = 0.0f;
        QString title, stn;
        int points = -1;
        QVERIFY(RunViewer([&] {
            Key(Qt::Key_Right);
            title = Title();
            stn = Form6->STN->text();
            points = Form6->Series1->count() + Form6->Series2->count() + Form6->Series3->count();
            Key(Qt::Key_S, Qt::ControlModifier);
            Key(Qt::Key_S, Qt::ControlModifier);
            Key(Qt::Key_Right);
            Key(Qt::Key_S, Qt::ControlModifier);
        }));
        QCOMPARE(title, Text("点频率测深改正曲线200"));
        QCOMPARE(stn, QString("200"));
        QCOMPARE(points, 0);
        QVERIFY(!QFile::exists("200_RES_COMP.TXT"));
        QCOMPARE(ui.Shown.size(), 3u);  // the step and both saves of station 200
        for (const auto& shown : ui.Shown)
            QCOMPARE(shown.Kind, ScriptedUserInterface::ExceptionBox);
        QVERIFY(QFile::exists("300_RES_COMP.TXT"));
    }

    void helpText()
    {
        ScriptedUserInterface ui;
        QVERIFY(RunViewer([] { QTest::mouseClick(Form6->BitBtn1, Qt::LeftButton); }));
        QCOMPARE(ui.Shown.size(), 1u);
        QCOMPARE(ui.Shown[0].Text, std::string("键盘快速操作\n\n"
                                               "Ctrl+C      ::复制图象到剪贴板\n"
                                               "Ctrl+S      ::保存对比数据到测点同名的文本文件中\n"
                                               "Up||Left    ::浏览上个测点\n"
                                               "DOWN||RIGHT ::浏览下个测点\n\n"
                                               "试试效果。\n"));
    }

    void stationOutsideTheList()
    {
        // Left beyond the list by a viewer over another survey: the first station is shown.
        Form1->CurrentStation = 5;
        QString title;
        QVERIFY(RunViewer([&] { title = Title(); }));
        QCOMPARE(title, Text("点频率测深改正曲线100"));

        // A station with no kept sample: three empty series, a file of the two header lines.
        Form1->HyStations[2].Amplitude.X.assign(5, 3.5f);
        Form1->CurrentStation = 2;
        int points = -1;
        QVERIFY(RunViewer([&] {
            points = Form6->Series1->count() + Form6->Series2->count() + Form6->Series3->count();
            Form6->N2Click();
        }));
        QCOMPARE(points, 0);
        StringList file;
        file.LoadFromFile("300_RES_COMP.TXT");
        QCOMPARE(file.Count(), 2u);
    }

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

int main(int argc, char** argv)
{
    QuillaneApplication app(argc, argv);
    CorrectionViewerTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ntc_preview.moc"
