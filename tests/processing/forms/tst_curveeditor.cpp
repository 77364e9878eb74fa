#include <QtTest>

#include <QChart>
#include <QCategoryAxis>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QLogValueAxis>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScatterSeries>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolButton>
#include <QValueAxis>
#include <cmath>
#include <functional>
#include <unistd.h>

#include "app/Application.h"
#include "app/MainForm.h"
#include "app/ScriptedUserInterface.h"
#include "chart/forms/DisplayText.h"
#include "processing/CurveEditor.h"
#include "processing/forms/APPRESForm.h"
#include "processing/forms/TruncIPForm.h"

namespace {

TStation Station(const std::string& name, float amplitude, const std::string& hyName = "H0")
{
    TStation s;
    s.Name = name;
    s.Info.HyName = hyName;
    const float freqs[] = {1, 10, 100};
    for (int i = 0; i < 3; ++i) {
        s.Amplitude.X.push_back(freqs[i]);
        s.Phase.X.push_back(freqs[i]);
        s.Amplitude.Y.push_back(amplitude * (i + 1));
        s.Phase.Y.push_back(0.25f * (i + 1));
    }
    s.Amplitude.Count = s.Phase.Count = 3;
    return s;
}

void LoadSurvey(bool withHy)
{
    Form1->ClearLoadedData();
    Form1->ExStations = {Station("E0", 10), Station("E1", 20), Station("E2", 30)};
    if (withHy) Form1->HyStations = {Station("H0", 1, "H0"), Station("H1", 2, "H1")};
}

// Runs the command; drive works the open editor and should close it. A failed check inside it
// leaves the rest of the checks to the caller and closes the editor.
bool RunEditor(const std::function<void(TTruncIPForm*)>& drive)
{
    bool reached = false;
    QTimer timer;  // goes with this call when the command opens no editor
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* editor = Form1->findChild<TTruncIPForm*>();
        if (!editor) return;
        reached = true;
        if (QTest::qWaitForWindowExposed(editor)) drive(editor);
        if (editor->isVisible()) editor->reject();
    });
    timer.start(0);
    Form1->N17Click(Form1->N17);
    return reached;
}

// The position in a chart view of the data point (x, y) of a series.
QPoint ViewPosition(QChartView* view, QAbstractSeries* series, QPointF value)
{
    const QPointF chart = view->chart()->mapToPosition(value, series);
    return view->mapFromScene(view->chart()->mapToScene(chart));
}

QList<double> Ys(const QXYSeries* series)
{
    QList<double> ys;
    for (const QPointF& p : series->points()) ys << p.y();
    return ys;
}

}  // namespace

class CurveEditorTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        Form1 = new TForm1(nullptr);
        Form1->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form1));
    }

    void cleanupTestCase() { delete Form1; }

    void init()
    {
        Form1->LoadRunning = false;
        LoadSurvey(true);
    }

    void noExStationsShowsTheHintOnly()
    {
        ScriptedUserInterface ui;
        Form1->ClearLoadedData();
        Form1->HyStations = {Station("H0", 1)};
        Form1->WorkStations = {Station("kept", 1)};
        QVERIFY(!RunEditor([](TTruncIPForm*) {}));
        QCOMPARE(ui.Shown.size(), size_t(1));
        QCOMPARE(ui.Shown[0].Kind, ScriptedUserInterface::MessageBox);
        QCOMPARE(ui.Shown[0].Caption, std::string("Murovane Hint..."));
        QCOMPARE(ui.Shown[0].Text, std::string("没有数据可以编辑。请加载数据..."));
        QCOMPARE(ui.Shown[0].Flags, int(MB_OK));
        QVERIFY(ui.Shown[0].Owner == nullptr);
        QCOMPARE(Form1->WorkStations.size(), size_t(1));
    }

    void nothingWhileALoadRuns()
    {
        ScriptedUserInterface ui;
        Form1->LoadRunning = true;
        Form1->WorkStations.clear();
        QVERIFY(!RunEditor([](TTruncIPForm*) {}));
        QVERIFY(ui.Shown.empty());
        QVERIFY(Form1->WorkStations.empty());
    }

    void opensOnTheFirstExStation()
    {
        const std::vector<TStation> before = Form1->ExStations;
        QPointer<TTruncIPForm> seen;
        QVERIFY(RunEditor([&](TTruncIPForm* e) {
            seen = e;
            QVERIFY(e->isModal());
            QCOMPARE(e->windowTitle(), Text("Murovane编辑数据"));
            QCOMPARE(e->size(), QSize(896, 627));
            QCOMPARE(e->parent(), Form1);
            QCOMPARE(e->SList->count(), 3);
            QCOMPARE(e->SList->item(2)->text(), Text("E2"));
            QCOMPARE(e->SList->currentRow(), 0);
            QCOMPARE(e->TotalST->text(), Text("总数据个数为3"));
            QCOMPARE(e->NumT->text(), QString("3"));
            QCOMPARE(e->ExHy->ItemIndex(), 0);
            QCOMPARE(e->REIM->ItemIndex(), 0);
            QVERIFY(!e->TRL->isEnabled());
            QVERIFY(!e->UpDown1->isEnabled());
            QCOMPARE(e->UpDown2->Position(), 500);
            QVERIFY(e->BitBtn4->isDefault());
            QCOMPARE(e->Chart->chart()->title(), Text("可控源振幅数据"));
            QCOMPARE(e->Chart1->chart()->title(), Text("可控源相位数据"));
            QCOMPARE(Ys(e->Series1), QList<double>({10, 20, 30}));
            QCOMPARE(e->PointSeries1->count(), 3);
            QCOMPARE(e->Series1->name(), QString("Present"));
            QCOMPARE(e->Series2->count() + e->Series3->count() + e->Series4->count(), 0);
            QCOMPARE(e->Series4->name(), QString("Next"));
            QCOMPARE(e->ChartLeftLogAxis->titleText(), QString("V (mv/Km/A)"));
            QCOMPARE(e->Chart1LeftAxis->titleText(), QString("Phase /Arc"));
            QCOMPARE(e->ChartBottomAxis->titleText(), QString("Frequency /Hz"));
            // The axes hold every point.
            QVERIFY(e->ChartBottomAxis->min() <= 1 && e->ChartBottomAxis->max() >= 100);
            QVERIFY(e->ChartLeftLogAxis->min() <= 10 && e->ChartLeftLogAxis->max() >= 30);
            QVERIFY(e->Chart1LeftAxis->min() < 0.25 && e->Chart1LeftAxis->max() > 0.75);
            // The phase axis ticks at round values, labelled in "0.E+00".
            auto* phase = qobject_cast<QCategoryAxis*>(e->Chart1LeftAxis);
            QVERIFY(phase);
            QCOMPARE(phase->categoriesLabels(),
                     QStringList({"3E-01", "4E-01", "5E-01", "6E-01", "7E-01"}));
            QCOMPARE(phase->endValue("4E-01"), 0.4);

            e->SList->setCurrentRow(1);
            QCOMPARE(e->Series1->name(), QString("E1"));
            QCOMPARE(e->Series3->name(), QString("E0"));
            QCOMPARE(e->Series4->name(), QString("E2"));
            QCOMPARE(e->Series2->count(), 3);
            QCOMPARE(e->TotalST->text(), Text("总数据个数3"));
            QTest::keyClick(e, Qt::Key_Escape);
        }));
        QVERIFY(seen.isNull());  // destroyed after its run
        QCOMPARE(Form1->ExStations[1].Amplitude.Y, before[1].Amplitude.Y);
        QCOMPARE(Form1->WorkStations.size(), size_t(3));
    }

    void gbkNamesAndPointsALogAxisCannotPlace()
    {
        Form1->ExStations[1].Name = "\xb2\xe2\xb5\xe3";  // GBK bytes of the name
        Form1->ExStations[2].Amplitude.Y[0] = 0;
        QVERIFY(RunEditor([](TTruncIPForm* e) {
            e->SList->setCurrentRow(1);
            QCOMPARE(e->Series1->name(), Text("测点"));
            QCOMPARE(e->FastLineSeries1->name(), Text("测点"));
            QCOMPARE(e->Series4->name(), QString("E2"));
            // A zero amplitude has no place on the logarithmic axis; the others are drawn.
            QCOMPARE(Ys(e->Series4), QList<double>({60, 90}));
            e->SList->setCurrentRow(2);
            QCOMPARE(Ys(e->Series1), QList<double>({60, 90}));
            QCOMPARE(e->PointSeries1->count(), 3);
            const QPoint flag = ViewPosition(e->Chart, e->Series1, e->Series1->at(1));
            QTest::mouseClick(e->Chart->viewport(), Qt::RightButton, {}, flag);
            QCOMPARE(e->Session.PickedPoint, 2);
            QCOMPARE(e->Series1->pointConfiguration(1).value(QXYSeries::PointConfiguration::Color),
                     QVariant(QColor(Qt::green)));
            QVERIFY(e->Series1->pointConfiguration(0).isEmpty());
            e->reject();
        }));
    }

    void editedPointIsStoredOnOk()
    {
        QVERIFY(RunEditor([](TTruncIPForm* e) {
            // A left click moves the point to the click's value; a right click flags it.
            const QPoint at = ViewPosition(e->Chart, e->Series1, QPointF(10, 35));
            QTest::mouseClick(e->Chart->viewport(), Qt::LeftButton, {}, at);
            QCOMPARE(e->Session.PickedPoint, 1);
            const double moved = e->Series1->at(1).y();
            QVERIFY(std::fabs(moved - 35) < 1.5);
            QCOMPARE(e->Series2->count(), 0);  // Raw waits for the next drawing
            const QPoint flag = ViewPosition(e->Chart, e->Series1, e->Series1->at(2));
            QTest::mouseClick(e->Chart->viewport(), Qt::RightButton, {}, flag);
            QCOMPARE(e->Series1->pointConfiguration(2).value(QXYSeries::PointConfiguration::Color),
                     QVariant(QColor(Qt::green)));
            QCOMPARE(e->Series1->at(2).y(), 30.0);

            // Ctrl on the phase chart shifts the points up to the reference one.
            const QPoint phase = ViewPosition(e->Chart1, e->PointSeries1, QPointF(10, 1.0));
            QTest::mouseClick(e->Chart1->viewport(), Qt::LeftButton, Qt::ControlModifier, phase);
            const double landed = e->PointSeries1->at(1).y();
            QVERIFY(std::fabs(landed - 1.0) < 0.05);
            QCOMPARE(e->PointSeries1->at(0).y(), double(0.25f) + landed - double(0.5f));
            QCOMPARE(e->PointSeries1->at(2).y(), double(0.75f));

            QTest::mouseClick(e->BitBtn4, Qt::LeftButton);
            QVERIFY(!e->isVisible());
        }));
        QVERIFY(std::fabs(Form1->ExStations[0].Amplitude.Y[1] - 35) < 1.5);
        QCOMPARE(Form1->ExStations[0].Amplitude.Y[2], 30.0f);
        QVERIFY(std::fabs(Form1->ExStations[0].Phase.Y[1] - 1.0f) < 0.05);
    }

    void componentSwitchStoresAndCancelKeepsIt()
    {
        const std::vector<TStation> hyBefore = Form1->HyStations;
        QVERIFY(RunEditor([](TTruncIPForm* e) {
            e->UpDown2->UpButton->click();  // Ex: the step scales by 1.05
            QCOMPARE(e->Series1->at(0).y(), 10 * double(1.05f));
            QCOMPARE(e->UpDown2->Position(), 501);

            e->ExHy->Button(2)->click();  // no Ey station: refused
            QCOMPARE(e->ExHy->ItemIndex(), 0);
            QCOMPARE(e->Session.ComponentIndex, 0);
            QVERIFY(Form1->EyStations.empty());

            e->ExHy->Button(1)->click();
            QCOMPARE(e->ExHy->ItemIndex(), 1);
            QCOMPARE(e->SList->count(), 2);
            QCOMPARE(e->SList->item(0)->text(), QString("H0"));
            QCOMPARE(e->Series1->name(), QString("H0"));
            QVERIFY(!e->UpDown2->isEnabled());
            QCOMPARE(e->ChartLeftLogAxis->titleText(), QString("nT/A"));
            QCOMPARE(e->TotalST->text(), Text("总数据个数3"));
            QVERIFY(e->SList->hasFocus());
            QCOMPARE(Form1->ExStations[0].Amplitude.Y[0], static_cast<float>(10 * double(1.05f)));

            const QPoint at = ViewPosition(e->Chart, e->Series1, QPointF(1, 5));
            QTest::mouseClick(e->Chart->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseClick(e->BitBtn3, Qt::LeftButton);
        }));
        QCOMPARE(Form1->ExStations[0].Amplitude.Y[0], static_cast<float>(10 * double(1.05f)));
        QCOMPARE(Form1->HyStations[0].Amplitude.Y, hyBefore[0].Amplitude.Y);

        // OK after a switch stores the component held.
        QVERIFY(RunEditor([](TTruncIPForm* e) {
            e->ExHy->Button(1)->click();
            const QPoint at = ViewPosition(e->Chart, e->Series1, QPointF(1, 5));
            QTest::mouseClick(e->Chart->viewport(), Qt::LeftButton, {}, at);
            QTest::keyClick(e->SList, Qt::Key_Return);
        }));
        QVERIFY(std::fabs(Form1->HyStations[0].Amplitude.Y[0] - 5) < 0.5);
    }

    void displayFormSmoothingAndSteps()
    {
        QVERIFY(RunEditor([](TTruncIPForm* e) {
            e->REIM->Button(1)->click();
            QVERIFY(e->Chart->chart()->axes(Qt::Vertical).contains(e->ChartLeftLogAxis));
            e->SList->setCurrentRow(2);
            QVERIFY(e->Chart->chart()->axes(Qt::Vertical).contains(e->ChartLeftLinearAxis));
            QVERIFY(!e->Chart->chart()->axes(Qt::Vertical).contains(e->ChartLeftLogAxis));
            QCOMPARE(e->Series1->at(0).y(), 30 * std::cos(double(0.25f)));
            QVERIFY(e->ChartLeftLinearAxis->min() <= e->Series1->at(2).y());

            e->REIM->Button(0)->click();
            e->BitBtn5->click();  // smoothing redraws in the chosen form
            QVERIFY(e->Chart->chart()->axes(Qt::Vertical).contains(e->ChartLeftLogAxis));
            QCOMPARE(Ys(e->Series1), QList<double>({30, 60, 90}));

            e->RadioGroup1->Button(2)->click();
            QVERIFY(e->SList->hasFocus());
            const QPoint at = ViewPosition(e->Chart, e->Series1, e->Series1->at(1));
            QTest::mouseClick(e->Chart->viewport(), Qt::RightButton, {}, at);
            e->UpDown2->DownButton->click();
            QCOMPARE(e->Series1->at(0).y(), 30.0);
            QCOMPARE(e->Series1->at(1).y(), 60 * double(0.95f));
            QCOMPARE(Form1->WorkStations[2].Amplitude.Y[1], float(60 * double(0.95f)));
            // At the top of its range a click up still scales up.
            e->UpDown2->SetPosition(1000);
            e->UpDown2->DownButton->click();
            e->UpDown2->UpButton->click();
            e->UpDown2->UpButton->click();
            QCOMPARE(e->UpDown2->Position(), 1000);
            QCOMPARE(e->Series1->at(1).y(),
                     60 * double(0.95f) * double(0.95f) * double(1.05f) * double(1.05f));

            // A double click is two presses: the flag goes and comes back.
            const QPoint flag = ViewPosition(e->Chart, e->Series1, e->Series1->at(0));
            QTest::mouseDClick(e->Chart->viewport(), Qt::RightButton, {}, flag);
            QVERIFY(e->Series1->pointConfiguration(0).isEmpty());
            QTest::mousePress(e->Chart->viewport(), Qt::RightButton, {}, flag);
            QVERIFY(!e->Series1->pointConfiguration(0).isEmpty());
            e->reject();
        }));
    }

    void companionChartOnlyWithHyStations()
    {
        QVERIFY(RunEditor([](TTruncIPForm* e) {
            QVERIFY(APPRESForm);
            QTRY_VERIFY(APPRESForm->isVisible());
            QCOMPARE(APPRESForm->parent(), e);
            QCOMPARE(APPRESForm->windowTitle(), QString("APPRESForm"));
            QCOMPARE(APPRESForm->size(), QSize(401, 192));
            const CompanionPlacement place =
                CompanionPosition(e->frameGeometry(), APPRESForm->frameGeometry().size(),
                                  e->screen()->availableGeometry());
            QCOMPARE(e->pos(), place.Editor);
            QCOMPARE(APPRESForm->pos(), place.Companion);
            // It goes and comes with the editor.
            e->hide();
            QVERIFY(!APPRESForm->isVisible());
            e->show();
            QTRY_VERIFY(APPRESForm->isVisible());
            QVERIFY(!e->isHidden());
            QVERIFY(APPRESForm->BottomAxis->isReverse());
            // Both axes write their decades in one plain pattern, as the station viewers do, and
            // those below 1 (rho falls to 0.02 at 1000 Hz) in their short form.
            QVERIFY(!APPRESForm->BottomAxis->isVisible() && !APPRESForm->LeftAxis->isVisible());
            QStringList decades;
            for (QAbstractAxis* axis : APPRESForm->Chart1->chart()->axes())
                if (auto* labels = qobject_cast<QCategoryAxis*>(axis))
                    decades << labels->categoriesLabels();
            QVERIFY(decades.contains("10") && decades.contains("100"));
            QVERIFY2(decades.contains("0.1") && decades.contains("1"),
                     qPrintable(decades.join(' ')));
            for (const QString& label : decades)
                QVERIFY2(!label.contains('e', Qt::CaseInsensitive), qPrintable(label));
            QCOMPARE(APPRESForm->Series1->name(), QString("E0"));
            QCOMPARE(APPRESForm->Series1->count(), 3);
            QCOMPARE(APPRESForm->Series2->count(), 0);
            QCOMPARE(APPRESForm->Series3->name(), QString("E1"));
            // rho = 1/(5 f) (E/H)^2 at f = 1 with E = 10 and H = 1.
            QCOMPARE(APPRESForm->Series1->at(0).y(), 20.0);
            QVERIFY(APPRESForm->LeftAxis->min() <= 20.0 && APPRESForm->LeftAxis->max() >= 20.0);
            e->SList->setCurrentRow(2);
            QCOMPARE(APPRESForm->Series1->name(), QString("E2"));
            QCOMPARE(APPRESForm->Series2->name(), QString("E1"));
            QCOMPARE(APPRESForm->Series3->count(), 0);
            e->reject();
        }));
        QVERIFY(APPRESForm == nullptr);

        LoadSurvey(false);
        QVERIFY(RunEditor([](TTruncIPForm* e) {
            QVERIFY(APPRESForm == nullptr);
            QVERIFY(e->findChildren<TAPPRESForm*>().isEmpty());
            e->reject();
        }));
    }

    void filesAndTheirWriteErrors()
    {
        ScriptedUserInterface ui;
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const std::string root = dir.path().toStdString();
        char previous[4096];
        QVERIFY(getcwd(previous, sizeof previous));
        QVERIFY(RunEditor([&](TTruncIPForm* e) {
            QVERIFY(chdir(root.c_str()) == 0);
            e->SList->setCurrentRow(1);
            QTest::keyRelease(e->SList, Qt::Key_S, Qt::ControlModifier);
            QVERIFY(QFile::exists(QString::fromStdString(root + "/E1Ex.txt")));

            // The current directory is gone: the file cannot be created.
            QVERIFY(QDir().mkdir("gone") && chdir("gone") == 0 &&
                    rmdir((root + "/gone").c_str()) == 0);
            QTest::keyRelease(e->SList, Qt::Key_S, Qt::ControlModifier);
            QCOMPARE(ui.Shown.size(), size_t(1));
            QCOMPARE(ui.Shown[0].Kind, ScriptedUserInterface::ExceptionBox);
            QCOMPARE(ui.Shown[0].Text, std::string("Cannot create file E1Ex.txt"));
            QVERIFY(chdir(previous) == 0);

            ui.FileAnswers.push_back({{root + "/model.dat"}});
            ui.FileAnswers.push_back({{root + "/missing/model.dat"}});
            e->BitBtn8->click();
            QCOMPARE(ui.Dialogs.size(), size_t(1));
            QCOMPARE(ui.Dialogs[0].Filter, std::string("Model response files(*.txt)|*.txt"));
            QCOMPARE(ui.Dialogs[0].SaveExt, std::string(".txt"));  // asks about that file
            QCOMPARE(ui.Dialogs[0].FileName, std::string("E1"));
            QVERIFY(ui.Dialogs[0].Owner == e);
            QVERIFY(QFile::exists(QString::fromStdString(root + "/model.txt")));
            e->BitBtn8->click();
            QCOMPARE(ui.Shown.size(), size_t(2));
            QCOMPARE(ui.Shown[1].Text, "Cannot create file " + root + "/missing/model.txt");
            e->BitBtn8->click();  // cancelled: nothing
            QCOMPARE(ui.Shown.size(), size_t(2));
            QVERIFY(e->isVisible());

            e->BitBtn7->setFocus();
            QTest::keyClick(e->BitBtn7, Qt::Key_Space);  // releases other than S reach it
            QCOMPARE(ui.Shown.back().Kind, ScriptedUserInterface::Message);
            QCOMPARE(ui.Shown.back().Text, std::string(kCurveEditorHelpText));
            e->reject();
        }));
        QVERIFY(chdir(previous) == 0);
    }

    void printAndCopy()
    {
        QTemporaryDir dir;
        QVERIFY(RunEditor([&](TTruncIPForm* e) {
            QPrinter printer;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(dir.filePath("chart.pdf"));
            e->PrintChart(printer);
            QFile pdf(dir.filePath("chart.pdf"));
            QVERIFY(pdf.size() > 1000);

            QApplication::clipboard()->clear();
            e->BitBtn2->click();
            QImage a = QApplication::clipboard()->image();
            QCOMPARE(a.size(), e->Chart->size() * e->Chart->devicePixelRatio());
            e->BitBtn6->click();
            QCOMPARE(QApplication::clipboard()->image().size(),
                     e->Chart1->size() * e->Chart1->devicePixelRatio());
            e->reject();
        }));
    }
};

int main(int argc, char** argv)
{
    QuillaneApplication app(argc, argv);
    CurveEditorTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_curveeditor.moc"
