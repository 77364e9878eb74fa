#include <QtTest>
#include <set>

#include <QPointer>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

#include "app/Application.h"
#include "app/MainForm.h"
#include "app/ScriptedUserInterface.h"
#include "base/Convert.h"
#include "base/Exception.h"
#include "base/FloatMath.h"
#include "base/NumberFormat.h"
#include "base/StringList.h"
#include "base/TextStream.h"
#include "chart/forms/DisplayText.h"
#include "export/ExportCommand.h"
#include "export/ImpWriter.h"
#include "export/MtdWriter.h"
#include "export/StnWriter.h"
#include "export/ExportErrors.h"
#include "export/ZFileWriter.h"
#include "export/forms/SN_Freq.h"
#include "import/ImpReader.h"
#include "import/LoadCommands.h"
#include "survey/TextLines.h"
#include "tests/support/TempFiles.h"

namespace {

class QuietHooks : public LoadHooks {
public:
    void ShowBusyCursor() override {}
    void RestoreCursor() override {}
    void ProcessMessages() override {}
    void RedrawMap() override {}
};

bool Exists(const std::string& path)
{
    return QFile::exists(QFile::decodeName(QByteArray::fromStdString(path)));
}

TStation Station(const std::string& name, const std::vector<float>& freqs)
{
    TStation s;
    s.Name = name;
    for (float f : freqs) {
        s.Amplitude.X.push_back(f);
        s.Amplitude.Y.push_back(1e-6f);
        s.Phase.X.push_back(f);
        s.Phase.Y.push_back(0.5f);
        s.Errors.X.push_back(0);
        s.Errors.Y.push_back(0);
    }
    s.Amplitude.Count = s.Phase.Count = static_cast<int>(freqs.size());
    return s;
}

std::vector<Qt::CheckState> Checks(const TForm3& dialog)
{
    std::vector<Qt::CheckState> states;
    for (int i = 0; i < dialog.Freqs->count(); ++i)
        states.push_back(dialog.Freqs->item(i)->checkState());
    return states;
}

std::vector<Qt::CheckState> ChecksOf(const std::vector<int>& checked, int n)
{
    std::vector<Qt::CheckState> states(n, Qt::Unchecked);
    for (int i : checked) states[i] = Qt::Checked;
    return states;
}

QStringList Items(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

}  // namespace

class OutputDialogTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    int hookCalls_ = 0;

    std::string Path(const char* name) const
    {
        return QFile::encodeName(dir_.filePath(QString::fromUtf8(name))).toStdString();
    }

    // A copy of an example line in the store: eight Ex stations at ten frequencies; the AMTAVG
    // file adds Hy stations and one transmitter, the IMP file one transmitter record per frequency.
    void LoadExample(const char* example = "line1_amt.avg")
    {
        const QString copy = dir_.filePath(QString::fromUtf8(example));
        QFile::remove(copy);
        QVERIFY(
            QFile::copy(QStringLiteral(QUILLANE_SOURCE_DIR "/examples/") + Text(example), copy));
        LoadOnly(copy);
        QCOMPARE(Form1->ExStations.size(), size_t(8));
    }

    // The file alone in the store, loaded as the load command does.
    static void LoadOnly(const QString& file)
    {
        Form1->ClearLoadedData();
        QuietHooks hooks;
        const std::string name = QFile::encodeName(file).toStdString();
        ::AppendFiles(*Form1, {name}, name, hooks);
    }

    // The next run of the dialog does what act does to it and closes with result.
    void Answer(std::function<void(TForm3&)> act, int result)
    {
        hookCalls_ = 0;
        TForm3::ModalHook = [this, act, result](TForm3& dialog) {
            ++hookCalls_;
            if (act) act(dialog);
            return result;
        };
    }

    static SurveyStore StoreCopy() { return static_cast<const SurveyStore&>(*Form1); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        Form1 = new TForm1(nullptr);
        Form1->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form1));
    }

    void cleanupTestCase() { delete Form1; }

    void cleanup() { TForm3::ModalHook = nullptr; }

    void fillsFromTheLoadedSurvey()
    {
        LoadExample();
        SurveyStore collected = StoreCopy();
        CollectFrequencies(collected);
        Form1->OutputFreqs = {1.0f};
        TForm3* shown = nullptr;
        Answer(
            [&](TForm3& d) {
                shown = &d;
                QCOMPARE(&d, Form3);
                QCOMPARE(d.parent(), Form1);
                QCOMPARE(d.windowTitle(), Text("输出数据"));
                QVERIFY(d.windowFlags() & Qt::Tool);
                QCOMPARE(d.minimumSize(), QSize(363, 420));
                QCOMPARE(d.maximumSize(), QSize(363, 420));

                QStringList names;
                for (const std::string& n : SortedStationNames(*Form1))
                    names << QString::fromStdString(n);
                QCOMPARE(Items(d.FromSN), names);
                QCOMPARE(Items(d.ToSN), names);
                QCOMPARE(d.FromSN->currentText(), Text("1000"));
                QCOMPARE(d.ToSN->currentText(), Text("1700"));

                QCOMPARE(d.Freqs->count(), 10);
                for (int i = 0; i < 10; ++i) {
                    QCOMPARE(d.Freqs->item(i)->text(),
                             QString::fromStdString(FrequencyItemText(collected.OutputFreqs[i])));
                    QCOMPARE(d.Freqs->item(i)->checkState(), Qt::Checked);
                }
                QCOMPARE(d.Freqs->item(0)->text(), Text("8.192000E+03"));

                const int points = Form1->ExStations.front().Amplitude.Count;
                QCOMPARE(d.FreqUpDown->maximum(), points);
                QCOMPARE(d.FreqUpDown->value(), points);
                QCOMPARE(d.Label3->text(),
                         Text("一共") + QString::number(points) + Text("个频点，输出其中的"));

                QVERIFY(d.NTCorrect->isChecked() && d.NTCorrect->isEnabled());
                QVERIFY(!d.MultMinusONE->isChecked() && !d.PIADD->isChecked() &&
                        !d.ExAmp->isChecked());
                QVERIFY(d.FileEdit->text().isEmpty());
                QCOMPARE(d.GroupBox1->title(), Text("测点范围"));
                QCOMPARE(d.Label5->text(), Text("保存到数据文件："));
                QCOMPARE(d.BitBtn1->text(), Text("OK"));
                QCOMPARE(d.BitBtn2->text(), Text("Cancel"));
                QVERIFY(!d.Label4->isEnabled());
            },
            QDialog::Rejected);
        Form1->OUTMTD1Click();

        QCOMPARE(hookCalls_, 1);
        QVERIFY(shown);
        QCOMPARE(Form1->OutputFreqs, collected.OutputFreqs);  // Cancel keeps the rebuilt list
        // Each run makes a dialog of its own, freed when the command ends.
        QVERIFY(Form3 == nullptr);
        QPointer<TForm3> second;
        Answer([&](TForm3& d) { second = &d; }, QDialog::Rejected);
        Form1->OUTMTD1Click();
        QCOMPARE(hookCalls_, 1);
        QVERIFY(second.isNull());
        QVERIFY(Form3 == nullptr);
    }

    void fillsRangeListsAndCountOfABuiltSurvey()
    {
        Form1->ClearLoadedData();
        const std::string gbkName = "\xB2\xE2";  // a Chinese name in the survey's code page
        Form1->ExStations = {Station("10", {9600, 0.1171875f}), Station("9", {9600, 3, 1}),
                             Station("100", {1}), Station("10", {9600}), Station(gbkName, {1})};
        Answer(
            [&](TForm3& d) {
                QCOMPARE(Items(d.FromSN), QStringList({"10", "10", "100", "9", Text("测")}));
                QCOMPARE(d.FromSN->currentText(), Text("10"));
                QCOMPARE(d.ToSN->currentText(), Text("测"));
                QCOMPARE(d.Settings().ToStation, gbkName);
                d.ToSN->setCurrentText(Text("9"));
                QCOMPARE(d.Settings().ToStation, std::string("9"));

                QStringList freqs;
                for (int i = 0; i < d.Freqs->count(); ++i) freqs << d.Freqs->item(i)->text();
                QCOMPARE(freqs, QStringList({"9.600000E+03", "1.171875E-01", "3.000000E+00",
                                             "1.000000E+00"}));
                // The first station's two points, though a later one has three.
                QCOMPARE(d.FreqUpDown->maximum(), 2);
                QCOMPARE(d.Label3->text(), Text("一共2个频点，输出其中的"));
                // No Hy station: no near-zone correction.
                QVERIFY(!d.NTCorrect->isChecked());
                QVERIFY(!d.NTCorrect->isEnabled());
            },
            QDialog::Rejected);
        Form1->OUTMTD1Click();
        QCOMPARE(hookCalls_, 1);
    }

    void presetsAndTogglesSetTheCount()
    {
        LoadExample();
        Answer(
            [](TForm3& d) {
                const QList<QAction*> menu = d.PopupMenu1->actions();
                QCOMPARE(menu.size(), 11);
                QCOMPARE(menu[0], d.N1);
                QCOMPARE(d.N1->text(), Text("选择"));
                QCOMPARE(d.N1->data().toInt(), 999);
                QVERIFY(menu[1]->isSeparator());

                struct Case {
                    QAction* action;
                    const char* caption;
                    std::vector<int> checked;
                };
                const Case cases[] = {
                    {d.N7, "全部频点", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
                    {d.N21, "前2个频点", {0, 1}},
                    {d.N41, "前4个频点", {0, 1, 2, 3}},
                    {d.N3, "前一半频点", {0, 1, 2, 3, 4}},
                    {d.N4, "后一半频点", {6, 7, 8, 9}},
                    {d.N42, "后4个频点", {6, 7, 8, 9}},
                    {d.N22, "后2个频率", {8, 9}},
                    {d.N5, " 奇数频点", {0, 2, 4, 6, 8}},
                    {d.N6, "偶数频点", {1, 3, 5, 7, 9}},
                };
                for (int i = 0; i < 9; ++i) {
                    QCOMPARE(menu[i + 2], cases[i].action);
                    QCOMPARE(cases[i].action->text(), Text(cases[i].caption));
                    cases[i].action->trigger();
                    QCOMPARE(Checks(d), ChecksOf(cases[i].checked, 10));
                    QCOMPARE(d.FreqUpDown->value(), int(cases[i].checked.size()));
                }
                d.N1->trigger();  // the title does nothing
                QCOMPARE(d.FreqUpDown->value(), 5);
                d.N7->trigger();

                // A toggle by the user moves the count by one, within 0 and the maximum.
                d.Freqs->item(3)->setCheckState(Qt::Unchecked);
                QCOMPARE(d.FreqUpDown->value(), 9);
                d.Freqs->item(3)->setCheckState(Qt::Checked);
                QCOMPARE(d.FreqUpDown->value(), 10);
                d.FreqUpDown->setValue(10);
                d.N22->trigger();
                d.Freqs->item(0)->setCheckState(Qt::Checked);
                QCOMPARE(d.FreqUpDown->value(), 3);
                d.FreqUpDown->setValue(0);
                d.Freqs->item(0)->setCheckState(Qt::Unchecked);
                QCOMPARE(d.FreqUpDown->value(), 0);
            },
            QDialog::Rejected);
        Form1->OUTMTD1Click();
        QCOMPARE(hookCalls_, 1);
    }

    void browseButtonTakesTheChosenName()
    {
        LoadExample();
        Answer(
            [](TForm3& d) {
                ScriptedUserInterface ui;
                ui.FileAnswers.push_back({{"/data/线1.imp"}});
                QTest::mouseClick(d.SpeedButton1, Qt::LeftButton);
                QCOMPARE(d.FileEdit->text(), Text("/data/线1.imp"));
                QCOMPARE(d.Settings().FileName, std::string("/data/线1.imp"));
                QTest::mouseClick(d.SpeedButton1, Qt::LeftButton);  // cancelled
                QCOMPARE(d.FileEdit->text(), Text("/data/线1.imp"));
                QCOMPARE(ui.Dialogs.size(), size_t(2));
                QCOMPARE(ui.Dialogs[0].DialogKind, FileDialog::Save);
                QCOMPARE(ui.Dialogs[0].Filter,
                         std::string(
                             "3D CSEM Files(*.imp)|*.imp|Z File(*.z)|*.z|MTD Files(*.mtd)|*.mtd"));
                QCOMPARE(ui.Dialogs[0].DefaultExt, std::string("mtd"));
                QCOMPARE(ui.Dialogs[0].InitialDir, std::string("."));
            },
            QDialog::Rejected);
        Form1->OUTMTD1Click();
        QCOMPARE(hookCalls_, 1);
    }

    // The real modal loop: OK and Cancel close it with their results.
    void theButtonsCloseTheModalDialog()
    {
        LoadExample();
        const std::string path = Path("buttons.z");
        for (bool ok : {false, true}) {
            bool shownModal = false;
            QTimer::singleShot(0, [&] {
                shownModal = Form3->isModal() && Form3->isVisible();
                Form3->FileEdit->setText(QString::fromStdString(path));
                QTest::mouseClick(ok ? Form3->BitBtn1 : Form3->BitBtn2, Qt::LeftButton);
            });
            Form1->OUTMTD1Click();
            QVERIFY(shownModal);
            QVERIFY(Form3 == nullptr);  // freed when the command ends
            QCOMPARE(Exists(path), ok);
        }
    }

    void okWritesTheChosenFormat_data()
    {
        QTest::addColumn<QString>("example");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("correct");
        QTest::addColumn<bool>("negate");
        QTest::addColumn<bool>("conjugate");
        QTest::addColumn<bool>("amplitude");
        QTest::newRow("mtd corrected") << "line1_amt.avg"
                                       << "out.mtd" << true << false << false << false;
        QTest::newRow("MTD plain") << "line1_amt.avg"
                                   << "out2.MTD" << false << false << false << false;
        QTest::newRow("z-file") << "line1_amt.avg"
                                << "out.z" << true << false << false << false;
        QTest::newRow("imp complex") << "line1.imp"
                                     << "out.imp" << false << true << true << false;
        QTest::newRow("imp amplitude") << "line1.imp"
                                       << "amp.imp" << false << false << false << true;
    }

    void okWritesTheChosenFormat()
    {
        QFETCH(QString, example);
        QFETCH(QString, name);
        QFETCH(bool, correct);
        QFETCH(bool, negate);
        QFETCH(bool, conjugate);
        QFETCH(bool, amplitude);
        LoadExample(example.toUtf8().constData());
        const std::string path = Path(name.toUtf8().constData());
        QFile::remove(QString::fromStdString(path));
        QFile::remove(QString::fromStdString(MdeFileName(path)));
        Answer(
            [&](TForm3& d) {
                d.FileEdit->setText(QString::fromStdString(path));
                d.FromSN->setCurrentText("1200");
                d.ToSN->setCurrentIndex(5);  // 1500
                d.N3->trigger();             // the first five frequencies
                d.FreqUpDown->setValue(4);
                d.NTCorrect->setChecked(correct);
                d.MultMinusONE->setChecked(negate);
                d.PIADD->setChecked(conjugate);
                d.ExAmp->setChecked(amplitude);
            },
            QDialog::Accepted);
        SurveyStore expected = StoreCopy();
        Form1->OUTMTD1Click();
        QCOMPARE(hookCalls_, 1);

        CollectFrequencies(expected);
        expected.OutputFreqs.resize(5);
        QCOMPARE(Form1->OutputFreqs, expected.OutputFreqs);

        const std::string want = Path("expected");
        const auto quiet = [](const std::string&) {};
        const std::string lower = name.toLower().toStdString();
        if (lower.find(".mtd") != std::string::npos) {
            WriteMtdFile(expected, want, "1200", "1500", 4, correct);
            WriteMdeFile(expected, want);
            QCOMPARE(FileBytes(MdeFileName(path)), FileBytes(MdeFileName(want)));
        } else if (lower.find(".z") != std::string::npos) {
            WriteZFile(expected, want, "1200", "1500", 4, correct);
        } else if (amplitude) {
            WriteImpFileAmplitude(expected, want, "1200", "1500", 4, conjugate, negate, quiet);
        } else {
            WriteImpFileComplex(expected, want, "1200", "1500", 4, conjugate, negate, quiet);
        }
        QVERIFY(FileBytes(want).size() > 100);
        QCOMPARE(FileBytes(path), FileBytes(want));
    }

    // The shown text of 0.029296875 reads back as another float; the item keeps the value itself.
    void checkedFrequenciesKeepTheirOwnValues()
    {
        const float f = 0.029296875f;
        QVERIFY(ToSingle(StrToFloat(FrequencyItemText(f))) != f);
        Form1->ClearLoadedData();
        TStation s = Station("101", {f, 8});
        s.Info.TxName = "T1";
        Form1->ExStations = {s};
        TxData tx;
        tx.Name = "T1";
        tx.Length = 1000;
        tx.Fip.Freq = f;
        tx.Fip.Current = 10;
        Form1->Transmitters = {tx};
        const std::string path = Path("exact.imp");
        Answer(
            [&](TForm3& d) {
                d.FileEdit->setText(QString::fromStdString(path));
                d.Freqs->item(1)->setCheckState(Qt::Unchecked);
            },
            QDialog::Accepted);
        SurveyStore expected = StoreCopy();
        Form1->OUTMTD1Click();

        QCOMPARE(Form1->OutputFreqs, std::vector<float>({f}));
        expected.OutputFreqs = {f};
        const std::string want = Path("exact-expected.imp");
        WriteImpFileComplex(expected, want, "101", "101", 1, false, false,
                            [](const std::string&) {});
        QCOMPARE(FileBytes(path), FileBytes(want));
        QVERIFY(FileBytes(path).find("101") != std::string::npos);  // the block is there
    }

    void cancelOrAnUnknownNameWritesNothing()
    {
        LoadExample();
        ScriptedUserInterface ui;
        const std::string path = Path("cancelled.mtd");
        Answer([&](TForm3& d) { d.FileEdit->setText(QString::fromStdString(path)); },
               QDialog::Rejected);
        Form1->OUTMTD1Click();
        QCOMPARE(hookCalls_, 1);
        QVERIFY(!Exists(path));
        QVERIFY(!Exists(MdeFileName(path)));
        QCOMPARE(Form1->OutputFreqs.size(), size_t(10));

        const std::string plain = Path("plain.txt");
        Answer(
            [&](TForm3& d) {
                d.FileEdit->setText(QString::fromStdString(plain));
                d.N21->trigger();
            },
            QDialog::Accepted);
        Form1->OUTMTD1Click();
        QVERIFY(!Exists(plain));
        // A name of no output format says so.
        QCOMPARE(ui.Shown.size(), size_t(1));
        QCOMPARE(ui.Shown[0].Kind, ScriptedUserInterface::Message);
        QCOMPARE(ui.Shown[0].Text, std::string(kNoOutputFormatMessage));
        QCOMPARE(Form1->OutputFreqs.size(), size_t(2));
    }

    void noSurveyOrARunningLoadShowsNoDialog()
    {
        ScriptedUserInterface ui;
        Form1->ClearLoadedData();
        Form1->OutputFreqs = {5.0f};
        TForm3* before = Form3;
        Answer([](TForm3&) {}, QDialog::Accepted);
        Form1->OUTMTD1Click();
        QCOMPARE(hookCalls_, 0);
        QCOMPARE(Form3, before);
        QCOMPARE(Form1->OutputFreqs, std::vector<float>({5.0f}));
        // Nothing to export says so; so does the station list with no station.
        QCOMPARE(ui.Shown.size(), size_t(1));
        QCOMPARE(ui.Shown[0].Kind, ScriptedUserInterface::Message);
        QCOMPARE(ui.Shown[0].Text, std::string(kNoExStationMessage));
        ui.FileAnswers.push_back({{Path("empty.stn")}});
        Form1->N6Click();
        QVERIFY(ui.Dialogs.empty());
        QVERIFY(!Exists(Path("empty.stn")));
        QCOMPARE(ui.Shown.size(), size_t(2));
        QCOMPARE(ui.Shown[1].Text, std::string(kNoExStationMessage));
        ui.FileAnswers.clear();
        ui.Shown.clear();

        LoadExample();
        Form1->OutputFreqs = {5.0f};
        Form1->LoadRunning = true;
        Form1->OUTMTD1Click();
        Form1->LoadRunning = false;
        QCOMPARE(hookCalls_, 0);
        QCOMPARE(Form1->OutputFreqs, std::vector<float>({5.0f}));
        QVERIFY(ui.Shown.empty());
    }

    void noFrequencySelected()
    {
        LoadExample();
        ScriptedUserInterface ui;
        const std::string path = Path("none.imp");
        Answer(
            [&](TForm3& d) {
                d.FileEdit->setText(QString::fromStdString(path));
                for (int i = 0; i < d.Freqs->count(); ++i)
                    d.Freqs->item(i)->setCheckState(Qt::Unchecked);
            },
            QDialog::Accepted);
        Form1->OUTMTD1Click();
        QVERIFY(Form1->OutputFreqs.empty());
        QCOMPARE(ui.Shown.size(), size_t(1));
        QCOMPARE(ui.Shown[0].Kind, ScriptedUserInterface::Message);
        QCOMPARE(ui.Shown[0].Text, std::string("No frequency selected."));
        QVERIFY(!Exists(path));
    }

    // A field survey with the dialog's defaults, as a new user exports it: its stations are
    // numbered, so the range runs from the lowest to the highest and every format takes all 47;
    // the AVG records keep their frequencies in their lists and give the IMP file its blocks.
    void k1DefaultsExportEveryStation()
    {
        const QString k1 = QStringLiteral(QUILLANE_PEER_DATA "/pycsamt/K1.AVG");
        if (!QFileInfo::exists(k1)) QSKIP("peer data absent");
        LoadOnly(k1);
        QCOMPARE(Form1->ExStations.size(), size_t(47));
        ScriptedUserInterface ui;
        std::set<std::string> all;
        for (const TStation& s : Form1->ExStations) all.insert(s.Name);

        // The stations of the rows of a written file: the MTD file's first column after its three
        // header lines, the Z-file's second field of its four-field rows.
        const auto rowStations = [](const std::string& bytes, bool zFile) {
            std::set<std::string> names;
            StringList file;
            file.SetText(bytes);
            for (size_t i = zFile ? 0 : 3; i < file.Lines.size(); ++i) {
                const std::string& line = file.Lines[i];
                std::vector<std::string> fields;
                SplitFields(zFile ? line : line.substr(0, line.find(',')), fields);
                if (!zFile && fields.size() == 1) names.insert(fields[0]);
                if (zFile && fields.size() == 4 && fields[0] == "2") names.insert(fields[1]);
            }
            return names;
        };
        const std::string mtd = Path("k1out.mtd");
        QString from, to;
        Answer(
            [&](TForm3& d) {
                from = d.FromSN->currentText();
                to = d.ToSN->currentText();
                d.FileEdit->setText(QString::fromStdString(mtd));
            },
            QDialog::Accepted);
        Form1->OUTMTD1Click();
        QCOMPARE(hookCalls_, 1);
        QCOMPARE(from, QString("150.0"));
        QCOMPARE(to, QString("2450.0"));
        QVERIFY(ui.Shown.empty());
        QCOMPARE(rowStations(FileBytes(mtd), false), all);
        QVERIFY(Exists(MdeFileName(mtd)));

        const std::string z = Path("k1out.z");
        Answer([&](TForm3& d) { d.FileEdit->setText(QString::fromStdString(z)); },
               QDialog::Accepted);
        Form1->OUTMTD1Click();
        QVERIFY(ui.Shown.empty());
        std::set<std::string> numbers;
        for (const std::string& name : all) numbers.insert(CFormat("%.f", StrToFloat(name)));
        QCOMPARE(rowStations(FileBytes(z), true), numbers);

        const std::string imp = Path("k1out.imp");
        Answer([&](TForm3& d) { d.FileEdit->setText(QString::fromStdString(imp)); },
               QDialog::Accepted);
        Form1->OUTMTD1Click();
        QVERIFY(ui.Shown.empty());
        size_t blocks = 0, samples = 0;
        for (const TxData& tx : Form1->Transmitters) blocks += tx.FipList.size();
        for (const TStation& s : Form1->ExStations) samples += s.Amplitude.X.size();
        QVERIFY(blocks > 1);
        StringList file;
        file.SetText(FileBytes(imp));
        QVERIFY(file.Lines.size() > 4);
        QCOMPARE(file.Lines[4], std::to_string(blocks));
        SurveyStore back;
        ReadImpFile(back, imp);
        QCOMPARE(back.ExStations.size(), Form1->ExStations.size());
        size_t backSamples = 0;
        for (const TStation& s : back.ExStations) backSamples += s.Amplitude.X.size();
        QCOMPARE(backSamples, samples);
    }

    // Chosen from the tool bar, as the user does: the error reaches the exception box.
    void anUncreatableFileGoesToTheExceptionBox()
    {
        LoadExample();
        ScriptedUserInterface ui;
        const std::string path = Path("no-such-folder/out.mtd");
        Answer([&](TForm3& d) { d.FileEdit->setText(QString::fromStdString(path)); },
               QDialog::Accepted);
        QWidget* button = Form1->MainTools->widgetForAction(Form1->tbsaveall);
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(hookCalls_, 1);
        QCOMPARE(ui.Shown.size(), size_t(1));
        QCOMPARE(ui.Shown[0].Kind, ScriptedUserInterface::ExceptionBox);
        QCOMPARE(ui.Shown[0].Text,
                 "Cannot create file " + path + "\nCannot create file " + MdeFileName(path));
    }

    void n6WritesTheStationPositions()
    {
        LoadExample();
        ScriptedUserInterface ui;
        const std::string path = Path("line1.stn");
        ui.FileAnswers.push_back({{path}});
        Form1->N6Click();
        QCOMPARE(ui.Dialogs.size(), size_t(1));
        QCOMPARE(ui.Dialogs[0].Filter,
                 std::string("STN Files(*.stn)|*.stn|Pos Files(*.pos)|*.pos"));
        const std::string want = Path("line1-expected.stn");
        WriteStnFile(StoreCopy(), want);
        QCOMPARE(FileBytes(path), FileBytes(want));
        QVERIFY(FileBytes(path).rfind(" STN     X    Y    Z\r\n1000 ", 0) == 0);

        const std::string cancelled = Path("cancelled.stn");
        Form1->N6Click();  // no answer: Cancel
        QVERIFY(!Exists(cancelled));
        QCOMPARE(ui.Dialogs.size(), size_t(2));

        const std::string bad = Path("no-such-folder/x.stn");
        ui.FileAnswers.push_back({{bad}});
        QString error;
        try {
            Form1->N6Click();
        } catch (const EFCreateError& e) {
            error = QString::fromUtf8(e.what());
        }
        QCOMPARE(error, QString::fromStdString("Cannot create file " + bad));
    }
};

int main(int argc, char** argv)
{
    QuillaneApplication app(argc, argv);
    OutputDialogTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_outputdialog.moc"
