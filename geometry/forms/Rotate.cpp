#include "geometry/forms/Rotate.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/CommandGuard.h"

TForm8* Form8 = nullptr;

TForm8::TForm8(QWidget* Owner) : QDialog(Owner, Qt::Tool)
{
    setObjectName("Form8");
    setWindowTitle(QString::fromUtf8("坐标旋转"));

    Label1 = new QLabel(QString::fromUtf8("旋转角度："), this);
    UpDown1 = new AngleUpDown(this);
    UpDown1->setRange(-360, 360);
    UpDown1->setWrapping(false);
    UpDown1->setValue(0);
    Edit1 = UpDown1->lineEdit();
    BitBtn1 = new QPushButton(QString::fromUtf8("确定"), this);
    BitBtn2 = new QPushButton(QString::fromUtf8("取消"), this);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, Guarded([this] { accept(); }));
    connect(BitBtn2, &QPushButton::clicked, this, Guarded([this] { reject(); }));

    auto* angle = new QHBoxLayout;
    angle->addWidget(Label1);
    angle->addWidget(UpDown1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(angle);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    adjustSize();
    if (Owner) move(Owner->geometry().center() - rect().center());
}

TForm8::~TForm8()
{
    if (Form8 == this) Form8 = nullptr;
}
