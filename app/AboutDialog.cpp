#include "app/AboutDialog.h"

#include <QDesktopServices>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

#include "app/CommandGuard.h"
#include "chart/forms/DisplayText.h"

TAbout* About = nullptr;

const char* const TAbout::kWebAddress = "www.example.org";

namespace {

// The emblem: a transmitter line with its electrodes and a row of stations.
QPixmap Emblem()
{
    QPixmap picture(64, 64);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 60, 120), 2));
    p.setBrush(QColor(225, 235, 250));
    p.drawRoundedRect(QRectF(3, 3, 58, 58), 8, 8);
    p.setPen(QPen(Qt::red, 3));
    p.drawLine(QPointF(14, 48), QPointF(50, 48));
    p.setBrush(Qt::red);
    p.drawEllipse(QPointF(14, 48), 3, 3);
    p.drawEllipse(QPointF(50, 48), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 150, 0));
    for (int i = 0; i < 5; ++i) p.drawRect(QRectF(10 + i * 10, 16, 5, 5));
    p.setPen(QPen(QColor(30, 60, 120), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(12, 22, 40, 30), 30 * 16, 120 * 16);
    return picture;
}

QLabel* Place(QWidget* parent, const char* name, const QString& text, int left, int top, int width,
              int height)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(left, top, width, height);
    return label;
}

}  // namespace

TAbout::TAbout(QWidget* Owner) : QDialog(Owner)
{
    setObjectName("About");
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(443, 422);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);

    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(0, -1, 73, 194);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setStyleSheet(
        "QFrame#Panel1 { border: 2px outset palette(mid); background: qlineargradient(x1:0, y1:0, "
        "x2:0, y2:1, stop:0 #9db9eb, stop:1 #c7d4f7); }");
    Image1 = new QLabel(Panel1);
    Image1->setObjectName("Image1");
    Image1->setGeometry(4, 18, 64, 64);
    Image1->setPixmap(Emblem());
    Image1->setAttribute(Qt::WA_TranslucentBackground);

    Label1 =
        Place(this, "Label1", Text("Quillane 频率测深数据处理软件系列  技术支持"), 93, 13, 300, 16);
    Label1->setStyleSheet("color: black;");
    StaticText2 = Place(this, "StaticText2", Text("Quillane 开源项目组"), 149, 35, 199, 17);
    Label6 = Place(this, "Label6", Text("版本： 2013.03.26"), 117, 57, 129, 16);
    Label5 = Place(this, "Label5", Text("最后日期：  2013-04-08"), 93, 80, 154, 16);
    StaticText6 = Place(this, "StaticText6", Text("电话：000-00000000   传真：000-00000001"), 117,
                        102, 262, 17);
    StaticText7 = Place(this, "StaticText7", Text(" E-Mail："), 109, 124, 48, 17);
    StaticText8 = Place(this, "StaticText8", "mail@example.org", 158, 125, 120, 17);
    StaticText9 = Place(this, "StaticText9", "help@example.org", 285, 125, 120, 17);
    StaticText11 = Place(this, "StaticText11", Text("网址："), 117, 147, 40, 17);
    StaticText10 = Place(this, "StaticText10", kWebAddress, 158, 147, 114, 17);
    StaticText10->setStyleSheet("color: red;");
    StaticText10->setCursor(Qt::PointingHandCursor);
    StaticText10->setToolTip(Text("欢迎访问 Quillane 项目网站！"));
    StaticText10->installEventFilter(this);

    Panel2 = new QFrame(this);
    Panel2->setObjectName("Panel2");
    Panel2->setGeometry(74, 192, 367, 154);
    Panel2->setFrameStyle(QFrame::Box | QFrame::Raised);
    Memo1 = new QPlainTextEdit(Panel2);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* fill = new QVBoxLayout(Panel2);
    fill->setContentsMargins(1, 1, 1, 1);
    fill->addWidget(Memo1);
    Memo1->setPlainText(
        Text("                 免责声明\n"
             "\n"
             "1. 本软件按“原样”提供，不附带任何明示或暗示的担保。\n"
             "2. 本软件用于可控源频率测深野外数据的预处理，结果仅供参考。\n"
             "3. 使用者应自行核对输入数据与处理结果的正确性。\n"
             "4. 因使用或无法使用本软件造成的任何损失，作者不承担责任。\n"
             "5. 请在处理前保留原始数据文件的备份。\n"
             "6. 输出文件的格式以相应反演程序的说明为准。\n"
             "7. 不得将本软件用于违反法律法规的用途。\n"
             "8. 安装或使用本软件即表示同意本声明的全部条款。\n"
             "9. 本声明未尽事宜，以本软件的许可证及相关法律法规\n"
             "   为准。"));

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName("Bevel1");
    Bevel1->setGeometry(2, 345, 435, 10);
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Raised);

    StaticText1 = Place(this, "StaticText1",
                        Text("警告：本软件按其许可证的条款发布，复制、修改\n"
                             "或传播本软件时请遵守许可证的规定。"),
                        12, 369, 300, 37);

    BitBtn1 = new QPushButton(Text("确定"), this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setGeometry(348, 379, 75, 25);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, Guarded([this] { accept(); }));

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TAbout::~TAbout()
{
    if (About == this) About = nullptr;
}

bool TAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == StaticText10 && event->type() == QEvent::MouseButtonRelease &&
        StaticText10->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
        RunGuarded([this] { StaticText10Click(StaticText10); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TAbout::StaticText10Click(QObject* Sender)
{
    (void)Sender;
    QDesktopServices::openUrl(QUrl::fromUserInput(QString::fromUtf8(kWebAddress)));
}
