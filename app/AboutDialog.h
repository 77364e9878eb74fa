#pragma once
// The About box: version, date, support and contact lines, the disclaimer and the link to the
// project's web site. Each opening makes a fresh box owned by the main window, freed when the
// command that opened it ends.

#include <QDialog>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class TAbout : public QDialog {
    Q_OBJECT
public:
    explicit TAbout(QWidget* Owner);
    ~TAbout() override;

    QFrame* Panel1;
    QLabel* Image1;
    QLabel *Label1, *StaticText2, *Label6, *Label5, *StaticText6, *StaticText7, *StaticText8,
        *StaticText9, *StaticText11, *StaticText10;
    QFrame* Panel2;
    QPlainTextEdit* Memo1;
    QFrame* Bevel1;
    QLabel* StaticText1;
    QPushButton* BitBtn1;

    static const char* const kWebAddress;

public slots:
    // The link: the system's browser opens the web address; its result is not looked at.
    void StaticText10Click(QObject* Sender = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

extern TAbout* About;  // the box that is open, else null
