#include "core/i18n/LanguageList.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
void touch(const QString &path)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("STR 0 = x\r\n");
}
} // namespace

class TestLanguageList : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void pages_data();
    void pages();
    void onlyWritableRegularLanguageFiles();
    void orderIgnoresLetterCase_data();
    void orderIgnoresLetterCase();
    void namesOfSecondPage();
    void flagPicture();
    void missingFolder();
};

void TestLanguageList::pages_data()
{
    QTest::addColumn<int>("languages");
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("lastPageSlots");

    QTest::newRow("none") << 0 << 0 << 0;
    QTest::newRow("one") << 1 << 1 << 1;
    QTest::newRow("six") << 6 << 1 << 6;
    QTest::newRow("seven") << 7 << 2 << 1;
    QTest::newRow("twelve") << 12 << 2 << 6;
    QTest::newRow("thirteen") << 13 << 3 << 1;
}

void TestLanguageList::pages()
{
    QFETCH(int, languages);
    QFETCH(int, pages);
    QFETCH(int, lastPageSlots);
    QCOMPARE(LanguageList::pageCount(languages), pages);
    if (pages > 1)
        QCOMPARE(LanguageList::slotsOnPage(languages, 1), 6);
    QCOMPARE(LanguageList::slotsOnPage(languages, qMax(1, pages)), lastPageSlots);
    QCOMPARE(LanguageList::slotsOnPage(languages, pages + 1), 0);
}

void TestLanguageList::onlyWritableRegularLanguageFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    touch(dir.filePath(QStringLiteral("English.lng")));
    touch(dir.filePath(QStringLiteral(".Hidden.lng")));
    touch(dir.filePath(QStringLiteral("Locked.lng")));
    QVERIFY(QFile::setPermissions(dir.filePath(QStringLiteral("Locked.lng")),
                                  QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    touch(dir.filePath(QStringLiteral("Notes.txt")));
    touch(dir.filePath(QStringLiteral("English.lng.bak")));
    touch(dir.filePath(QStringLiteral(".lng")));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Folder.lng")));
#ifndef Q_OS_WIN
    // Windows makes a shortcut file, which is a link only when it is named *.lnk.
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("English.lng")), dir.filePath(QStringLiteral("Link.lng"))));
#endif

    // Runs as root here too: write permission, not access(), decides.
    QCOMPARE(LanguageList::Create_Lang_List(dir.path()),
             QStringList({QStringLiteral(".Hidden.lng"), QStringLiteral("English.lng")}));
}

void TestLanguageList::orderIgnoresLetterCase_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("C") << QLocale::c();
    QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany);
}

void TestLanguageList::orderIgnoresLetterCase()
{
    QFETCH(QLocale, locale);
    QTemporaryDir dir;
    for (const char *name : {"English.lng", "deutsch.lng", "Zulu.lng", "italiano.lng", "Afrikaans.lng"})
        touch(dir.filePath(QString::fromLatin1(name)));
    QCOMPARE(LanguageList::Create_Lang_List(dir.path(), locale),
             QStringList({QStringLiteral("Afrikaans.lng"), QStringLiteral("deutsch.lng"), QStringLiteral("English.lng"),
                          QStringLiteral("italiano.lng"), QStringLiteral("Zulu.lng")}));
}

void TestLanguageList::namesOfSecondPage()
{
    QStringList files;
    for (int i = 1; i <= 7; ++i)
        files.append(QStringLiteral("L%1.lng").arg(i));
    QCOMPARE(LanguageList::nameAt(files, 1, 1), QStringLiteral("L1"));
    QCOMPARE(LanguageList::nameAt(files, 1, 6), QStringLiteral("L6"));
    QCOMPARE(LanguageList::nameAt(files, 2, 1), QStringLiteral("L7"));
    QCOMPARE(LanguageList::nameAt(files, 2, 2), QString());
    QCOMPARE(LanguageList::nameAt(files, 0, 1), QString());
}

void TestLanguageList::flagPicture()
{
    QTemporaryDir dir;
    const QString own = dir.filePath(QStringLiteral("Italiano.bmp"));
    const QString fallback = dir.filePath(QStringLiteral("DefaultFlag.bmp"));

    QCOMPARE(LanguageList::flagPath(dir.path(), QStringLiteral("Italiano")), QString());
    touch(fallback);
    QCOMPARE(QDir::cleanPath(LanguageList::flagPath(dir.path(), QStringLiteral("Italiano"))), fallback);
    touch(own);
    QCOMPARE(QDir::cleanPath(LanguageList::flagPath(dir.path(), QStringLiteral("Italiano"))), own);
}

void TestLanguageList::missingFolder()
{
    QTemporaryDir dir;
    QVERIFY(LanguageList::Create_Lang_List(dir.filePath(QStringLiteral("absent"))).isEmpty());
    QVERIFY(LanguageList::Create_Lang_List(QString()).isEmpty());
}

QTEST_GUILESS_MAIN(TestLanguageList)
#include "tst_languagelist.moc"
