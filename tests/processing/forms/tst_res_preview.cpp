#include <QtTest>

#include <QCategoryAxis>
#include <QClipboard>
#include <QLineEdit>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMimeData>
#include <QScatterSeries>
#include <QStyleOptionSpinBox>
#include <QToolButton>
#include <limits>

#include "app/Application.h"
#include "app/MainForm.h"
#include "app/Pictures.h"
#include "app/ScriptedUserInterface.h"
#include "base/RoundTicks.h"
#include "map/TxRx.h"
#include "processing/StationCurves.h"
#include "processing/forms/RES_PREVIEW.h"
#include "tests/processing/forms/ViewerSurvey.h"
#include "tests/support/forms/ChartReading.h"

namespace {

void ClickArrow(RefFreqSpinBox* upDown, QStyle::SubControl arrow)
{
    QStyleOptionSpinBox option;
    option.initFrom(upDown);
    option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
    option.frame = true;
    option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
    const QRect r = upDown->style()->subControlRect(QStyle::CC_SpinBox, &option, arrow, upDown);
    QTest::mouseClick(upDown, Qt::LeftButton, Qt::NoModifier, r.center());
}

}  // namespace

class SoundingViewerTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        StartMainForm();
        LoadViewerSurvey(Form1);
    }

    void cleanup()
    {
        delete Form1;
        FlushDeletes();
        QVERIFY(Form5 == nullptr);
    }

    void nothingWithoutExOrHy()
    {
        Form1->HyStations.clear();
        Form1->N8Click();
        Form1->ExStations.clear();
        Form1->N8Click();
        QVERIFY(OpenWindows<TForm5>(Form1).isEmpty());
        QVERIFY(Form5 == nullptr);
    }

    void opensWithTheStationsCurves()
    {
        Form1->DataPreview->trigger();
        QCOMPARE(OpenWindows<TForm5>(Form1).size(), 1);
        TForm5* v = Form5;
        QVERIFY(v && v->isVisible());
        QCOMPARE(v->windowTitle(), Text("CSEM测深视电阻率曲线"));
        QCOMPARE(v->size(), QSize(696, 412));
        QCOMPARE(v->Chart1->chart()->title(), Text("点频率测深曲线100"));
        QCOMPARE(v->Series1->name(), QString("Ex_N"));
        QCOMPARE(v->Series2->name(), QString("Ex_F"));
        QCOMPARE(v->Series3->name(), QString("Hy_F"));
        QCOMPARE(v->Series4->name(), QString("Ex/Hy_N"));
        QCOMPARE(v->Series5->name(), QString("MT"));
        // Marks of 3 x 3 and 2 x 2 design units.
        QCOMPARE(v->Series1->markerSize(), 7.0);
        QCOMPARE(v->Series2->markerSize(), 5.0);
        QCOMPARE(v->Series5->markerSize(), 5.0);
        QVERIFY(v->BottomAxis->isReverse());
        QCOMPARE(v->BottomAxis->titleText(), QString("freq/Hz"));
        QVERIFY(v->Chart1->chart()->legend()->isVisible());

        StationCurves c;
        ComputeStationCurves(*Form1, "100", c);
        QCOMPARE(v->Series1->points(), Points(c.Freq, c.RhoExN));
        QCOMPARE(v->Series2->points(), Points(c.Freq, c.RhoExF));
        QCOMPARE(v->Series3->points(), Points(c.Freq, c.RhoHyF));
        // Stored from high to low: the first three keep that order, the last two ascend.
        Form1->ExStations[0] =
            MakeEx("100", "H100", 0, 3000,
                   {{10000, 14, 0}, {1000, 13, 0}, {100, 12, 0}, {10, 11, 0}, {1, 10, 0}});
        ShowSoundingCurves(v);
        ComputeStationCurves(*Form1, "100", c);
        QCOMPARE(v->Series1->points(), Points(c.Freq, c.RhoExN));
        QCOMPARE(v->Series1->at(0).x(), 10000.0);
        const std::vector<double> f(c.Freq.rbegin(), c.Freq.rend());
        const std::vector<double> mt(c.RhoMT.rbegin(), c.RhoMT.rend());
        const std::vector<double> nz(c.RhoExHyN.rbegin(), c.RhoExHyN.rend());
        QCOMPARE(v->Series5->points(), Points(f, mt));
        QCOMPARE(v->Series4->points(), Points(f, nz));

        // The axes hold every point.
        for (QXYSeries* s :
             {static_cast<QXYSeries*>(v->Series1), static_cast<QXYSeries*>(v->Series5)})
            for (const QPointF& p : s->points()) {
                QVERIFY(v->BottomAxis->min() <= p.x() && p.x() <= v->BottomAxis->max());
                QVERIFY(v->LeftAxis->min() <= p.y() && p.y() <= v->LeftAxis->max());
            }

        // The up-down: the station's sample count, 1-based reference index.
        QCOMPARE(v->UpDown1->maximum(), 5);
        QCOMPARE(v->UpDown1->minimum(), 1);
        QCOMPARE(v->UpDown1->value(), 5);
        QCOMPARE(v->Edit1->text(), QString("5"));
    }

    // On field files the visible axes label every decade in view in "######" and "#####",
    // those below 1 in their short form ("0.1", "0.01", "1E-3"), never empty or "0", and no
    // label is elided at the window's own size. On L14 the near-zone and single-component
    // curves reach six decades below 1.
    void axesOfAFieldFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("below1");
        QTest::newRow("K1") << "K1.AVG" << QStringList{"0.1"};
        QTest::newRow("L14") << "L14.avg"
                             << QStringList{"0.1", "0.01", "1E-3", "1E-4", "1E-5", "1E-6"};
    }

    void axesOfAFieldFile()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, below1);
        const std::string path = QUILLANE_PEER_DATA "/pycsamt/" + file.toStdString();
        if (!QFileInfo::exists(QString::fromStdString(path))) QSKIP("peer data absent");
        if (Form5) {
            Form5->close();
            FlushDeletes();
        }
        Form1->ClearLoadedData();
        Form1->OpenDialog.Files = {path};
        Form1->OpenDialog.FileName = path;
        Form1->AppendFiles();
        Form1->N8Click();
        TForm5* v = Form5;
        QVERIFY(QTest::qWaitForWindowExposed(v));
        QCoreApplication::processEvents();
        QStringList left;
        for (QAbstractAxis* axis : v->Chart1->chart()->axes()) {
            if (!axis->isVisible()) continue;
            auto* labels = qobject_cast<QCategoryAxis*>(axis);
            QVERIFY(labels);
            QVERIFY(!axis->labelsTruncated());
            const bool bottom = axis->alignment() == Qt::AlignBottom;
            QCOMPARE(axis->isReverse(), bottom);
            for (const QString& name : labels->categoriesLabels()) {
                const int decade = int(std::lround(labels->endValue(name)));
                QCOMPARE(name.trimmed(),
                         QString::fromStdString(DecadeLabel(bottom ? "######" : "#####", decade)));
                if (!bottom) left << name.trimmed();
            }
        }
        QVERIFY2(left.contains("1") && !left.contains("") && !left.contains("0"),
                 qPrintable(left.join(' ')));
        for (const QString& label : below1) QVERIFY2(left.contains(label), qPrintable(label));
        QCOMPARE(
            std::log10(v->LeftAxis->min()),
            qobject_cast<QCategoryAxis*>(v->Chart1->chart()->axes(Qt::Vertical).last())->min());
        // At the window's smallest size the chart still reads: its plot, its labels and titles,
        // its five legend entries.
        const QString fault = FaultAtMinimumSize(v);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }

    void singleInstance()
    {
        Form1->N8Click();
        TForm5* first = Form5;
        first->showMinimized();
        QVERIFY(first->isMinimized());
        Form1->N8->trigger();
        QCOMPARE(OpenWindows<TForm5>(Form1).size(), 1);
        QCOMPARE(Form5, first);
        QVERIFY(!first->isMinimized());
        QCOMPARE(Form1->MdiArea->activeSubWindow(), first);

        // Bringing it back needs no Hy station; opening one does.
        Form1->HyStations.clear();
        Form1->N8Click();
        QCOMPARE(Form5, first);
    }

    void stepping()
    {
        Form1->N8Click();
        TForm5* v = Form5;
        QTest::mouseClick(v->SpeedButton1, Qt::LeftButton);  // at the first: nothing
        QCOMPARE(Form1->CurrentStation, 0);
        QTest::mouseClick(v->SpeedButton2, Qt::LeftButton);
        QCOMPARE(Form1->CurrentStation, 1);
        QCOMPARE(v->Chart1->chart()->title(), Text("点频率测深曲线200"));
        StationCurves c;
        ComputeStationCurves(*Form1, "200", c);
        QCOMPARE(v->Series5->points(), Points(c.Freq, c.RhoMT));
        QCOMPARE(v->SpeedButton2->text(), Text("下一测点"));
        v->SpeedButton2Click();
        v->SpeedButton2Click();  // at the last: nothing
        QCOMPARE(Form1->CurrentStation, 2);
        QCOMPARE(v->Chart1->chart()->title(), Text("点频率测深曲线300"));
        v->SpeedButton1Click();
        QCOMPARE(Form1->CurrentStation, 1);

        // Another survey with fewer Ex stations: the viewer starts again at the first.
        Form1->CurrentStation = 2;
        Form1->ExStations.resize(1);
        v->SpeedButton1Click();
        QCOMPARE(Form1->CurrentStation, 0);
        QCOMPARE(v->Chart1->chart()->title(), Text("点频率测深曲线100"));
        // A load that makes the list longer or shorter keeps a station that is still in it.
        LoadViewerSurvey(Form1);
        QCOMPARE(Form1->CurrentStation, 0);
        v->SpeedButton2Click();
        QCOMPARE(Form1->CurrentStation, 1);
        QCOMPARE(v->Chart1->chart()->title(), Text("点频率测深曲线200"));
        Form1->ExStations.resize(2);
        v->SpeedButton1Click();
        QCOMPARE(Form1->CurrentStation, 0);
        LoadViewerSurvey(Form1);
        v->SpeedButton2Click();
        QCOMPARE(Form1->CurrentStation, 1);

        // No Hy station: empty curves; no Ex station at all: an empty picture, no step.
        Form1->HyStations.clear();
        v->SpeedButton2Click();
        QCOMPARE(Form1->CurrentStation, 2);
        QCOMPARE(v->Series5->count(), 0);
        Form1->ExStations.clear();
        v->SpeedButton2Click();
        v->SpeedButton1Click();
        QCOMPARE(Form1->CurrentStation, 0);
        QCOMPARE(v->Chart1->chart()->title(), Text("点频率测深曲线"));
        QCOMPARE(v->Series1->count(), 0);
    }

    void referenceFrequencySpin()
    {
        Form1->N8Click();
        TForm5* v = Form5;
        QCOMPARE(Form1->RefFreqIndex, 4);
        ClickArrow(v->UpDown1, QStyle::SC_SpinBoxDown);
        QCOMPARE(v->UpDown1->value(), 4);
        QCOMPARE(Form1->RefFreqIndex, 3);
        for (int k = 0; k < 5; ++k) ClickArrow(v->UpDown1, QStyle::SC_SpinBoxDown);
        QCOMPARE(v->UpDown1->value(), 1);  // no wrap
        QCOMPARE(Form1->RefFreqIndex, 0);

        // Typing alone changes nothing; the next arrow steps from the typed number.
        v->Edit1->selectAll();
        QTest::keyClicks(v->Edit1, "3");
        QCOMPARE(Form1->RefFreqIndex, 0);
        ClickArrow(v->UpDown1, QStyle::SC_SpinBoxUp);
        QCOMPARE(Form1->RefFreqIndex, 3);
        QCOMPARE(v->Edit1->text(), QString("4"));
        ClickArrow(v->UpDown1, QStyle::SC_SpinBoxUp);
        ClickArrow(v->UpDown1, QStyle::SC_SpinBoxUp);
        QCOMPARE(Form1->RefFreqIndex, 4);  // the station's five samples at most

        // Stepping leaves the index and the maximum alone.
        v->SpeedButton2Click();
        QCOMPARE(Form1->RefFreqIndex, 4);
        QCOMPARE(v->UpDown1->maximum(), 5);
    }

    // A station whose curves fail is named over empty series, not over the curves before.
    void failedStationShowsNothingOfAnother()
    {
        ScriptedUserInterface ui;
        for (float& a : Form1->ExStations[1].Amplitude.Y)
            a = std::numeric_limits<float>::infinity();
        Form1->N8Click();
        QTest::mouseClick(Form5->SpeedButton2, Qt::LeftButton);
        QCOMPARE(ui.Shown.size(), 1u);
        QCOMPARE(ui.Shown[0].Kind, ScriptedUserInterface::ExceptionBox);
        QCOMPARE(Form1->CurrentStation, 1);
        QCOMPARE(Form5->Chart1->chart()->title(), Text("点频率测深曲线200"));
        for (QXYSeries* s : std::initializer_list<QXYSeries*>{
                 Form5->Series1, Form5->Series2, Form5->Series3, Form5->Series4, Form5->Series5})
            QCOMPARE(s->count(), 0);
        QTest::mouseClick(Form5->SpeedButton2, Qt::LeftButton);
        QCOMPARE(Form5->Chart1->chart()->title(), Text("点频率测深曲线300"));
        QCOMPARE(Form5->Series5->count(), 5);
    }

    void closeResetsTheStation()
    {
        Form1->N8Click();
        Form5->SpeedButton2Click();
        QCOMPARE(Form1->CurrentStation, 1);
        QVERIFY(Form5->close());
        QCOMPARE(Form1->CurrentStation, 0);
        FlushDeletes();
        QVERIFY(Form5 == nullptr);
        QVERIFY(OpenWindows<TForm5>(Form1).isEmpty());
        Form1->N8Click();
        QVERIFY(Form5 != nullptr);
        QCOMPARE(Form5->Chart1->chart()->title(), Text("点频率测深曲线100"));

        // Opened with CurrentStation beyond the list: the first station.
        Form5->close();
        FlushDeletes();
        Form1->CurrentStation = 7;
        Form1->N8Click();
        QCOMPARE(Form1->CurrentStation, 0);
        QCOMPARE(Form5->Chart1->chart()->title(), Text("点频率测深曲线100"));
    }

    void copyChart()
    {
        Form1->N8Click();
        QGuiApplication::clipboard()->clear();
        QCOMPARE(Form5->N1->text(), Text("复制图形"));
        QCOMPARE(Form5->N1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
        QCOMPARE(Form5->N2->text(), Text("保存对比数据"));
        Form5->N1->trigger();
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data && data->hasFormat(kEmfMimeType));
        QVERIFY(data->data(kEmfMimeType).startsWith(QByteArray("\x01\0\0\0", 4)));

        // The key of the entry acts in the viewer.
        QGuiApplication::clipboard()->clear();
        Form1->MdiArea->setActiveSubWindow(Form5);
        QApplication::setActiveWindow(Form1);
        Form5->Chart1->setFocus();
        QTest::keyClick(Form5->Chart1, Qt::Key_C, Qt::ControlModifier);
        data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data && data->hasFormat(kEmfMimeType));
    }
};

int main(int argc, char** argv)
{
    QuillaneApplication app(argc, argv);
    SoundingViewerTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_res_preview.moc"
