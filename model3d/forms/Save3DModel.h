#pragma once
// The 3-D starting model builder "三维反演初始模型": a modal dialog that turns the survey's points
// into a rectilinear mesh with growing boundary cells, a layered background resistivity, terrain,
// smoothing settings and a boundary polygon, and writes the model, covariance, background model
// and boundary files from its own buttons while it is open.
//
// The dialog is the model: it holds the lists of ModelData itself, and its controls hold the
// values of ModelSettings (read with Settings(), written with SetSettings()).

#include <QChartView>
#include <QDialog>
#include <QSpinBox>
#include <QTableWidget>
#include <functional>
#include <memory>
#include <vector>

#include "app/Dialogs.h"
#include "base/SafeFile.h"
#include "model3d/Layers.h"
#include "model3d/ModelData.h"
#include "model3d/Terrain.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QLineSeries;
class QLogValueAxis;
class QPushButton;
class QScatterSeries;
class QTabWidget;
class QToolButton;
class QValueAxis;
class TForm1;

// An up-down with its edit; Changing runs before a step changes the position.
class UpDown : public QSpinBox {
    Q_OBJECT
public:
    UpDown(int minimum, int maximum, int position, QWidget* parent = nullptr);
    QLineEdit* Edit() const;
    std::function<void()> Changing;
    void stepBy(int steps) override;
};

// The layer grid: reports key releases and Ctrl + wheel down.
class LayerGrid : public QTableWidget {
    Q_OBJECT
public:
    using QTableWidget::QTableWidget;
    std::function<void()> KeyUp;
    std::function<void(Qt::KeyboardModifiers)> WheelDown;

protected:
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    int wheelDelta_ = 0;  // Ctrl + wheel down not yet making a whole notch
};

// A chart view that reports presses, moves and releases in data values of one series, and can
// show a picture stretched behind the chart.
class ModelChartView : public QChartView {
    Q_OBJECT
public:
    ModelChartView(QChart* chart, QWidget* parent = nullptr);
    QAbstractSeries* ValueSeries = nullptr;
    QImage Picture;
    std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, QPointF)> Pressed;
    std::function<void(Qt::MouseButtons, Qt::KeyboardModifiers, QPointF)> Moved;
    std::function<void(Qt::KeyboardModifiers)> Released;

    QPointF Value(QPointF viewPixel) const;
    QPointF Pixel(QPointF value) const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void drawBackground(QPainter* painter, const QRectF& rect) override;
};

class TForm7 : public QDialog, public ModelData {
    Q_OBJECT
public:
    explicit TForm7(TForm1* Owner);
    ~TForm7() override;

    QTabWidget* PageControl1;
    QWidget *TabSheet1, *TabSheet2, *TabSheet3, *TabSheet5, *TabSheet6, *TabSheet4;

    // "几何参数"
    UpDown *Nx, *NxS, *Ny, *NyS, *Nz, *NzS, *NzAir;
    QLineEdit *NxEdit, *Edit2, *Edit5, *Edit6, *Edit9, *Edit10, *Edit1;  // the up-downs' edits
    QLineEdit *Dx, *NxScale, *Dy, *NyScale, *Dz, *NzScale, *fZsEdit;
    // "背景电阻率"
    LayerGrid* ResModel;
    QAction *N1, *N2;  // "插入一层", "删除当前层"
    ModelChartView* Chart2;
    QLineSeries* Series5;
    QScatterSeries* Series6;
    QLogValueAxis* Chart2Bottom;
    QValueAxis* Chart2Left;
    QPushButton *BitBtn1, *BitBtn2, *BitBtn3,
        *BitBtn6;  // "加载", "保存", "网格融合", "参考模型图像"
    QCheckBox* CheckBox1;
    QLabel* StaticText22;
    // "数据坐标系信息"
    QLineEdit *DxMin, *DxMax, *DyMin, *DyMax, *MxRefEdit, *MyRefEdit, *MzRefEdit, *MRotEdit;
    // "设置模型光滑性"
    QComboBox *ComboBox1, *ComboBox2, *ComboBox3;
    // "源信息"
    QLineEdit *Edit3, *Edit4, *Edit7;
    // "显示模型与测区"
    ModelChartView* Chart1;
    QScatterSeries* Series1;  // the points
    QLineSeries* Series2;     // the model's outline
    QScatterSeries* Series3;  // the inner mesh nodes
    QLineSeries* Series4;     // the boundary polygon
    QValueAxis *Chart1Bottom, *Chart1Left;
    // Below the pages.
    QPushButton *BitBtn4, *BitBtn5, *BitBtn7;  // "创建模型", "取消", "加载地形"
    QToolButton *SpeedButton1, *SpeedButton2;  // "构造有效区域", "保存构造边界"

    FileDialog SaveDialog1{FileDialog::Save};
    FileDialog OpenDialog1{FileDialog::Open};

    double LastCursorX = 0, LastCursorY = 0;
    // True while the model files are computed: commands of the dialog return at once.
    bool Busy = false;

    ModelSettings Settings() const;
    void SetSettings(const ModelSettings& settings);

    // Shows the dialog modally and frees it when it closes. A window test sets ModalRunner to
    // take the dialog over instead, so that it can drive it after the command.
    static void ShowModal(std::unique_ptr<TForm7> form);
    static std::function<void(std::unique_ptr<TForm7>)> ModalRunner;

    // Handlers; positions are in data values of the chart's series.
    void TabSheet1Show();
    void TabSheet1Exit();
    void NxChanging();
    void NyChanging();
    void NzChanging();
    void TabSheet2Show();
    void TabSheet2Exit();
    void TabSheet4Show();
    void Chart1MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, QPointF At);
    void Chart1MouseMove(Qt::MouseButtons Buttons, Qt::KeyboardModifiers Shift, QPointF At);
    void BitBtn4Click();  // "创建模型"
    void BitBtn7Click();  // "加载地形"
    void SpeedButton1Click();
    void SpeedButton2Click();
    void ResModelKeyUp();
    void ResModelClick(int Row);
    void ResModelMouseWheelDown(Qt::KeyboardModifiers Shift);
    void N1Click();
    void N2Click();
    void Chart2MouseDown(Qt::KeyboardModifiers Shift, QPointF At);
    void ResModelMouseUp(Qt::KeyboardModifiers Shift);
    void BitBtn6Click();  // "参考模型图像"
    void BitBtn2Click();  // "保存"
    void BitBtn1Click();  // "加载"
    void BitBtn3Click();  // "网格融合"

    void FillLayerGrid();
    void DrawLayerProfile();
    void DrawModelOnMap();
    void DrawBoundary();
    void FitMapAxes();

    // The grid's rows with the texts as they stand.
    std::vector<LayerGridRow> GridRows() const;
    void ShowGridRows(const std::vector<LayerGridRow>& rows);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The constructor's parts, one per page or panel, in the order it runs them.
    void BuildPages();
    void BuildGeometryPage();
    void BuildBackgroundPage();
    void BuildCoordinatePage();
    void BuildSmoothingPage();
    void BuildSourcePage();
    void BuildMapPage();
    void BuildButtonRow();
    void ConnectHandlers();
    // Runs a command of the dialog through RunGuarded, unless the model files are computed.
    void Run(const std::function<void()>& command);
    std::function<void()> Command(void (TForm7::*handler)());
    void CellEdited(int row, int column);
    void PageChanged(int index);
    void ReportUnwritten(const FileSetOutcome& outcome);

    TForm1* owner_;
    QButtonGroup* speedButtons_;
    std::vector<LayerGridRow> layerRows_;
    bool filling_ = false;
    // True while the last leave of the geometry page (the layer page) ended in an error.
    bool geometryUnread_ = false, layersUnread_ = false;
    int page_ = 0;
};

extern TForm7* Form7;  // the one that is open, else null

// What the dialog lets run while the terrain search computes the model files: the pending window
// messages other than user input.
TerrainProgress ModelBuilderPendingMessages();
