#pragma once
// The rotation dialog "坐标旋转": an angle in whole degrees from -360 to 360.

#include <QDialog>
#include <QSpinBox>

class QLabel;
class QPushButton;

// The edit with its up-down control; Edit1 is its text field.
class AngleUpDown : public QSpinBox {
    Q_OBJECT
public:
    explicit AngleUpDown(QWidget* parent) : QSpinBox(parent) {}
    using QSpinBox::lineEdit;
};

class TForm8 : public QDialog {
    Q_OBJECT
public:
    explicit TForm8(QWidget* Owner);
    ~TForm8() override;

    QLabel* Label1;
    AngleUpDown* UpDown1;
    QLineEdit* Edit1;
    QPushButton *BitBtn1, *BitBtn2;
};

extern TForm8* Form8;  // the one that is open, else null
