#include <QtTest>

#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/Application.h"
#include "app/MainForm.h"
#include "app/ScriptedUserInterface.h"
#include "base/Gbk.h"
#include "base/SafeFile.h"
#include "geometry/forms/TxPos.h"
#include "map/TxRx.h"
#include "tests/support/forms/WindowFixture.h"

namespace {

TxData Record(const std::string& name, float ax, float ay, float bx, float by)
{
    TxData tx;
    tx.Name = name;
    tx.Ax = ax, tx.Ay = ay, tx.Bx = bx, tx.By = by;
    tx.Az = 1.25f, tx.Bz = 2.5f;
    tx.Cx = -1, tx.Cy = -2, tx.Cz = -3;
    tx.Length = 77;
    return tx;
}

QStringList EditTexts(const TTxPosForm* d)
{
    return {d->Ax->text(), d->Ay->text(), d->Az->text(),
            d->Bx->text(), d->By->text(), d->Bz->text()};
}

// The lines of the MDE file that the export writes for a wire from (0, 0) to (0, 1000).
const char* const kMde =
    "$ JOBLINE=1-2\r\n$ BRGLINE=0\r\n$ BRGBACK=N00W\r\n$ UNITS=meter\r\n$ STNLO  =100\r\n"
    "$ STNDELT=50\r\n$ LBLFRST=       125.0\r\n$ LBLDELT=50\r\n$ SurveyType=Scalar\r\n"
    "$ TxType=Bipole\r\n$ TxLen= 1000\r\n$ TxBrg= 0\r\n$ TxCX =0\r\n$ TxCY =500\r\n"
    "$ TxDis=8700\r\n$ Rx2Tx= North\r\n$ RxBrg= S00E\r\n$ aspace= 50\r\n"
    "$ MODSECT: PLOT = Surfer\r\n$ MODSECT: LNUNITS = m\r\n";

}  // namespace

class TransmitterDialogTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { StartMainForm(); }

    void init()
    {
        Form1->ClearLoadedData();
        TStation ex;
        ex.Name = "1000";
        Form1->ExStations = {ex};
        // One source at three frequencies and a second source named in GBK.
        Form1->Transmitters = {Record("T1", 100.4f, 0.6f, 1100.4f, 0.6f), Record("T1", 5, 5, 6, 6),
                               Record("T1", 7, 7, 8, 8), Record(Utf8ToGbk("测2"), 9, 9, 10, 10)};
        DrawLayoutMap(Form1);
    }

    void cleanupTestCase() { delete Form1; }

    void mdeFileSetsTheSelectedRecordByIndex()
    {
        QTemporaryDir dir;
        const std::string mde = dir.filePath("line.mde").toStdString();
        WriteFileReplacing(mde, kMde);
        ScriptedUserInterface ui;
        ui.FileAnswers.push_back({{mde}});
        WhenShown<TTxPosForm>([&](TTxPosForm* d) {
            QCOMPARE(d->parent(), Form1);
            QCOMPARE(d->windowTitle(), QString::fromUtf8("设置源位置"));
            QCOMPARE(d->Txs->count(), 4);
            QCOMPARE(d->Txs->item(3)->text(), QString::fromUtf8("测2"));
            QCOMPARE(d->Txs->currentRow(), 0);
            QCOMPARE(EditTexts(d), QStringList({"100", "1", "1", "1100", "1", "3"}));
            // The third item shows the first record of its name, the MDE file goes to the third.
            d->Txs->setCurrentRow(2);
            QCOMPARE(EditTexts(d), QStringList({"100", "1", "1", "1100", "1", "3"}));
            QTest::mouseClick(d->Button1, Qt::LeftButton);
            QCOMPARE(ui.Dialogs.back().Filter, std::string("mde文件(*.mde)|*.mde"));
            QCOMPARE(EditTexts(d), QStringList({"00", "00", "00", "00", "1000", "00"}));
            QTest::mouseClick(d->BitBtn2, Qt::LeftButton);
        });
        Form1->N15->trigger();
        const TxData& third = Form1->Transmitters[2];
        QCOMPARE(third.Ax, 0.0f);
        QCOMPARE(third.Ay, 0.0f);
        QCOMPARE(third.By, 1000.0f);
        QCOMPARE(third.Az, 0.0f);
        QCOMPARE(third.Cy, 500.0f);
        QCOMPARE(third.Length, 77.0f);
        QCOMPARE(Form1->Transmitters[0].Ax, 100.4f);
        QCOMPARE(Form1->Transmitters[1].Ax, 5.0f);
    }

    // An MDE file without any source key changes neither the edits nor a record, and says so.
    void mdeFileWithoutSourceKeysChangesNothing()
    {
        QTemporaryDir dir;
        const std::string mde = dir.filePath("notes.mde").toStdString();
        WriteFileReplacing(mde, "$ JOBLINE=1-2\r\n$ UNITS=meter\r\n");
        ScriptedUserInterface ui;
        ui.FileAnswers.push_back({{mde}});
        WhenShown<TTxPosForm>([&](TTxPosForm* d) {
            QTest::mouseClick(d->Button1, Qt::LeftButton);
            QCOMPARE(EditTexts(d), QStringList({"100", "1", "1", "1100", "1", "3"}));
            QTest::mouseClick(d->BitBtn2, Qt::LeftButton);
        });
        Form1->N15->trigger();
        QCOMPARE(ui.Shown.size(), size_t(1));
        QCOMPARE(ui.Shown[0].Kind, ScriptedUserInterface::Message);
        QCOMPARE(ui.Shown[0].Text, std::string(kNoMdeSourceMessage));
        QCOMPARE(Form1->Transmitters[0].Ax, 100.4f);
        QCOMPARE(Form1->Transmitters[0].Cx, -1.0f);
        QCOMPARE(Form1->Transmitters[0].By, 0.6f);
    }

    void okWithoutEditingKeepsTheFullValues()
    {
        WhenShown<TTxPosForm>([](TTxPosForm* d) {
            d->By->setText("250");
            QTest::mouseClick(d->BitBtn1, Qt::LeftButton);
            QVERIFY(!d->isVisible());
            QCOMPARE(d->result(), int(QDialog::Accepted));
        });
        Form1->N15->trigger();
        for (const TxData& tx : Form1->Transmitters) {
            QCOMPARE(tx.Ax, 100.4f);
            QCOMPARE(tx.Ay, 0.6f);
            QCOMPARE(tx.Bx, 1100.4f);
            QCOMPARE(tx.By, 250.0f);
            QCOMPARE(tx.Az, 1.25f);
            QCOMPARE(tx.Cx, float((double(100.4f) + double(1100.4f)) * 0.5));
            QCOMPARE(tx.Cy, float((double(0.6f) + 250.0) * 0.5));
            QCOMPARE(tx.Length, 77.0f);
        }
        QCOMPARE(Form2->Series1->at(1), QPointF(1100.4f, 250.0f));
    }

    void leavingAnEditWritesTheRecordByName()
    {
        WhenShown<TTxPosForm>([](TTxPosForm* d) {
            QVERIFY(QTest::qWaitForWindowActive(d));
            d->Txs->setCurrentRow(1);
            d->Ax->setFocus();
            d->Ax->setText("42");
            d->Ay->setFocus();
            QTest::mouseClick(d->BitBtn2, Qt::LeftButton);
        });
        Form1->N15->trigger();
        // The second item names the first record of T1.
        QCOMPARE(Form1->Transmitters[0].Ax, 42.0f);
        QCOMPARE(Form1->Transmitters[0].Ay, 0.6f);
        QCOMPARE(Form1->Transmitters[1].Ax, 5.0f);
        QCOMPARE(Form1->Transmitters[0].Cx, -1.0f);
    }

    void copyToAllAndABadTextOnOk()
    {
        ScriptedUserInterface ui;
        WhenShown<TTxPosForm>([](TTxPosForm* d) {
            d->Txs->setCurrentRow(3);
            d->N1->trigger();
            d->Bz->setText("x");
            QTest::mouseClick(d->BitBtn1, Qt::LeftButton);
            QVERIFY(!d->isVisible());
            QCOMPARE(d->result(), int(QDialog::Accepted));
        });
        Form1->N15->trigger();
        QCOMPARE(ui.Shown.size(), size_t(1));
        QCOMPARE(ui.Shown[0].Kind, ScriptedUserInterface::ExceptionBox);
        QCOMPARE(ui.Shown[0].Text, std::string("'x' is not a valid floating point value"));
        for (const TxData& tx : Form1->Transmitters) {
            QCOMPARE(tx.Ax, 9.0f);
            QCOMPARE(tx.By, 10.0f);
            QCOMPARE(tx.Cx, -1.0f);
        }
    }

    // A right press opens the pop-up menu for the item selected before; it selects nothing.
    void rightPressKeepsTheSelection()
    {
        WhenShown<TTxPosForm>([&](TTxPosForm* d) {
            QVERIFY(QTest::qWaitForWindowActive(d));
            const QStringList before = EditTexts(d);
            const QPoint item3 = d->Txs->visualItemRect(d->Txs->item(3)).center();
            QTest::mousePress(d->Txs->viewport(), Qt::RightButton, Qt::NoModifier, item3);
            QTest::mouseRelease(d->Txs->viewport(), Qt::RightButton, Qt::NoModifier, item3);
            QCOMPARE(d->Txs->currentRow(), 0);
            QCOMPARE(d->State.Selected, 0);
            QCOMPARE(EditTexts(d), before);
            d->N1->trigger();
            for (const TxData& tx : Form1->Transmitters) QCOMPARE(tx.Ax, 100.4f);
            QTest::mouseClick(d->Txs->viewport(), Qt::LeftButton, Qt::NoModifier, item3);
            QCOMPARE(d->State.Selected, 3);
        });
        Form1->N15->trigger();
    }

    void withoutRecords()
    {
        Form1->Transmitters.clear();
        WhenShown<TTxPosForm>([](TTxPosForm* d) {
            QCOMPARE(d->Txs->count(), 0);
            QCOMPARE(EditTexts(d),
                     QStringList({"Ax", "Edit1", "Edit1", "Edit1", "Edit1", "Edit1"}));
            QTest::mouseClick(d->BitBtn1, Qt::LeftButton);
        });
        Form1->N15->trigger();
        QVERIFY(Form1->Transmitters.empty());
    }
};

int main(int argc, char** argv)
{
    QuillaneApplication app(argc, argv);
    TransmitterDialogTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_txpos.moc"
