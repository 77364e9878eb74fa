#pragma once
// The correction viewer: for one Ex station the near-zone curve, the "MT" curve before and after
// the near-field and transition-zone correction; stepping through the Ex stations by buttons or
// arrow keys, and the resistivity comparison file of the shown station. A modal window, freed
// when the command that shows it ends.

#include <QChartView>
#include <QDialog>

#include "processing/CorrectionCurves.h"

class QLabel;
class QLineSeries;
class QLogValueAxis;
class QMenu;
class QPushButton;
class QScatterSeries;
class QToolButton;
class TForm1;

class TForm6 : public QDialog {
    Q_OBJECT
public:
    explicit TForm6(TForm1* Owner);
    ~TForm6() override;

    QChartView* Chart1;
    QLineSeries* Series1;     // "近区": near-zone values by descending frequency
    QScatterSeries* Series2;  // "远区": "MT" before the correction, stored order
    QLineSeries* Series3;     // "改正后": corrected "MT" by descending frequency
    QLineSeries* Series4;     // "Ex/Hy_N", inactive
    QLineSeries* Series5;     // "MT", inactive
    QLogValueAxis* BottomAxis;
    QLogValueAxis* LeftAxis;

    QWidget* Panel1;
    QToolButton* SpeedButton1;  // "上一测点"
    QToolButton* SpeedButton2;  // "下一测点"
    QLabel* StaticText1;
    QLabel* STN;
    QPushButton* BitBtn1;
    QLabel* Image1;

    QMenu* PopupMenu1;
    QAction* N1;  // "复制图形"
    QAction* N2;  // "保存数据"

    // What the series show: the curves of the station last drawn, its name, and whether they
    // were computed (false after the station's curves failed: the series are empty then).
    CorrectionCurves Shown;
    std::string ShownName;
    bool ShownComplete = false;

    TForm1* Owner() const { return owner_; }
    // Fills the three series from Shown and fits the axes.
    void FillSeries();

public slots:
    void SpeedButton1Click(QObject* Sender = nullptr);
    void SpeedButton2Click(QObject* Sender = nullptr);
    void N1Click(QObject* Sender = nullptr);
    void N2Click(QObject* Sender = nullptr);
    void BitBtn1Click(QObject* Sender = nullptr);
    // Ctrl+C copies, Ctrl+S saves, Right/Down and Left/Up step.
    void FormKeyUp(QObject* Sender, int Key, Qt::KeyboardModifiers Shift);

public:
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    TForm1* owner_;
};

extern TForm6* Form6;  // the one that is open, else null

// Redraws the viewer for CurrentStation.
void ShowCorrectionCurves(TForm6* Form);

// The command "近区和过渡区校正": shows the viewer at CurrentStation modally.
void OpenCorrectionViewer(TForm1* Form);
