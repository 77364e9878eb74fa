#include <QtTest>

#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "app/MainForm.h"
#include "app/ProgressDialog.h"
#include "app/ScriptedUserInterface.h"
#include "chart/forms/DisplayText.h"
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

}  // namespace

class ProgressTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

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
        TForm7::ModalRunner = [](TForm7* form) { form->show(); };
        ProgressDialog::ShowAfter = 0;
    }

    void cleanupTestCase() { delete Form1; }

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
