#include <QtTest>

#include <QComboBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/Application.h"
#include "app/Dialogs.h"
#include "app/ScriptedUserInterface.h"
#include "tests/support/forms/WindowFixture.h"

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void filtersInQtForm_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("qt");
        QTest::newRow("own patterns kept")
            << "GDP32 Raw File(*.raw)|*.raw|AVG File of V8 CSAMT(*.avg)|*.avg|"
            << QStringList({"GDP32 Raw File(*.raw)", "AVG File of V8 CSAMT(*.avg)"});
        QTest::newRow("no closing bar") << "STN Files(*.stn)|*.stn|Pos Files(*.pos)|*.pos"
                                        << QStringList({"STN Files(*.stn)", "Pos Files(*.pos)"});
        QTest::newRow("patterns added")
            << "Text|*.txt;*.TXT|" << QStringList({"Text (*.txt *.TXT)"});
        QTest::newRow("several own patterns")
            << "Pictures (*.emf;*.bmp)|*.emf;*.bmp|" << QStringList({"Pictures (*.emf;*.bmp)"});
        QTest::newRow("pattern missing") << "Anything" << QStringList({"Anything (*)"});
        QTest::newRow("empty") << "" << QStringList();
    }
    void filtersInQtForm()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, qt);
        QCOMPARE(QtNameFilters(filter.toStdString()), qt);
    }

    void openDialogShowsItsState()
    {
        QTemporaryDir dir;
        const QString a = dir.filePath("a.avg");
        QFile(a).open(QIODevice::WriteOnly);
        FileDialog d(FileDialog::Open);
        d.Title = "打开观测数据文件...";
        d.Filter = "GDP32 Raw File(*.raw)|*.raw|AVG File of V8 CSAMT(*.avg)|*.avg|";
        d.FilterIndex = 1;
        d.DefaultExt = ".raw";
        d.AllowMultiSelect = true;
        d.FileMustExist = true;
        d.InitialDir = dir.path().toStdString();
        QtUserInterface ui;

        WhenShown<QFileDialog>([a](QFileDialog* box) {
            QCOMPARE(box->windowTitle(), QString::fromUtf8("打开观测数据文件..."));
            QCOMPARE(box->nameFilters().size(), 2);
            QCOMPARE(box->selectedNameFilter(), QString("GDP32 Raw File(*.raw)"));
            QCOMPARE(box->fileMode(), QFileDialog::ExistingFiles);
            QCOMPARE(box->acceptMode(), QFileDialog::AcceptOpen);
            QCOMPARE(box->defaultSuffix(), QString("raw"));
            box->selectNameFilter("AVG File of V8 CSAMT(*.avg)");
            box->selectFile(a);
            QMetaObject::invokeMethod(box, "accept");
        });
        QVERIFY(ui.RunFileDialog(d));
        QCOMPARE(d.Files, std::vector<std::string>({a.toStdString()}));
        QCOMPARE(d.FileName, a.toStdString());
        QCOMPARE(d.FilterIndex, 2);

        WhenShown<QFileDialog>([](QFileDialog* box) { box->reject(); });
        QVERIFY(!ui.RunFileDialog(d));
        QCOMPARE(d.FileName, a.toStdString());
    }

    void saveDialogAsksForAnyName()
    {
        FileDialog d(FileDialog::SavePicture);
        d.DefaultExt = "emf";
        QtUserInterface ui;
        WhenShown<QFileDialog>([](QFileDialog* box) {
            QCOMPARE(box->acceptMode(), QFileDialog::AcceptSave);
            QCOMPARE(box->fileMode(), QFileDialog::AnyFile);
            // FileDialog::Execute asks itself before an existing file is replaced.
            QVERIFY(box->testOption(QFileDialog::DontConfirmOverwrite));
            QCOMPARE(box->defaultSuffix(), QString("emf"));
            box->reject();
        });
        QVERIFY(!ui.RunFileDialog(d));
    }

    // The station list's dialog: a name typed without an extension takes that of the filter
    // chosen, also after the filter was changed, not the dialog's default "mtd".
    void typedNameTakesTheChosenFiltersExtension()
    {
        QTemporaryDir dir;
        FileDialog d(FileDialog::Save);
        d.Filter = "STN Files(*.stn)|*.stn|Pos Files(*.pos)|*.pos";
        d.DefaultExt = "mtd";
        d.InitialDir = dir.path().toStdString();
        QtUserInterface ui;
        WhenShown<QFileDialog>([](QFileDialog* box) {
            QCOMPARE(box->defaultSuffix(), QString("stn"));
            box->selectFile("out1");
            QMetaObject::invokeMethod(box, "accept");
        });
        QVERIFY(ui.RunFileDialog(d));
        QCOMPARE(d.FileName, dir.filePath("out1.stn").toStdString());

        WhenShown<QFileDialog>([](QFileDialog* box) {
            auto* types = box->findChild<QComboBox*>("fileTypeCombo");
            QVERIFY(types);
            // As the user picks the second entry.
            types->setCurrentIndex(1);
            emit types->activated(1);
            emit types->textActivated(types->itemText(1));
            QCOMPARE(box->defaultSuffix(), QString("pos"));
            box->selectFile("out1");
            QMetaObject::invokeMethod(box, "accept");
        });
        QVERIFY(ui.RunFileDialog(d));
        QCOMPARE(d.FileName, dir.filePath("out1.pos").toStdString());
        QCOMPARE(d.FilterIndex, 2);
    }

    // What a save dialog gives back: the chosen filter's extension for a name without one, the
    // default extension where the filter names none, the command's own extension where it has one.
    void savedNamesTakeTheirExtension_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("defaultExt");
        QTest::addColumn<QString>("saveExt");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("saved");
        const QString stn = "STN Files(*.stn)|*.stn|Pos Files(*.pos)|*.pos";
        QTest::newRow("first filter") << stn << 1 << "mtd"
                                      << ""
                                      << "/d/out1"
                                      << "/d/out1.stn";
        QTest::newRow("second filter") << stn << 2 << "mtd"
                                       << ""
                                       << "/d/out1"
                                       << "/d/out1.pos";
        QTest::newRow("own extension") << stn << 1 << "mtd"
                                       << ""
                                       << "/d/a.mtd"
                                       << "/d/a.mtd";
        QTest::newRow("point in folder") << stn << 1 << ""
                                         << ""
                                         << "/d.x/a"
                                         << "/d.x/a.stn";
        QTest::newRow("all files")
            << "Enhanced Metafiles (*.emf)|*.emf|All Files (*)|*|" << 2 << "emf"
            << ""
            << "/d/map"
            << "/d/map.emf";
        QTest::newRow("any extension") << "Background Res Model(*.*)|*.*" << 1 << ".m"
                                       << ""
                                       << "/d/b"
                                       << "/d/b.m";
        QTest::newRow("no filter") << "" << 1 << ""
                                   << ""
                                   << "/d/b"
                                   << "/d/b";
        QTest::newRow("several patterns") << "Text|*.txt;*.TXT|" << 1 << ""
                                          << ""
                                          << "/d/b"
                                          << "/d/b.txt";
        QTest::newRow("command's extension") << "Profile Response Files(*.txt)|*.txt" << 1 << "txt"
                                             << ".txt"
                                             << "/d/line.stn"
                                             << "/d/line.txt";
        QTest::newRow("command's extension added") << "position files(*.pos)|*.pos" << 1 << ""
                                                   << ".pos"
                                                   << "/d/p"
                                                   << "/d/p.pos";
    }
    void savedNamesTakeTheirExtension()
    {
        QFETCH(QString, filter);
        QFETCH(int, index);
        QFETCH(QString, defaultExt);
        QFETCH(QString, saveExt);
        QFETCH(QString, chosen);
        QFETCH(QString, saved);
        FileDialog d(FileDialog::Save);
        d.Filter = filter.toStdString();
        d.FilterIndex = index;
        d.DefaultExt = defaultExt.toStdString();
        d.SaveExt = saveExt.toStdString();
        QCOMPARE(QString::fromStdString(SavedFileName(d, chosen.toStdString())), saved);
        ScriptedUserInterface ui;
        ui.FileAnswers.push_back({{chosen.toStdString()}});
        QVERIFY(d.Execute());
        QCOMPARE(QString::fromStdString(d.FileName), saved);
        QCOMPARE(d.Files, std::vector<std::string>({saved.toStdString()}));
        QVERIFY(ui.Shown.empty());
    }

    // A save dialog asks before it gives an existing file's name: No shows the dialog again
    // where the name was chosen, Yes gives the name. An open dialog asks nothing.
    void anExistingFileIsReplacedOnlyAfterYes()
    {
        QTemporaryDir dir;
        const std::string out1 = dir.filePath("out1").toStdString();
        QFile(dir.filePath("out1.stn")).open(QIODevice::WriteOnly);
        FileDialog d(FileDialog::Save);
        d.Filter = "STN Files(*.stn)|*.stn|Pos Files(*.pos)|*.pos";
        d.InitialDir = ".";
        ScriptedUserInterface ui;
        ui.FileAnswers.push_back({{out1}});
        ui.MessageBoxAnswers.push_back(IDNO);
        QVERIFY(!d.Execute());  // asked again, then cancelled
        QCOMPARE(ui.Shown.size(), size_t(1));
        QCOMPARE(ui.Shown[0].Kind, ScriptedUserInterface::MessageBox);
        QCOMPARE(ui.Shown[0].Caption, std::string("Quillane 20130329"));
        QCOMPARE(ui.Shown[0].Text, "文件 " + out1 + ".stn 已经存在，是否替换？");
        QCOMPARE(ui.Shown[0].Flags, MB_YESNO | MB_ICONWARNING);
        QCOMPARE(ui.Dialogs.size(), size_t(2));
        QCOMPARE(ui.Dialogs[1].FileName, out1 + ".stn");
        QVERIFY(ui.Dialogs[1].InitialDir.empty());
        QCOMPARE(d.InitialDir, std::string("."));
        QVERIFY(d.FileName.empty());  // cancelled: as before it was shown

        ui.FileAnswers.push_back({{out1}});
        ui.MessageBoxAnswers.push_back(IDYES);
        QVERIFY(d.Execute());
        QCOMPARE(d.FileName, out1 + ".stn");
        QCOMPARE(ui.Shown.size(), size_t(2));

        // A new name, or a dialog told not to ask, asks nothing.
        ui.FileAnswers.push_back({{dir.filePath("new").toStdString()}});
        QVERIFY(d.Execute());
        d.OverwritePrompt = false;
        ui.FileAnswers.push_back({{out1}});
        QVERIFY(d.Execute());
        FileDialog open(FileDialog::Open);
        ui.FileAnswers.push_back({{out1 + ".stn"}});
        QVERIFY(open.Execute());
        QCOMPARE(open.FileName, out1 + ".stn");
        QCOMPARE(ui.Shown.size(), size_t(2));
    }

    void messageBoxes()
    {
        QtUserInterface ui;
        SetUserInterface(&ui);
        WhenShown<QMessageBox>([](QMessageBox* box) {
            QCOMPARE(box->windowTitle(), QString("Quillane 20130329"));
            QCOMPARE(box->text(), QString::fromUtf8("第一行\n第二行\n"));
            QCOMPARE(box->icon(), QMessageBox::NoIcon);
            box->button(QMessageBox::Ok)->click();
        });
        ShowMessage("第一行\n第二行\n");

        WhenShown<QMessageBox>([](QMessageBox* box) {
            QCOMPARE(box->windowTitle(), QString("Murovane hint..."));
            QCOMPARE(box->icon(), QMessageBox::Warning);
            QCOMPARE(box->standardButtons(), QMessageBox::Ok);
            box->button(QMessageBox::Ok)->click();
        });
        QCOMPARE(SystemMessageBox(nullptr, "x", "Murovane hint...", MB_OK | MB_ICONWARNING), IDOK);

        WhenShown<QMessageBox>([](QMessageBox* box) {
            QCOMPARE(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
            box->button(QMessageBox::No)->click();
        });
        QCOMPARE(SystemMessageBox(nullptr, "x", "c", MB_YESNO | MB_ICONQUESTION), IDNO);

        WhenShown<QInputDialog>([](QInputDialog* box) {
            QCOMPARE(box->windowTitle(), QString("Palvex Hint..."));
            QCOMPARE(box->labelText(), QString::fromUtf8("请输入电流源长度(m)"));
            QCOMPARE(box->textValue(), QString("1000"));
            box->setTextValue("2500");
            box->accept();
        });
        QCOMPARE(InputBox("Palvex Hint...", "请输入电流源长度(m)", "1000"), std::string("2500"));
        WhenShown<QInputDialog>([](QInputDialog* box) {
            box->setTextValue("2500");
            box->reject();
        });
        QCOMPARE(InputBox("Palvex Hint...", "请输入电流源长度(m)", "1000"), std::string("1000"));
        SetUserInterface(nullptr);
    }

    void scriptedAnswersInOrder()
    {
        ScriptedUserInterface ui;
        QCOMPARE(&CurrentUserInterface(), static_cast<UserInterface*>(&ui));
        FileDialog d(FileDialog::Open);
        ui.FileAnswers.push_back({{"/a.raw", "/b.raw"}, 2});
        ui.FileAnswers.push_back({});
        QVERIFY(d.Execute());
        QCOMPARE(d.FileName, std::string("/a.raw"));
        QCOMPARE(d.FilterIndex, 2);
        QVERIFY(!d.Execute());
        QVERIFY(!d.Execute());
        QCOMPARE(ui.Dialogs.size(), size_t(3));
        ui.MessageBoxAnswers.push_back(IDCANCEL);
        QCOMPARE(SystemMessageBox(nullptr, "t", "c", MB_OKCANCEL), IDCANCEL);
        QCOMPARE(SystemMessageBox(nullptr, "t", "c", MB_OKCANCEL), IDOK);
        ui.InputAnswers.push_back(std::string("7"));
        QCOMPARE(InputBox("c", "p", "1"), std::string("7"));
        QCOMPARE(InputBox("c", "p", "1"), std::string("1"));
        QCOMPARE(ui.Shown.size(), size_t(4));
        QCOMPARE(ui.Shown[0].Caption, std::string("c"));
    }
};

int main(int argc, char** argv)
{
    QuillaneApplication app(argc, argv);
    DialogsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dialogs.moc"
