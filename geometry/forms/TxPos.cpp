#include "geometry/forms/TxPos.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/CommandGuard.h"
#include "chart/forms/DisplayText.h"

namespace {

}  // namespace

TTxPosForm::TTxPosForm(QWidget* Owner, SurveyStore& store)
    : QDialog(Owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), store_(store)
{
    setObjectName("TxPosForm");
    setWindowTitle(QString::fromUtf8("设置源位置"));

    StaticText1 = new QLabel(QString::fromUtf8("发射源代号"), this);
    Txs = new QListWidget(this);
    Txs->setObjectName("Txs");
    Txs->setContextMenuPolicy(Qt::CustomContextMenu);
    Txs->viewport()->installEventFilter(this);
    PopupMenu1 = new QMenu(this);
    N1 = PopupMenu1->addAction(QString::fromUtf8("置为与当前源同"));
    N1->setObjectName("N1");

    GroupBox1 = new QGroupBox(QString::fromUtf8("坐标"), this);
    auto* coordinates = new QGridLayout(GroupBox1);
    const char* const names[kTransmitterEdits] = {"Ax", "Ay", "Az", "Bx", "By", "Bz"};
    const char* const captions[kTransmitterEdits] = {
        "A极 x=", "A极 y=", "A极 z=", "B极 x=", "B极 y=", "B极 z="};
    for (int i = 0; i < kTransmitterEdits; ++i) {
        auto* edit = new QLineEdit(GroupBox1);
        edit->setObjectName(names[i]);
        edit->installEventFilter(this);
        coordinates->addWidget(new QLabel(QString::fromUtf8(captions[i]), GroupBox1), i % 3,
                               2 * (i / 3));
        coordinates->addWidget(edit, i % 3, 2 * (i / 3) + 1);
        edits_[i] = edit;
    }
    Ax = edits_[kEditAx], Ay = edits_[kEditAy], Az = edits_[kEditAz];
    Bx = edits_[kEditBx], By = edits_[kEditBy], Bz = edits_[kEditBz];

    Button1 = new QPushButton(QString::fromUtf8("加载当前源mde"), this);
    BitBtn1 = new QPushButton(QString::fromUtf8("确定"), this);
    BitBtn2 = new QPushButton(QString::fromUtf8("取消"), this);
    BitBtn1->setDefault(true);
    OpenDialog1.Filter = "mde文件(*.mde)|*.mde";
    OpenDialog1.Owner = this;

    connect(Txs, &QListWidget::currentRowChanged, this, Guarded([this] { TxsClick(Txs); }));
    connect(Txs, &QWidget::customContextMenuRequested, this, Guarded([this](const QPoint& at) {
                PopupMenu1->exec(Txs->viewport()->mapToGlobal(at));
            }));
    connect(N1, &QAction::triggered, this, Guarded([this] { N1Click(N1); }));
    connect(Button1, &QPushButton::clicked, this, Guarded([this] { Button1Click(Button1); }));
    connect(BitBtn1, &QPushButton::clicked, this, Guarded([this] { BitBtn1Click(BitBtn1); }));
    connect(BitBtn2, &QPushButton::clicked, this, Guarded([this] { reject(); }));

    auto* list = new QVBoxLayout;
    list->addWidget(StaticText1);
    list->addWidget(Txs);
    auto* right = new QVBoxLayout;
    right->addWidget(GroupBox1);
    right->addWidget(Button1);
    right->addStretch();
    auto* top = new QHBoxLayout;
    top->addLayout(list);
    top->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    Txs->setFixedWidth(140);
    resize(520, 260);
    if (Owner) move(Owner->geometry().center() - rect().center());

    State = MakeTransmitterDialogState(store_);
    for (const std::string& name : State.Names) Txs->addItem(DisplayText(name));
    ShowEdits();
}

void TTxPosForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow(this);
}

bool TTxPosForm::eventFilter(QObject* watched, QEvent* event)
{
    // Only the left button selects an item: "置为与当前源同" copies the item selected before.
    if (watched == Txs->viewport() &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease ||
         event->type() == QEvent::MouseButtonDblClick) &&
        static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
        return true;
    // Only a move of the focus inside the dialog leaves an edit; a menu or another window taking
    // the focus for a while does not.
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            RunGuarded([&] { AxExit(watched); });
    }
    return QDialog::eventFilter(watched, event);
}

void TTxPosForm::ShowEdits()
{
    for (int i = 0; i < kTransmitterEdits; ++i)
        edits_[i]->setText(DisplayText(State.Edits[i].Text));
}

void TTxPosForm::TakeEdits()
{
    for (int i = 0; i < kTransmitterEdits; ++i)
        State.Edits[i].Text = edits_[i]->text().toUtf8().toStdString();
}

// Dialog shown: item 0 selected and its record in the edits.
void TTxPosForm::FormShow(QObject*)
{
    ShowTransmitterDialog(store_, State);
    const QSignalBlocker blocker(Txs);
    Txs->setCurrentRow(State.Selected);
    ShowEdits();
}

// List click, or the selection moved by keyboard.
void TTxPosForm::TxsClick(QObject*)
{
    if (Txs->currentRow() < 0) return;
    SelectTransmitter(store_, State, Txs->currentRow());
    ShowEdits();
}

void TTxPosForm::AxExit(QObject*)
{
    TakeEdits();
    WriteEditsToSelected(store_, State);
}

void TTxPosForm::N1Click(QObject*)
{
    CopySelectedToAll(store_, State);
}

void TTxPosForm::Button1Click(QObject*)
{
    if (!OpenDialog1.Execute()) return;
    MdeSource source;
    switch (LoadMdeSource(OpenDialog1.FileName, source)) {
    case MdeLoad::NotOpened:
        return;
    case MdeLoad::NoSourceKey:
        ShowMessage(kNoMdeSourceMessage);
        return;
    case MdeLoad::Loaded:
        break;
    }
    ApplyMdeSource(store_, State, source);
    ShowEdits();
}

void TTxPosForm::BitBtn1Click(QObject*)
{
    // The dialog closes with OK even when a text does not convert.
    struct CloseWithOk {
        QDialog* dialog;
        ~CloseWithOk() { dialog->accept(); }
    } closeWithOk{this};
    TakeEdits();
    WriteEditsToAll(store_, State);
}
