#pragma once
// The linear-transform dialog "参数变换" of the station editor: v = a * x + b.

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TTransForm : public QDialog {
    Q_OBJECT
public:
    explicit TTransForm(QWidget* Owner = nullptr);
    ~TTransForm() override;

    QLabel* StaticText1;
    QLineEdit* EditA;
    QLabel* StaticText2;
    QLineEdit* EditB;
    QLabel *Label1, *Label2;
    QPushButton *BitBtn1, *BitBtn2;
    QCheckBox* CheckBox1;  // x is the cell's value, else the row number
};

extern TTransForm* TransForm;  // the one that is open, else null
