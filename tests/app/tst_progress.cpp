#include <QtTest>

#include <QCryptographicHash>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScatterSeries>
#include <QProgressDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/MainForm.h"
#include "app/ProgressDialog.h"
#include "app/ScriptedUserInterface.h"
#include "chart/forms/DisplayText.h"
#include "chart/forms/MarkLayer.h"
#include "export/ExportCommand.h"
#include "export/forms/SN_Freq.h"
#include "map/TxRx.h"
#include "model3d/forms/Save3DModel.h"
#include "tests/support/forms/WindowFixture.h"

namespace {

// Presses Cancel on the first progress dialog that shows, noting what it showed.
class Canceller {
public:
    Canceller()
    {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<QProgressDialog*>(widget);
                if (!dialog || !dialog->isVisible()) continue;
                Step = dialog->labelText();
                Modality = dialog->windowModality();
                Owner = dialog->parentWidget();
                dialog->cancel();
                timer_.stop();
            }
        });
        timer_.start();
    }

    QString Step;
    Qt::WindowModality Modality = Qt::NonModal;
    QWidget* Owner = nullptr;

private:
    QTimer timer_;
};

// The looks a command's progress dialogs take at the window system, in a run without Cancel.
int CountLooks(const std::function<void()>& command)
{
    int looks = 0;
    ProgressDialog::OnLook = [&looks](QProgressDialog&) { ++looks; };
    command();
    ProgressDialog::OnLook = nullptr;
    return looks;
}

// What a cancel pressed at one look of a command's progress dialogs met.
struct CancelPressed {
    QString Step;          // the step the dialog named
    bool Offered = false;  // the dialog had its Cancel button
};

// Runs the command with Cancel pressed at its look-th look, as the user would: the dialog's
// button where it has one, else Escape and then the frame's close box.
CancelPressed CancelAtLook(int look, const std::function<void()>& command)
{
    CancelPressed pressed;
    int seen = 0;
    ProgressDialog::OnLook = [&](QProgressDialog& dialog) {
        if (++seen != look) return;
        pressed.Step = dialog.labelText();
        auto* button = dialog.findChild<QPushButton*>();
        pressed.Offered = button && button->isVisible();
        if (pressed.Offered) {
            button->click();
        } else {
            QTest::keyClick(&dialog, Qt::Key_Escape);
            dialog.close();
        }
    };
    command();
    ProgressDialog::OnLook = nullptr;
    return pressed;
}

QString Describe(const std::vector<TStation>& stations)
{
    QString text;
    for (const TStation& s : stations)
        text += QString("%1:%2/%3 ")
                    .arg(QString::fromStdString(s.Name))
                    .arg(s.Amplitude.X.size())
                    .arg(s.Amplitude.Count);
    return text;
}

constexpr int kWindowsPart = 6;  // the open windows' entry of State

// What a command can change: the survey, the selection, the open windows, the map and the files
// of the folder.
QStringList State(const QDir& dir)
{
    QStringList parts;
    parts << "Ex " + Describe(Form1->ExStations) << "Hy " + Describe(Form1->HyStations);
    parts << QString("Tx %1 SECF %2")
                 .arg(Form1->Transmitters.size())
                 .arg(Form1->StaticFactors.size());
    QString files;
    for (const std::string& name : Form1->LoadedFiles) files += QString::fromStdString(name) + " ";
    parts << "Loaded " + files;
    QString frequencies;
    for (float f : Form1->OutputFreqs) frequencies += QString::number(f) + " ";
    parts << "Output " + frequencies;
    QString picked;
    for (int i : Form1->ProfileIndices) picked += QString::number(i) + " ";
    for (const std::string& name : Form2->SelectedStations)
        picked += QString::fromStdString(name) + " ";
    parts << "Picked " + picked;
    QString windows;  // kWindowsPart
    for (QMdiSubWindow* window : Form1->MdiArea->subWindowList())
        windows += QString(window->metaObject()->className()) + " ";
    parts << "Windows " + windows;
    parts << "Map " + Form2->TitleLines.join("|") +
                 QString(" %1").arg(ShownPoints(Form2->Series2).size());
    for (const QFileInfo& file : dir.entryInfoList(QDir::Files | QDir::Hidden)) {
        QFile f(file.filePath());
        f.open(QIODevice::ReadOnly);
        parts << file.fileName() + " " +
                     QCryptographicHash::hash(f.readAll(), QCryptographicHash::Md5).toHex();
    }
    return parts;
}

}  // namespace

class ProgressTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::unique_ptr<TForm7> builder_;  // the model builder opened last, driven by the test

    std::string Path(const char* name) const
    {
        return QFile::encodeName(dir_.filePath(QString::fromUtf8(name))).toStdString();
    }
    static bool Exists(const std::string& path)
    {
        return QFile::exists(QFile::decodeName(QByteArray::fromStdString(path)));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        StartMainForm();
        TForm7::ModalRunner = [this](std::unique_ptr<TForm7> form) {
            builder_ = std::move(form);
            builder_->show();
        };
        ProgressDialog::ShowAfter = 0;
    }

    void cleanupTestCase()
    {
        builder_.reset();
        delete Form1;
    }

    // The example files of the survey in a folder of their own, and the survey of the first two
    // loaded, as the commands below find it.
    void LoadExampleSurvey(const QDir& dir)
    {
        for (const QFileInfo& file : dir.entryInfoList(QDir::Files | QDir::Hidden))
            QFile::remove(file.filePath());
        for (const char* name : {"line1_amt.avg", "line1_csamt.avg", "line1.raw"})
            QVERIFY(
                QFile::copy(QString(QUILLANE_SOURCE_DIR "/examples/") + name, dir.filePath(name)));
        for (QMdiSubWindow* window : Form1->MdiArea->subWindowList())
            if (window != Form2) delete window;
        Form1->ClearLoadedData();
        Form1->ProfileIndices.clear();
        Form2->SelectedStations.clear();
        const int after = ProgressDialog::ShowAfter;
        ProgressDialog::ShowAfter = 1 << 30;  // no dialog: the looks counted are the command's
        Form1->OpenDialog.Files = {Local(dir, "line1_amt.avg")};
        Form1->OpenDialog.FileName = Form1->OpenDialog.Files.front();
        Form1->AppendFiles();
        ProgressDialog::ShowAfter = after;
        QVERIFY(!Form1->ExStations.empty());
    }

    static std::string Local(const QDir& dir, const char* name)
    {
        return QFile::encodeName(dir.filePath(name)).toStdString();
    }

    void cancelAtTheFirstAndTheLastMoment_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("lastStep");
        QTest::newRow("append") << 0 << Text("加载数据") << Text("加载数据");
        QTest::newRow("open") << 1 << Text("加载数据") << Text("加载数据");
        QTest::newRow("reload") << 2 << Text("加载数据") << Text("加载数据");
        QTest::newRow("append raw") << 3 << Text("加载数据") << Text("加载数据");
        QTest::newRow("export mtd") << 4 << Text("输出数据") << Text("输出数据");
        QTest::newRow("export z") << 5 << Text("输出数据") << Text("输出数据");
        QTest::newRow("export imp") << 6 << Text("输出数据") << Text("输出数据");
        QTest::newRow("static shift") << 7 << Text("显示静态效应") << Text("显示静态效应");
        QTest::newRow("profile pick") << 8 << Text("选择剖面") << Text("选择剖面");
        QTest::newRow("profile pick without file") << 9 << Text("选择剖面") << Text("选择剖面");
        QTest::newRow("profile chart") << 11 << Text("剖面图") << Text("剖面图");
        QTest::newRow("profile gesture") << 12 << Text("选择剖面") << Text("剖面图");
        QTest::newRow("station positions") << 10 << Text("保存点位数据") << Text("保存点位数据");
    }

    // Every command under a progress dialog, with Cancel pressed at the dialog's first look at
    // the window system and at its last: either the cancel ends the command with nothing
    // changed, or the work has made a change that stays and offers no cancel any more, and the
    // command ends as it does without one.
    void cancelAtTheFirstAndTheLastMoment()
    {
        QFETCH(int, command);
        QFETCH(QString, step);
        QFETCH(QString, lastStep);
        QDir dir(dir_.filePath("moments"));
        QVERIFY(dir.mkpath("."));
        ProgressDialog::LookInterval = 0;
        ScriptedUserInterface ui;
        std::string output;
        auto run = [&] {
            switch (command) {
            case 0:
            case 1:
                Form1->OpenDialog.Files = {Local(dir, "line1_csamt.avg"),
                                           Local(dir, "line1_amt.avg")};
                Form1->OpenDialog.FileName = Form1->OpenDialog.Files.front();
                if (command == 0)
                    Form1->AppendFiles();
                else
                    Form1->OpenChosenFiles();
                break;
            case 2:
                Form1->N29Click();
                break;
            case 3:
                Form1->OpenDialog.Files = {Local(dir, "line1.raw")};
                Form1->OpenDialog.FileName = Form1->OpenDialog.Files.front();
                Form1->AppendFiles();
                break;
            case 4:
            case 5:
            case 6:
                output = Local(dir, command == 4 ? "out.mtd" : command == 5 ? "out.z" : "out.imp");
                TForm3::ModalHook = [&output](TForm3& dialog) {
                    dialog.FileEdit->setText(QString::fromStdString(output));
                    dialog.Freqs->item(0)->setCheckState(Qt::Unchecked);  // one left out
                    return int(QDialog::Accepted);
                };
                Form1->OUTMTD1Click();
                break;
            case 7:
                Form1->SEC1Click();
                break;
            case 8:
            case 9:
                ui.FileAnswers.clear();
                if (command == 8) ui.FileAnswers.push_back({{Local(dir, "profile.stn")}});
                Form1->SelectProfileStations(-1e9, -1e9, 1e9, 1e9);
                break;
            case 11:
                Form1->ShowExProfileChart();
                break;
            case 12:
                ui.FileAnswers.clear();
                ui.FileAnswers.push_back({{Local(dir, "profile.stn")}});
                Form2->PressAt(-1e9, -1e9, true);
                Form2->ReleaseAt(1e9, 1e9, true);
                break;
            case 10:
                ui.FileAnswers.clear();
                ui.FileAnswers.push_back({{Local(dir, "out.stn")}});
                Form1->N6Click();
                break;
            }
        };

        auto prepare = [&] {
            LoadExampleSurvey(dir);
            if (command == 2) Form1->LoadedFiles.push_back(Local(dir, "line1_csamt.avg"));
            // The output dialog is filled with the survey's frequencies, whatever follows.
            if (command >= 4 && command <= 6) CollectFrequencies(*Form1);
            if (command == 11)
                for (const TStation& station : Form1->ExStations)
                    Form2->SelectedStations.push_back(station.Name);
        };
        // Looks at every report, and looks as far apart as they can be: then the dialog looks
        // only when it shows and when the work reports its end, which must come after the last
        // of its work and before what it commits.
        for (const int interval : {0, 1 << 30}) {
            ProgressDialog::LookInterval = interval;
            prepare();
            const QStringList before = State(dir);
            const int looks = CountLooks(run);
            const QStringList done = State(dir);
            QVERIFY(done != before);
            if (command == 9 || command == 10) {
                QCOMPARE(looks, 0);  // too short for a dialog: no cancel is offered
                return;
            }
            QVERIFY(looks > (interval == 0 ? 0 : 1));
            for (const int look : {1, looks}) {
                prepare();
                QCOMPARE(State(dir), before);
                const CancelPressed pressed = CancelAtLook(look, run);
                QCOMPARE(pressed.Step, look == 1 ? step : lastStep);
                if (look == 1) QVERIFY(pressed.Offered);
                QStringList expected = pressed.Offered ? before : done;
                if (command == 12 && look != 1) {
                    // The pick before the chart has written its file: the cancel drops the chart.
                    expected = done;
                    expected[kWindowsPart] = before[kWindowsPart];
                }
                QCOMPARE(State(dir), expected);
                QVERIFY(!QApplication::overrideCursor());
                QVERIFY(!QApplication::activeModalWidget());
            }
        }
        ProgressDialog::LookInterval = 50;
    }

    void cleanup()
    {
        TForm3::ModalHook = nullptr;
        QVERIFY(!QApplication::overrideCursor());
    }

    // Work that reports goes on until Cancel; then it ends quietly, the dialog and the busy
    // cursor gone. Once the work has changed something, a cancel no longer ends it.
    void cancelEndsTheWork()
    {
        int reports = 0;
        Canceller canceller;
        const bool finished = WithProgress(Form1, Text("加载数据"), [&] {
            for (;;) {
                ReportProgress(reports++, 0);
                QTest::qWait(1);
            }
        });
        QVERIFY(!finished);
        QCOMPARE(canceller.Step, Text("加载数据"));
        QCOMPARE(canceller.Modality, Qt::WindowModal);
        QCOMPARE(canceller.Owner, Form1);
        QVERIFY(!QApplication::overrideCursor());

        Canceller late;
        reports = 0;
        QVERIFY(WithProgress(Form1, Text("输出数据"), [&] {
            ReportChangesMade();
            while (reports < 20) {
                ReportProgress(reports++, 20);
                QTest::qWait(5);
            }
        }));
        QCOMPARE(late.Step, Text("输出数据"));  // Escape still cancels the dialog: the work goes on
        QCOMPARE(reports, 20);
    }

    // Once the work has changed what stays, neither Escape nor the close box ends it, and the
    // dialog stays on the screen.
    void noCancelOnceChangesAreMade()
    {
        ProgressDialog::LookInterval = 0;
        int reports = 0;
        bool shown = true, cancelled = false;
        ProgressDialog::OnLook = [&](QProgressDialog& dialog) {
            if (reports == 3) {
                QTest::keyClick(&dialog, Qt::Key_Escape);
                dialog.close();
                shown = shown && dialog.isVisible();
                cancelled = dialog.wasCanceled();
            }
        };
        QVERIFY(WithProgress(Form1, Text("输出数据"), [&] {
            ReportChangesMade();
            for (; reports < 6; ++reports) ReportProgress(reports, 6);
        }));
        ProgressDialog::OnLook = nullptr;
        ProgressDialog::LookInterval = 50;
        QCOMPARE(reports, 6);
        QVERIFY(shown);
        QVERIFY(!cancelled);
    }

    // Escape and the frame's close box cancel as the button does, while the work may be ended.
    void escapeAndCloseBoxCancel_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Escape") << true;
        QTest::newRow("close box") << false;
    }

    void escapeAndCloseBoxCancel()
    {
        QFETCH(bool, escape);
        ProgressDialog::LookInterval = 0;
        int reports = 0;
        ProgressDialog::OnLook = [&](QProgressDialog& dialog) {
            if (reports != 2) return;
            if (escape)
                QTest::keyClick(&dialog, Qt::Key_Escape);
            else
                dialog.close();
        };
        const bool finished = WithProgress(Form1, Text("加载数据"), [&] {
            for (; reports < 6; ++reports) ReportProgress(reports, 6);
        });
        ProgressDialog::OnLook = nullptr;
        ProgressDialog::LookInterval = 50;
        QVERIFY(!finished);
        QCOMPARE(reports, 2);
    }

    // The dialog is wide enough for the title its frame shows and for its step.
    void wideEnoughForTitleAndStep()
    {
        QFont bold = QApplication::font();
        bold.setBold(true);
        QCoreApplication::setApplicationName(Text(kApplicationTitle));  // as the program names it
        const QString title = QGuiApplication::applicationDisplayName();
        for (const char* step : {"加载数据", "显示静态效应"}) {
            int width = 0;
            QString shownTitle;
            ProgressDialog::OnLook = [&](QProgressDialog& dialog) {
                width = dialog.width();
                shownTitle = dialog.windowTitle();
            };
            WithProgress(Form1, Text(step), [] { ReportProgress(0, 1); });
            ProgressDialog::OnLook = nullptr;
            QVERIFY(shownTitle.isEmpty() || shownTitle == title);
            QVERIFY2(width >= QFontMetrics(bold).horizontalAdvance(title) + 120,
                     qPrintable(QString::number(width)));
            QVERIFY(width >= QFontMetrics(QApplication::font()).horizontalAdvance(Text(step)));
            QCOMPARE(width, ProgressDialogWidth(title, Text(step)));
        }
    }

    // A box shown in the middle of a busy step shows the arrow while it waits.
    void boxesShowTheArrow()
    {
        BusyCursor busy;
        Qt::CursorShape shown = Qt::WaitCursor;
        QTimer::singleShot(0, [&shown] {
            shown = QApplication::overrideCursor()->shape();
            if (QWidget* box = QApplication::activeModalWidget()) box->close();
        });
        ShowMessage("x");
        QCOMPARE(shown, Qt::ArrowCursor);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }

    // "输出数据" cancelled while the MTD file is written leaves neither it nor its MDE file.
    void cancelledExportLeavesNoFile()
    {
        Form1->ClearLoadedData();
        const QString copy = dir_.filePath("line1_amt.avg");
        QVERIFY(QFile::copy(QStringLiteral(QUILLANE_SOURCE_DIR "/examples/line1_amt.avg"), copy));
        const std::string name = QFile::encodeName(copy).toStdString();
        Form1->OpenDialog.Files = {name};
        Form1->OpenDialog.FileName = name;
        Form1->AppendFiles();  // its progress dialog shows and goes
        QVERIFY(!Form1->ExStations.empty());
        const std::string mtd = Path("out.mtd");
        TForm3::ModalHook = [&mtd](TForm3& dialog) {
            dialog.FileEdit->setText(QString::fromStdString(mtd));
            return int(QDialog::Accepted);
        };
        ScriptedUserInterface ui;
        {
            Canceller canceller;
            Form1->OUTMTD1Click();
            QCOMPARE(canceller.Step, Text("输出数据"));
        }
        QVERIFY(ui.Shown.empty());
        QVERIFY(!Exists(mtd));
        QVERIFY(!Exists(Path("out.mde")));
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files), QStringList({"line1_amt.avg"}));

        Form1->OUTMTD1Click();  // not cancelled: both files
        QVERIFY(Exists(mtd));
        QVERIFY(Exists(Path("out.mde")));
    }

    // "创建模型" cancelled leaves none of the model files.
    void cancelledModelLeavesNoFile()
    {
        Form1->ClearLoadedData();
        TStation a, b;
        a.Name = "1", a.Info.X = 1000, a.Info.Y = 2000, a.Info.Z = 350;
        b.Name = "2", b.Info.X = 2000, b.Info.Y = 2500, b.Info.Z = 370;
        Form1->ExStations = {a, b};
        Form1->Transmitters = {TxData()};
        Form1->Transmitters[0].Bx = 1000;
        ScriptedUserInterface ui;
        Form7 = nullptr;
        Form1->N25->trigger();
        QVERIFY(Form7);
        Form7->TabSheet1Exit();
        ui.FileAnswers.push_back({{Path("model.m")}});
        {
            Canceller canceller;
            Form7->BitBtn4->click();
            QCOMPARE(canceller.Step, Text("创建模型"));
            QCOMPARE(canceller.Owner, static_cast<QWidget*>(Form7));
        }
        QVERIFY(ui.Shown.empty());
        for (const char* file : {"model.m", "model.cov", "model.pri"}) QVERIFY(!Exists(Path(file)));
        QVERIFY(!Form7->Busy);

        ui.FileAnswers.push_back({{Path("model.m")}});
        Form7->BitBtn4->click();
        for (const char* file : {"model.m", "model.cov", "model.pri"}) QVERIFY(Exists(Path(file)));
        Form7->close();
    }
};

QTEST_MAIN(ProgressTest)
#include "tst_progress.moc"
