#include "core/image/FlashTool.h"

#include "TestPaths.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestFlashTool : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void parameterText_data();
    void parameterText();
    void startFailure();
};

void TestFlashTool::parameterText_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("text");
    QTest::newRow("COM3") << "D:\\Cfg\\PROJECTS\\Demo\\New_FX58104.sx" << 2
                          << "\"D:\\Cfg\\PROJECTS\\Demo\\New_FX58104.sx\" 2";
    QTest::newRow("blank in the path, COM8")
        << "D:\\Cfg\\PROJECTS\\My Demo\\New_FX58104.sx" << 7 << "\"D:\\Cfg\\PROJECTS\\My Demo\\New_FX58104.sx\" 7";
}

void TestFlashTool::parameterText()
{
    QFETCH(QString, file);
    QFETCH(int, port);
    QFETCH(QString, text);
    QCOMPARE(FlashTool::parameterText(file, port), text);
}

void TestFlashTool::startFailure()
{
    QTemporaryDir dir;
    const QString program = FlashTool::programPath(dir.path());
    QVERIFY(program.endsWith(QStringLiteral("Burnquill.exe")));
    QFile f(program);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("not a program");
    f.close();
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner);
    const QString error = FlashTool::startDetached(program, dir.filePath(QStringLiteral("x.sx")), 0);
    QVERIFY2(error.startsWith(QStringLiteral("Cannot start ")), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestFlashTool)
#include "tst_flashtool.moc"
