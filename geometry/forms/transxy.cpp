#include "geometry/forms/transxy.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "app/CommandGuard.h"

TTransForm* TransForm = nullptr;

TTransForm::TTransForm(QWidget* Owner) : QDialog(Owner, Qt::Tool)
{
    setObjectName("TransForm");
    setWindowTitle(QString::fromUtf8("参数变换"));
    setSizeGripEnabled(true);

    StaticText1 = new QLabel("a=", this);
    EditA = new QLineEdit("1", this);
    StaticText2 = new QLabel("b=", this);
    EditB = new QLineEdit("0", this);
    Label1 = new QLabel(QString::fromUtf8("说明:"), this);
    Label2 = new QLabel(QString::fromUtf8("坐标线性变化的公式是：y = a*x + b"), this);
    BitBtn1 = new QPushButton(QString::fromUtf8("确定"), this);
    BitBtn2 = new QPushButton(QString::fromUtf8("取消"), this);
    CheckBox1 = new QCheckBox(QString::fromUtf8("x变量取当前坐标值，否则采用序号"), this);
    CheckBox1->setChecked(true);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, Guarded([this] { accept(); }));
    connect(BitBtn2, &QPushButton::clicked, this, Guarded([this] { reject(); }));

    auto* values = new QGridLayout;
    values->addWidget(StaticText1, 0, 0);
    values->addWidget(EditA, 0, 1);
    values->addWidget(StaticText2, 1, 0);
    values->addWidget(EditB, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(values);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addWidget(CheckBox1);
    layout->addLayout(buttons);

    adjustSize();
    if (const QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TTransForm::~TTransForm()
{
    if (TransForm == this) TransForm = nullptr;
}
