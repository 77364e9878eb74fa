#include "export/forms/SN_Freq.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/CommandGuard.h"
#include "base/Gbk.h"
#include "chart/forms/DisplayText.h"
#include "export/ExportCommand.h"

TForm3* Form3 = nullptr;
std::function<int(TForm3&)> TForm3::ModalHook;

namespace {

constexpr int kFrequencyRole = Qt::UserRole;  // the item's frequency, the survey's own float
constexpr int kNameRole = Qt::UserRole;       // the range item's station name bytes

// The station name a range box stands for: the bytes of the item its text shows, else the typed
// text in the survey's code page.
std::string RangeText(const QComboBox* box)
{
    const QString text = box->currentText();
    const int index = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0) return box->itemData(index, kNameRole).toByteArray().toStdString();
    return Utf8ToGbk(text.toStdString());
}

QFrame* Bevel(QWidget* parent, const char* name)
{
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

}  // namespace

TForm3::TForm3(QWidget* Owner) : QDialog(Owner)
{
    setObjectName("Form3");
    setWindowTitle(Text("输出数据"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(363, 420);

    Label5 = new QLabel(Text("保存到数据文件："), this);
    FileEdit = new QLineEdit(this);
    FileEdit->setObjectName("FileEdit");
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName("SpeedButton1");
    SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    SpeedButton1->setAutoRaise(true);
    SaveDialog.Owner = this;
    SaveDialog.Filter = "3D CSEM Files(*.imp)|*.imp|Z File(*.z)|*.z|MTD Files(*.mtd)|*.mtd";
    SaveDialog.DefaultExt = "mtd";
    SaveDialog.InitialDir = ".";

    GroupBox1 = new QGroupBox(Text("测点范围"), this);
    Label1 = new QLabel(Text("从"), GroupBox1);
    FromSN = new QComboBox(GroupBox1);
    FromSN->setObjectName("FromSN");
    FromSN->setEditable(true);
    FromSN->setInsertPolicy(QComboBox::NoInsert);
    Label2 = new QLabel(Text("到"), GroupBox1);
    ToSN = new QComboBox(GroupBox1);
    ToSN->setObjectName("ToSN");
    ToSN->setEditable(true);
    ToSN->setInsertPolicy(QComboBox::NoInsert);

    Label3 = new QLabel(Text("一共67个频点，输出其中的"), this);
    FreqUpDown = new QSpinBox(this);
    FreqUpDown->setObjectName("FreqUpDown");
    FreqUpDown->setRange(0, 100);
    FreqUpDown->setValue(10);
    FreqUpDown->setWrapping(false);

    Freqs = new QListWidget(this);
    Freqs->setObjectName("Freqs");
    Freqs->setContextMenuPolicy(Qt::CustomContextMenu);

    PopupMenu1 = new QMenu(this);
    N1 = PopupMenu1->addAction(Text("选择"));
    N1->setData(999);
    N2 = PopupMenu1->addSeparator();
    struct Preset {
        QAction** action;
        const char* caption;
        int tag;
    };
    const Preset presets[] = {
        {&N7, "全部频点", 10},   {&N21, "前2个频点", 2},  {&N41, "前4个频点", 4},
        {&N3, "前一半频点", 5},  {&N4, "后一半频点", -5}, {&N42, "后4个频点", -4},
        {&N22, "后2个频率", -2}, {&N5, " 奇数频点", 1},   {&N6, "偶数频点", 0},
    };
    for (const Preset& p : presets) {
        QAction* action = PopupMenu1->addAction(Text(p.caption));
        action->setData(p.tag);
        connect(action, &QAction::triggered, this, Guarded([this, action] { N21Click(action); }));
        *p.action = action;
    }

    NTCorrect = new QCheckBox(Text("近区和过渡区校正"), this);
    NTCorrect->setChecked(true);
    MultMinusONE = new QCheckBox(Text("观测方向反转( -1反号运算)"), this);
    PIADD = new QCheckBox(Text("180度相位反转(共轭运算)"), this);
    ExAmp = new QCheckBox(Text("输出Ex振幅"), this);

    Bevel1 = Bevel(this, "Bevel1");
    Label4 = new QLabel(Text("Murovane..."), this);
    Label4->setEnabled(false);
    Bevel2 = Bevel(this, "Bevel2");

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), Text("OK"), this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setDefault(true);
    BitBtn2 =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), Text("Cancel"), this);
    BitBtn2->setObjectName("BitBtn2");

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(FileEdit);
    fileRow->addWidget(SpeedButton1);
    auto* rangeRow = new QHBoxLayout(GroupBox1);
    rangeRow->addWidget(Label1);
    rangeRow->addWidget(FromSN, 1);
    rangeRow->addWidget(Label2);
    rangeRow->addWidget(ToSN, 1);
    auto* countRow = new QHBoxLayout;
    countRow->addWidget(Label3);
    countRow->addWidget(FreqUpDown);
    countRow->addStretch();
    auto* noteRow = new QHBoxLayout;
    noteRow->addWidget(Bevel1, 1);
    noteRow->addWidget(Label4);
    noteRow->addWidget(Bevel2, 1);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(BitBtn1);
    buttonRow->addWidget(BitBtn2);
    buttonRow->addStretch();

    auto* page = new QVBoxLayout(this);
    page->setSpacing(4);
    page->addWidget(Label5);
    page->addLayout(fileRow);
    page->addWidget(GroupBox1);
    page->addLayout(countRow);
    page->addWidget(Freqs, 1);
    page->addWidget(NTCorrect);
    page->addWidget(MultMinusONE);
    page->addWidget(PIADD);
    page->addWidget(ExAmp);
    page->addLayout(noteRow);
    page->addLayout(buttonRow);

    connect(SpeedButton1, &QToolButton::clicked, this,
            Guarded([this] { SpeedButton1Click(SpeedButton1); }));
    connect(Freqs, &QListWidget::itemChanged, this,
            Guarded([this](QListWidgetItem* item) { FreqsClickCheck(item); }));
    connect(Freqs, &QWidget::customContextMenuRequested, this, Guarded([this](const QPoint& pos) {
                PopupMenu1->popup(Freqs->viewport()->mapToGlobal(pos));
            }));
    connect(BitBtn1, &QPushButton::clicked, this, Guarded([this] { accept(); }));
    connect(BitBtn2, &QPushButton::clicked, this, Guarded([this] { reject(); }));
}

TForm3::~TForm3()
{
    if (Form3 == this) Form3 = nullptr;
}

void TForm3::FillFromSurvey(const SurveyStore& store)
{
    if (store.HyStations.empty()) {
        NTCorrect->setChecked(false);
        NTCorrect->setEnabled(false);
    }

    for (const std::string& name : SortedStationNames(store)) {
        const QByteArray bytes = QByteArray::fromStdString(name);
        FromSN->addItem(DisplayText(name), bytes);
        ToSN->addItem(DisplayText(name), bytes);
    }

    {
        // Filling checks no item by the user: the count stays as step 8 sets it.
        const QSignalBlocker quiet(Freqs);
        for (float f : store.OutputFreqs) {
            auto* item = new QListWidgetItem(QString::fromStdString(FrequencyItemText(f)), Freqs);
            item->setData(kFrequencyRole, QVariant::fromValue(f));
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Checked);
        }
    }

    ToSN->setCurrentIndex(ToSN->count() - 1);
    FromSN->setCurrentIndex(0);

    const int points = store.ExStations.empty() ? 0 : store.ExStations.front().Amplitude.Count;
    FreqUpDown->setMaximum(points);
    FreqUpDown->setValue(points);
    Label3->setText(QString::fromStdString(FrequencyCountCaption(points)));
}

ExportSettings TForm3::Settings() const
{
    ExportSettings s;
    s.FileName = QFile::encodeName(FileEdit->text()).toStdString();
    s.FromStation = RangeText(FromSN);
    s.ToStation = RangeText(ToSN);
    s.Count = FreqUpDown->value();
    for (int i = 0; i < Freqs->count(); ++i) {
        const QListWidgetItem* item = Freqs->item(i);
        if (item->checkState() == Qt::Checked)
            s.Frequencies.push_back(item->data(kFrequencyRole).value<float>());
    }
    s.NearZoneCorrection = NTCorrect->isChecked();
    s.Negate = MultMinusONE->isChecked();
    s.Conjugate = PIADD->isChecked();
    s.Amplitude = ExAmp->isChecked();
    return s;
}

int TForm3::ShowModal()
{
    if (ModalHook) return ModalHook(*this);
    return exec();
}

// The browse button beside the file name.
void TForm3::SpeedButton1Click(QObject*)
{
    if (SaveDialog.Execute())
        FileEdit->setText(QFile::decodeName(QByteArray::fromStdString(SaveDialog.FileName)));
}

// A frequency's check box was toggled by the user.
void TForm3::FreqsClickCheck(QListWidgetItem* Item)
{
    if (!Item) return;
    FreqUpDown->setValue(FreqUpDown->value() + (Item->checkState() == Qt::Checked ? 1 : -1));
}

// A frequency preset of the list's context menu, chosen by the entry's Tag.
void TForm3::N21Click(QObject* Sender)
{
    const auto* action = qobject_cast<const QAction*>(Sender);
    const int tag = action ? action->data().toInt() : 10;
    const std::vector<bool> checks = FrequencyPresetChecks(Freqs->count(), tag);
    int checked = 0;
    const QSignalBlocker quiet(Freqs);
    for (int i = 0; i < Freqs->count(); ++i) {
        Freqs->item(i)->setCheckState(checks[i] ? Qt::Checked : Qt::Unchecked);
        checked += checks[i] ? 1 : 0;
    }
    FreqUpDown->setValue(checked);
}
