#pragma once
// The main window: a multiple-document frame that owns the survey data store and offers every
// command through its menu, its tool bar and the pop-up menu (the station map's context menu).
//
// Command handlers keep their terse names; each takes the entry that was chosen as Sender.
// The commands of the other subsystems are defined in those subsystems' forms/ folders.
//
// Open and Append share the open dialog in two steps, so that Cancel changes nothing:
//   ToolButton2Click: OpenDialog.Execute(); only when files were chosen OpenChosenFiles().
//   N20Click:         OpenDialog.Execute(); only when files were chosen AppendFiles().
//   AppendFiles():    reads OpenDialog.Files / OpenDialog.FileName into the store, counts,
//                     static-shift entries, DrawLayoutMap (the whole load after the dialog).
//   OpenChosenFiles(): ClearLoadedData(), then the load of AppendFiles().
// A load cancelled in its progress dialog leaves the survey as the command found it.

#include <QKeySequence>
#include <QMainWindow>
#include <initializer_list>
#include <memory>
#include <utility>

#include "app/Dialogs.h"
#include "map/MapOwner.h"
#include "survey/SurveyStore.h"

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QStatusBar;
class QToolBar;
struct ExProfilePick;

class TForm1 : public QMainWindow, public SurveyStore, public MapOwner {
    Q_OBJECT
public:
    explicit TForm1(QWidget* Owner = nullptr);
    ~TForm1() override;

    QMdiArea* MdiArea;  // the client area that holds the child windows
    QToolBar* MainTools;
    QStatusBar* StatusBar1;
    QMenu* PopupMenu1;

    FileDialog OpenDialog{FileDialog::Open};
    FileDialog SaveDialog{FileDialog::Save};
    FileDialog SavePictureDialog1{FileDialog::SavePicture};

    // Main menu.
    QMenu* Fille1;
    QAction *Open1, *N20, *N24, *N23, *N1, *N25, *N2, *N3;
    QMenu* N9;
    QAction *N10, *N11, *N12;
    QMenu* N21;
    QAction* N22;
    // Tool bar.
    QAction *ToolButton2, *tbsaveall, *DataPreview, *ToolButton11, *ToolButton1, *ToolButton16,
        *ToolButton20;
    // Pop-up menu.
    QAction *N33, *Open2, *APP, *N29, *N18, *N19, *N15, *N32, *N28, *N16, *N8, *N30, *N14, *N17,
        *SEC1, *N13, *N26, *OUTMTD1, *N27, *N31, *N4, *N7, *N5, *N6, *Showlabels1;

    // True while a load or reload runs. The load lets pending window messages run with the store
    // half filled, so every command that changes the store, and every map gesture, returns at
    // once while it is set.
    bool LoadRunning = false;

    enum class TileModes { Horizontal, Vertical };
    TileModes TileMode = TileModes::Horizontal;

    // The load that follows a confirmed open dialog (see the header comment).
    void AppendFiles();
    void OpenChosenFiles();
    // The profile response of a rectangle on the station map, and its chart. Virtual only so
    // that a window test can watch the map's calls.
    // The selection is false when its progress dialog was cancelled: the gesture ends there.
    virtual bool SelectProfileStations(double X1, double Y1, double X2, double Y2);
    virtual void ShowExProfileChart();
    // What the last rectangle picked, gathered with it for the chart that follows.
    std::shared_ptr<const ExProfilePick> ProfilePick;

    // The owner of the station map (map/MapOwner.h): the store, the open dialog's file name, the
    // client area, LoadRunning, the profile selection and its chart, the pop-up menu.
    const SurveyStore& MapSurvey() const override;
    const std::string& MapFileName() const override;
    QMdiArea* MapArea() const override;
    bool MapWaitsForLoad() const override;
    void PickProfile(double X1, double Y1, double X2, double Y2) override;
    void PopupMapMenu(QPoint globalPosition) override;
    void RunMapGesture(const std::function<void()>& gesture) override;

    // The child windows in the order the arrangements place them, the front one first.
    QList<QMdiSubWindow*> ArrangedWindows() const;

    // What a load changes in the open windows, each done by the folder that owns the window (see
    // app/SurveyWindows.h). The static-shift window closes, and the sounding-curve viewer draws
    // the new store, or closes without Ex or Hy stations; raises what the viewer's curves raise.
    void CloseStaticShiftWindows();
    void RedrawSoundingCurveViewer();
    // The profile charts close, each holding the curves of the stations picked then.
    void CloseProfileCharts();

public slots:
    void ToolButton2Click(QObject* Sender = nullptr);   // "打开"
    void N20Click(QObject* Sender = nullptr);           // "追加数据"
    void N24Click(QObject* Sender = nullptr);           // "浏览加载的数据文件"
    void OUTMTD1Click(QObject* Sender = nullptr);       // "输出数据"
    void N25Click(QObject* Sender = nullptr);           // "输出反演模型"
    void N3Click(QObject* Sender = nullptr);            // "退出"
    void N10Click(QObject* Sender = nullptr);           // "层叠"
    void N11Click(QObject* Sender = nullptr);           // "水平平铺"
    void N12Click(QObject* Sender = nullptr);           // "垂直平铺"
    void N22Click(QObject* Sender = nullptr);           // "关于"
    void N8Click(QObject* Sender = nullptr);            // "数据浏览"
    void N13Click(QObject* Sender = nullptr);           // "近区和过渡区校正"
    void SEC1Click(QObject* Sender = nullptr);          // "显示静态效应"
    void ToolButton16Click(QObject* Sender = nullptr);  // "隐藏/显示测点分布图"
    void ToolButton20Click(QObject* Sender = nullptr);  // "帮助"
    void N33Click(QObject* Sender = nullptr);           // "文件操作说明"
    void N29Click(QObject* Sender = nullptr);           // "全部文件重新加载"
    void N19Click(QObject* Sender = nullptr);           // "编辑点位"
    void N15Click(QObject* Sender = nullptr);  // "修改发射源位置(V8可选;GDP32必须)"
    void N28Click(QObject* Sender = nullptr);  // "坐标旋转(斜测线变为水平测线)"
    void N17Click(QObject* Sender = nullptr);  // "编辑数据"
    void N31Click(QObject* Sender = nullptr);  // "输出剖面响应"
    void N7Click(QObject* Sender = nullptr);   // "复制装置图形"
    void N5Click(QObject* Sender = nullptr);   // "保存装置图形"
    void N6Click(QObject* Sender = nullptr);   // "保存点位数据"
    void Showlabels1Click(QObject* Sender = nullptr);  // "Show labels"

signals:
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The constructor's parts, in the order it runs them.
    void BuildMainMenu();
    void BuildToolBar();
    void BuildPopupMenu();
    void ConnectCommands();
    void SetUpFileDialogs();
    // An entry of a menu with its object name; a separator with its object name; handlers
    // connected to their entries, through Guarded.
    QAction* MenuItem(QMenu* menu, const char* name, const char* caption,
                      const QKeySequence& shortcut = QKeySequence());
    QAction* MenuSeparator(QMenu* menu, const char* name);
    using Handler = void (TForm1::*)(QObject*);
    void Bind(std::initializer_list<std::pair<QAction*, Handler>> entries);

    void TileByHand(bool oneAboveTheOther);
};

extern TForm1* Form1;
