#include <QtTest>

#include <QCategoryAxis>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScatterSeries>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QValueAxis>
#include <cstring>
#include <fstream>
#include <memory>

#include "app/Application.h"
#include "app/MainForm.h"
#include "app/ProgressDialog.h"
#include "app/ScriptedUserInterface.h"
#include "base/Exception.h"
#include "base/FileName.h"
#include "base/NumberFormat.h"
#include "chart/forms/DisplayText.h"
#include "chart/forms/MarkLayer.h"
#include "map/TxRx.h"
#include "model3d/ModelFiles.h"
#include "model3d/forms/Save3DModel.h"
#include "picture/forms/EmfPaintDevice.h"
#include "picture/forms/MetafilePicture.h"
#include "picture/forms/ReferencePicture.h"
#include "tests/support/TempFiles.h"
#include "tests/support/forms/WindowFixture.h"

namespace {

TStation Station(const char* name, float x, float y, float z)
{
    TStation s;
    s.Name = name;
    s.Info.X = x;
    s.Info.Y = y;
    s.Info.Z = z;
    return s;
}

// The focus leaves a control for another control of the same window.
void Leave(QWidget* control, Qt::FocusReason reason = Qt::TabFocusReason)
{
    QFocusEvent event(QEvent::FocusOut, reason);
    QCoreApplication::sendEvent(control, &event);
}

bool Exists(const std::string& name)
{
    return std::ifstream(name).good();
}

std::vector<std::string> ShownTexts(const ScriptedUserInterface& ui)
{
    std::vector<std::string> texts;
    for (const auto& item : ui.Shown) texts.push_back(item.Text);
    return texts;
}

// A small WMF: a placeable header over 100 x 100 units at 96 units per inch, one solid brush
// and a rectangle filled with it.
std::string SmallWmf(uint8_t r, uint8_t g, uint8_t b)
{
    std::string bytes;
    auto u16 = [&bytes](uint16_t v) { bytes.append(reinterpret_cast<const char*>(&v), 2); };
    auto u32 = [&bytes](uint32_t v) { bytes.append(reinterpret_cast<const char*>(&v), 4); };
    u32(0x9AC6CDD7);
    u16(0);
    u16(0), u16(0), u16(100), u16(100);
    u16(96);
    u32(0);
    uint16_t sum = 0;
    for (int i = 0; i < 10; ++i) {
        uint16_t w;
        std::memcpy(&w, bytes.data() + 2 * i, 2);
        sum ^= w;
    }
    u16(sum);
    const size_t headerAt = bytes.size();
    u16(1), u16(9), u16(0x0300), u32(0), u16(1), u32(7), u16(0);
    u32(7), u16(0x02FC), u16(0), bytes += char(r), bytes += char(g), bytes += char(b),
        bytes += char(0), u16(0);                             // CREATEBRUSHINDIRECT
    u32(4), u16(0x012D), u16(0);                              // SELECTOBJECT 0
    u32(7), u16(0x041B), u16(80), u16(80), u16(20), u16(20);  // RECTANGLE b r t l
    u32(3), u16(0);                                           // EOF
    uint32_t words = static_cast<uint32_t>((bytes.size() - headerAt) / 2);
    std::memcpy(&bytes[headerAt + 6], &words, 4);
    return bytes;
}

}  // namespace

class ModelBuilderTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        StartMainForm();
        // The test takes each builder over and drives it after the command.
        TForm7::ModalRunner = [this](std::unique_ptr<TForm7> form) {
            builder_ = std::move(form);
            builder_->show();
        };
        QVERIFY(dir_.isValid());
    }

    void cleanupTestCase()
    {
        builder_.reset();
        delete Form1;
    }

    void init()
    {
        Form1->ClearLoadedData();
        Form1->OpenDialog.Filter = "Raw(*.raw)|*.raw|Avg(*.avg)|*.avg|";
        Form1->OpenDialog.FileName = "/data/line 7.raw";
    }

    std::string Path(const char* name) const
    {
        return QFile::encodeName(dir_.filePath(name)).toStdString();
    }

    // A loaded survey: 1000 m by 500 m, stations at 350 to 370 m, one transmitter.
    void OpenOnSurvey(ScriptedUserInterface& ui)
    {
        Form1->ExStations = {Station("1", 1000, 2000, 350), Station("2", 2000, 2500, 370),
                             Station("3", 1500, 2200, 360)};
        TxData tx;
        tx.Ax = 0, tx.Ay = 0, tx.Bx = 1000, tx.By = 0;
        tx.Cx = 500.7f, tx.Cy = -20.2f, tx.Cz = 3;
        Form1->Transmitters = {tx};
        Form7 = nullptr;
        Form1->N25->trigger();
        QVERIFY(Form7);
        QVERIFY(ui.Dialogs.empty());
        QVERIFY(ui.Shown.empty());
    }

    void opensOnALoadedSurvey()
    {
        ScriptedUserInterface ui;
        OpenOnSurvey(ui);
        QCOMPARE(Form7->parent(), Form1);
        QVERIFY(Form7->isVisible());
        QCOMPARE(Form7->windowTitle(), Text("三维反演初始模型"));
        QCOMPARE(Form7->PageControl1->currentWidget(), Form7->TabSheet1);
        QCOMPARE(Form7->Tag, 1);
        QCOMPARE(Form7->Nx->value(), 50);
        QCOMPARE(Form7->NxS->value(), 5);
        QCOMPARE(Form7->Nz->value(), 40);
        QCOMPARE(Form7->Dx->text(), QString("21"));  // 50 × 21 m span the 1000 m and 2 m more
        QCOMPARE(Form7->Dy->text(), QString("11"));
        QCOMPARE(Form7->Dz->text(), QString("15"));
        QCOMPARE(Form7->NxScale->text(), QString("2.0"));
        QCOMPARE(Form7->NzScale->text(), QString("1.5"));
        QCOMPARE(Form7->DxMin->text(), QString("1000.0"));
        QCOMPARE(Form7->DyMax->text(), QString("2500.0"));
        QCOMPARE(Form7->MxRefEdit->text(), QString("-327.0"));  // 1500 - 21 × (25 + 62)
        QCOMPARE(Form7->MyRefEdit->text(), QString("1293.0"));
        QCOMPARE(Form7->Edit3->text(), QString("500"));  // the transmitter's centre
        QCOMPARE(Form7->Edit4->text(), QString("-20"));
        QCOMPARE(Form7->Edit7->text(), QString("3"));
        QCOMPARE(Form7->CellDx.size(), size_t(60));
        QCOMPARE(Form7->CellDx.front(), 672.0f);
        QCOMPARE(Form7->CellDy.size(), size_t(60));
        QVERIFY(Form7->LayerDz.empty());
        QCOMPARE(ShownPoints(Form7->Series1),
                 QList<QPointF>({{1000, 2000}, {2000, 2500}, {1500, 2200}}));
        QCOMPARE(Form7->TerrainZ, std::vector<float>({350, 370, 360}));
        QCOMPARE(Form7->SaveDialog1.FileName, std::string("/data/line 7"));
        QCOMPARE(Form7->SaveDialog1.Filter, std::string("3D Inversion Initial Model (*.m)|*.m"));
        QCOMPARE(Form7->ComboBox1->currentText(), QString("0.30"));
        QVERIFY(Form7->CheckBox1->isChecked());
        QVERIFY(Form7->SpeedButton1->isChecked());
        QCOMPARE(Form7->ResModel->rowCount(), 1);
        Form7->close();
    }

    void opensOnAnImpTemplate()
    {
        const std::string imp = Path("template.imp");
        WriteBytes(imp,
                   "CSAMT\r\nImp\r\nfile\r\n1\r\n"
                   "8.0 2 3 0 500.0 600.0 10.0 0.0 0.0 0.0 0.0 0.0 0.0\r\n"
                   "0 1000 500\r\n0 0 500\r\n350 360 370\r\n");
        ScriptedUserInterface ui;
        ui.FileAnswers.push_back({{imp}});
        ui.InputAnswers.push_back(std::string("1500"));
        Form7 = nullptr;
        Form1->N25Click();
        QVERIFY(Form7);
        QCOMPARE(ui.Dialogs.size(), size_t(1));
        QCOMPARE(ui.Dialogs[0].Filter, std::string("Imp Files (*.imp)|*.imp"));
        QCOMPARE(Form1->OpenDialog.Filter, std::string("Raw(*.raw)|*.raw|Avg(*.avg)|*.avg|"));
        QCOMPARE(ui.Shown.size(), size_t(1));
        QCOMPARE(ui.Shown[0].Kind, ScriptedUserInterface::Input);
        QCOMPARE(ui.Shown[0].Caption, std::string("Palvex Hint..."));
        QCOMPARE(ui.Shown[0].Text, std::string("请输入电流源长度(m)"));
        QCOMPARE(Form7->Tag, 1500);
        QCOMPARE(Form7->Edit3->text(), QString("500"));
        QCOMPARE(Form7->Edit4->text(), QString("600"));
        QCOMPARE(Form7->Edit7->text(), QString("10"));
        QCOMPARE(int(ShownPoints(Form7->Series1).size()), 3);
        QCOMPARE(Form7->SaveDialog1.FileName, Path("template"));
        QCOMPARE(Form7->TerrainCount(), 3);
        Form7->close();

        // Cancelled, or a template without points: the message, and no dialog.
        TForm7* last = Form7;
        ui.Shown.clear();
        Form1->N25Click();
        WriteBytes(imp, "a\r\nb\r\nc\r\n1\r\n8.0 2 3\r\n0 1000\r\n0 0\r\n1 1\r\n");
        ui.FileAnswers.push_back({{imp}});
        Form1->N25Click();
        QCOMPARE(Form7, last);
        QCOMPARE(ShownTexts(ui), std::vector<std::string>(2, kNoModelDataMessage));
        QCOMPARE(Form1->OpenDialog.Filter, std::string("Raw(*.raw)|*.raw|Avg(*.avg)|*.avg|"));

        // A coordinate that is not a number ends the command; the filter is put back.
        WriteBytes(imp, "a\r\nb\r\nc\r\n1\r\n8.0 2 2\r\n0 x\r\n0 0\r\n1 1\r\n");
        ui.FileAnswers.push_back({{imp}});
        QVERIFY_THROWS_EXCEPTION(EConvertError, Form1->N25Click());
        QCOMPARE(Form7, last);
        QCOMPARE(Form1->OpenDialog.Filter, std::string("Raw(*.raw)|*.raw|Avg(*.avg)|*.avg|"));
    }

    void buildsMeshesOnLeavingTheGeometry()
    {
        ScriptedUserInterface ui;
        OpenOnSurvey(ui);
        // Another window taking the focus does not leave the edit; an unchanged edit left for
        // another control still rebuilds and makes the origin whole.
        Leave(Form7->Dz, Qt::ActiveWindowFocusReason);
        QCOMPARE(Form7->MxRefEdit->text(), QString("-327.0"));
        QVERIFY(Form7->LayerDz.empty());
        Leave(Form7->Dz);
        QCOMPARE(Form7->MxRefEdit->text(), QString("-327"));
        QCOMPARE(Form7->MyRefEdit->text(), QString("1293"));
        QCOMPARE(Form7->LayerDz.size(), size_t(45));
        QCOMPARE(Form7->LayerDz[0], 15.0f);
        QCOMPARE(Form7->LayerRho, std::vector<float>(45, 100.0f));

        // A step of the up-down takes the mean width first; the wider model keeps its centre.
        Form7->Dx->setText("7");
        Form7->Nx->stepBy(10);
        QCOMPARE(Form7->Dx->text(), QString("21"));
        QCOMPARE(Form7->Nx->value(), 60);
        Form7->LayerRho[3] = 42;
        Leave(Form7->Dx);
        QCOMPARE(Form7->CellDx.size(), size_t(70));
        QCOMPARE(Form7->MxRefEdit->text(), QString("-432"));
        QCOMPARE(Form7->LayerRho[3], 42.0f);  // the layer count stayed

        Form7->NzScale->setText("2");
        Form7->TabSheet1Exit();
        QCOMPARE(Form7->LayerRho[3], 42.0f);
        Form7->Nz->stepBy(1);  // a new count resets the resistivities
        QVERIFY(Form7->LayerDz.empty());
        Form7->TabSheet1Exit();
        QCOMPARE(Form7->LayerDz.size(), size_t(46));
        QCOMPARE(Form7->LayerRho, std::vector<float>(46, 100.0f));

        // A bad number ends the handler with the conversion error.
        Form7->NxScale->setText("x");
        Leave(Form7->NxScale);
        QCOMPARE(ui.Shown.size(), size_t(1));
        QCOMPARE(ui.Shown[0].Kind, ScriptedUserInterface::ExceptionBox);
        Form7->NxScale->setText("2.0");

        // The map page draws the outline and the inner nodes.
        Form7->PageControl1->setCurrentWidget(Form7->TabSheet4);
        QCOMPARE(Form7->Series2->count(), 5);
        QCOMPARE(Form7->Series2->at(0), QPointF(-432, 1293));
        QCOMPARE(int(ShownPoints(Form7->Series3).size()), 69 * 59);
        // The stations and nodes are painted by layers, with the pixels of Qt's own marks.
        QCOMPARE(Form7->Series1->count() + Form7->Series3->count(), 0);
        const QImage screen = Form7->Chart1->grab().toImage();
        {
            const QtMarks qtMarks(Form7->Chart1);
            QCOMPARE(Form7->Series3->count(), 69 * 59);
            QCOMPARE(Form7->Chart1->grab().toImage(), screen);
        }
        // Its axes tick at round whole metres; no two labels read alike, also on a short span.
        for (QValueAxis* axis : {Form7->Chart1Bottom, Form7->Chart1Left}) {
            auto* labels = qobject_cast<QCategoryAxis*>(axis);
            QVERIFY(labels && labels->count() >= 3);
            for (const QString& name : labels->categoriesLabels())
                QCOMPARE(name, QString::number(labels->endValue(name)));
        }
        Form7->Chart1Left->setRange(5999.4, 6001.6);
        QCOMPARE(qobject_cast<QCategoryAxis*>(Form7->Chart1Left)->categoriesLabels(),
                 QStringList({"6000", "6001"}));
        Form7->close();
    }

    void mapGesturesMoveTheOriginAndDrawTheBoundary()
    {
        ScriptedUserInterface ui;
        OpenOnSurvey(ui);
        Form7->PageControl1->setCurrentWidget(Form7->TabSheet4);
        const QString origin = Form7->MxRefEdit->text();
        Form7->Chart1MouseDown(Qt::LeftButton, Qt::NoModifier, QPointF(1000, 2000));
        Form7->Chart1MouseMove(Qt::LeftButton, Qt::ControlModifier, QPointF(1500, 2500));
        QCOMPARE(Form7->MxRefEdit->text(), origin);
        Form7->Chart1MouseMove(Qt::LeftButton, Qt::NoModifier, QPointF(1010.6, 1994.8));
        QCOMPARE(Form7->MxRefEdit->text(), QString("-316"));  // -327 + 10.6, truncated
        QCOMPARE(Form7->MyRefEdit->text(), QString("1287"));
        QCOMPARE(Form7->Series2->at(0), QPointF(-316, 1287));
        Form7->Chart1MouseDown(Qt::LeftButton, Qt::NoModifier, QPointF(2000, 2000));
        Form7->Chart1MouseDown(Qt::LeftButton, Qt::NoModifier, QPointF(2000, 2500));
        QCOMPARE(Form7->Series4->count(), 3);

        // A real press lands at its data position.
        QTest::qWait(20);
        const QPointF pixel = Form7->Chart1->Pixel(QPointF(1500, 2200));
        QTest::mousePress(Form7->Chart1->viewport(), Qt::LeftButton, Qt::NoModifier,
                          pixel.toPoint());
        QTest::mouseRelease(Form7->Chart1->viewport(), Qt::LeftButton, Qt::NoModifier,
                            pixel.toPoint());
        QCOMPARE(Form7->BoundaryX.size(), size_t(4));
        QVERIFY(std::fabs(Form7->BoundaryX.back() - 1500) < 10);
        QVERIFY(std::fabs(Form7->BoundaryY.back() - 2200) < 10);

        // "保存构造边界" writes the closed polygon and stops the vertices.
        ui.FileAnswers.push_back({{Path("edge.m")}});
        QTest::mouseClick(Form7->SpeedButton2, Qt::LeftButton);
        QVERIFY(Form7->SpeedButton2->isChecked());
        QVERIFY(!Form7->SpeedButton1->isChecked());
        QCOMPARE(ReadBytes(Path("edge.bln")), BoundaryText(*Form7));
        QVERIFY(ReadBytes(Path("edge.bln")).rfind("           5            1\r\n", 0) == 0);
        // The dialog asks about the boundary file itself and keeps the model's extension.
        QCOMPARE(ui.Dialogs.back().SaveExt, std::string(".bln"));
        QCOMPARE(Form7->SaveDialog1.SaveExt, std::string(".m"));
        Form7->Chart1MouseDown(Qt::LeftButton, Qt::NoModifier, QPointF(0, 0));
        QCOMPARE(Form7->BoundaryX.size(), size_t(4));
        QTest::mouseClick(Form7->SpeedButton1, Qt::LeftButton);  // a new, empty polygon
        QVERIFY(Form7->BoundaryX.empty());
        QCOMPARE(Form7->Series4->count(), 0);
        // Without a vertex there is no boundary to save: it says so and asks for no name.
        const size_t dialogs = ui.Dialogs.size();
        ui.FileAnswers.push_back({{Path("none.m")}});
        QTest::mouseClick(Form7->SpeedButton2, Qt::LeftButton);
        QCOMPARE(ui.Dialogs.size(), dialogs);
        QCOMPARE(ui.Shown.back().Text, std::string(kNoBoundaryMessage));
        QVERIFY(!Exists(Path("none.bln")));
        ui.FileAnswers.clear();
        Form7->close();
    }

    void editsTheLayerTable()
    {
        ScriptedUserInterface ui;
        OpenOnSurvey(ui);
        Form7->PageControl1->setCurrentWidget(Form7->TabSheet3);  // builds the layers
        Form7->LayerDz[0] = 16.5f;
        Form7->LayerRho[0] = 120.7f;
        Form7->PageControl1->setCurrentWidget(Form7->TabSheet2);
        QTableWidget* grid = Form7->ResModel;
        QCOMPARE(grid->rowCount(), 45);
        QCOMPARE(grid->item(0, 0)->text(), QString("1"));
        QCOMPARE(grid->item(0, 1)->text(), QString("120"));
        QCOMPARE(grid->item(0, 2)->text(), QString("16"));
        QCOMPARE(Form7->Series5->count(), 39);

        // A visit keeps the values; an edited cell goes to the lists at once.
        grid->item(1, 1)->setText("55.5");
        QCOMPARE(Form7->LayerRho[1], 55.5f);
        Form7->PageControl1->setCurrentWidget(Form7->TabSheet3);
        QCOMPARE(Form7->LayerDz[0], 16.5f);
        QCOMPARE(Form7->LayerRho[0], 120.7f);

        // A bad cell is reported once and the lists stay.
        Form7->PageControl1->setCurrentWidget(Form7->TabSheet2);
        const std::vector<float> rho = Form7->LayerRho;
        grid->item(2, 1)->setText("abc");
        Form7->PageControl1->setCurrentWidget(Form7->TabSheet3);
        QCOMPARE(ui.Shown.size(), size_t(2));
        QCOMPARE(ui.Shown[1].Kind, ScriptedUserInterface::ExceptionBox);
        QCOMPARE(Form7->LayerRho, rho);

        // Insert, delete, continue a column, the bottom depth of a row.
        Form7->PageControl1->setCurrentWidget(Form7->TabSheet2);
        grid->setCurrentCell(1, 1);
        Form7->N1->trigger();
        QCOMPARE(grid->rowCount(), 46);
        QCOMPARE(grid->item(2, 1)->text(), grid->item(1, 1)->text());
        QCOMPARE(grid->item(45, 0)->text(), QString("46"));
        Form7->N2->trigger();
        QCOMPARE(grid->rowCount(), 45);
        grid->item(1, 1)->setText("80");
        grid->item(2, 1)->setText("100");
        grid->setCurrentCell(2, 1);
        Form7->ResModelMouseWheelDown(Qt::NoModifier);
        QCOMPARE(grid->item(3, 1)->text(), QString("100"));
        Form7->ResModelMouseWheelDown(Qt::ControlModifier);
        QCOMPARE(grid->item(3, 1)->text(), QString("120.0"));
        // Through the grid's wheel: only a whole notch of Ctrl + wheel down continues, summed
        // over fine steps; any other turn starts the sum again.
        auto wheel = [grid](int delta, Qt::KeyboardModifiers keys) {
            QWheelEvent event(QPointF(10, 10), grid->viewport()->mapToGlobal(QPointF(10, 10)),
                              QPoint(), QPoint(0, delta), Qt::NoButton, keys, Qt::NoScrollPhase,
                              false);
            QApplication::sendEvent(grid->viewport(), &event);
        };
        grid->item(3, 1)->setText("7");
        grid->setCurrentCell(2, 1);
        for (int i = 0; i < 4; ++i) wheel(-24, Qt::ControlModifier);
        QCOMPARE(grid->item(3, 1)->text(), QString("7"));
        wheel(-24, Qt::ControlModifier);
        QCOMPARE(grid->item(3, 1)->text(), QString("120.0"));
        grid->item(3, 1)->setText("7");
        wheel(-96, Qt::ControlModifier);
        wheel(-24, Qt::NoModifier);
        grid->setCurrentCell(2, 1);
        wheel(-24, Qt::ControlModifier);
        QCOMPARE(grid->item(3, 1)->text(), QString("7"));
        grid->item(3, 1)->setText("120.0");
        Form7->ResModelClick(2);
        QCOMPARE(Form7->StaticText22->text(), Text("当前层底界面深度为33m"));  // 16.5 + 15 × 1.1

        // Two Ctrl-picks interpolate between them; a release without Ctrl forgets them.
        Form7->BitBtn3->click();
        Form7->Chart2MouseDown(Qt::ControlModifier, QPointF(10, 0));
        Form7->Chart2MouseDown(Qt::ControlModifier, QPointF(1010, 100));
        const double centre = 16.5 + 8.25;  // layer 1
        QVERIFY(std::fabs(Form7->LayerRho[1] - (10 + centre * 10)) < 1e-3);
        QCOMPARE(grid->item(1, 1)->text(), QString("257"));
        Form7->ResModelMouseUp(Qt::NoModifier);
        QVERIFY(Form7->PickDepth.empty());
        Form7->Chart2MouseDown(Qt::ShiftModifier, QPointF(333, 20));
        QCOMPARE(Form7->LayerRho[1], 333.0f);
        // A first Ctrl-pick does nothing more for its press, Shift held or not.
        Form7->Chart2MouseDown(Qt::ControlModifier | Qt::ShiftModifier, QPointF(444, 20));
        QCOMPARE(Form7->PickDepth.size(), size_t(1));
        QCOMPARE(Form7->LayerRho[1], 333.0f);
        Form7->ResModelMouseUp(Qt::NoModifier);

        // "保存" writes the background model; "加载" reads it back, or keeps the table.
        ui.FileAnswers.push_back({{Path("background")}});
        Form7->BitBtn2->click();
        QCOMPARE(ui.Dialogs.back().Filter, std::string("Background Res Model(*.*)|*.*"));
        QCOMPARE(ui.Dialogs.back().SaveExt, std::string(".pri"));
        QCOMPARE(Form7->SaveDialog1.Filter, std::string("3D Inversion Initial Model (*.m)|*.m"));
        QCOMPARE(Form7->SaveDialog1.SaveExt, std::string(".m"));
        QCOMPARE(ReadBytes(Path("background.pri")),
                 BackgroundModelText(Form1->Transmitters, Form7->Settings(), *Form7));
        const std::vector<float> dz = Form7->LayerDz;
        // A background model without layers is not saved, and says so.
        {
            const std::vector<float> rho = Form7->LayerRho;
            Form7->LayerRho.clear();
            const size_t dialogs = ui.Dialogs.size();
            ui.FileAnswers.push_back({{Path("nolayer")}});
            Form7->BitBtn2->click();
            QCOMPARE(ui.Dialogs.size(), dialogs);
            QCOMPARE(ui.Shown.back().Text, std::string(kNoLayerToSaveMessage));
            QVERIFY(!Exists(Path("nolayer.pri")));
            ui.FileAnswers.clear();
            Form7->LayerRho = rho;
        }
        Form7->LayerDz.assign(3, 1.0f);
        Form7->LayerRho.assign(3, 1.0f);
        ui.FileAnswers.push_back({{Path("background.pri")}});
        Form7->BitBtn1->click();
        QCOMPARE(Form7->LayerDz.size(), dz.size());
        QCOMPARE(grid->rowCount(), 45);
        WriteBytes(Path("empty.pri"), "");
        ui.FileAnswers.push_back({{Path("empty.pri")}});
        Form7->BitBtn1->click();
        QCOMPARE(ui.Shown.back().Text, std::string(kNoBackgroundLayerMessage));
        QCOMPARE(Form7->LayerDz.size(), dz.size());
        Form7->close();
    }

    void loadsTerrain()
    {
        ScriptedUserInterface ui;
        OpenOnSurvey(ui);
        WriteBytes(Path("terrain.pos"),
                   " STN     X    Y    Z\r\nA 0 0 10\r\nB 100 0 20\r\nC 5 5\r\n");
        ui.FileAnswers.push_back({{Path("terrain.pos")}});
        Form7->BitBtn7->click();
        QCOMPARE(ui.Dialogs.back().Filter, std::string("Terrain info file(*.pos)|*.pos"));
        QCOMPARE(Form7->TerrainCount(), 2);
        QCOMPARE(Form7->TerrainZ, std::vector<float>({10, 20}));
        QCOMPARE(ui.Shown.back().Text, std::string(kTerrainLoadedMessage));
        WriteBytes(Path("none.pos"), "header only\r\n");
        ui.FileAnswers.push_back({{Path("none.pos")}});
        Form7->BitBtn7->click();
        QCOMPARE(Form7->TerrainCount(), 0);
        QCOMPARE(ui.Shown.back().Text, std::string(kNoTerrainPointMessage));
        Form7->close();
    }

    void writesTheModelFiles()
    {
        ScriptedUserInterface ui;
        OpenOnSurvey(ui);
        Form7->TabSheet1Exit();
        Form7->BitBtn4->click();  // cancelled
        QCOMPARE(Form7->PageControl1->currentWidget(), Form7->TabSheet4);
        QVERIFY(!Exists(Path("model.m")));

        ui.FileAnswers.push_back({{Path("model.imp")}});
        Form7->BitBtn4->click();
        QCOMPARE(Form7->SaveDialog1.DefaultExt, std::string(".m"));
        const ModelSettings s = Form7->Settings();
        const std::vector<float> columns = ComputeColumnValues(s, *Form7);
        QCOMPARE(ReadBytes(Path("model.m")), ModelTopoText(s, *Form7, columns));
        QCOMPARE(ReadBytes(Path("model.cov")), CovarianceTopoText(s, *Form7, columns));
        QCOMPARE(ReadBytes(Path("model.pri")), BackgroundModelText(Form1->Transmitters, s, *Form7));
        QVERIFY(ui.Shown.empty());

        // Files that cannot be created are reported.
        const std::string lost = Path("missing/model.m");
        ui.FileAnswers.push_back({{lost}});
        Form7->BitBtn4->click();
        QCOMPARE(ShownTexts(ui),
                 std::vector<std::string>({"Cannot create file " + Path("missing/model.m") +
                                           "\nCannot create file " + Path("missing/model.cov") +
                                           "\nCannot create file " + Path("missing/model.pri")}));

        // A model without layers is refused; a bad origin ends the command before any file.
        ui.Shown.clear();
        Form7->PageControl1->setCurrentWidget(Form7->TabSheet3);
        Form7->NzChanging();
        ui.FileAnswers.push_back({{Path("layers.m")}});
        Form7->BitBtn4->click();
        QCOMPARE(ShownTexts(ui), std::vector<std::string>({kNoLayerMessage}));
        QVERIFY(!Exists(Path("layers.m")));
        Form7->PageControl1->setCurrentWidget(Form7->TabSheet1);
        Form7->PageControl1->setCurrentWidget(Form7->TabSheet3);
        Form7->MRotEdit->setText("1 5");
        ui.FileAnswers.push_back({{Path("origin.m")}});
        Form7->BitBtn4->click();
        QCOMPARE(ui.Shown.back().Kind, ScriptedUserInterface::ExceptionBox);
        QVERIFY(!Exists(Path("origin.m")));
        QVERIFY(!Exists(Path("origin.pri")));

        // While the files are computed no command of the dialog runs.
        Form7->Busy = true;
        const size_t dialogs = ui.Dialogs.size();
        Form7->BitBtn4->click();
        QCOMPARE(ui.Dialogs.size(), dialogs);
        Form7->Busy = false;
        Form7->close();
    }

    // "创建模型" cancelled at the first moment its progress dialog shows, or at the last one, the
    // bar full just before the files replace the old ones: no file of the set is written. The
    // flat model, without terrain, too.
    void cancelAtTheFirstAndTheLastMoment()
    {
        ScriptedUserInterface ui;
        OpenOnSurvey(ui);
        Form7->TabSheet1Exit();
        struct ShowAtOnce {
            int Before = ProgressDialog::ShowAfter;
            ShowAtOnce() { ProgressDialog::ShowAfter = 0; }
            ~ShowAtOnce() { ProgressDialog::ShowAfter = Before; }
        } showAtOnce;
        struct Case {
            const char* Moment;
            bool Last;
            bool Terrain;
        } cases[] = {{"first", false, true},
                     {"last", true, true},
                     {"first flat", false, false},
                     {"last flat", true, false}};
        for (const Case& c : cases) {
            if (!c.Terrain) {
                Form7->TerrainX.clear();
                Form7->TerrainY.clear();
                Form7->TerrainZ.clear();
            }
            // Presses Cancel while the dialog shows: at once, or once its bar is full.
            bool pressed = false;
            QTimer canceller;
            canceller.setInterval(0);
            connect(&canceller, &QTimer::timeout, [&] {
                for (QWidget* widget : QApplication::topLevelWidgets()) {
                    auto* dialog = qobject_cast<QProgressDialog*>(widget);
                    if (!dialog || !dialog->isVisible() || pressed) continue;
                    if (c.Last && !(dialog->maximum() > 0 && dialog->value() == dialog->maximum()))
                        continue;
                    QCOMPARE(dialog->labelText(), Text("创建模型"));
                    dialog->cancel();
                    pressed = true;
                }
            });
            canceller.start();
            const std::string name = Path((std::string(c.Moment) + ".m").c_str());
            ui.FileAnswers.push_back({{name}});
            Form7->BitBtn4->click();
            canceller.stop();
            for (const char* ext : {".m", ".cov", ".pri"})
                QVERIFY2(!Exists(ChangeFileExt(name, ext)), c.Moment);
            QVERIFY2(pressed, c.Moment);
            QVERIFY(ui.Shown.empty());
            QVERIFY(!Form7->Busy);
        }
        // Not cancelled, the files are written.
        ui.FileAnswers.push_back({{Path("kept.m")}});
        Form7->BitBtn4->click();
        for (const char* file : {"kept.m", "kept.cov", "kept.pri"}) QVERIFY(Exists(Path(file)));
        Form7->close();
    }

    // An error while "创建模型" leaves its page, or one left unresolved on an earlier leave, ends
    // the command: no save dialog, no file.
    void leaveErrorsEndTheCommand()
    {
        ScriptedUserInterface ui;
        OpenOnSurvey(ui);
        Form7->TabSheet1Exit();
        struct Case {
            QLineEdit* Edit;
            const char* Text;
        } cases[] = {{Form7->Dx, "abc"}, {Form7->NzScale, "1,5"}};
        for (const Case& c : cases) {
            const QString kept = c.Edit->text();
            Form7->PageControl1->setCurrentWidget(Form7->TabSheet1);
            c.Edit->setText(c.Text);
            ui.Shown.clear();
            ui.FileAnswers.push_back({{Path("leave.m")}});
            Form7->BitBtn4->click();
            QCOMPARE(ui.Shown.size(), size_t(1));
            QCOMPARE(ui.Shown[0].Kind, ScriptedUserInterface::ExceptionBox);
            QCOMPARE(ui.FileAnswers.size(), size_t(1));  // the save dialog never ran
            // Pressed again on the map page, the same error is shown and nothing is written.
            Form7->BitBtn4->click();
            QCOMPARE(ui.Shown.size(), size_t(2));
            QCOMPARE(ui.FileAnswers.size(), size_t(1));
            QVERIFY(!Exists(Path("leave.m")) && !Exists(Path("leave.pri")));
            c.Edit->setText(kept);
            ui.FileAnswers.clear();
        }

        // A layer cell that is not a number.
        Form7->PageControl1->setCurrentWidget(Form7->TabSheet2);
        Form7->ResModel->item(0, 1)->setText("5O0");
        ui.Shown.clear();
        ui.FileAnswers.push_back({{Path("leave.m")}});
        Form7->BitBtn4->click();
        QVERIFY(!ui.Shown.empty());
        QCOMPARE(ui.Shown.back().Kind, ScriptedUserInterface::ExceptionBox);
        QCOMPARE(ui.FileAnswers.size(), size_t(1));
        QVERIFY(!Exists(Path("leave.pri")));

        // Put right, the typed value reaches the files.
        Form7->PageControl1->setCurrentWidget(Form7->TabSheet2);
        Form7->ResModel->item(0, 1)->setText("500");
        Form7->BitBtn4->click();
        QVERIFY(ui.FileAnswers.empty());
        QVERIFY(ReadBytes(Path("leave.pri")).find("      500.00") != std::string::npos);
        Form7->close();
    }

    // Stations on one line get y cells of the x width; a width that is not positive is refused.
    void widthsArePositive()
    {
        ScriptedUserInterface ui;
        Form1->ExStations = {Station("1", 1000, 2000, 350), Station("2", 2000, 2000, 370),
                             Station("3", 1500, 2000, 360)};
        Form1->Transmitters.clear();
        Form7 = nullptr;
        Form1->N25->trigger();
        QVERIFY(Form7);
        QCOMPARE(Form7->Dy->text(), QString("21"));
        QCOMPARE(Form7->CellDy.size(), size_t(60));
        QCOMPARE(Form7->CellDy[5], 21.0f);
        QCOMPARE(Form7->MyRefEdit->text(), QString("173.0"));  // 2000 - 21 × (25 + 62)

        Form7->Dy->setText("0");
        Leave(Form7->Dy);
        QCOMPARE(Form7->CellDy[5], 0.0f);
        ui.FileAnswers.push_back({{Path("flat.m")}});
        Form7->BitBtn4->click();
        QCOMPARE(ShownTexts(ui), std::vector<std::string>({kBadCellWidthMessage}));
        QVERIFY(!Exists(Path("flat.m")) && !Exists(Path("flat.cov")) && !Exists(Path("flat.pri")));
        Form7->close();
    }

    void referencePictures()
    {
        QImage red(40, 30, QImage::Format_RGB32);
        red.fill(QColor(220, 20, 20));
        QVERIFY(red.save(QString::fromStdString(Path("red.bmp")), "BMP"));
        QVERIFY(red.save(QString::fromStdString(Path("red.jpg")), "JPG"));
        QVERIFY(red.save(QString::fromStdString(Path("red.ico")), "ICO"));
        EmfPaintDevice emf(QSize(120, 80));
        {
            QPainter painter(&emf);
            painter.fillRect(QRect(0, 0, 120, 80), Qt::white);
            painter.fillRect(QRect(60, 0, 60, 80), QColor(0, 0, 200));
            painter.setPen(QPen(Qt::black, 3));
            painter.drawLine(0, 40, 50, 40);
        }
        WriteBytes(Path("half.emf"), emf.Bytes());
        WriteBytes(Path("square.wmf"), SmallWmf(0, 150, 0));

        auto near = [](QColor a, QColor b) {
            return std::abs(a.red() - b.red()) < 12 && std::abs(a.green() - b.green()) < 12 &&
                   std::abs(a.blue() - b.blue()) < 12;
        };
        for (const char* name : {"red.bmp", "red.jpg", "red.ico"}) {
            QImage image = LoadReferencePicture(Path(name));
            QCOMPARE(image.size(), QSize(40, 30));
            QVERIFY2(near(image.pixelColor(20, 15), QColor(220, 20, 20)), name);
        }
        QImage half = LoadReferencePicture(Path("half.emf"));
        QCOMPARE(half.size(), QSize(120, 80));
        QVERIFY(near(half.pixelColor(90, 40), QColor(0, 0, 200)));
        QVERIFY(near(half.pixelColor(30, 20), Qt::white));
        QVERIFY(near(half.pixelColor(25, 40), Qt::black));
        QImage square = LoadReferencePicture(Path("square.wmf"));
        QCOMPARE(square.size(), QSize(100, 100));
        QVERIFY(near(square.pixelColor(50, 50), QColor(0, 150, 0)));
        QVERIFY(near(square.pixelColor(10, 10), Qt::white));
        QVERIFY(PlayEnhancedMetafile("not a metafile").isNull());
        QVERIFY(PlayWindowsMetafile(std::string(40, '\xff')).isNull());
        QVERIFY(DecodeJpeg("\xff\xd8 broken").isNull());
        // Cut short anywhere, a metafile draws what it has and stops.
        const std::string bytes = emf.Bytes();
        for (size_t cut = 0; cut < bytes.size(); cut += 37)
            PlayEnhancedMetafile(bytes.substr(0, cut));
        const std::string wmf = SmallWmf(1, 2, 3);
        for (size_t cut = 0; cut < wmf.size(); ++cut) PlayWindowsMetafile(wmf.substr(0, cut));

        // "参考模型图像" puts the picture behind the layer chart; a bad file keeps the old one.
        ScriptedUserInterface ui;
        OpenOnSurvey(ui);
        Form7->OpenDialog1.Filter = "x|x";
        ui.FileAnswers.push_back({{Path("half.emf")}});
        Form7->BitBtn6->click();
        QCOMPARE(ui.Dialogs.back().Filter, std::string());
        QCOMPARE(Form7->OpenDialog1.Filter, std::string());
        QCOMPARE(Form7->Chart2->Picture.size(), QSize(120, 80));
        WriteBytes(Path("bad.jpg"), "no picture");
        for (const char* name : {"bad.jpg", "picture.txt"}) {
            ui.FileAnswers.push_back({{Path(name)}});
            Form7->BitBtn6->click();
            QCOMPARE(ui.Shown.back().Kind, ScriptedUserInterface::ExceptionBox);
            QCOMPARE(Form7->Chart2->Picture.size(), QSize(120, 80));
        }
        QCOMPARE(ui.Shown.back().Text, std::string("Unknown picture file extension (.txt)"));
        Form7->close();
    }

private:
    QTemporaryDir dir_;
    std::unique_ptr<TForm7> builder_;  // the builder opened last
};

int main(int argc, char** argv)
{
    QuillaneApplication app(argc, argv);
    ModelBuilderTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_modelbuilder.moc"
