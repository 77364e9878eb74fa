#pragma once
// The sounding-curve viewer: the five apparent-resistivity curves of one Ex station against
// frequency, stepping through the Ex stations, and the static-shift reference frequency
// (RefFreqIndex, shown 1-based). A child window of the main window; at most one exists.

#include <QChartView>
#include <QMdiSubWindow>
#include <QSpinBox>

class QLabel;
class QLineEdit;
class QLineSeries;
class QLogValueAxis;
class QMenu;
class QScatterSeries;
class QToolButton;
class TForm1;
struct StationCurves;

// The up-down control with its edit: the position changes by the arrows (or typing), and Click
// is signalled for each step of an arrow only.
class RefFreqSpinBox : public QSpinBox {
    Q_OBJECT
public:
    explicit RefFreqSpinBox(QWidget* parent = nullptr);
    QLineEdit* Edit() const { return lineEdit(); }
    void stepBy(int steps) override;

signals:
    void Click();
};

class TForm5 : public QMdiSubWindow {
    Q_OBJECT
public:
    explicit TForm5(TForm1* Owner);
    ~TForm5() override;

    QChartView* Chart1;
    QLineSeries* Series1;     // "Ex_N", points in the order added
    QScatterSeries* Series2;  // "Ex_F", in the order added
    QScatterSeries* Series3;  // "Hy_F", in the order added
    QLineSeries* Series4;     // "Ex/Hy_N", by ascending frequency
    QLineSeries* Series5;     // "MT", by ascending frequency
    QLogValueAxis* BottomAxis;
    QLogValueAxis* LeftAxis;

    QWidget* Panel1;
    QToolButton* SpeedButton1;  // "上一测点"
    QToolButton* SpeedButton2;  // "下一测点"
    QLabel* StaticText1;
    QLineEdit* Edit1;
    RefFreqSpinBox* UpDown1;
    QLabel* Image1;

    QMenu* PopupMenu1;
    QAction* N1;  // "复制图形"
    QAction* N2;  // "保存对比数据"

    TForm1* Owner() const { return owner_; }
    // Fills the five series from the curves and fits the axes.
    void FillSeries(const StationCurves& curves);

public slots:
    void SpeedButton1Click(QObject* Sender = nullptr);
    void SpeedButton2Click(QObject* Sender = nullptr);
    void N1Click(QObject* Sender = nullptr);
    void UpDown1Click(QObject* Sender = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    TForm1* owner_;
};

extern TForm5* Form5;

// Redraws the viewer for CurrentStation.
void ShowSoundingCurves(TForm5* Form);

// The command "数据浏览": brings an open viewer back, or opens one at CurrentStation.
void OpenSoundingCurveViewer(TForm1* Form);
