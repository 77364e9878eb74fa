#include <QtTest>

#include "app/Application.h"

class ApplicationTest : public QObject {
    Q_OBJECT
private slots:
    void title()
    {
        QCOMPARE(QApplication::applicationName(), QString::fromUtf8("Quillane 20130329"));
        // No display name: Qt would append it to every window's caption.
        QVERIFY(QGuiApplication::applicationDisplayName() == QGuiApplication::applicationName());
    }
};

int main(int argc, char** argv)
{
    QuillaneApplication app(argc, argv);
    ApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
