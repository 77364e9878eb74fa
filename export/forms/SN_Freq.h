#pragma once
// The output dialog of the Export command: output file, station range, frequency count, the
// frequencies to write and the options of the writers.
//
// The command creates one for each run (owned by the main window, Form3 pointing to it while it
// lives), fills it with FillFromSurvey, shows it with ShowModal and, after OK, hands Settings()
// to the export; the dialog is freed when the command ends.
// Window tests set ModalHook to stand in for the modal loop: it gets the filled dialog, may set
// its controls and returns the result the dialog closes with.

#include <QDialog>
#include <functional>

#include "app/Dialogs.h"
#include "export/ExportSettings.h"
#include "survey/SurveyStore.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;
class QSpinBox;
class QToolButton;

class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(QWidget* Owner = nullptr);
    ~TForm3() override;

    QLabel* Label5;
    QLineEdit* FileEdit;
    QToolButton* SpeedButton1;
    FileDialog SaveDialog{FileDialog::Save};
    QGroupBox* GroupBox1;
    QLabel *Label1, *Label2;
    QComboBox *FromSN, *ToSN;
    QLabel* Label3;
    QSpinBox* FreqUpDown;  // the count's edit box and its up-down in one control
    QListWidget* Freqs;
    QMenu* PopupMenu1;
    QAction *N1, *N2, *N7, *N21, *N41, *N3, *N4, *N42, *N22, *N5, *N6;
    QCheckBox *NTCorrect, *MultMinusONE, *PIADD, *ExAmp;
    QFrame *Bevel1, *Bevel2;
    QLabel* Label4;
    QPushButton *BitBtn1, *BitBtn2;

    // The survey's part of the dialog: near-zone option, range lists, frequency items (each
    // keeping its frequency's own value), range selection and count.
    void FillFromSurvey(const SurveyStore& store);
    // The controls as the export takes them after OK.
    ExportSettings Settings() const;
    // exec(), or ModalHook when one is set.
    int ShowModal();

    static std::function<int(TForm3&)> ModalHook;

public slots:
    void SpeedButton1Click(QObject* Sender = nullptr);
    void FreqsClickCheck(QListWidgetItem* Item);
    void N21Click(QObject* Sender = nullptr);
};

extern TForm3* Form3;  // the one that is open, else null
