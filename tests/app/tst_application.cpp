#include <QtTest>

#include "app/Application.h"

class ApplicationTest : public QObject {
    Q_OBJECT
private slots:
    void title()
    {
        QCOMPARE(QApplication::applicationDisplayName(), QString::fromUtf8("Quillane 20130329"));
    }
};

int main(int argc, char** argv)
{
    QuillaneApplication app(argc, argv);
    ApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
