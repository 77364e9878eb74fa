#include "app/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <memory>
#include <numeric>

#include "app/AboutDialog.h"
#include "app/CommandGuard.h"
#include "app/Pictures.h"
#include "base/SafeFile.h"
#include "chart/forms/DisplayText.h"
#include "map/TxRx.h"

TForm1* Form1 = nullptr;

TForm1::TForm1(QWidget* Owner) : QMainWindow(Owner)
{
    setObjectName("Form1");
    setWindowTitle(Text("可控源数据预处理"));
    // No tool-bar menu: the main window has no context menu, and no entry is ever hidden.
    setContextMenuPolicy(Qt::PreventContextMenu);
    resize(1024, 545);
    if (const QScreen* screen = QApplication::primaryScreen()) {
        const QRect desk = screen->availableGeometry();
        move(desk.center() - rect().center());
    }

    MdiArea = new QMdiArea(this);
    MdiArea->setObjectName("MdiArea");
    MdiArea->setBackground(palette().brush(QPalette::Window));
    // A tiled window kept at the size at which its charts read may reach beyond the area.
    MdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    MdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(MdiArea);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    setStatusBar(StatusBar1);

    BuildMainMenu();
    BuildToolBar();
    BuildPopupMenu();
    ConnectCommands();
    SetUpFileDialogs();

    setWindowState(Qt::WindowMaximized);
}

QAction* TForm1::MenuItem(QMenu* menu, const char* name, const char* caption,
                          const QKeySequence& shortcut)
{
    QAction* action = menu->addAction(Text(caption));
    action->setObjectName(name);
    action->setShortcut(shortcut);
    return action;
}

QAction* TForm1::MenuSeparator(QMenu* menu, const char* name)
{
    QAction* action = menu->addSeparator();
    action->setObjectName(name);
    return action;
}

void TForm1::Bind(std::initializer_list<std::pair<QAction*, Handler>> entries)
{
    for (const auto& [action, handler] : entries)
        connect(action, &QAction::triggered, this,
                Guarded([this, action = action, handler = handler] { (this->*handler)(action); }));
}

// The main menu: file, window and help.
void TForm1::BuildMainMenu()
{
    Fille1 = menuBar()->addMenu(Text("文件"));
    Fille1->setObjectName("Fille1");
    Open1 = MenuItem(Fille1, "Open1", "打开", QKeySequence(Qt::CTRL | Qt::Key_O));
    N20 = MenuItem(Fille1, "N20", "追加数据", QKeySequence(Qt::CTRL | Qt::Key_A));
    N24 = MenuItem(Fille1, "N24", "浏览加载的数据文件", QKeySequence(Qt::CTRL | Qt::Key_B));
    N23 = MenuSeparator(Fille1, "N23");
    N1 = MenuItem(Fille1, "N1", "输出数据", QKeySequence(Qt::CTRL | Qt::Key_D));
    N25 = MenuItem(Fille1, "N25", "输出反演模型", QKeySequence(Qt::CTRL | Qt::Key_M));
    N2 = MenuSeparator(Fille1, "N2");
    N3 = MenuItem(Fille1, "N3", "退出", QKeySequence(Qt::ALT | Qt::Key_F4));
    N9 = menuBar()->addMenu(Text("窗口"));
    N9->setObjectName("N9");
    N10 = MenuItem(N9, "N10", "层叠");
    N11 = MenuItem(N9, "N11", "水平平铺");
    N12 = MenuItem(N9, "N12", "垂直平铺");
    N21 = menuBar()->addMenu(Text("帮助"));
    N21->setObjectName("N21");
    N22 = MenuItem(N21, "N22", "关于");
    menuBar()->setObjectName("MainMenu1");
}

// The tool bar: pictures only, the hint on hover.
void TForm1::BuildToolBar()
{
    MainTools = addToolBar(QString());
    MainTools->setObjectName("MainTools");
    MainTools->setMovable(false);
    MainTools->setFloatable(false);
    MainTools->setIconSize(QSize(16, 16));
    MainTools->setToolButtonStyle(Qt::ToolButtonIconOnly);
    MainTools->setContextMenuPolicy(Qt::PreventContextMenu);
    MainTools->setStyleSheet("QToolBar { border: 1px solid palette(mid); }");
    auto button = [this](const char* name, const char* hint, QStyle::StandardPixmap picture) {
        QAction* action = MainTools->addAction(style()->standardIcon(picture), Text(hint));
        action->setObjectName(name);
        action->setToolTip(Text(hint));
        if (QWidget* widget = MainTools->widgetForAction(action)) {
            widget->setObjectName(name);
            widget->setFixedWidth(24);
        }
        return action;
    };
    auto gap = [this](const char* name, int width) {
        auto* line = new QFrame(MainTools);
        line->setFrameShape(QFrame::VLine);
        line->setFrameShadow(QFrame::Sunken);
        line->setFixedWidth(width);
        QAction* action = MainTools->addWidget(line);
        action->setObjectName(name);
    };
    ToolButton2 = button("ToolButton2", "打开", QStyle::SP_DialogOpenButton);
    tbsaveall = button("tbsaveall", "输出数据", QStyle::SP_DialogSaveButton);
    gap("ToolButton14", 8);
    DataPreview = button("DataPreview", "数据浏览", QStyle::SP_FileDialogContentsView);
    ToolButton11 = button("ToolButton11", "近区和过渡区校正", QStyle::SP_BrowserReload);
    ToolButton1 = button("ToolButton1", "显示静态效应", QStyle::SP_FileDialogDetailedView);
    gap("ToolButton18", 8);
    ToolButton16 = button("ToolButton16", "隐藏/显示测点分布图", QStyle::SP_DesktopIcon);
    ToolButton16->setCheckable(true);
    gap("ToolButton7", 9);
    ToolButton20 = button("ToolButton20", "帮助", QStyle::SP_DialogHelpButton);
}

// The pop-up menu, the station map's context menu. A key shown on two entries is bound once, on
// the main menu's entry: the pop-up copy shows it as text only.
void TForm1::BuildPopupMenu()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    N33 = MenuItem(PopupMenu1, "N33", "文件操作说明");
    Open2 = MenuItem(PopupMenu1, "Open2", "打开文件");
    APP = MenuItem(PopupMenu1, "APP", "添加测线");
    N29 = MenuItem(PopupMenu1, "N29", "全部文件重新加载");
    N18 = MenuSeparator(PopupMenu1, "N18");
    N19 = MenuItem(PopupMenu1, "N19", "编辑点位");
    N15 = MenuItem(PopupMenu1, "N15", "修改发射源位置(V8可选;GDP32必须)");
    N32 = MenuItem(PopupMenu1, "N32", "  或者用鼠标选中源，按住鼠标，移动到期望的位置，松开鼠标");
    N28 = MenuItem(PopupMenu1, "N28", "坐标旋转(斜测线变为水平测线)");
    N16 = MenuSeparator(PopupMenu1, "N16");
    N8 = MenuItem(PopupMenu1, "N8", "单点数据浏览");
    N30 = MenuItem(PopupMenu1, "N30", "观测数据平面等值线");
    N14 = MenuSeparator(PopupMenu1, "N14");
    N17 = MenuItem(PopupMenu1, "N17", "编辑数据", QKeySequence(Qt::CTRL | Qt::Key_E));
    SEC1 = MenuItem(PopupMenu1, "SEC1", "静态效应");
    N13 = MenuItem(PopupMenu1, "N13", "过渡区校正");
    N26 = MenuSeparator(PopupMenu1, "N26");
    OUTMTD1 = MenuItem(PopupMenu1, "OUTMTD1", "输出处理结果");
    OUTMTD1->setText(OUTMTD1->text() + '\t' + N1->shortcut().toString(QKeySequence::NativeText));
    N27 = MenuItem(PopupMenu1, "N27", "输出三维电阻率模型");
    N27->setText(N27->text() + '\t' + N25->shortcut().toString(QKeySequence::NativeText));
    N31 = MenuItem(PopupMenu1, "N31", "输出剖面响应");
    N4 = MenuSeparator(PopupMenu1, "N4");
    N7 = MenuItem(PopupMenu1, "N7", "复制装置图形");
    N5 = MenuItem(PopupMenu1, "N5", "保存装置图形");
    N6 = MenuItem(PopupMenu1, "N6", "保存点位数据");
    Showlabels1 = MenuItem(PopupMenu1, "Showlabels1", "Show labels");
    // The pop-up menu is never shown by a key, so its own key acts through the main window.
    addAction(N17);
}

// Every entry's command.
void TForm1::ConnectCommands()
{
    Bind({
        // The main menu.
        {Open1, &TForm1::ToolButton2Click},
        {N20, &TForm1::N20Click},
        {N24, &TForm1::N24Click},
        {N1, &TForm1::OUTMTD1Click},
        {N25, &TForm1::N25Click},
        {N3, &TForm1::N3Click},
        {N10, &TForm1::N10Click},
        {N11, &TForm1::N11Click},
        {N12, &TForm1::N12Click},
        {N22, &TForm1::N22Click},
        // The tool bar.
        {ToolButton2, &TForm1::ToolButton2Click},
        {tbsaveall, &TForm1::OUTMTD1Click},
        {DataPreview, &TForm1::N8Click},
        {ToolButton11, &TForm1::N13Click},
        {ToolButton1, &TForm1::SEC1Click},
        {ToolButton16, &TForm1::ToolButton16Click},
        {ToolButton20, &TForm1::ToolButton20Click},
        // The pop-up menu.
        {N33, &TForm1::N33Click},
        {Open2, &TForm1::ToolButton2Click},
        {APP, &TForm1::N20Click},
        {N29, &TForm1::N29Click},
        {N19, &TForm1::N19Click},
        {N15, &TForm1::N15Click},
        {N28, &TForm1::N28Click},
        {N8, &TForm1::N8Click},
        {N17, &TForm1::N17Click},
        {SEC1, &TForm1::SEC1Click},
        {N13, &TForm1::N13Click},
        {OUTMTD1, &TForm1::OUTMTD1Click},
        {N27, &TForm1::N25Click},
        {N31, &TForm1::N31Click},
        {N7, &TForm1::N7Click},
        {N5, &TForm1::N5Click},
        {N6, &TForm1::N6Click},
        {Showlabels1, &TForm1::Showlabels1Click},
    });
}

// The shared file dialogs.
void TForm1::SetUpFileDialogs()
{
    OpenDialog.Owner = this;
    OpenDialog.Title = "打开观测数据文件...";
    OpenDialog.Filter =
        std::string("GDP32 Raw File(*.raw)|*.raw|AVG File of V8 CSAMT(*.avg)|*.avg|") +
        "3D CSEM Ex Component File(*.imp)|*.imp|" + "CSAMT USF File(*.usf)|*.usf|";
    OpenDialog.FilterIndex = 1;
    OpenDialog.DefaultExt = ".raw";
    OpenDialog.AllowMultiSelect = true;
    OpenDialog.FileMustExist = true;
    SaveDialog.Owner = this;
    SaveDialog.Filter = "STN Files(*.stn)|*.stn|Pos Files(*.pos)|*.pos";
    SaveDialog.DefaultExt = "mtd";
    SaveDialog.InitialDir = ".";
    SavePictureDialog1.Owner = this;
    SavePictureDialog1.Filter = "Enhanced Metafiles (*.emf)|*.emf|All Files (*)|*|";
    SavePictureDialog1.DefaultExt = "emf";
}

TForm1::~TForm1()
{
    if (Form1 == this) Form1 = nullptr;
}

void TForm1::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit Closed();
}

void TForm1::ToolButton2Click(QObject* Sender)
{
    (void)Sender;
    if (LoadRunning) return;
    if (!OpenDialog.Execute()) return;
    OpenChosenFiles();
}

void TForm1::N20Click(QObject* Sender)
{
    (void)Sender;
    if (LoadRunning) return;
    if (!OpenDialog.Execute()) return;
    AppendFiles();
}

void TForm1::N3Click(QObject* Sender)
{
    (void)Sender;
    close();
}

QList<QMdiSubWindow*> TForm1::ArrangedWindows() const
{
    QList<QMdiSubWindow*> windows;
    const QList<QMdiSubWindow*> stacked = MdiArea->subWindowList(QMdiArea::StackingOrder);
    for (auto it = stacked.rbegin(); it != stacked.rend(); ++it)
        if (!(*it)->isHidden() && !(*it)->isMinimized()) windows.push_back(*it);
    return windows;
}

namespace {

// Shares a length among windows in their order, as evenly as their minimums allow: a window whose
// minimum is above its share gets its minimum and the others share the rest. Where the minimums
// need more than the length, every window gets its minimum and the whole reaches beyond it.
QList<int> ShareLength(int length, const QList<int>& minimums)
{
    const qsizetype n = minimums.size();
    QList<bool> fixed(n, false);
    int rest = length;
    qsizetype shared = n;
    for (bool changed = true; changed && shared > 0;) {
        changed = false;
        for (qsizetype i = 0; i < n; ++i) {
            if (fixed[i] || minimums[i] <= rest / static_cast<int>(shared)) continue;
            fixed[i] = true;
            rest -= minimums[i];
            --shared;
            changed = true;
        }
        if (rest < 0) return minimums;
    }
    QList<int> lengths(n);
    int k = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (fixed[i]) {
            lengths[i] = minimums[i];
            continue;
        }
        const int count = static_cast<int>(shared);
        lengths[i] = rest * (k + 1) / count - rest * k / count;
        ++k;
    }
    return lengths;
}

}  // namespace

void TForm1::TileByHand(bool oneAboveTheOther)
{
    const QList<QMdiSubWindow*> windows = ArrangedWindows();
    if (windows.isEmpty()) return;
    for (QMdiSubWindow* window : windows)
        if (window->isMaximized()) window->showNormal();
    // The windows are laid from the origin of the area's contents, scroll bars aside: a window
    // kept at the size at which its charts read reaches beyond the area, and a scroll bar takes
    // its breadth from the area across.
    MdiArea->horizontalScrollBar()->setValue(MdiArea->horizontalScrollBar()->minimum());
    MdiArea->verticalScrollBar()->setValue(MdiArea->verticalScrollBar()->minimum());
    QSize room = MdiArea->viewport()->size();
    if (MdiArea->verticalScrollBar()->isVisible())
        room.rwidth() += MdiArea->verticalScrollBar()->width();
    if (MdiArea->horizontalScrollBar()->isVisible())
        room.rheight() += MdiArea->horizontalScrollBar()->height();
    const int bar = MdiArea->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, MdiArea);
    QList<int> along, across;
    int widest = 0;
    for (QMdiSubWindow* window : windows) {
        const QSize minimum = window->minimumSizeHint().expandedTo(window->minimumSize());
        along << (oneAboveTheOther ? minimum.height() : minimum.width());
        across << (oneAboveTheOther ? minimum.width() : minimum.height());
        widest = std::max(widest, across.last());
    }
    int length = oneAboveTheOther ? room.height() : room.width();
    int breadth = oneAboveTheOther ? room.width() : room.height();
    // A window broader than the area brings the scroll bar that runs across, which takes from
    // the length; windows longer together than the area bring the other, which takes from the
    // breadth, and then perhaps the first.
    const bool broader = widest > breadth;
    if (broader) length -= bar;
    QList<int> lengths = ShareLength(length, along);
    if (std::accumulate(lengths.begin(), lengths.end(), 0) > length) {
        breadth -= bar;
        if (!broader && widest > breadth) lengths = ShareLength(length -= bar, along);
    }
    int start = 0;
    for (qsizetype i = 0; i < windows.size(); ++i) {
        const int span = std::max(breadth, across[i]);
        windows[i]->setGeometry(oneAboveTheOther ? QRect(0, start, span, lengths[i])
                                                 : QRect(start, 0, lengths[i], span));
        start += lengths[i];
    }
}

void TForm1::N10Click(QObject* Sender)
{
    (void)Sender;
    MdiArea->cascadeSubWindows();
}

void TForm1::N11Click(QObject* Sender)
{
    (void)Sender;
    TileMode = TileModes::Horizontal;
    TileByHand(true);
}

void TForm1::N12Click(QObject* Sender)
{
    (void)Sender;
    TileMode = TileModes::Vertical;
    TileByHand(false);
}

void TForm1::N22Click(QObject* Sender)
{
    (void)Sender;
    const auto box = std::make_unique<TAbout>(this);
    About = box.get();
    About->setWindowTitle(Text("关于可控源资料处理..."));
    About->exec();
}

void TForm1::ToolButton20Click(QObject* Sender)
{
    (void)Sender;
    const auto box = std::make_unique<TAbout>(this);
    About = box.get();
    About->setWindowTitle(Text("关于频率测深处理..."));
    About->exec();
}

void TForm1::ToolButton16Click(QObject* Sender)
{
    (void)Sender;
    if (MdiArea->currentSubWindow() == Form2) {
        Form2->lower();
        MdiArea->activateNextSubWindow();
        ToolButton16->setChecked(true);
    } else {
        MdiArea->setActiveSubWindow(Form2);
        Form2->raise();
        ToolButton16->setChecked(false);
    }
}

void TForm1::Showlabels1Click(QObject* Sender)
{
    (void)Sender;
    if (!Form2->LabelsVisible()) {
        Form2->SetLabelsVisible(true);
        Showlabels1->setText("Hide Labels");
    } else {
        Form2->SetLabelsVisible(false);
        Showlabels1->setText("Show Labels");
    }
}

void TForm1::N5Click(QObject* Sender)
{
    (void)Sender;
    if (!SavePictureDialog1.Execute()) return;
    WriteFileReplacing(SavePictureDialog1.FileName, ChartMetafile(Form2->Chart1));
}

void TForm1::N7Click(QObject* Sender)
{
    (void)Sender;
    CopyChartToClipboard(Form2->Chart1);
}
