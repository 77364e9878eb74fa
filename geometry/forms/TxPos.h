#pragma once
// The transmitter dialog "设置源位置": the electrodes A and B of the transmitter records, typed,
// copied to every record or computed from an MDE file. It writes into the records as each edit is
// left and each button is used, however it is closed afterwards.

#include <QDialog>
#include <array>

#include "app/Dialogs.h"
#include "geometry/TransmitterSetup.h"

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;

class TTxPosForm : public QDialog {
    Q_OBJECT
public:
    // Lists the Name of every transmitter record of the store, in store order.
    TTxPosForm(QWidget* Owner, SurveyStore& store);

    QLabel* StaticText1;
    QListWidget* Txs;
    QMenu* PopupMenu1;
    QAction* N1;
    QGroupBox* GroupBox1;
    QLineEdit *Ax, *Ay, *Az, *Bx, *By, *Bz;
    QPushButton *Button1, *BitBtn1, *BitBtn2;
    FileDialog OpenDialog1{FileDialog::Open};

    TransmitterDialogState State;

public slots:
    void FormShow(QObject* Sender = nullptr);
    void TxsClick(QObject* Sender = nullptr);
    void AxExit(QObject* Sender = nullptr);        // any of the six edits left
    void N1Click(QObject* Sender = nullptr);       // "置为与当前源同"
    void Button1Click(QObject* Sender = nullptr);  // "加载当前源mde"
    void BitBtn1Click(QObject* Sender = nullptr);  // OK

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowEdits();
    void TakeEdits();

    SurveyStore& store_;
    std::array<QLineEdit*, kTransmitterEdits> edits_{};
};
