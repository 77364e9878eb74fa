#pragma once
// The station position editor "点位编辑...": a grid of number, x, y, elevation and label per
// station, the elevation profile of its rows beside it, position files and the grid commands of
// its pop-up menu. The grid is the only copy of the data while the dialog is open; the caller
// writes it back into the stations after OK (TForm1::N19Click).
//
// Grid coordinates below are those of PositionGrid: row 0 is the header row, rows 1 to last the
// data rows, column 0 the fixed number column. Table row r - 1 shows data row r.

#include <QDialog>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <array>
#include <string>
#include <vector>

#include "app/Dialogs.h"
#include "geometry/StationGrid.h"

class QAction;
class QChartView;
class QGraphicsSimpleTextItem;
class QLabel;
class QMenu;
class QPushButton;
class QScatterSeries;
class QValueAxis;
class TChangeXY;

// The string grid: the cell editor is finished on demand, the wheel moves the current cell, the
// Shift marking and the highlighting of duplicates and marks.
class PositionTable : public QTableWidget {
    Q_OBJECT
public:
    explicit PositionTable(TChangeXY* form);

    // Commits an open cell editor into its cell and closes it.
    void FinishEditing();

    // Sizes every column to its header and its widest cell, so that every text reads in full, and
    // shares the room the grid has beyond that among the data columns. One pass over the cells.
    void FitColumns();
    // Widens a column, when needed, for one cell whose text changed.
    void FitCell(int tableRow, int column);

protected:
    // The viewport's size changed.
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    friend class PositionCellDelegate;
    int CellWidth(int tableRow, int column);
    void LayOutColumns();

    TChangeXY* form_;
    std::array<int, kGridColumns> contentWidths_{};
    QPointer<QWidget> editor_;
    int wheelDelta_ = 0;  // wheel turn not yet making a whole notch
};

class TChangeXY : public QDialog {
    Q_OBJECT
public:
    explicit TChangeXY(QWidget* Owner = nullptr);
    ~TChangeXY() override;

    PositionTable* StringGrid1;
    QChartView* Chart1;
    QScatterSeries* Series1;
    QValueAxis *BottomAxis, *LeftAxis;
    QLabel *StaticText1, *TST, *Label2;
    QPushButton *Button1, *Button2, *Button3, *BitBtn1, *BitBtn2;
    FileDialog OpenDialog1{FileDialog::Open};
    FileDialog SaveDialog1{FileDialog::Save};
    QMenu* PopupMenu1;
    QAction *N2, *N3, *N7, *Transform1, *N6, *XY1, *YZ1, *N1, *N18, *Ctrl1, *N9;

    // TransformStart, TransformEnd, CopyCount and Dragging.
    GridMarks Marks;
    // The stations the grid goes back into after OK; OK stays open while no row names one of them.
    const SurveyStore* Stations = nullptr;
    // The mark text of every point of Series1, in the order of its points.
    std::vector<std::string> Series1Labels;

    // The cells as survey texts (GBK bytes); a cell the user did not edit gives back exactly the
    // bytes it was filled with.
    PositionGrid Grid() const;
    // Rows and texts from a grid; only cells whose text differs are rewritten.
    void SetGrid(const PositionGrid& grid);
    std::string Cell(int column, int row) const;
    void SetCell(int column, int row, const std::string& bytes);

    int CurrentColumn() const;  // 1 to 4
    int CurrentRow() const;     // 1 to last, 0 without data rows
    void SetCurrentCell(int column, int row);

    // Per row: the x and y cells repeat those of an earlier row (painted aqua).
    const std::vector<bool>& DuplicateRows();
    // The overlay texts of the points, in the order of the points.
    const std::vector<QGraphicsSimpleTextItem*>& PointLabels() const { return labelItems_; }
    void PlaceLabels();

public slots:
    void FormCreate(QObject* Sender = nullptr);
    void FormShow(QObject* Sender = nullptr);
    void StringGrid1SelectCell(QObject* Sender = nullptr);
    void StringGrid1MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift);
    void StringGrid1MouseUp(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift);
    // True when the event was handled, so that the grid does not move its current cell.
    bool StringGrid1MouseWheelDown(QObject* Sender, Qt::KeyboardModifiers Shift);
    void N2Click(QObject* Sender = nullptr);          // "设置为变换起点"
    void N3Click(QObject* Sender = nullptr);          // "设置为变换结束点"
    void BitBtn1Click(QObject* Sender = nullptr);     // "确定"
    void Button3Click(QObject* Sender = nullptr);     // "必须知道"
    void Button1Click(QObject* Sender = nullptr);     // "加载"
    void Button2Click(QObject* Sender = nullptr);     // "保存"
    void Transform1Click(QObject* Sender = nullptr);  // "坐标变换"
    void XY1Click(QObject* Sender = nullptr);         // "交换X和Y顺序"
    void YZ1Click(QObject* Sender = nullptr);         // "交换Y和Z顺序"
    void N1Click(QObject* Sender = nullptr);          // "以第一点为参考计算相对距离"
    void MainMDIFormN18Click(QObject* Sender = nullptr);  // "粘贴列数据"
    void N6Click(QObject* Sender = nullptr);              // "复制到下条测线"
    void N7Click(QObject* Sender = nullptr);              // "前后点插值"
    void N9Click(QObject* Sender = nullptr);              // "修改点号"
    void FormKeyUp(QObject* Sender, int Key, Qt::KeyboardModifiers Shift);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend void RedrawPositions(TChangeXY* dialog);
    // Runs a command on the grid's texts and shows its result.
    template <class Command>
    void Edit(Command command);
    void RebuildLabels();

    std::vector<QGraphicsSimpleTextItem*> labelItems_;
    std::vector<bool> duplicates_;
    bool duplicatesValid_ = false;
    bool keyReleaseSeen_ = false;
};

extern TChangeXY* ChangeXY;  // the one that is open, else null

// Refills the elevation profile from the grid; rows with numeric x and z and an empty label get
// their x text as label on the way.
void RedrawPositions(TChangeXY* dialog);
