#include "geometry/forms/XY.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QFontMetrics>
#include <QGraphicsSimpleTextItem>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QScatterSeries>
#include <QValueAxis>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

#include "app/CommandGuard.h"
#include "base/Gbk.h"
#include "chart/forms/ChartParts.h"
#include "chart/forms/PointLabels.h"
#include "geometry/GridCommands.h"
#include "geometry/PositionFile.h"
#include "geometry/forms/Addpre.h"
#include "geometry/forms/transxy.h"

TChangeXY* ChangeXY = nullptr;

namespace {

// The survey bytes a cell was filled with, and the text they were shown as.
constexpr int kBytesRole = Qt::UserRole;
constexpr int kShownRole = Qt::UserRole + 1;

bool IsAscii(const std::string& bytes)
{
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

void FillItem(QTableWidgetItem* item, const std::string& bytes)
{
    if (IsAscii(bytes)) {
        item->setData(kBytesRole, QVariant());
        item->setData(kShownRole, QVariant());
        item->setText(QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())));
        return;
    }
    const QString shown = DisplayText(bytes);
    item->setData(kBytesRole, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    item->setData(kShownRole, shown);
    item->setText(shown);
}

std::string ItemBytes(const QTableWidgetItem* item)
{
    if (!item) return std::string();
    const QString text = item->text();
    const QVariant bytes = item->data(kBytesRole);
    if (bytes.isValid() && item->data(kShownRole).toString() == text)
        return bytes.toByteArray().toStdString();
    const std::string utf8 = text.toUtf8().toStdString();
    return IsAscii(utf8) ? utf8 : Utf8ToGbk(utf8);
}

}  // namespace

// Tells the grid which editor is open, so that a command can finish the edit first.
class PositionCellDelegate : public QStyledItemDelegate {
public:
    explicit PositionCellDelegate(PositionTable* table) : QStyledItemDelegate(table), table_(table)
    {
    }
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        table_->editor_ = editor;
        return editor;
    }

private:
    PositionTable* table_;
};

PositionTable::PositionTable(TChangeXY* form) : QTableWidget(form), form_(form)
{
    setItemDelegate(new PositionCellDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    horizontalHeader()->setDefaultSectionSize(48);
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->setMinimumSectionSize(20);
    verticalHeader()->hide();
    horizontalHeader()->setSectionsClickable(false);
    setContextMenuPolicy(Qt::CustomContextMenu);
}

void PositionTable::FinishEditing()
{
    if (!editor_ || state() != QAbstractItemView::EditingState) return;
    QWidget* editor = editor_;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

int PositionTable::CellWidth(int tableRow, int column)
{
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    return itemDelegate()->sizeHint(option, model()->index(tableRow, column)).width();
}

void PositionTable::FitColumns()
{
    // The widest text of a column is found by its advance alone; the delegate then sizes that one
    // cell, margins included, as it will draw it.
    const QFontMetrics metrics(font());
    QHeaderView* header = horizontalHeader();
    for (int column = 0; column < kGridColumns && column < columnCount(); ++column) {
        int widestRow = -1, widest = -1;
        for (int row = 0; row < rowCount(); ++row) {
            const QTableWidgetItem* cell = item(row, column);
            if (!cell) continue;
            const int advance = metrics.horizontalAdvance(cell->text());
            if (advance > widest) {
                widest = advance;
                widestRow = row;
            }
        }
        int width = std::max(header->sectionSizeHint(column), header->minimumSectionSize());
        if (widestRow >= 0) width = std::max(width, CellWidth(widestRow, column));
        contentWidths_[column] = width;
    }
    LayOutColumns();
}

void PositionTable::FitCell(int tableRow, int column)
{
    if (column < 0 || column >= kGridColumns) return;
    const int width = CellWidth(tableRow, column);
    if (width <= contentWidths_[column]) return;
    contentWidths_[column] = width;
    LayOutColumns();
}

void PositionTable::LayOutColumns()
{
    int total = 0;
    for (int width : contentWidths_) total += width;
    const int extra = std::max(0, viewport()->width() - total);
    constexpr int kDataColumns = kGridColumns - kXColumn;
    QHeaderView* header = horizontalHeader();
    for (int column = 0; column < kGridColumns && column < columnCount(); ++column) {
        int width = contentWidths_[column];
        if (column >= kXColumn) {
            const int share = column - kXColumn;
            width += extra / kDataColumns + (share < extra % kDataColumns ? 1 : 0);
        }
        if (header->sectionSize(column) != width) header->resizeSection(column, width);
    }
}

void PositionTable::resizeEvent(QResizeEvent* event)
{
    QTableWidget::resizeEvent(event);
    LayOutColumns();
}

void PositionTable::changeEvent(QEvent* event)
{
    QTableWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) FitColumns();
}

void PositionTable::wheelEvent(QWheelEvent* event)
{
    event->accept();
    const int delta = event->angleDelta().y();
    if (delta == 0) return;
    if ((delta < 0) != (wheelDelta_ < 0)) wheelDelta_ = 0;
    wheelDelta_ += delta;
    // Touchpads and fine wheels send parts of a notch; each whole notch steps once.
    while (std::abs(wheelDelta_) >= QWheelEvent::DefaultDeltasPerStep) {
        const bool down = wheelDelta_ < 0;
        wheelDelta_ +=
            down ? QWheelEvent::DefaultDeltasPerStep : -QWheelEvent::DefaultDeltasPerStep;
        if (rowCount() == 0) continue;
        bool handled = false;
        if (down)
            RunGuarded(
                [&] { handled = form_->StringGrid1MouseWheelDown(this, event->modifiers()); });
        if (handled) continue;
        const int row = std::clamp(currentRow() + (down ? 1 : -1), 0, rowCount() - 1);
        setCurrentCell(row, std::max(currentColumn(), static_cast<int>(kXColumn)));
    }
}

// Only the left button chooses a cell: the pop-up commands and a Shift marking with another
// button work on the cell that was current before.
void PositionTable::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        QTableWidget::mousePressEvent(event);
    } else {
        setFocus(Qt::MouseFocusReason);
        event->accept();
    }
    RunGuarded([&] { form_->StringGrid1MouseDown(this, event->button(), event->modifiers()); });
}

void PositionTable::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        QTableWidget::mouseReleaseEvent(event);
    else
        event->accept();
    RunGuarded([&] { form_->StringGrid1MouseUp(this, event->button(), event->modifiers()); });
}

void PositionTable::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        QTableWidget::mouseDoubleClickEvent(event);
    else
        mousePressEvent(event);
}

void PositionTable::paintEvent(QPaintEvent* event)
{
    QTableWidget::paintEvent(event);
    if (rowCount() == 0) return;
    const int first = std::max(0, rowAt(0));
    int last = rowAt(viewport()->height() - 1);
    if (last < 0) last = rowCount() - 1;
    QPainter painter(viewport());
    auto fill = [&](int column, int tableRow, const QColor& colour) {
        painter.fillRect(visualRect(model()->index(tableRow, column)), colour);
    };
    const std::vector<bool>& duplicate = form_->DuplicateRows();
    for (int tableRow = first; tableRow <= last; ++tableRow) {
        if (tableRow + 1 < static_cast<int>(duplicate.size()) && duplicate[tableRow + 1]) {
            fill(kXColumn, tableRow, Qt::cyan);
            fill(kYColumn, tableRow, Qt::cyan);
        }
    }
    const GridMarks& marks = form_->Marks;
    if (marks.Dragging == 1) {
        const int column = form_->CurrentColumn();
        for (int row = std::max(marks.TransformStart, first + 1);
             row <= std::min(marks.TransformEnd, last + 1); ++row)
            fill(column, row - 1, Qt::blue);
    }
}

TChangeXY::TChangeXY(QWidget* Owner) : QDialog(Owner, Qt::Tool)
{
    setObjectName("ChangeXY");
    setWindowTitle(QString::fromUtf8("点位编辑..."));
    TST = new QLabel(Text("测点角点信息(地形点要求简化少于10个)"), this);
    Label2 = new QLabel(Text("测点信息区的快捷菜单很有用"), this);
    StringGrid1 = new PositionTable(this);
    StringGrid1->setObjectName("StringGrid1");
    StringGrid1->setColumnCount(kGridColumns);

    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setMargins(QMargins(4, 4, 4, 4));
    Series1 = new QScatterSeries;
    // A red triangle pointing down, outlined in black: the mark of the profile points.
    Series1->setLightMarker(MarkImage(Mark::DownTriangle, Qt::red, 12, {QColor(Qt::black), 2, 1}));
    Series1->setMarkerSize(7);
    chart->addSeries(Series1);
    BottomAxis = new QValueAxis;
    LeftAxis = new QValueAxis;
    chart->addAxis(BottomAxis, Qt::AlignBottom);
    chart->addAxis(LeftAxis, Qt::AlignLeft);
    Series1->attachAxis(BottomAxis);
    Series1->attachAxis(LeftAxis);
    BottomAxis->hide();
    LeftAxis->hide();
    Chart1 = new QChartView(chart, this);
    Chart1->setObjectName("Chart1");
    Chart1->setRenderHint(QPainter::Antialiasing);
    StaticText1 = new QLabel(Text("地形形状"), this);
    connect(chart, &QChart::plotAreaChanged, this, [this] { PlaceLabels(); });
    ShowMarkLabelTips(Chart1, [this](const QXYSeries*, int index) {
        return index < static_cast<int>(Series1Labels.size()) ? DisplayText(Series1Labels[index])
                                                              : QString();
    });

    Button1 = new QPushButton(Text("加载"), this);
    Button2 = new QPushButton(Text("保存"), this);
    Button3 = new QPushButton(Text("必须知道"), this);
    BitBtn1 = new QPushButton(Text("确定"), this);
    BitBtn2 = new QPushButton(Text("取消"), this);
    BitBtn1->setDefault(true);
    OpenDialog1.Filter = "Location files(*.pos)|*.pos|All SN+x+y+z Format File(*.*)|*.*";
    OpenDialog1.Owner = this;
    SaveDialog1.Owner = this;

    PopupMenu1 = new QMenu(this);
    auto item = [this](const char* name, const char* caption, const QKeySequence& key = {}) {
        QAction* action = PopupMenu1->addAction(QString::fromUtf8(caption));
        action->setObjectName(name);
        if (!key.isEmpty()) {
            // Bound on the dialog, so that the keys work wherever the focus is in it.
            action->setShortcut(key);
            action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            addAction(action);
        }
        return action;
    };
    N2 = item("N2", "设置为变换起点");
    N3 = item("N3", "设置为变换结束点");
    PopupMenu1->addSeparator();
    N7 = item("N7", "前后点插值", QKeySequence(Qt::CTRL | Qt::Key_A));
    Transform1 = item("Transform1", "坐标变换");
    N6 = item("N6", "复制到下条测线", QKeySequence(Qt::CTRL | Qt::Key_R));
    XY1 = item("XY1", "交换X和Y顺序");
    YZ1 = item("YZ1", "交换Y和Z顺序");
    N1 = item("N1", "以第一点为参考计算相对距离");
    PopupMenu1->addSeparator();
    N18 = item("N18", "粘贴列数据");
    Ctrl1 = item("Ctrl1", "按下Ctrl，滚动鼠标中轮，您有惊喜");
    PopupMenu1->addSeparator();
    N9 = item("N9", "修改点号");

    auto bind = [this](QAction* action, void (TChangeXY::*handler)(QObject*)) {
        connect(action, &QAction::triggered, this,
                Guarded([this, action, handler] { (this->*handler)(action); }));
    };
    auto bindButton = [this](QPushButton* button, void (TChangeXY::*handler)(QObject*)) {
        connect(button, &QPushButton::clicked, this,
                Guarded([this, button, handler] { (this->*handler)(button); }));
    };
    bind(N2, &TChangeXY::N2Click);
    bind(N3, &TChangeXY::N3Click);
    bind(N7, &TChangeXY::N7Click);
    bind(Transform1, &TChangeXY::Transform1Click);
    bind(N6, &TChangeXY::N6Click);
    bind(XY1, &TChangeXY::XY1Click);
    bind(YZ1, &TChangeXY::YZ1Click);
    bind(N1, &TChangeXY::N1Click);
    bind(N18, &TChangeXY::MainMDIFormN18Click);
    bind(N9, &TChangeXY::N9Click);
    bindButton(Button1, &TChangeXY::Button1Click);
    bindButton(Button2, &TChangeXY::Button2Click);
    bindButton(Button3, &TChangeXY::Button3Click);
    bindButton(BitBtn1, &TChangeXY::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, Guarded([this] { reject(); }));
    connect(StringGrid1, &QWidget::customContextMenuRequested, this,
            Guarded([this](const QPoint& at) {
                PopupMenu1->exec(StringGrid1->viewport()->mapToGlobal(at));
            }));
    connect(StringGrid1, &QTableWidget::currentCellChanged, this,
            Guarded([this](int row, int column) {
                // The fixed number column never becomes current.
                if (row >= 0 && column == kNumberColumn) {
                    StringGrid1->setCurrentCell(row, kXColumn);
                    return;
                }
                StringGrid1SelectCell(StringGrid1);
            }));
    connect(StringGrid1, &QTableWidget::itemChanged, this,
            Guarded([this](QTableWidgetItem* item) {
                duplicatesValid_ = false;
                StringGrid1->FitCell(item->row(), item->column());
            }));

    auto* grid = new QVBoxLayout;
    grid->addWidget(TST);
    grid->addWidget(Label2);
    grid->addWidget(StringGrid1, 1);
    auto* files = new QHBoxLayout;
    files->addWidget(Button1);
    files->addWidget(Button2);
    files->addWidget(Button3);
    files->addStretch();
    grid->addLayout(files);
    auto* profile = new QVBoxLayout;
    profile->addWidget(StaticText1);
    profile->addWidget(Chart1, 1);
    auto* closing = new QHBoxLayout;
    closing->addStretch();
    closing->addWidget(BitBtn1);
    closing->addWidget(BitBtn2);
    profile->addLayout(closing);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(grid, 3);
    layout->addLayout(profile, 2);
    resize(640, 420);

    qApp->installEventFilter(this);
    FormCreate(this);
}

TChangeXY::~TChangeXY()
{
    if (ChangeXY == this) ChangeXY = nullptr;
}

void TChangeXY::FormCreate(QObject*)
{
    SetGrid(PositionGrid{{PositionGridHeader()}});
}

PositionGrid TChangeXY::Grid() const
{
    PositionGrid grid;
    const int rows = StringGrid1->rowCount();
    grid.Rows.resize(rows + 1);
    for (int column = 0; column < kGridColumns; ++column) {
        const QTableWidgetItem* header = StringGrid1->horizontalHeaderItem(column);
        grid.Rows[0][column] = header ? header->text().toUtf8().toStdString() : std::string();
        for (int row = 0; row < rows; ++row)
            grid.Rows[row + 1][column] = ItemBytes(StringGrid1->item(row, column));
    }
    return grid;
}

void TChangeXY::SetGrid(const PositionGrid& grid)
{
    if (grid.Rows.empty()) return;
    const QSignalBlocker blocker(StringGrid1);
    QStringList headers;
    for (const std::string& text : grid.Rows[0]) headers << DisplayText(text);
    StringGrid1->setHorizontalHeaderLabels(headers);
    StringGrid1->setRowCount(grid.LastRow());
    for (int row = 1; row <= grid.LastRow(); ++row) {
        for (int column = 0; column < kGridColumns; ++column) {
            QTableWidgetItem* item = StringGrid1->item(row - 1, column);
            if (!item) {
                item = new QTableWidgetItem;
                if (column == kNumberColumn) {
                    item->setFlags(Qt::ItemIsEnabled);
                    item->setBackground(palette().button());
                }
                StringGrid1->setItem(row - 1, column, item);
            }
            const std::string& bytes = grid.Cell(column, row);
            if (ItemBytes(item) != bytes) FillItem(item, bytes);
        }
    }
    duplicatesValid_ = false;
    StringGrid1->FitColumns();
    StringGrid1->viewport()->update();
}

std::string TChangeXY::Cell(int column, int row) const
{
    return ItemBytes(StringGrid1->item(row - 1, column));
}

void TChangeXY::SetCell(int column, int row, const std::string& bytes)
{
    if (QTableWidgetItem* item = StringGrid1->item(row - 1, column)) FillItem(item, bytes);
}

int TChangeXY::CurrentColumn() const
{
    return std::max(StringGrid1->currentColumn(), static_cast<int>(kXColumn));
}

int TChangeXY::CurrentRow() const
{
    if (StringGrid1->rowCount() == 0) return 0;
    return std::max(StringGrid1->currentRow(), 0) + 1;
}

void TChangeXY::SetCurrentCell(int column, int row)
{
    StringGrid1->setCurrentCell(row - 1, column);
}

const std::vector<bool>& TChangeXY::DuplicateRows()
{
    if (!duplicatesValid_) {
        duplicates_ = DuplicatePositionRows(Grid());
        duplicatesValid_ = true;
    }
    return duplicates_;
}

void TChangeXY::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow(this);
}

bool TChangeXY::eventFilter(QObject* watched, QEvent* event)
{
    // Key preview: the dialog sees a key wherever the focus is in it. A key release passes here
    // once for every widget it propagates to; the press before it resets the flag.
    if (event->type() == QEvent::KeyPress) {
        keyReleaseSeen_ = false;
    } else if (event->type() == QEvent::KeyRelease && !keyReleaseSeen_ && watched->isWidgetType() &&
               static_cast<QWidget*>(watched)->window() == this) {
        keyReleaseSeen_ = true;
        auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat())
            RunGuarded([&] { FormKeyUp(watched, key->key(), key->modifiers()); });
    }
    return QDialog::eventFilter(watched, event);
}

void TChangeXY::FormShow(QObject*)
{
    RedrawPositions(this);
}

void TChangeXY::StringGrid1SelectCell(QObject*)
{
    RedrawPositions(this);
}

void TChangeXY::StringGrid1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers Shift)
{
    if (!(Shift & Qt::ShiftModifier) || CurrentRow() == 0) return;
    ShiftMarkRow(Marks, CurrentRow());
    StringGrid1->viewport()->update();
}

void TChangeXY::StringGrid1MouseUp(QObject*, Qt::MouseButton, Qt::KeyboardModifiers Shift)
{
    EndShiftMarking(Marks, Shift & Qt::ShiftModifier);
    StringGrid1->viewport()->update();
}

bool TChangeXY::StringGrid1MouseWheelDown(QObject*, Qt::KeyboardModifiers Shift)
{
    if (Shift & Qt::ControlModifier) {
        StringGrid1->FinishEditing();
        PositionGrid grid = Grid();
        const int column = CurrentColumn(), row = CurrentRow();
        if (ContinueSequence(grid, column, row))
            SetCell(column, row + 1, grid.Cell(column, row + 1));
    }
    return false;
}

void TChangeXY::N2Click(QObject*)
{
    SetTransformStart(Marks, std::max(CurrentRow(), 1));
    StringGrid1->viewport()->update();
}

void TChangeXY::N3Click(QObject*)
{
    SetTransformEnd(Marks, std::max(CurrentRow(), 1));
    StringGrid1->viewport()->update();
}

// A bad cell is reported before the dialog closes, so that no edit is lost and no station is
// changed half-way afterwards.
void TChangeXY::BitBtn1Click(QObject*)
{
    StringGrid1->FinishEditing();
    const PositionGrid grid = Grid();
    if (const int row = FindBadPositionRow(grid)) {
        SystemMessageBox(this, BadPositionRowMessage(row), kGeometryMessageCaption,
                         MB_OK | MB_ICONWARNING);
        return;
    }
    // OK would change no station: the user learns why while the rows can still be relabelled.
    if (Stations && !PositionGridNamesAnyStation(*Stations, grid)) {
        ShowMessage(kNoStationNamedMessage);
        return;
    }
    accept();
}

void TChangeXY::Button3Click(QObject*)
{
    ShowMessage(PositionEditorHelpText());
}

void TChangeXY::Button1Click(QObject*)
{
    if (!OpenDialog1.Execute()) return;
    StringGrid1->FinishEditing();
    PositionGrid grid = Grid();
    if (!LoadPositionFile(OpenDialog1.FileName, grid)) return;
    SetGrid(grid);
    RedrawPositions(this);
}

void TChangeXY::Button2Click(QObject*)
{
    SaveDialog1.Filter = "position files(*.pos)|*.pos";
    SaveDialog1.SaveExt = ".pos";  // the file is saved as a position file whatever was typed
    if (!SaveDialog1.Execute()) return;
    StringGrid1->FinishEditing();
    if (!SavePositionFile(Grid(), PositionFileName(SaveDialog1.FileName)))
        SystemMessageBox(this, kPositionSaveFailedMessage, kGeometryMessageCaption,
                         MB_OK | MB_ICONWARNING);
}

template <class Command>
void TChangeXY::Edit(Command command)
{
    StringGrid1->FinishEditing();
    PositionGrid grid = Grid();
    command(grid);
    SetGrid(grid);
}

void TChangeXY::Transform1Click(QObject*)
{
    const auto dialog = std::make_unique<TTransForm>(nullptr);
    TransForm = dialog.get();
    if (TransForm->exec() == QDialog::Accepted) {
        const std::string a = TransForm->EditA->text().toUtf8().toStdString();
        const std::string b = TransForm->EditB->text().toUtf8().toStdString();
        const bool useCellValue = TransForm->CheckBox1->isChecked();
        Edit([&](PositionGrid& grid) {
            TransformMarkedRows(grid, Marks, CurrentColumn(), a, b, useCellValue);
        });
    }
    RedrawPositions(this);
}

void TChangeXY::XY1Click(QObject*)
{
    Edit([](PositionGrid& grid) { SwapGridColumns(grid, kXColumn, kYColumn); });
    RedrawPositions(this);
}

void TChangeXY::YZ1Click(QObject*)
{
    Edit([](PositionGrid& grid) { SwapGridColumns(grid, kYColumn, kZColumn); });
    RedrawPositions(this);
}

void TChangeXY::N1Click(QObject*)
{
    Edit([](PositionGrid& grid) { ComputeChainage(grid); });
    RedrawPositions(this);
}

void TChangeXY::MainMDIFormN18Click(QObject*)
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data || !data->hasText() || StringGrid1->rowCount() == 0) return;
    const std::string text = Utf8ToGbk(data->text().toUtf8().toStdString());
    Edit([&](PositionGrid& grid) { PasteColumns(grid, CurrentColumn(), CurrentRow(), text); });
}

void TChangeXY::N6Click(QObject*)
{
    Edit([this](PositionGrid& grid) { CopyMarkedBlock(grid, Marks, CurrentColumn()); });
}

void TChangeXY::N7Click(QObject*)
{
    if (CurrentRow() == 0) return;
    Edit([this](PositionGrid& grid) { FillPointFromNeighbours(grid, CurrentRow()); });
}

void TChangeXY::N9Click(QObject*)
{
    const auto dialog = std::make_unique<TForm10>(nullptr);
    Form10 = dialog.get();
    if (Form10->exec() != QDialog::Accepted) return;
    const std::string s = Utf8ToGbk(Form10->Edit1->text().toUtf8().toStdString());
    const bool left = Form10->ItemIndex() == 0;
    Edit([&](PositionGrid& grid) { AddLineNumber(grid, s, left); });
}

void TChangeXY::FormKeyUp(QObject*, int Key, Qt::KeyboardModifiers Shift)
{
    if (Key == Qt::Key_V && (Shift & Qt::ControlModifier)) MainMDIFormN18Click(this);
}

void TChangeXY::RebuildLabels()
{
    QChart* chart = Chart1->chart();
    // The texts are kept and relabelled, since the profile is refilled at every cell change.
    while (labelItems_.size() > Series1Labels.size()) {
        delete labelItems_.back();
        labelItems_.pop_back();
    }
    while (labelItems_.size() < Series1Labels.size()) {
        auto* item = new QGraphicsSimpleTextItem(chart);
        item->setZValue(100);
        labelItems_.push_back(item);
    }
    for (size_t i = 0; i < Series1Labels.size(); ++i)
        labelItems_[i]->setText(DisplayText(Series1Labels[i]));
    PlaceLabels();
}

void TChangeXY::PlaceLabels()
{
    QChart* chart = Chart1->chart();
    std::vector<std::optional<QPointF>> points(labelItems_.size());
    const int n = std::min<int>(static_cast<int>(labelItems_.size()), Series1->count());
    for (int i = 0; i < n; ++i) points[i] = chart->mapToPosition(Series1->at(i), Series1);
    PlacePointLabels(labelItems_, points, chart->plotArea(), 4);
}

void RedrawPositions(TChangeXY* dialog)
{
    PositionGrid grid = dialog->Grid();
    const std::vector<ProfilePoint> points = CollectProfilePoints(grid);
    for (int row = 1; row <= grid.LastRow(); ++row)
        if (dialog->Cell(kLabelColumn, row) != grid.Cell(kLabelColumn, row))
            dialog->SetCell(kLabelColumn, row, grid.Cell(kLabelColumn, row));

    QList<QPointF> at;
    at.reserve(static_cast<qsizetype>(points.size()));
    dialog->Series1Labels.clear();
    double minX = 0, maxX = 0, minZ = 0, maxZ = 0;
    for (const ProfilePoint& p : points) {
        if (at.isEmpty()) {
            minX = maxX = p.X;
            minZ = maxZ = p.Z;
        }
        minX = std::min(minX, p.X), maxX = std::max(maxX, p.X);
        minZ = std::min(minZ, p.Z), maxZ = std::max(maxZ, p.Z);
        at.push_back(QPointF(p.X, p.Z));
        dialog->Series1Labels.push_back(p.Label);
    }
    dialog->Series1->replace(at);
    // Room around the points for the marks and the labels above them.
    auto widen = [](double& low, double& high, double below, double above) {
        const double span = high - low > 0 ? high - low : std::max(1.0, std::abs(low) * 0.1);
        low -= span * below;
        high += span * above;
    };
    widen(minX, maxX, 0.08, 0.08);
    widen(minZ, maxZ, 0.1, 0.25);
    dialog->BottomAxis->setRange(minX, maxX);
    dialog->LeftAxis->setRange(minZ, maxZ);
    dialog->RebuildLabels();
}
