#include "geometry/forms/Addpre.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/CommandGuard.h"

TForm10* Form10 = nullptr;

TForm10::TForm10(QWidget* Owner) : QDialog(Owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName("Form10");
    setWindowTitle(QString::fromUtf8("点号变化规则"));

    Label1 = new QLabel(QString::fromUtf8("增加的线号"), this);
    Edit1 = new QLineEdit("Edit1", this);
    RadioGroup1 = new QGroupBox(QString::fromUtf8("在原来点号的"), this);
    Left = new QRadioButton("Left", RadioGroup1);
    Right = new QRadioButton("Right", RadioGroup1);
    Left->setChecked(true);
    auto* items = new QHBoxLayout(RadioGroup1);
    items->addWidget(Left);
    items->addWidget(Right);
    BitBtn1 = new QPushButton(QString::fromUtf8("确定"), this);
    BitBtn2 = new QPushButton(QString::fromUtf8("取消"), this);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, Guarded([this] { accept(); }));
    connect(BitBtn2, &QPushButton::clicked, this, Guarded([this] { reject(); }));

    auto* edit = new QHBoxLayout;
    edit->addWidget(Label1);
    edit->addWidget(Edit1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(edit);
    layout->addWidget(RadioGroup1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

int TForm10::ItemIndex() const
{
    return Right->isChecked() ? 1 : 0;
}

TForm10::~TForm10()
{
    if (Form10 == this) Form10 = nullptr;
}
