#pragma once
// The point-number rule dialog "点号变化规则": a line number to put before or after every label.

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TForm10 : public QDialog {
    Q_OBJECT
public:
    explicit TForm10(QWidget* Owner = nullptr);
    ~TForm10() override;

    QLabel* Label1;
    QLineEdit* Edit1;
    QGroupBox* RadioGroup1;
    QRadioButton *Left, *Right;
    QPushButton *BitBtn1, *BitBtn2;

    // The chosen item of RadioGroup1: 0 "Left", 1 "Right".
    int ItemIndex() const;
};

extern TForm10* Form10;  // the one that is open, else null
