#include <QtTest>

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
            QVERIFY(box->testOption(QFileDialog::DontConfirmOverwrite));
            QCOMPARE(box->defaultSuffix(), QString("emf"));
            box->reject();
        });
        QVERIFY(!ui.RunFileDialog(d));
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
