#include <QtTest>

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QGraphicsSimpleTextItem>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScatterSeries>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolTip>

#include "app/Application.h"
#include "app/MainForm.h"
#include "app/ScriptedUserInterface.h"
#include "base/FloatText.h"
#include "base/Gbk.h"
#include "base/StringList.h"
#include "base/TextStream.h"
#include "chart/forms/DisplayText.h"
#include "chart/forms/MarkLayer.h"
#include "geometry/forms/Addpre.h"
#include "geometry/forms/XY.h"
#include "geometry/forms/transxy.h"
#include "import/CsamtAvgReader.h"
#include "map/TxRx.h"
#include "base/StationNumber.h"
#include "survey/StationLabels.h"
#include "tests/support/forms/StationEditorFixture.h"
#include "tests/support/forms/WindowFixture.h"

namespace {

QTableWidgetItem* Item(int column, int row)
{
    return ChangeXY->StringGrid1->item(row - 1, column);
}

void Type(int column, int row, const QString& text)
{
    Item(column, row)->setText(text);
}

std::string Text(int column, int row)
{
    return ChangeXY->Cell(column, row);
}

void ClickOk(QDialog* dialog)
{
    QTest::mouseClick(static_cast<TChangeXY*>(dialog)->BitBtn1, Qt::LeftButton);
}

const TStation* Named(const std::vector<TStation>& stations, const std::string& name)
{
    for (const TStation& s : stations)
        if (s.Name == name) return &s;
    return nullptr;
}

struct Position {
    float x, y, z;
    bool operator==(const Position& o) const { return x == o.x && y == o.y && z == o.z; }
};

std::vector<Position> Positions(const std::vector<TStation>& stations)
{
    std::vector<Position> all;
    for (const TStation& s : stations) all.push_back({s.Info.X, s.Info.Y, s.Info.Z});
    return all;
}

const std::string kGbkName = Utf8ToGbk("测点9");

void WriteFile(const QString& name, const QByteArray& bytes)
{
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

}  // namespace

class StationEditorTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { StartMainForm(); }

    void init()
    {
        Form1->ClearLoadedData();
        bool other = false;
        ReadCsamtAvgFile(*Form1, QUILLANE_SOURCE_DIR "/examples/line1_csamt.avg", &other);
        QVERIFY(Form1->ExStations.size() == 8 && Form1->HyStations.size() == 1);
        TStation extra = Form1->ExStations.back();
        extra.Name = kGbkName;
        extra.Info.X = 0.1f;
        Form1->ExStations.push_back(extra);
        DrawLayoutMap(Form1);
    }

    void cleanupTestCase() { delete Form1; }

    void opensOnTheExStations()
    {
        const auto before = Positions(Form1->ExStations);
        bool shown = false;
        WhenShown([&](QDialog* dialog) {
            shown = true;
            QCOMPARE(dialog, ChangeXY);
            QCOMPARE(dialog->windowTitle(), Text("点位编辑..."));
            QVERIFY(dialog->parent() == nullptr);
            PositionTable* grid = ChangeXY->StringGrid1;
            QCOMPARE(grid->columnCount(), 5);
            QCOMPARE(grid->rowCount(), 9);
            QStringList headers;
            for (int c = 0; c < 5; ++c) headers << grid->horizontalHeaderItem(c)->text();
            QCOMPARE(headers, QStringList({"#", "x", "y", Text("高程z"), Text("编号")}));
            for (int row = 1; row <= 9; ++row) {
                const TStation& s = Form1->ExStations[row - 1];
                QCOMPARE(Text(kNumberColumn, row), std::to_string(row));
                QCOMPARE(Text(kXColumn, row), FloatToStr(s.Info.X));
                QCOMPARE(Text(kYColumn, row), FloatToStr(s.Info.Y));
                QCOMPARE(Text(kZColumn, row), FloatToStr(s.Info.Z));
                QCOMPARE(Text(kLabelColumn, row), s.Name);
            }
            QCOMPARE(Item(kLabelColumn, 9)->text(), Text("测点9"));
            QCOMPARE(Item(kXColumn, 9)->text(), QString("0.100000001490116"));
            QVERIFY(!(Item(kNumberColumn, 1)->flags() & Qt::ItemIsEditable));

            // The profile: one point per row, in ascending x, each with its label.
            QCOMPARE(ChangeXY->Series1->count(), 9);
            QCOMPARE(ChangeXY->Series1->at(0).x(), double(0.1f));
            QCOMPARE(ChangeXY->Series1Labels.front(), kGbkName);
            QCOMPARE(ChangeXY->PointLabels().front()->text(), Text("测点9"));
            for (int i = 1; i < 9; ++i)
                QVERIFY(ChangeXY->Series1->at(i - 1).x() <= ChangeXY->Series1->at(i).x());

            // The terrain shape names no point over another, even when short; the hidden names
            // show as tips.
            const int height = ChangeXY->Chart1->height();
            ChangeXY->Chart1->setFixedHeight(110);
            QTRY_VERIFY(ChangeXY->Chart1->chart()->plotArea().height() < 100);
            QTRY_VERIFY(ChangeXY->PointLabels().front()->isVisible());
            QList<QRectF> boxes;
            int hidden = -1;
            for (size_t i = 0; i < ChangeXY->PointLabels().size(); ++i) {
                QGraphicsSimpleTextItem* label = ChangeXY->PointLabels()[i];
                if (label->isVisible())
                    boxes << label->mapRectToParent(label->boundingRect());
                else if (hidden < 0)
                    hidden = static_cast<int>(i);
            }
            for (qsizetype i = 0; i < boxes.size(); ++i)
                for (qsizetype j = i + 1; j < boxes.size(); ++j)
                    QVERIFY(!boxes[i].intersects(boxes[j]));
            QVERIFY(hidden > 0);
            QChart* chart = ChangeXY->Chart1->chart();
            const QPoint mark = ChangeXY->Chart1->mapFromScene(
                chart->mapToScene(chart->mapToPosition(ChangeXY->Series1->at(hidden))));
            QHelpEvent help(QEvent::ToolTip, mark, ChangeXY->Chart1->viewport()->mapToGlobal(mark));
            QApplication::sendEvent(ChangeXY->Chart1->viewport(), &help);
            QTRY_VERIFY(QToolTip::isVisible());
            QCOMPARE(QToolTip::text(), ChangeXY->PointLabels()[hidden]->text());
            QToolTip::hideText();
            ChangeXY->Chart1->setMinimumHeight(0);
            ChangeXY->Chart1->setMaximumHeight(QWIDGETSIZE_MAX);
            ChangeXY->Chart1->resize(ChangeXY->Chart1->width(), height);

            Type(kXColumn, 1, "5");
            QTest::mouseClick(ChangeXY->BitBtn2, Qt::LeftButton);
            QVERIFY(!dialog->isVisible());
        });
        Form1->N19->trigger();
        QVERIFY(shown);
        QVERIFY(Positions(Form1->ExStations) == before);
    }

    void okWritesEveryRowBackByName()
    {
        const auto hyName = Form1->HyStations[0].Name;
        int hyRow = 0;
        for (size_t i = 0; i < Form1->ExStations.size(); ++i)
            if (Form1->ExStations[i].Name == hyName) hyRow = static_cast<int>(i) + 1;
        QVERIFY(hyRow > 0);
        const TStation untouched = Form1->ExStations[1];
        const auto before = Positions(Form1->ExStations);
        WhenShown([&](QDialog* dialog) {
            Type(kXColumn, 1, "123.5");
            Type(kZColumn, 1, "-7");
            Type(kYColumn, hyRow, "6001");
            Type(kLabelColumn, 6, "no such station");
            Type(kXColumn, 6, "1");
            // A Chinese label typed in the grid matches the station of those GBK bytes.
            Type(kLabelColumn, 7, Text("测点9"));
            Type(kXColumn, 7, "999");
            ClickOk(dialog);
            QVERIFY(!dialog->isVisible());
            QCOMPARE(dialog->result(), int(QDialog::Accepted));
        });
        Form1->N19->trigger();
        const TStation& first = Form1->ExStations[0];
        QCOMPARE(first.Info.X, 123.5f);
        QCOMPARE(first.Info.Z, -7.0f);
        QCOMPARE(Form1->ExStations[1].Info.X, untouched.Info.X);
        QCOMPARE(Form1->ExStations[1].Info.Y, untouched.Info.Y);
        QCOMPARE(Named(Form1->ExStations, hyName)->Info.Y, 6001.0f);
        QCOMPARE(Form1->HyStations[0].Info.Y, 6001.0f);
        // Rows 6 and 7 lost their labels, so their stations keep their coordinates.
        QCOMPARE(Form1->ExStations[5].Info.X, before[5].x);
        QCOMPARE(Form1->ExStations[6].Info.X, before[6].x);
        QCOMPARE(Named(Form1->ExStations, kGbkName)->Info.X, 999.0f);
        QCOMPARE(ShownPoints(Form2->Series2).at(0), QPointF(123.5, first.Info.Y));
    }

    void badCellKeepsTheDialogOpenAndChangesNothing()
    {
        ScriptedUserInterface ui;
        const auto before = Positions(Form1->ExStations);
        const auto hyBefore = Positions(Form1->HyStations);
        WhenShown([&](QDialog* dialog) {
            Type(kXColumn, 1, "500");
            Type(kZColumn, 3, "abc");
            ClickOk(dialog);
            QVERIFY(dialog->isVisible());
            QCOMPARE(ui.Shown.size(), size_t(1));
            QCOMPARE(ui.Shown[0].Kind, ScriptedUserInterface::MessageBox);
            QCOMPARE(ui.Shown[0].Caption, std::string("Murovane提示..."));
            QCOMPARE(ui.Shown[0].Text, std::string("测线 3 : 数据错误!"));
            QCOMPARE(ui.Shown[0].Flags, MB_OK | MB_ICONWARNING);
            QCOMPARE(ui.Shown[0].Owner, static_cast<QWidget*>(dialog));
            QCOMPARE(Item(kXColumn, 1)->text(), QString("500"));

            Type(kYColumn, 2, "");
            ClickOk(dialog);
            QCOMPARE(ui.Shown.back().Text, std::string("测线 2 : 数据错误!"));
            QVERIFY(dialog->isVisible());
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        Form1->N19->trigger();
        QVERIFY(Positions(Form1->ExStations) == before);
        QVERIFY(Positions(Form1->HyStations) == hyBefore);

        // Mended, the same edit goes through.
        WhenShown([&](QDialog* dialog) {
            Type(kXColumn, 1, "500");
            Type(kZColumn, 3, "abc");
            ClickOk(dialog);
            Type(kZColumn, 3, "12");
            ClickOk(dialog);
            QVERIFY(!dialog->isVisible());
        });
        Form1->N19->trigger();
        QCOMPARE(Form1->ExStations[0].Info.X, 500.0f);
        QCOMPARE(Form1->ExStations[2].Info.Z, 12.0f);
    }

    // A position file labels the stations by their numbers without the data files' ".0".
    void decimalLabelsOfALoadedFileNameTheStations()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("line.pos");
        QByteArray text = "SN   x      y      z\r\n";
        for (size_t i = 0; i < 8; ++i) {
            const std::string& name = Form1->ExStations[i].Name;
            QVERIFY(IsPlainDecimalNumber(name) && name.find('.') == std::string::npos);
            text += QByteArray::fromStdString(name + ".0 " + std::to_string(100 + i) + " " +
                                              std::to_string(200 + i) + " 5\r\n");
        }
        WriteFile(file, text);
        ScriptedUserInterface ui;
        ui.FileAnswers.push_back({{file.toStdString()}});
        WhenShown([&](QDialog* dialog) {
            QTest::mouseClick(ChangeXY->Button1, Qt::LeftButton);
            QCOMPARE(ChangeXY->StringGrid1->rowCount(), 8);
            ClickOk(dialog);
            QVERIFY(!dialog->isVisible());
        });
        Form1->N19->trigger();
        QVERIFY(ui.Shown.empty());
        for (size_t i = 0; i < 8; ++i) {
            QCOMPARE(Form1->ExStations[i].Info.X, float(100 + i));
            QCOMPARE(Form1->ExStations[i].Info.Y, float(200 + i));
        }
        const TStation& hy = Form1->HyStations[0];
        QCOMPARE(hy.Info.X, Named(Form1->ExStations, hy.Name)->Info.X);
    }

    // OK with rows that name no station would change nothing: the user is told so, and the
    // dialog stays open with the rows until a label is mended or the dialog is cancelled.
    void okNamingNoStationSaysSoAndStaysOpen()
    {
        ScriptedUserInterface ui;
        const auto before = Positions(Form1->ExStations);
        const auto hyBefore = Positions(Form1->HyStations);
        QTemporaryDir dir;
        const QString file = dir.filePath("other.pos");
        WriteFile(file, "SN   x      y      z\r\n14-1 10 20 30\r\n14-2 11 21 31\r\n");
        ui.FileAnswers.push_back({{file.toStdString()}});
        const auto mapBefore = ShownPoints(Form2->Series2);
        WhenShown([&](QDialog* dialog) {
            QTest::mouseClick(ChangeXY->Button1, Qt::LeftButton);
            ClickOk(dialog);
            QVERIFY(dialog->isVisible());
            QCOMPARE(ui.Shown.size(), size_t(1));
            QCOMPARE(ui.Shown[0].Kind, ScriptedUserInterface::Message);
            QCOMPARE(ui.Shown[0].Text, std::string(kNoStationNamedMessage));
            QCOMPARE(Text(kLabelColumn, 1), std::string("14-1"));
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        Form1->N19->trigger();
        QVERIFY(Positions(Form1->ExStations) == before);
        QVERIFY(Positions(Form1->HyStations) == hyBefore);
        QCOMPARE(ShownPoints(Form2->Series2), mapBefore);

        const std::string second = Form1->ExStations[1].Name;
        ui.FileAnswers.push_back({{file.toStdString()}});
        WhenShown([&](QDialog* dialog) {
            QTest::mouseClick(ChangeXY->Button1, Qt::LeftButton);
            ClickOk(dialog);
            QVERIFY(dialog->isVisible());
            Type(kLabelColumn, 2, QString::fromStdString(second));
            ClickOk(dialog);
            QVERIFY(!dialog->isVisible());
        });
        Form1->N19->trigger();
        QCOMPARE(ui.Shown.size(), size_t(2));
        QCOMPARE(Form1->ExStations[1].Info.X, 11.0f);
        QCOMPARE(Form1->ExStations[0].Info.X, before[0].x);
    }

    // Every coordinate and label reads in full after the fill, a load and an edit; the columns
    // share the room of a wide grid and keep their widths in a narrow one.
    void columnsFitTheirTexts()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("long.pos");
        WriteFile(file,
                  "SN   x      y      z\r\n"
                  "Line14-Station1000.0 497563.125 3180702.0625 -1439.25\r\n"
                  "1040 497542 3180733 476\r\n");
        ScriptedUserInterface ui;
        ui.FileAnswers.push_back({{file.toStdString()}});
        WhenShown([&](QDialog* dialog) {
            PositionTable* grid = ChangeXY->StringGrid1;
            QCOMPARE(ColumnMisfit(), QString());  // 0.100000001490116 among them
            QVERIFY(grid->columnWidth(kXColumn) > 48);
            Type(kLabelColumn, 3, Text("第十四测线一千零四十号点"));
            QCOMPARE(ColumnMisfit(), QString());

            QTest::mouseClick(ChangeXY->Button1, Qt::LeftButton);
            QCOMPARE(grid->rowCount(), 2);
            QCOMPARE(ColumnMisfit(), QString());

            dialog->resize(1500, 700);
            QTRY_COMPARE(ColumnsWidth(), grid->viewport()->width());
            QCOMPARE(ColumnMisfit(), QString());
            dialog->resize(300, 300);
            QTRY_VERIFY(ColumnsWidth() > grid->viewport()->width());
            QCOMPARE(ColumnMisfit(), QString());
            QVERIFY(grid->horizontalScrollBar()->maximum() > 0);
            dialog->reject();
        });
        Form1->N19->trigger();
    }

    // The survey L14 with the position file published with it: the file loads whole, every
    // coordinate reads in full, and OK gives every station its position.
    void peerSurveyTakesItsPublishedPositions()
    {
        const std::string stn = LoadPeerSurveyL14();
        if (stn.empty()) QSKIP("peer data absent");
        QCOMPARE(Form1->ExStations.size(), size_t(58));
        ScriptedUserInterface ui;
        ui.FileAnswers.push_back({{stn}});
        WhenShown([&](QDialog* dialog) {
            QCOMPARE(ColumnMisfit(), QString());
            QTest::mouseClick(ChangeXY->Button1, Qt::LeftButton);
            QCOMPARE(ChangeXY->StringGrid1->rowCount(), 58);
            QCOMPARE(Text(kLabelColumn, 1), std::string("1000"));
            QCOMPARE(ColumnMisfit(), QString());
            ClickOk(dialog);
            QVERIFY(!dialog->isVisible());
        });
        Form1->N19->trigger();
        QVERIFY(ui.Shown.empty());
        const TStation* first = Named(Form1->ExStations, "1000.0");
        QVERIFY(first);
        QCOMPARE(first->Info.X, 497563.0f);
        QCOMPARE(first->Info.Y, 3180702.0f);
        QCOMPARE(first->Info.Z, 439.0f);
        const TStation* last = Named(Form1->ExStations, "3280.0");
        QVERIFY(last);
        QCOMPARE(last->Info.X, 496256.0f);
        QCOMPARE(last->Info.Y, 3182576.0f);
    }

    void pasteWithCtrlVFromTheCurrentCell()
    {
        WhenShown([&](QDialog* dialog) {
            QApplication::clipboard()->setText(
                "1,2\r\n3\t4\n5 6\n7 8\n9 10\n11 12\n13 14\n15 16\n17 18");
            ChangeXY->SetCurrentCell(kYColumn, 2);
            QTest::keyClick(ChangeXY->StringGrid1, Qt::Key_V, Qt::ControlModifier);
            // 18 tokens over 9 rows: two columns, y and z, from row 2; the last row's pair drops.
            QCOMPARE(Text(kYColumn, 2), std::string("1"));
            QCOMPARE(Text(kZColumn, 2), std::string("2"));
            QCOMPARE(Text(kYColumn, 9), std::string("15"));
            QCOMPARE(Text(kZColumn, 9), std::string("16"));
            QVERIFY(Text(kLabelColumn, 2) != "2");

            // The pop-up item does the same; one token per row is one column.
            QApplication::clipboard()->setText("a b c");
            ChangeXY->SetCurrentCell(kLabelColumn, 8);
            ChangeXY->N18->trigger();
            QCOMPARE(Text(kLabelColumn, 8), std::string("a"));
            QCOMPARE(Text(kLabelColumn, 9), std::string("b"));
            dialog->reject();
        });
        Form1->N19->trigger();
    }

    void positionFileSaveAndLoad()
    {
        QTemporaryDir dir;
        const std::string chosen = dir.filePath("points.txt").toStdString();
        const std::string saved = dir.filePath("points.pos").toStdString();
        ScriptedUserInterface ui;
        ui.FileAnswers.push_back({{chosen}});
        ui.FileAnswers.push_back({{saved}});
        ui.FileAnswers.push_back({{dir.filePath("no/such/dir/x.pos").toStdString()}});
        PositionGrid shown;
        WhenShown([&](QDialog* dialog) {
            QTest::mouseClick(ChangeXY->Button2, Qt::LeftButton);
            QCOMPARE(ui.Dialogs.back().Filter, std::string("position files(*.pos)|*.pos"));
            QCOMPARE(ui.Dialogs.back().SaveExt, std::string(".pos"));  // asks about that file
            QVERIFY(QFile::exists(QString::fromStdString(saved)));
            QVERIFY(!QFile::exists(QString::fromStdString(chosen)));
            shown = ChangeXY->Grid();

            Type(kXColumn, 1, "1");
            Type(kLabelColumn, 2, "changed");
            ChangeXY->Marks.TransformStart = 2;
            QTest::mouseClick(ChangeXY->Button1, Qt::LeftButton);
            QCOMPARE(ui.Dialogs.back().Filter,
                     std::string("Location files(*.pos)|*.pos|All SN+x+y+z Format File(*.*)|*.*"));
            QVERIFY(ChangeXY->Grid().Rows == shown.Rows);
            QCOMPARE(ChangeXY->Marks.TransformStart, 2);
            QCOMPARE(Item(kLabelColumn, 9)->text(), Text("测点9"));

            QTest::mouseClick(ChangeXY->Button2, Qt::LeftButton);
            QCOMPARE(ui.Shown.back().Text, std::string("文件保存失败！"));
            QCOMPARE(ui.Shown.back().Caption, std::string("Murovane提示..."));
            QCOMPARE(ui.Shown.back().Flags, MB_OK | MB_ICONWARNING);
            dialog->reject();
        });
        Form1->N19->trigger();
        std::string bytes;
        QVERIFY(ReadFileBytes(saved, bytes));
        std::string expected = "SN   x      y      z\r\n";
        for (int row = 1; row <= shown.LastRow(); ++row)
            expected += shown.Cell(kLabelColumn, row) + " " + shown.Cell(kXColumn, row) + " " +
                        shown.Cell(kYColumn, row) + " " + shown.Cell(kZColumn, row) + " \r\n";
        QCOMPARE(bytes, expected);
        QVERIFY(bytes.find(kGbkName + " 0.100000001490116 ") != std::string::npos);
    }

    void transformOfTheMarkedRows()
    {
        WhenShown([&](QDialog* dialog) {
            for (int row : {2, 3, 4}) Type(kXColumn, row, QString::number(row - 1));
            ChangeXY->SetCurrentCell(kXColumn, 4);
            ChangeXY->N3->trigger();
            ChangeXY->SetCurrentCell(kXColumn, 2);
            ChangeXY->N2->trigger();
            QCOMPARE(ChangeXY->Marks.TransformStart, 2);
            QCOMPARE(ChangeXY->Marks.TransformEnd, 4);

            WhenShown([](QDialog* transform) {
                QCOMPARE(transform, TransForm);
                QCOMPARE(transform->windowTitle(), Text("参数变换"));
                QVERIFY(transform->parent() == nullptr);
                QCOMPARE(TransForm->EditA->text(), QString("1"));
                QCOMPARE(TransForm->EditB->text(), QString("0"));
                QVERIFY(TransForm->CheckBox1->isChecked());
                TransForm->EditA->setText("2");
                TransForm->EditB->setText("10");
                QTest::mouseClick(TransForm->BitBtn1, Qt::LeftButton);
            });
            ChangeXY->Transform1->trigger();
            QCOMPARE(Text(kXColumn, 2), std::string("12.0"));
            QCOMPARE(Text(kXColumn, 4), std::string("16.0"));

            // Cancel changes nothing; a fresh dialog shows the design values again.
            WhenShown([](QDialog*) {
                QCOMPARE(TransForm->EditA->text(), QString("1"));
                TransForm->EditA->setText("100");
                QTest::mouseClick(TransForm->BitBtn2, Qt::LeftButton);
            });
            ChangeXY->Transform1->trigger();
            QCOMPARE(Text(kXColumn, 3), std::string("14.0"));
            dialog->reject();
        });
        Form1->N19->trigger();
    }

    void ctrlWheelContinuesTheColumn()
    {
        WhenShown([&](QDialog* dialog) {
            Type(kXColumn, 1, "0");
            Type(kXColumn, 2, "50");
            ChangeXY->SetCurrentCell(kXColumn, 2);
            QWidget* viewport = ChangeXY->StringGrid1->viewport();
            auto wheel = [viewport](Qt::KeyboardModifiers keys) {
                QWheelEvent event(QPointF(10, 10), viewport->mapToGlobal(QPointF(10, 10)), QPoint(),
                                  QPoint(0, -120), Qt::NoButton, keys, Qt::NoScrollPhase, false);
                QApplication::sendEvent(viewport, &event);
            };
            for (int i = 0; i < 3; ++i) wheel(Qt::ControlModifier);
            QCOMPARE(Text(kXColumn, 3), std::string("100.0"));
            QCOMPARE(Text(kXColumn, 5), std::string("200.0"));
            QCOMPARE(ChangeXY->CurrentRow(), 5);
            const std::string sixth = Text(kXColumn, 6);
            wheel(Qt::NoModifier);
            QCOMPARE(Text(kXColumn, 6), sixth);
            QCOMPARE(ChangeXY->CurrentRow(), 6);
            dialog->reject();
        });
        Form1->N19->trigger();
    }

    // A touchpad's fine steps: a notch is 120 units summed over events; a turn the other way
    // starts the sum again.
    void fineWheelStepsCountWholeNotches()
    {
        WhenShown([&](QDialog* dialog) {
            Type(kXColumn, 1, "0");
            Type(kXColumn, 2, "50");
            ChangeXY->SetCurrentCell(kXColumn, 2);
            QWidget* viewport = ChangeXY->StringGrid1->viewport();
            auto wheel = [viewport](int delta, Qt::KeyboardModifiers keys) {
                QWheelEvent event(QPointF(10, 10), viewport->mapToGlobal(QPointF(10, 10)), QPoint(),
                                  QPoint(0, delta), Qt::NoButton, keys, Qt::NoScrollPhase, false);
                QApplication::sendEvent(viewport, &event);
            };
            const std::string fourth = Text(kXColumn, 4);
            for (int i = 0; i < 9; ++i) wheel(-10, Qt::ControlModifier);
            QCOMPARE(ChangeXY->CurrentRow(), 2);
            for (int i = 0; i < 3; ++i) wheel(-10, Qt::ControlModifier);
            QCOMPARE(Text(kXColumn, 3), std::string("100.0"));
            QCOMPARE(Text(kXColumn, 4), fourth);
            QCOMPARE(ChangeXY->CurrentRow(), 3);
            wheel(-100, Qt::NoModifier);
            wheel(60, Qt::NoModifier);
            wheel(60, Qt::NoModifier);
            QCOMPARE(ChangeXY->CurrentRow(), 2);
            wheel(-360, Qt::NoModifier);  // three notches in one event
            QCOMPARE(ChangeXY->CurrentRow(), 5);
            dialog->reject();
        });
        Form1->N19->trigger();
    }

    void shiftMarkingAndBlockCopy()
    {
        WhenShown([&](QDialog* dialog) {
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            PositionTable* grid = ChangeXY->StringGrid1;
            auto click = [grid](int row, Qt::KeyboardModifiers keys) {
                const QRect cell = grid->visualItemRect(grid->item(row - 1, kXColumn));
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, keys, cell.center());
            };
            for (int row : {1, 2, 3}) Type(kXColumn, row, QString::number((row - 1) * 50));
            click(3, Qt::ShiftModifier);
            QCOMPARE(ChangeXY->Marks.Dragging, 1);
            click(1, Qt::ShiftModifier);
            QCOMPARE(ChangeXY->Marks.TransformStart, 1);
            QCOMPARE(ChangeXY->Marks.TransformEnd, 3);
            click(5, Qt::NoModifier);
            QCOMPARE(ChangeXY->Marks.Dragging, 0);

            QTest::keyClick(grid, Qt::Key_R, Qt::ControlModifier);
            QCOMPARE(Text(kXColumn, 4), std::string("0"));
            QCOMPARE(Text(kXColumn, 6), std::string("100"));
            QTest::keyClick(grid, Qt::Key_R, Qt::ControlModifier);
            QCOMPARE(Text(kXColumn, 7), std::string("0"));
            QCOMPARE(Text(kXColumn, 9), std::string("100"));

            // Ctrl+A fills the current point from its neighbours.
            Type(kXColumn, 4, "200");
            Type(kYColumn, 2, "7");
            Type(kYColumn, 4, "7");
            ChangeXY->SetCurrentCell(kXColumn, 3);
            QTest::keyClick(grid, Qt::Key_A, Qt::ControlModifier);
            QCOMPARE(Text(kXColumn, 3), std::string("125.0"));
            QCOMPARE(Text(kYColumn, 3), std::string("7.0"));
            dialog->reject();
        });
        Form1->N19->trigger();
    }

    // Only a left press moves the current cell: the pop-up commands and a Shift marking with
    // another button work on the row chosen before.
    void otherButtonsLeaveTheCurrentCell()
    {
        WhenShown([&](QDialog* dialog) {
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            PositionTable* grid = ChangeXY->StringGrid1;
            const QPoint row5 = grid->visualItemRect(grid->item(4, kYColumn)).center();
            ChangeXY->SetCurrentCell(kXColumn, 2);
            QTest::mousePress(grid->viewport(), Qt::RightButton, Qt::ShiftModifier, row5);
            QCOMPARE(ChangeXY->CurrentRow(), 2);
            QCOMPARE(ChangeXY->CurrentColumn(), int(kXColumn));
            QCOMPARE(ChangeXY->Marks.Dragging, 1);
            QCOMPARE(ChangeXY->Marks.TransformStart, 2);
            QCOMPARE(ChangeXY->Marks.TransformEnd, 2);
            QTest::mouseRelease(grid->viewport(), Qt::RightButton, Qt::NoModifier, row5);
            QCOMPARE(ChangeXY->Marks.Dragging, 0);
            QTest::mouseClick(grid->viewport(), Qt::MiddleButton, Qt::NoModifier, row5);
            QCOMPARE(ChangeXY->CurrentRow(), 2);
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, row5);
            QCOMPARE(ChangeXY->CurrentRow(), 5);
            QCOMPARE(ChangeXY->CurrentColumn(), int(kYColumn));
            dialog->reject();
        });
        Form1->N19->trigger();
    }

    void renumberingAndSwaps()
    {
        WhenShown([&](QDialog* dialog) {
            const std::string label = Text(kLabelColumn, 1);
            WhenShown([](QDialog* rule) {
                QCOMPARE(rule, Form10);
                QCOMPARE(rule->windowTitle(), Text("点号变化规则"));
                QCOMPARE(Form10->Edit1->text(), QString("Edit1"));
                QVERIFY(Form10->Left->isChecked());
                Form10->Edit1->setText(Text("线3-"));
                Form10->Right->setChecked(true);
                QTest::mouseClick(Form10->BitBtn1, Qt::LeftButton);
            });
            ChangeXY->N9->trigger();
            QCOMPARE(Text(kLabelColumn, 1), label + Utf8ToGbk("线3-"));
            QCOMPARE(Item(kLabelColumn, 9)->text(), Text("测点9线3-"));

            const std::string x = Text(kXColumn, 2), y = Text(kYColumn, 2), z = Text(kZColumn, 2);
            ChangeXY->XY1->trigger();
            ChangeXY->YZ1->trigger();
            QCOMPARE(Text(kXColumn, 2), y);
            QCOMPARE(Text(kYColumn, 2), z);
            QCOMPARE(Text(kZColumn, 2), x);

            // Chainage: a bad y keeps the grid as it was.
            Type(kYColumn, 5, "?");
            const PositionGrid before = ChangeXY->Grid();
            QVERIFY_THROWS_EXCEPTION(std::exception, ChangeXY->N1Click());
            QVERIFY(ChangeXY->Grid().Rows == before.Rows);
            dialog->reject();
        });
        Form1->N19->trigger();
    }

    void helpAndDuplicates()
    {
        ScriptedUserInterface ui;
        WhenShown([&](QDialog* dialog) {
            QTest::mouseClick(ChangeXY->Button3, Qt::LeftButton);
            QCOMPARE(ui.Shown.back().Kind, ScriptedUserInterface::Message);
            QCOMPARE(ui.Shown.back().Text, PositionEditorHelpText());
            Type(kXColumn, 3, QString::fromStdString(Text(kXColumn, 2)));
            Type(kYColumn, 3, QString::fromStdString(Text(kYColumn, 2)));
            QVERIFY(ChangeXY->DuplicateRows()[3]);
            QVERIFY(!ChangeXY->DuplicateRows()[2]);
            dialog->reject();
        });
        Form1->N19->trigger();
    }

    void nothingWhileLoadingOrWithoutStations()
    {
        bool opened = false;
        QTimer::singleShot(0, [&] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                opened = true;
                dialog->reject();
            }
        });
        Form1->LoadRunning = true;
        Form1->N19->trigger();
        Form1->LoadRunning = false;
        Form1->ExStations.clear();
        Form1->N19->trigger();
        QVERIFY(!opened);
        QCoreApplication::processEvents();
    }
};

int main(int argc, char** argv)
{
    QuillaneApplication app(argc, argv);
    StationEditorTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_xy.moc"
