#pragma once
// The profile chart: a child window of the main window that plots Profile records as one line
// per record (Ex amplitude against distance, one per frequency), with a check list to show or
// hide each curve, a pop-up menu for the axes, the title, the legend and the smoothing, and
// buttons to print and copy the chart. It works on its own copy of the records.

#include <QMdiSubWindow>
#include <QStringList>
#include <cstdint>
#include <string>
#include <vector>

#include "export/ProfileChart.h"
#include "export/ProfileCurves.h"

class ColumnLegend;
class QAbstractAxis;
class QAction;
class QChartView;
class QGraphicsSimpleTextItem;
class QLabel;
class QLineSeries;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPrinter;
class QPushButton;
class QWidget;
class TForm1;

extern const char* const kProfileChartCaption;  // "Voltage profiles of Loop TEM"

class TTEMTraceForm : public QMdiSubWindow {
    Q_OBJECT
public:
    // Builds the window inside the owner's client area and its curves (FormCreate), one step of
    // the progress of this thread; the caller sets the title and shows it.
    TTEMTraceForm(TForm1* Owner, std::vector<Profile> profiles, std::vector<std::string> names);

    QChartView* Chart;
    QAbstractAxis* BottomAxis;  // a QValueAxis while linear, a QLogValueAxis while logarithmic
    QAbstractAxis* LeftAxis;
    QWidget* Panel2;
    QLabel* StaticText1;
    QListWidget* CheckListBox;
    QPushButton *BitBtn5, *BitBtn1, *BitBtn2;
    QMenu *PopupMenu1, *N1, *R1;
    // The chart's legend: its entries in columns beside the plot, never cut.
    ColumnLegend* Legend;
    QAction *x1, *x2, *X3, *V1, *T1, *L1, *N3;

    std::vector<QLineSeries*> TraceSeries;
    std::vector<std::uint32_t> TraceColours;  // red in the low byte, then green, then blue
    std::vector<std::string> TraceNames;
    std::vector<Profile> Profiles;

    // The first showing, laid out and painted at once, as steps of the progress of this thread.
    void ShowFirst();

    bool LegendVisible() const;
    void SetLegendVisible(bool visible);

    // The chart title, one entry per line.
    QStringList TitleLines() const { return titleLines_; }
    void SetTitleLines(const QStringList& lines);

    bool BottomLogarithmic() const { return bottomLogarithmic_; }
    bool LeftLogarithmic() const { return leftLogarithmic_; }
    // The ranges the axes show now.
    AxisRange BottomRange() const;
    AxisRange LeftRange() const;

    // The station names, one per station in the order the stations first come in the curves.
    const std::vector<QGraphicsSimpleTextItem*>& PointLabels() const { return labelItems_; }

    // Paints the chart over the printer's page; false when the printer cannot be painted on.
    bool PrintChart(QPrinter& printer);
    // When set, "打印" writes a PDF file of this name instead of using the default printer.
    std::string PrintOutputFile;

public slots:
    void x1Click(QObject* Sender = nullptr);       // "&X is linear"
    void x2Click(QObject* Sender = nullptr);       // "&Y is linear"
    void X3Click(QObject* Sender = nullptr);       // "x-direction"
    void R1Click(QObject* Sender = nullptr);       // "y-direction"
    void T1Click(QObject* Sender = nullptr);       // "Change &Title"
    void L1Click(QObject* Sender = nullptr);       // "&Hide legends"
    void N3Click(QObject* Sender = nullptr);       // "Smooth &horizontally"
    void BitBtn5Click(QObject* Sender = nullptr);  // "全选"
    void BitBtn1Click(QObject* Sender = nullptr);  // "打印"
    void BitBtn2Click(QObject* Sender = nullptr);  // "复制"
    void CheckListBoxClickCheck(QListWidgetItem* item);

protected:
    void showEvent(QShowEvent* event) override;  // FormShow

private:
    void FormCreate();
    // The series hold the points their axes can show: a logarithmic axis leaves out values
    // that are not positive.
    void FillSeries();
    void FillSeries(size_t i);
    void UpdateLegend();
    bool Displayable(double x, double y) const;
    void ReplaceAxis(bool bottom, bool logarithmic);
    void SwitchScale(bool bottom);
    // Sets both axes from the scales and ranges held now; the bottom axis follows the distances
    // until a range is typed for it.
    void Redraw();
    void RebuildLabels();
    void PlaceLabels();

    QStringList titleLines_;
    bool bottomLogarithmic_ = false;
    bool leftLogarithmic_ = true;
    bool bottomFixed_ = false;
    AxisRange bottomRange_;
    AxisRange leftRange_{1e-6, 1.0};
    std::vector<QGraphicsSimpleTextItem*> labelItems_;
    // The points (curve, point) of each label's station.
    std::vector<std::vector<std::pair<size_t, size_t>>> labelPoints_;
    QAbstractAxis* bottomDecades_ = nullptr;  // the decade labels of a logarithmic axis
    QAbstractAxis* leftDecades_ = nullptr;
};
