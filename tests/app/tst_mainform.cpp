#include <QtTest>

#include <QAction>
#include <QDesktopServices>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QLineSeries>
#include <QScatterSeries>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QTemporaryDir>
#include <QToolButton>

#include "app/AboutDialog.h"
#include "app/Application.h"
#include "app/MainForm.h"
#include "app/ScriptedUserInterface.h"
#include "base/Exception.h"
#include "chart/forms/DisplayText.h"
#include "chart/forms/MarkLayer.h"
#include "export/forms/TEMTrace.h"
#include "map/TxRx.h"
#include "processing/forms/RES_PREVIEW.h"
#include "processing/forms/SEC.h"
#include "tests/support/forms/WindowFixture.h"

namespace {

// The caption of an entry without the key text that a pop-up copy carries after a tab.
QString Caption(const QAction* action)
{
    return action->text().section('\t', 0, 0);
}

QString ShownKey(const QAction* action)
{
    if (!action->shortcut().isEmpty()) return action->shortcut().toString();
    return action->text().section('\t', 1);
}

struct Entry {
    const char* name;
    const char* caption;
    const char* key;
};

// A copy of an example file in a temporary folder: the GDP32 raw reader rewrites its input.
std::string CopyExample(const QTemporaryDir& dir, const char* example, const char* name)
{
    const QString target = dir.filePath(QString::fromUtf8(name));
    QFile::copy(QStringLiteral(QUILLANE_SOURCE_DIR "/examples/") + QString::fromUtf8(example),
                target);
    return target.toStdString();
}

TStation Station(const char* name, float x, float y)
{
    TStation s;
    s.Name = name;
    s.Info.X = x;
    s.Info.Y = y;
    return s;
}

class Thrower : public QObject {
public:
    int kind = 0;
    bool event(QEvent* e) override
    {
        if (e->type() != QEvent::User) return QObject::event(e);
        if (kind == 0) throw EConvertError("'x' is not a valid floating point value");
        throw 42;
    }
};

// The box as it is shown: its owner, its design and its texts.
void CheckAboutBox(TAbout* box)
{
    QCOMPARE(box->parent(), Form1);
    QCOMPARE(box->size(), QSize(443, 422));
    QCOMPARE(box->Label6->text(), Text("版本： 2013.03.26"));
    QCOMPARE(box->Label5->text(), Text("最后日期：  2013-04-08"));
    QCOMPARE(box->BitBtn1->text(), Text("确定"));
    QVERIFY(box->BitBtn1->isDefault());
    QVERIFY(box->Memo1->isReadOnly());
    const QStringList memo = box->Memo1->toPlainText().split('\n');
    QCOMPARE(memo[0].trimmed(), Text("免责声明"));
    QVERIFY(memo[1].isEmpty());
    QCOMPARE(memo.size(), 2 + 9 + 1);
    QVERIFY(memo[10].startsWith("9."));
    QCOMPARE(box->StaticText10->text(), QString(TAbout::kWebAddress));
}

}  // namespace

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

class MainFormTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        StartMainForm();
        QApplication::setActiveWindow(Form1);
        QVERIFY(QTest::qWaitForWindowActive(Form1));
    }

    void cleanupTestCase()
    {
        delete Form1;
        QVERIFY(Form1 == nullptr);
    }

    void startState()
    {
        QCOMPARE(Form1->windowTitle(), Text("可控源数据预处理"));
        QVERIFY(Form1->windowState() & Qt::WindowMaximized);
        QCOMPARE(Form1->MdiArea->subWindowList().size(), 1);
        QCOMPARE(Form1->MdiArea->subWindowList().front(), Form2);
        QCOMPARE(Form2->windowTitle(), Text("CSEM点位分布图"));
        QVERIFY(Form2->isVisible());
        QVERIFY(!(Form2->windowFlags() & Qt::WindowSystemMenuHint));
        QVERIFY(Form2->windowFlags() & Qt::WindowMinMaxButtonsHint);
        QVERIFY(Form1->ExStations.empty() && Form1->HyStations.empty() &&
                Form1->Transmitters.empty() && Form1->LoadedFiles.empty() &&
                Form1->StaticFactors.empty());
        QCOMPARE(Form1->CurrentStation, 0);
        QCOMPARE(Form1->RefFreqIndex, 4);
        QCOMPARE(Form1->RotationAngle, 0.0);
        QVERIFY(Form1->TileMode == TForm1::TileModes::Horizontal);
        QVERIFY(!Form1->ToolButton16->isChecked());
        QCOMPARE(Form1->Showlabels1->text(), Text("Show labels"));
        QVERIFY(Form1->contextMenuPolicy() != Qt::CustomContextMenu);
    }

    void openDialogAsConstructed()
    {
        const FileDialog& d = Form1->OpenDialog;
        QCOMPARE(d.Title, std::string("打开观测数据文件..."));
        QCOMPARE(d.Filter, std::string("GDP32 Raw File(*.raw)|*.raw|AVG File of V8 CSAMT(*.avg)|"
                                       "*.avg|3D CSEM Ex Component File(*.imp)|*.imp|CSAMT USF "
                                       "File(*.usf)|*.usf|"));
        QCOMPARE(d.FilterIndex, 1);
        QCOMPARE(d.DefaultExt, std::string(".raw"));
        QVERIFY(d.AllowMultiSelect && d.FileMustExist);
        QCOMPARE(Form1->SaveDialog.Filter,
                 std::string("STN Files(*.stn)|*.stn|Pos Files(*.pos)|*.pos"));
        QCOMPARE(Form1->SaveDialog.DefaultExt, std::string("mtd"));
        QCOMPARE(Form1->SaveDialog.InitialDir, std::string("."));
        QCOMPARE(Form1->SavePictureDialog1.DefaultExt, std::string("emf"));
        // Every save dialog asks before it gives an existing file's name.
        QVERIFY(Form1->SaveDialog.OverwritePrompt);
        QVERIFY(Form1->SavePictureDialog1.OverwritePrompt);
    }

    void mainMenuEntries()
    {
        const QList<QAction*> menus = Form1->menuBar()->actions();
        QCOMPARE(menus.size(), 3);
        QCOMPARE(menus[0]->text(), Text("文件"));
        QCOMPARE(menus[1]->text(), Text("窗口"));
        QCOMPARE(menus[2]->text(), Text("帮助"));
        const std::vector<std::vector<Entry>> expected = {
            {{"Open1", "打开", "Ctrl+O"},
             {"N20", "追加数据", "Ctrl+A"},
             {"N24", "浏览加载的数据文件", "Ctrl+B"},
             {"N23", "", ""},
             {"N1", "输出数据", "Ctrl+D"},
             {"N25", "输出反演模型", "Ctrl+M"},
             {"N2", "", ""},
             {"N3", "退出", "Alt+F4"}},
            {{"N10", "层叠", ""}, {"N11", "水平平铺", ""}, {"N12", "垂直平铺", ""}},
            {{"N22", "关于", ""}}};
        for (int m = 0; m < 3; ++m) {
            const QList<QAction*> items = menus[m]->menu()->actions();
            QCOMPARE(items.size(), static_cast<qsizetype>(expected[m].size()));
            for (size_t i = 0; i < expected[m].size(); ++i) {
                QCOMPARE(items[i]->objectName(), QString(expected[m][i].name));
                QCOMPARE(items[i]->isSeparator(), *expected[m][i].caption == 0);
                QCOMPARE(Caption(items[i]), Text(expected[m][i].caption));
                QCOMPARE(ShownKey(items[i]), QString(expected[m][i].key));
                QVERIFY(items[i]->isEnabled() && items[i]->isVisible());
            }
        }
    }

    void popupEntries()
    {
        const std::vector<Entry> expected = {
            {"N33", "文件操作说明", ""},
            {"Open2", "打开文件", ""},
            {"APP", "添加测线", ""},
            {"N29", "全部文件重新加载", ""},
            {"N18", "", ""},
            {"N19", "编辑点位", ""},
            {"N15", "修改发射源位置(V8可选;GDP32必须)", ""},
            {"N32", "  或者用鼠标选中源，按住鼠标，移动到期望的位置，松开鼠标", ""},
            {"N28", "坐标旋转(斜测线变为水平测线)", ""},
            {"N16", "", ""},
            {"N8", "单点数据浏览", ""},
            {"N30", "观测数据平面等值线", ""},
            {"N14", "", ""},
            {"N17", "编辑数据", "Ctrl+E"},
            {"SEC1", "静态效应", ""},
            {"N13", "过渡区校正", ""},
            {"N26", "", ""},
            {"OUTMTD1", "输出处理结果", "Ctrl+D"},
            {"N27", "输出三维电阻率模型", "Ctrl+M"},
            {"N31", "输出剖面响应", ""},
            {"N4", "", ""},
            {"N7", "复制装置图形", ""},
            {"N5", "保存装置图形", ""},
            {"N6", "保存点位数据", ""},
            {"Showlabels1", "Show labels", ""}};
        const QList<QAction*> items = Form1->PopupMenu1->actions();
        QCOMPARE(items.size(), static_cast<qsizetype>(expected.size()));
        for (size_t i = 0; i < expected.size(); ++i) {
            QCOMPARE(items[i]->objectName(), QString(expected[i].name));
            QCOMPARE(items[i]->isSeparator(), *expected[i].caption == 0);
            QCOMPARE(Caption(items[i]), Text(expected[i].caption));
            QCOMPARE(ShownKey(items[i]), QString(expected[i].key));
        }
        // Choosing the two entries without a command changes nothing.
        Form1->N30->trigger();
        Form1->N32->trigger();
        QVERIFY(Form1->ExStations.empty());
    }

    void toolBarButtons()
    {
        const std::vector<Entry> expected = {{"ToolButton2", "打开", ""},
                                             {"tbsaveall", "输出数据", ""},
                                             {"ToolButton14", "", "8"},
                                             {"DataPreview", "数据浏览", ""},
                                             {"ToolButton11", "近区和过渡区校正", ""},
                                             {"ToolButton1", "显示静态效应", ""},
                                             {"ToolButton18", "", "8"},
                                             {"ToolButton16", "隐藏/显示测点分布图", ""},
                                             {"ToolButton7", "", "9"},
                                             {"ToolButton20", "帮助", ""}};
        const QList<QAction*> items = Form1->MainTools->actions();
        QCOMPARE(items.size(), static_cast<qsizetype>(expected.size()));
        for (size_t i = 0; i < expected.size(); ++i) {
            QCOMPARE(items[i]->objectName(), QString(expected[i].name));
            QWidget* widget = Form1->MainTools->widgetForAction(items[i]);
            QVERIFY(widget);
            if (*expected[i].caption == 0) {
                QCOMPARE(widget->width(), QString(expected[i].key).toInt());
                continue;
            }
            QCOMPARE(items[i]->toolTip(), Text(expected[i].caption));
            auto* button = qobject_cast<QToolButton*>(widget);
            QVERIFY(button);
            QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonIconOnly);
            QVERIFY(!items[i]->icon().isNull());
            QCOMPARE(button->width(), 24);
        }
    }

    // A right click anywhere on the frame of the main window, or the menu key, opens no menu
    // and hides nothing.
    void noContextMenuOnTheMainWindow()
    {
        QWindow* window = Form1->windowHandle();
        const QWidget* places[] = {Form1->menuBar(), Form1->MainTools, Form1->StatusBar1};
        for (const QWidget* place : places) {
            const QPoint at = place->mapTo(Form1, QPoint(place->width() - 6, place->height() / 2));
            QTest::mouseClick(window, Qt::RightButton, {}, at);
            QVERIFY2(!QApplication::activePopupWidget(), qPrintable(place->objectName()));
        }
        Form1->menuBar()->setFocus();
        QTest::keyClick(window, Qt::Key_Menu);
        QVERIFY(!QApplication::activePopupWidget());
        QVERIFY(Form1->MainTools->isVisible());
        QVERIFY(Form1->MainTools->toggleViewAction()->isChecked());
    }

    // One key on two entries fires one command once; Ctrl+E acts from the main window although
    // its entry stands only in the pop-up menu.
    void sharedShortcutsFireOnce_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("bound");
        QTest::addColumn<QString>("shownOnly");
        QTest::newRow("Ctrl+D") << int(Qt::Key_D) << "N1"
                                << "OUTMTD1";
        QTest::newRow("Ctrl+M") << int(Qt::Key_M) << "N25"
                                << "N27";
        QTest::newRow("Ctrl+E") << int(Qt::Key_E) << "N17"
                                << "";
    }
    void sharedShortcutsFireOnce()
    {
        QFETCH(int, key);
        QFETCH(QString, bound);
        QFETCH(QString, shownOnly);
        ScriptedUserInterface ui;  // the commands' dialogs cancel and their boxes answer OK
        auto* boundAction = Form1->findChild<QAction*>(bound);
        QVERIFY(boundAction);
        QSignalSpy boundSpy(boundAction, &QAction::triggered);
        std::unique_ptr<QSignalSpy> otherSpy;
        if (!shownOnly.isEmpty()) {
            auto* other = Form1->findChild<QAction*>(shownOnly);
            QVERIFY(other);
            QVERIFY(other->shortcut().isEmpty());
            otherSpy = std::make_unique<QSignalSpy>(other, &QAction::triggered);
        }
        QTest::keyClick(Form2->Chart1, Qt::Key(key), Qt::ControlModifier);
        QCOMPARE(boundSpy.count(), 1);
        if (otherSpy) QCOMPARE(otherSpy->count(), 0);
    }

    void openCancelledKeepsTheStore()
    {
        ScriptedUserInterface ui;
        QTemporaryDir dir;
        const std::string b = CopyExample(dir, "line1.raw", "b.raw");
        const std::string c = CopyExample(dir, "line1.raw", "c.raw");
        const std::string d = CopyExample(dir, "line1_amt.avg", "d.avg");
        Form1->ExStations = {Station("1", 0, 0)};
        Form1->LoadedFiles = {"/data/a.raw"};
        Form1->OutputFreqs = {8.0f};
        Form1->ToolButton2Click(Form1->ToolButton2);
        QCOMPARE(ui.Dialogs.size(), size_t(1));
        QCOMPARE(ui.Dialogs[0].Title, std::string("打开观测数据文件..."));
        QCOMPARE(Form1->ExStations.size(), size_t(1));
        QCOMPARE(Form1->LoadedFiles.size(), size_t(1));

        // With files chosen the loaded survey goes; the settings stay. Both files are read, and
        // the second one adds samples to the stations of the first.
        ui.FileAnswers.push_back({{b, c}});
        Form1->Open1->trigger();
        QCOMPARE(Form1->LoadedFiles, (std::vector<std::string>{b, c}));
        QCOMPARE(Form1->ExStations.size(), size_t(8));
        QCOMPARE(Form1->ExStations[0].Amplitude.Count, 20);
        QCOMPARE(Form1->StaticFactors.size(), size_t(8));
        QCOMPARE(Form1->OutputFreqs.size(), size_t(1));
        QCOMPARE(Form1->OpenDialog.FileName, b);
        QCOMPARE(Form1->OpenDialog.Files.size(), size_t(2));
        QVERIFY(!Form1->LoadRunning);

        // Append never empties the store; every load appends one factor per Ex station.
        ui.FileAnswers.push_back({{d}});
        Form1->N20Click(Form1->N20);
        QCOMPARE(Form1->ExStations.size(), size_t(16));
        QCOMPARE(Form1->StaticFactors.size(), size_t(8 + 16));
        QCOMPARE(Form1->LoadedFiles.size(), size_t(3));

        // Reload reads the remembered files again and keeps the list.
        Form1->N29Click(Form1->N29);
        QCOMPARE(Form1->LoadedFiles.size(), size_t(3));
        QCOMPARE(Form1->ExStations.size(), size_t(16));
        QCOMPARE(Form1->StaticFactors.size(), size_t(16));

        // The list of loaded files and the file help go to the plain message box.
        ui.Shown.clear();
        Form1->N24Click(Form1->N24);
        QCOMPARE(ui.Shown.size(), size_t(1));
        QCOMPARE(ui.Shown[0].Text, b + "\n" + c + "\n" + d + "\n");
        Form1->N33Click(Form1->N33);
        QCOMPARE(ui.Shown.size(), size_t(2));

        // While a load runs no command that changes the store starts.
        Form1->LoadRunning = true;
        Form1->N29Click(Form1->N29);
        Form1->ToolButton2Click(Form1->ToolButton2);
        QCOMPARE(Form1->ExStations.size(), size_t(16));
        QCOMPARE(ui.Dialogs.size(), size_t(3));
        Form1->LoadRunning = false;

        Form1->ClearLoadedData();
        Form1->OutputFreqs.clear();
    }

    // A reader's error ends the load with what was read kept, counted and shown on the map, and
    // the next command runs normally.
    void failedLoadKeepsWhatWasRead()
    {
        ScriptedUserInterface ui;
        QTemporaryDir dir;
        const std::string good = CopyExample(dir, "line1.raw", "good.raw");
        const std::string bad = dir.filePath("bad.raw").toStdString();
        {
            QFile file(QString::fromStdString(bad));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("1\nCSAMT\nTx 1 Hy 2\nx 0 0 0 0 0 0\n");
        }
        ui.FileAnswers.push_back({{good, bad}});
        bool thrown = false;
        try {
            Form1->N20Click(Form1->N20);
        } catch (const Exception&) {
            thrown = true;
        }
        QVERIFY(thrown);
        QVERIFY(!Form1->LoadRunning);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(Form1->ExStations.size(), size_t(8));
        QCOMPARE(Form1->ExStations[0].Amplitude.Count, 10);
        QCOMPARE(Form1->StaticFactors.size(), size_t(8));
        Form1->ClearLoadedData();
    }

    // Every load brings the windows that show survey data in line with the new store, empties
    // the map when no Ex station is left, and names the files that gave nothing.
    void loadsLeaveNoWindowOfTheOldSurvey()
    {
        ScriptedUserInterface ui;
        QTemporaryDir dir;
        const std::string amt = CopyExample(dir, "line1_amt.avg", "amt.avg");
        const std::string csamt = CopyExample(dir, "line1_csamt.avg", "csamt.avg");
        const std::string notes = dir.filePath("notes.avg").toStdString();
        {
            QFile file(QString::fromStdString(notes));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("field notes\r\n");
        }
        auto staticShift = [] {
            QList<TForm4*> found;
            for (QMdiSubWindow* w : Form1->MdiArea->subWindowList())
                if (auto* window = qobject_cast<TForm4*>(w)) found << window;
            return found;
        };

        ui.FileAnswers.push_back({{amt}});
        Form1->ToolButton2Click(Form1->ToolButton2);
        Form1->SEC1Click(Form1->SEC1);
        QCOMPARE(staticShift().size(), 1);
        QCOMPARE(staticShift()[0]->Series1->at(0).x(), 1000.0);
        Form1->N8Click(Form1->N8);
        QVERIFY(Form5 != nullptr);
        Form5->SpeedButton2Click();
        QCOMPARE(Form5->Chart1->chart()->title(), Text("点频率测深曲线1100"));
        QVERIFY(ui.Shown.empty());
        auto profileCharts = [] {
            int count = 0;
            for (QMdiSubWindow* w : Form1->MdiArea->subWindowList())
                count += qobject_cast<TTEMTraceForm*>(w) != nullptr;
            return count;
        };
        Form2->SelectedStations = {Form1->ExStations[0].Name, Form1->ExStations[1].Name};
        Form1->ShowExProfileChart();
        QCOMPARE(profileCharts(), 1);

        // Another survey: the static-shift window and the profile chart are gone, so the command
        // computes a new one; the viewer draws the new survey.
        ui.FileAnswers.push_back({{csamt}});
        Form1->Open1->trigger();
        QVERIFY(staticShift().isEmpty());
        QCOMPARE(profileCharts(), 0);
        QCOMPARE(Form5->Chart1->chart()->title(), Text("点频率测深曲线11100"));
        Form1->SEC1Click(Form1->SEC1);
        QCOMPARE(staticShift().size(), 1);
        QCOMPARE(staticShift()[0]->Series1->at(0).x(), 11000.0);
        QVERIFY(ui.Shown.empty());

        // A file that gave nothing is named when the load ends; the survey stays.
        ui.FileAnswers.push_back({{notes, amt}});
        Form1->N20Click(Form1->N20);
        QCOMPARE(ui.Shown.size(), size_t(1));
        QCOMPARE(ui.Shown[0].Kind, ScriptedUserInterface::MessageBox);
        QCOMPARE(ui.Shown[0].Caption, std::string("Quillane"));
        QCOMPARE(ui.Shown[0].Flags, int(MB_OK));
        QCOMPARE(ui.Shown[0].Text, "下列文件没有加载任何数据:\n" + notes + "\n");
        QVERIFY(staticShift().isEmpty());

        // A reload reads every remembered file again: the windows follow it too.
        Form1->SEC1Click(Form1->SEC1);
        Form1->N29Click(Form1->N29);
        QVERIFY(staticShift().isEmpty());
        QCOMPARE(ui.Shown.size(), size_t(2));

        // An Open that gives no Ex station: an empty map, no viewer, no static-shift window.
        Form1->SEC1Click(Form1->SEC1);
        ui.FileAnswers.push_back({{notes}});
        Form1->Open1->trigger();
        QVERIFY(Form1->ExStations.empty());
        QCOMPARE(ui.Shown.size(), size_t(3));
        QCOMPARE(ui.Shown[2].Text, "下列文件没有加载任何数据:\n" + notes + "\n");
        QVERIFY(staticShift().isEmpty());
        QVERIFY(Form5 == nullptr);
        QVERIFY(Form2->TitleLines.isEmpty());
        QVERIFY(Form2->Chart1->chart()->title().isEmpty());
        QCOMPARE(Form2->Series1->count() + int(ShownPoints(Form2->Series2).size()) +
                     int(ShownPoints(Form2->Series3).size()),
                 0);
        Form1->ClearLoadedData();
    }

    void tileArrangements()
    {
        auto* second = Form1->MdiArea->addSubWindow(new QWidget);
        auto* third = Form1->MdiArea->addSubWindow(new QWidget);
        second->show();
        third->show();
        // The area without scroll bars, as the windows leave it once tiled.
        QRect area;

        Form1->N11Click(Form1->N11);
        QCoreApplication::processEvents();  // the scroll bars follow the windows
        area = Form1->MdiArea->viewport()->rect();
        QVERIFY(Form1->TileMode == TForm1::TileModes::Horizontal);
        QList<QMdiSubWindow*> windows = Form1->ArrangedWindows();
        QCOMPARE(windows.size(), 3);
        int covered = 0;
        for (QMdiSubWindow* w : windows) {
            QCOMPARE(w->geometry().left(), 0);
            QCOMPARE(w->geometry().width(), area.width());
            covered += w->geometry().height();
        }
        QCOMPARE(covered, area.height());
        QCOMPARE(windows[0]->geometry().top(), 0);
        QCOMPARE(windows[1]->geometry().top(), windows[0]->geometry().bottom() + 1);

        // The last tile command decides.
        Form1->N12Click(Form1->N12);
        QVERIFY(Form1->TileMode == TForm1::TileModes::Vertical);
        covered = 0;
        for (QMdiSubWindow* w : Form1->ArrangedWindows()) {
            QCOMPARE(w->geometry().top(), 0);
            QCOMPARE(w->geometry().height(), area.height());
            covered += w->geometry().width();
        }
        QCOMPARE(covered, area.width());

        Form1->N10Click(Form1->N10);
        QVERIFY(second->geometry().topLeft() != third->geometry().topLeft());

        delete second;
        delete third;
        Form1->N11Click(Form1->N11);
        QCOMPARE(Form2->geometry(), area);
        Form1->N12Click(Form1->N12);
        QCOMPARE(Form2->geometry(), area);
    }

    // A window is never tiled below its minimum size (the size at which its charts read): the
    // others share what is left evenly, and where the minimums need more than the area, every
    // window keeps its minimum and the area's scroll bar reaches the last one.
    void tilingKeepsMinimums_data()
    {
        QTest::addColumn<bool>("oneAboveTheOther");
        QTest::addColumn<QList<double>>("minimums");  // parts of the area's length
        for (bool above : {true, false}) {
            const char* way = above ? "above" : "beside";
            QTest::addRow("%s, below the shares", way) << above << QList<double>{0.1, 0, 0.2};
            QTest::addRow("%s, one above its share", way) << above << QList<double>{0, 0.6, 0};
            QTest::addRow("%s, two above their shares", way)
                << above << QList<double>{0.45, 0.1, 0.4};
            QTest::addRow("%s, more than the area", way) << above << QList<double>{0.5, 0.3, 0.5};
        }
    }

    void tilingKeepsMinimums()
    {
        QFETCH(bool, oneAboveTheOther);
        QFETCH(QList<double>, minimums);
        const QSize before = Form1->size();
        Form1->resize(1200, 900);
        Form2->hide();
        QCoreApplication::processEvents();
        QMdiArea* mdi = Form1->MdiArea;
        const QSize room = mdi->viewport()->size();
        const int length = oneAboveTheOther ? room.height() : room.width();
        QList<QMdiSubWindow*> made;
        for (double part : minimums) {
            auto* content = new QWidget;
            const int pixels = static_cast<int>(part * length);
            content->setMinimumSize(oneAboveTheOther ? QSize(0, pixels) : QSize(pixels, 0));
            made << mdi->addSubWindow(content);
            made.last()->show();
        }
        if (oneAboveTheOther)
            Form1->N11Click(Form1->N11);
        else
            Form1->N12Click(Form1->N12);
        QCoreApplication::processEvents();
        const QList<QMdiSubWindow*> windows = Form1->ArrangedWindows();
        QCOMPARE(windows.size(), 3);
        const auto along = [&](const QRect& r) { return oneAboveTheOther ? r.top() : r.left(); };
        const auto span = [&](const QSize& s) { return oneAboveTheOther ? s.height() : s.width(); };
        int start = 0, needed = 0;
        for (QMdiSubWindow* w : windows) needed += span(w->minimumSizeHint());
        QList<int> free;
        for (QMdiSubWindow* w : windows) {
            QCOMPARE(along(w->geometry()), start);
            QVERIFY(span(w->size()) >= span(w->minimumSizeHint()));
            if (span(w->size()) > span(w->minimumSizeHint())) free << span(w->size());
            start += span(w->size());
        }
        if (needed <= length) {
            QCOMPARE(start, length);
            for (int share : free) QVERIFY(std::abs(share - free.first()) <= 1);
        } else {
            QVERIFY(free.isEmpty());
            QScrollBar* bar =
                oneAboveTheOther ? mdi->verticalScrollBar() : mdi->horizontalScrollBar();
            QVERIFY(bar->isVisible());
            bar->setValue(bar->maximum());
            QCoreApplication::processEvents();
            const QRect last = windows.last()->geometry();
            QCOMPARE((oneAboveTheOther ? last.bottom() : last.right()) + 1,
                     span(mdi->viewport()->size()));
        }
        qDeleteAll(made);
        Form2->show();
        Form1->resize(before);
        QCoreApplication::processEvents();
    }

    void mapButtonSendsBackAndBringsFront()
    {
        Form1->MdiArea->setActiveSubWindow(Form2);
        Form1->ToolButton16->trigger();
        QVERIFY(Form1->ToolButton16->isChecked());
        QCOMPARE(Form1->MdiArea->currentSubWindow(), Form2);  // the only child window
        Form1->ToolButton16->trigger();
        QVERIFY(Form1->ToolButton16->isChecked());

        auto* other = Form1->MdiArea->addSubWindow(new QWidget);
        other->show();
        Form1->MdiArea->setActiveSubWindow(other);
        Form1->ToolButton16->trigger();
        QVERIFY(!Form1->ToolButton16->isChecked());
        QCOMPARE(Form1->MdiArea->currentSubWindow(), Form2);
        QCOMPARE(Form1->MdiArea->subWindowList(QMdiArea::StackingOrder).back(), Form2);

        Form1->ToolButton16->trigger();
        QVERIFY(Form1->ToolButton16->isChecked());
        QCOMPARE(Form1->MdiArea->currentSubWindow(), other);
        QVERIFY(Form2->isVisible());
        delete other;
    }

    void aboutBoxCaptions()
    {
        QStringList captions;
        auto closeWhenShown = [&captions] {
            QTimer::singleShot(0, [&captions] {
                QVERIFY(About && About->isVisible());
                captions << About->windowTitle();
                CheckAboutBox(About);
                QTest::keyClick(About, Qt::Key_Return);  // the default button
            });
        };
        closeWhenShown();
        Form1->ToolButton20->trigger();
        QVERIFY(About == nullptr);  // each box is freed when its command ends
        closeWhenShown();
        Form1->N22->trigger();
        QVERIFY(About == nullptr);
        QCOMPARE(captions,
                 QStringList({Text("关于频率测深处理..."), Text("关于可控源资料处理...")}));
    }

    void linkOpensTheWebAddress()
    {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler("http", &catcher, "open");
        auto* box = new TAbout(Form1);
        box->show();
        QTest::mouseClick(box->StaticText10, Qt::LeftButton);
        QDesktopServices::unsetUrlHandler("http");
        QCOMPARE(catcher.urls.size(), 1);
        QCOMPARE(catcher.urls[0].host(), QString(TAbout::kWebAddress));
        QVERIFY(box->isVisible());
        delete box;
    }

    void exceptionBoxShowsMessageOrNothing()
    {
        ScriptedUserInterface ui;
        Thrower thrower;
        QEvent event(QEvent::User);
        QApplication::sendEvent(&thrower, &event);
        thrower.kind = 1;
        QApplication::sendEvent(&thrower, &event);
        QCOMPARE(ui.Shown.size(), size_t(2));
        QCOMPARE(ui.Shown[0].Kind, ScriptedUserInterface::ExceptionBox);
        QCOMPARE(ui.Shown[0].Text, std::string("'x' is not a valid floating point value"));
        QCOMPARE(ui.Shown[1].Text, std::string());
    }

    void exitClosesEverything()
    {
        QSignalSpy closed(Form1, &TForm1::Closed);
        auto* viewer = Form1->MdiArea->addSubWindow(new QWidget);
        viewer->show();
        Form1->N3->trigger();
        QCOMPARE(closed.count(), 1);
        QVERIFY(!Form1->isVisible());
    }
};

int main(int argc, char** argv)
{
    QuillaneApplication app(argc, argv);
    MainFormTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainform.moc"
