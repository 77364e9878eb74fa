#pragma once
// The curve editor: the modal dialog in which the user edits the amplitude and phase curves of
// single stations of one component. The state and the commands live in CurveEditorSession; this
// window maps the gestures to its calls and paints what it leaves.

#include <QChartView>
#include <QDialog>
#include <QGroupBox>
#include <QTimer>
#include <functional>

#include "processing/CurveEditor.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QListWidget;
class QLogValueAxis;
class QPrinter;
class QPushButton;
class QRadioButton;
class QScatterSeries;
class QSplitter;
class QLineSeries;
class QToolButton;
class QValueAxis;
class TAPPRESForm;

// A group of radio buttons with the index of the checked one. Clicked reports a change made by
// the user; SetItemIndex changes the choice silently.
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent);

    int ItemIndex() const;
    void SetItemIndex(int index);
    QRadioButton* Button(int index) const;

signals:
    void Clicked(int index);

private:
    QButtonGroup* group_;
};

// A spin control of two arrows over a position within Min and Max; an associated edit shows the
// position. Each click moves the position by one, within the range, and reports its direction.
class UpDownControl : public QWidget {
    Q_OBJECT
public:
    UpDownControl(int min, int max, int position, QWidget* parent);

    QToolButton* UpButton;
    QToolButton* DownButton;
    QLineEdit* Associate = nullptr;

    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }
    void SetMax(int max);
    void SetPosition(int position);

signals:
    void Clicked(int position, bool up);

private:
    void Step(bool up);

    int min_, max_, position_;
};

// A chart that hands mouse presses, at the position in the chart's coordinates, to a handler.
class EditorChartView : public QChartView {
    Q_OBJECT
public:
    using PressHandler = std::function<void(QPointF, Qt::MouseButton, Qt::KeyboardModifiers)>;
    EditorChartView(QChart* chart, QWidget* parent);
    PressHandler OnPress;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// Where the frames of the editor and of its companion chart go, so that both are wholly on the
// screen's area and the chart covers nothing of the editor: the chart centred above the editor
// with 2 pixels between them, the editor moved down as far as that needs; where the area is too
// short for the pair, the chart beside the editor at its top, on the right where there is room,
// else on the left, the editor moved sideways as far as that needs. Where the area holds the
// pair neither way, the editor stays and the chart goes to the area's bottom right corner.
struct CompanionPlacement {
    QPoint Editor;
    QPoint Companion;
};
CompanionPlacement CompanionPosition(const QRect& editorFrame, const QSize& companionFrame,
                                     const QRect& area);

class TTruncIPForm : public QDialog {
    Q_OBJECT
public:
    explicit TTruncIPForm(QWidget* Owner);

    CurveEditorSession Session;

    // Charts: amplitude below, phase above; four series each (Present, Raw, Previous, Next).
    EditorChartView* Chart;
    EditorChartView* Chart1;
    QScatterSeries* Series1;
    QLineSeries* Series2;
    QScatterSeries *Series3, *Series4;
    QScatterSeries* PointSeries1;
    QLineSeries* FastLineSeries1;
    QScatterSeries *FastLineSeries2, *FastLineSeries3;
    QLogValueAxis* ChartBottomAxis;
    QLogValueAxis* ChartLeftLogAxis;  // amplitudes
    QValueAxis* ChartLeftLinearAxis;  // real parts
    QLogValueAxis* Chart1BottomAxis;
    QValueAxis* Chart1LeftAxis;

    QLabel* StaticText1;
    QListWidget* SList;
    RadioGroup* REIM;
    RadioGroup* ExHy;
    RadioGroup* TRL;
    QLabel* TotalST;
    QLabel* PresentST;
    QLineEdit* NumT;
    UpDownControl* UpDown1;
    QPushButton *BitBtn5, *BitBtn1, *BitBtn8, *BitBtn2, *BitBtn6;
    QLabel* StaticText2;
    UpDownControl* UpDown2;
    RadioGroup* RadioGroup1;
    QLabel *Label1, *Label2;
    QPushButton *BitBtn4, *BitBtn3, *BitBtn7;

    TAPPRESForm* Companion = nullptr;

    // The opening over the working copy: list, counts and the first station's Present series.
    void Open();

    // Prints the amplitude chart over the printer's page.
    void PrintChart(QPrinter& printer);

    void SListClick(int row);
    void ExHyClick(int component);
    void BitBtn4Click();  // "确定"
    void BitBtn3Click();  // "取消"
    void REIMClick(int index);
    void RadioGroup1Click(int index);
    void UpDown2Click(int position, bool up);
    void ChartMouseDown(QPointF chartPosition, Qt::MouseButton button);
    void Chart1MouseDown(QPointF chartPosition, Qt::MouseButton button,
                         Qt::KeyboardModifiers modifiers);
    void BitBtn1Click();  // "打印"
    void BitBtn2Click();  // "复制A"
    void BitBtn6Click();  // "复制P"
    void BitBtn5Click();  // "光滑当前点数据"
    void BitBtn8Click();  // "保存"
    void BitBtn7Click();  // help
    void FormKeyUp(int key, Qt::KeyboardModifiers modifiers);
    void FormShow();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The constructor's parts, in the order it runs them.
    QSplitter* BuildCharts();
    QWidget* BuildRightPanel();
    QWidget* BuildBottomPanel();
    void ConnectHandlers();

    void PaintCharts();
    void PaintList();
    void PaintCount();
    void PaintCompanion();
    void ShowCompanion();
    void PlaceCompanion();
    void FollowEditor();
    void RaiseCompanion();
    void SetAmplitudeAxis(bool logarithmic);

    bool shown_ = false;
    bool amplitudeLogarithmic_ = true;
    QTimer* settle_ = nullptr;  // places the pair once the editor has stopped moving
};
