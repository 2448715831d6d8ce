#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "core/i18n/Language.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestCatalog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void defaults();
    void lineRules_data();
    void lineRules();
    void laterEntryWins();
    void versionLine();
    void encodings_data();
    void encodings();
    void loadLanguageFallsBackToEnglish();
    void eachLoadStartsFromDefaults();
    void unreadableFileKeepsDefaults();
};

namespace {
void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
} // namespace

void TestCatalog::defaults()
{
    Catalog c;
    c.Load_Default_Texts();
    QCOMPARE(c.Lang_Count(), 1000);
    QCOMPARE(c.Lang_Texts().size(), 1000);
    QCOMPARE(c.text(0), QStringLiteral("Begin"));
    QCOMPARE(c.text(9), QStringLiteral("None Configuration Opened "));
    QCOMPARE(c.text(317), QStringLiteral(" to "));
    QCOMPARE(c.text(542), QStringLiteral("Error in row "));
    QCOMPARE(c.text(960),
             QStringLiteral("Error Ethernet!! UDP Port must be between 0 and 65535 and different from 10000"));
    QCOMPARE(c.text(150), QStringLiteral(" "));
    QCOMPARE(c.text(999), QStringLiteral(" "));
}

void TestCatalog::lineRules_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("expected"); // the slot after the line

    QTest::newRow("comment cut") << "STR 5 = Hello /#/ greeting" << 5 << "Hello";
    QTest::newRow("above the catalog") << "STR 1000 = x" << 999 << " ";
    QTest::newRow("negative index") << "STR -1 = x" << 0 << "Begin";
    QTest::newRow("lower case str") << "str 5 = x" << 5 << "Step 5";
    QTest::newRow("digit before = dropped") << "STR12=x" << 1 << "x";
    QTest::newRow("empty index text") << "STR5=x" << 5 << "Step 5";
    QTest::newRow("pilcrows keep blanks") << QString::fromUtf16(u"STR 317 = \u00b6 to \u00b6") << 317 << " to ";
    QTest::newRow("lone pilcrow empties") << QString::fromUtf16(u"STR 7 = \u00b6") << 7 << "";
    QTest::newRow("two pilcrows empty") << QString::fromUtf16(u"STR 7 = \u00b6\u00b6") << 7 << "";
    QTest::newRow("only a comment") << "STR 7 = /#/ only a comment" << 7 << "Step 7";
    QTest::newRow("empty value") << "STR 7 =   " << 7 << "Step 7";
    QTest::newRow("no equals") << "STR 7 x" << 7 << "Step 7";
    QTest::newRow("hex index") << "STR $14 = Twenty" << 20 << "Twenty";
    QTest::newRow("blanks around line") << "   \tSTR 8 = eight  " << 8 << "eight";
    QTest::newRow("unreadable index") << "STR 1a = x" << 1 << "Step 1";
}

void TestCatalog::lineRules()
{
    QFETCH(QString, line);
    QFETCH(int, index);
    QFETCH(QString, expected);
    Catalog c;
    c.Load_Default_Texts();
    QString ver = QStringLiteral("NO VER.");
    c.applyLangText(line + QStringLiteral("\r\n"), ver);
    QCOMPARE(c.text(index), expected);
}

void TestCatalog::laterEntryWins()
{
    Catalog c;
    c.Load_Default_Texts();
    QString ver;
    c.applyLangText(QStringLiteral("STR 9 = first\nSTR 9 = second\rSTR 10 = ten"), ver);
    QCOMPARE(c.text(9), QStringLiteral("second"));
    QCOMPARE(c.text(10), QStringLiteral("ten"));
}

void TestCatalog::versionLine()
{
    Catalog c;
    c.Load_Default_Texts();
    QString ver = QStringLiteral("NO VER.");
    c.applyLangText(QStringLiteral("free text\n//version  1.2 \n//VERSION 9.9\n"), ver);
    QCOMPARE(ver, QStringLiteral("1.2"));

    QString none = QStringLiteral("NO VER.");
    c.applyLangText(QStringLiteral("STR 1 = //VERSION 3\n"), none);
    QCOMPARE(none, QStringLiteral("NO VER."));
}

void TestCatalog::encodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QString text = QString::fromUtf16(u"STR 20 = Kommunikation \u20ac \u00fc\u00b6 \u00b6\n");
    QTest::newRow("utf-8 bom") << QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    QTest::newRow("utf-8 no bom") << text.toUtf8();
    {
        QByteArray le("\xFF\xFE", 2);
        for (QChar ch : text) {
            le.append(char(ch.unicode() & 0xFF));
            le.append(char(ch.unicode() >> 8));
        }
        QTest::newRow("utf-16 le") << le;
    }
    {
        QByteArray be("\xFE\xFF", 2);
        for (QChar ch : text) {
            be.append(char(ch.unicode() >> 8));
            be.append(char(ch.unicode() & 0xFF));
        }
        QTest::newRow("utf-16 be") << be;
    }
    // The ANSI code page of Western European Windows: euro sign 0x80 (a control character in
    // Latin-1), u-umlaut 0xFC, pilcrow 0xB6.
    QTest::newRow("windows-1252") << QByteArray("STR 20 = Kommunikation \x80 \xFC\xB6 \xB6\n");
}

void TestCatalog::encodings()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.lng"));
    writeFile(path, bytes);
    Catalog c;
    c.Load_Default_Texts();
    QString ver;
    QVERIFY(Language::Load_Lang_File(c, path, ver));
    QCOMPARE(c.text(20), QString::fromUtf16(u"Kommunikation \u20ac \u00fc"));
}

void TestCatalog::loadLanguageFallsBackToEnglish()
{
    QTemporaryDir dir;
    AppState state;
    state.Dir_Language = dir.path();
    state.Language_Sel = QStringLiteral("Klingon");
    writeFile(dir.filePath(QStringLiteral("English.lng")), "//VERSION 1.0\nSTR 0 = Start\n");
    Catalog c;
    Language::Load_Language(c, state);
    QCOMPARE(state.Language_Sel, QStringLiteral("English"));
    QCOMPARE(state.Language_Ver, QStringLiteral("1.0"));
    QCOMPARE(c.text(0), QStringLiteral("Start"));

    QFile::remove(dir.filePath(QStringLiteral("English.lng")));
    state.Language_Sel = QStringLiteral("Klingon");
    Language::Load_Language(c, state);
    QCOMPARE(state.Language_Sel, QStringLiteral("English"));
    QCOMPARE(state.Language_Ver, QStringLiteral("NO VER."));
    QCOMPARE(c.text(0), QStringLiteral("Begin"));
}

void TestCatalog::eachLoadStartsFromDefaults()
{
    QTemporaryDir dir;
    AppState state;
    state.Dir_Language = dir.path();
    writeFile(dir.filePath(QStringLiteral("A.lng")), "STR 20 = Kommunikation\n//VERSION 2\n");
    writeFile(dir.filePath(QStringLiteral("B.lng")), "STR 21 = Filtre\n");
    Catalog c;
    state.Language_Sel = QStringLiteral("A");
    Language::Load_Language(c, state);
    QCOMPARE(c.text(20), QStringLiteral("Kommunikation"));
    QCOMPARE(state.Language_Ver, QStringLiteral("2"));
    state.Language_Sel = QStringLiteral("B");
    Language::Load_Language(c, state);
    QCOMPARE(c.text(20), QStringLiteral("Set Communication"));
    QCOMPARE(c.text(21), QStringLiteral("Filtre"));
    QCOMPARE(state.Language_Ver, QStringLiteral("NO VER."));
}

void TestCatalog::unreadableFileKeepsDefaults()
{
    // A file too large to be a language file is not read at all.
    QTemporaryDir dir;
    AppState state;
    state.Dir_Language = dir.path();
    state.Language_Sel = QStringLiteral("Huge");
    const QString path = dir.filePath(QStringLiteral("Huge.lng"));
    writeFile(path, "STR 0 = Nope\n//VERSION 5\n");
    QFile f(path);
    QVERIFY(f.resize(Catalog::MaxFileBytes + 1));
    Catalog c;
    Language::Load_Language(c, state);
    QCOMPARE(c.text(0), QStringLiteral("Begin"));
    QCOMPARE(c.Lang_Texts().size(), 1000);
    QCOMPARE(state.Language_Ver, QStringLiteral("NO VER."));
    QCOMPARE(state.Language_Sel, QStringLiteral("Huge"));
}

QTEST_GUILESS_MAIN(TestCatalog)
#include "tst_catalog.moc"
