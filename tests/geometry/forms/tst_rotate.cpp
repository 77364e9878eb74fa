#include <QtTest>

#include <QLineEdit>
#include <QPushButton>
#include <QScatterSeries>

#include "app/Application.h"
#include "app/MainForm.h"
#include "chart/forms/MarkLayer.h"
#include "geometry/forms/Rotate.h"
#include "map/TxRx.h"
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

}  // namespace

class RotationTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { StartMainForm(); }

    void init()
    {
        Form1->ClearLoadedData();
        Form1->ExStations = {Station("1000", 1000, 0, 55), Station("1100", 0, 1100, 56)};
        Form1->HyStations = {Station("1000", 1000, 0, 57)};
        TxData tx;
        tx.Name = "T1";
        tx.Ax = 0, tx.Ay = 500, tx.Bx = 0, tx.By = -500, tx.Cx = 10, tx.Cy = 20;
        tx.Az = 3, tx.Length = 1000, tx.Azimuth = 0.5f;
        Form1->Transmitters = {tx};
        Form1->RotationAngle = 0;
        DrawLayoutMap(Form1);
    }

    void cleanupTestCase() { delete Form1; }

    void okRotatesStationsAndTransmitters()
    {
        WhenShown([](QDialog* dialog) {
            QCOMPARE(dialog, Form8);
            QCOMPARE(dialog->parent(), Form1);
            QCOMPARE(dialog->windowTitle(), QString::fromUtf8("坐标旋转"));
            QCOMPARE(Form8->UpDown1->minimum(), -360);
            QCOMPARE(Form8->UpDown1->maximum(), 360);
            QVERIFY(!Form8->UpDown1->wrapping());
            QCOMPARE(Form8->Edit1->text(), QString("0"));
            Form8->Edit1->selectAll();
            QTest::keyClicks(Form8->Edit1, "90");
            QTest::mouseClick(Form8->BitBtn1, Qt::LeftButton);
        });
        Form1->N28->trigger();
        QCOMPARE(Form1->RotationAngle, 90.0);
        const TStation& ex = Form1->ExStations[0];
        QVERIFY(std::abs(ex.Info.X - 0.0000268f) < 1e-6f);
        QCOMPARE(ex.Info.Y, -1000.0f);
        QCOMPARE(ex.Info.Z, 55.0f);
        QVERIFY(std::abs(Form1->ExStations[1].Info.X - 1100.0f) < 1e-3f);
        QCOMPARE(Form1->HyStations[0].Info.Y, -1000.0f);
        const TxData& tx = Form1->Transmitters[0];
        QVERIFY(std::abs(tx.Ax - 500.0f) < 1e-3f && std::abs(tx.Ay) < 1e-3f);
        QVERIFY(std::abs(tx.Bx + 500.0f) < 1e-3f);
        QVERIFY(std::abs(tx.Cx - 20.0f) < 1e-4f && std::abs(tx.Cy + 10.0f) < 1e-4f);
        QCOMPARE(tx.Az, 3.0f);
        QCOMPARE(tx.Length, 1000.0f);
        QCOMPARE(tx.Azimuth, 0.5f);
        QCOMPARE(ShownPoints(Form2->Series2).at(0), QPointF(ex.Info.X, ex.Info.Y));
    }

    void offersTheLastAngleAndCancelChangesNothing()
    {
        Form1->RotationAngle = -31.9;
        WhenShown([](QDialog*) {
            QCOMPARE(Form8->UpDown1->value(), -31);
            QTest::mouseClick(Form8->BitBtn2, Qt::LeftButton);
        });
        Form1->N28->trigger();
        QCOMPARE(Form1->RotationAngle, -31.9);
        QCOMPARE(Form1->ExStations[0].Info.X, 1000.0f);
        QCOMPARE(Form1->Transmitters[0].Ay, 500.0f);

        Form1->LoadRunning = true;
        Form1->N28->trigger();  // no dialog opens while a load runs
        Form1->LoadRunning = false;
        QCOMPARE(Form1->ExStations[0].Info.X, 1000.0f);
    }
};

int main(int argc, char** argv)
{
    QuillaneApplication app(argc, argv);
    RotationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_rotate.moc"
