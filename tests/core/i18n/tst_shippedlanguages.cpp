#include "core/base/Catalog.h"
#include "core/i18n/Language.h"

#include "TestPaths.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTest>
#include <QtEndian>

namespace {
constexpr QLatin1String kUnset("\x01");

QString shipped(const QString &name)
{
    return QDir::cleanPath(TestPaths::data(QStringLiteral("../../resources/LANGUAGE/") + name));
}

// A catalog whose every slot holds a mark, so that what a file sets shows.
Catalog markedCatalog()
{
    Catalog c;
    c.Load_Default_Texts();
    QString lines;
    for (int i = 0; i < Catalog::Size; ++i)
        lines += QStringLiteral("STR %1 = \u00B6%2\u00B6\n").arg(i).arg(kUnset);
    QString ver;
    c.applyLangText(lines, ver);
    return c;
}

bool blankAtEnds(const QString &s)
{
    return s.startsWith(u' ') || s.endsWith(u' ');
}
} // namespace

class TestShippedLanguages : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void englishIsTheDefaults();
    void translationIsComplete_data();
    void translationIsComplete();
    void everyTextTheCodeReadsExists_data();
    void everyTextTheCodeReadsExists();
    void flags_data();
    void flags();
};

void TestShippedLanguages::englishIsTheDefaults()
{
    Catalog defaults;
    defaults.Load_Default_Texts();
    Catalog c = markedCatalog();
    QString ver = QStringLiteral("NO VER.");
    QVERIFY(Language::Load_Lang_File(c, shipped(QStringLiteral("English.lng")), ver));
    QCOMPARE(ver, QStringLiteral("2.001"));
    for (int i = 0; i < Catalog::Size; ++i) {
        const QString expected = defaults.text(i) == QStringLiteral(" ") ? kUnset : defaults.text(i);
        QVERIFY2(c.text(i) == expected, qPrintable(QStringLiteral("slot %1: \"%2\"").arg(i).arg(c.text(i))));
    }
}

void TestShippedLanguages::translationIsComplete_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("sample");
    QTest::addColumn<QString>("sampleText");
    QTest::newRow("Italiano") << "Italiano.lng" << 317 << " a ";
}

// Every text the program has is translated, no other slot is touched, and the blanks that
// join texts together ("from " + name) survive.
void TestShippedLanguages::translationIsComplete()
{
    QFETCH(QString, file);
    QFETCH(int, sample);
    QFETCH(QString, sampleText);

    Catalog defaults;
    defaults.Load_Default_Texts();
    Catalog c = markedCatalog();
    QString ver;
    QVERIFY(Language::Load_Lang_File(c, shipped(file), ver));
    QVERIFY(!ver.isEmpty());
    int differing = 0;
    for (int i = 0; i < Catalog::Size; ++i) {
        const QString english = defaults.text(i);
        const QString translated = c.text(i);
        if (english == QStringLiteral(" ")) {
            QVERIFY2(translated == kUnset, qPrintable(QStringLiteral("slot %1 set").arg(i)));
            continue;
        }
        QVERIFY2(translated != kUnset && !translated.isEmpty(), qPrintable(QStringLiteral("slot %1 missing").arg(i)));
        QVERIFY2(blankAtEnds(translated) == blankAtEnds(english), qPrintable(QStringLiteral("slot %1 blanks").arg(i)));
        // The program fills %1, %2... in; a translation must keep every one of them.
        const auto markers = [](const QString &text) {
            static const QRegularExpression marker(QStringLiteral("%\\d"));
            QStringList found;
            for (const auto &m : marker.globalMatch(text))
                found << m.captured();
            found.sort();
            return found;
        };
        QVERIFY2(markers(translated) == markers(english), qPrintable(QStringLiteral("slot %1 markers").arg(i)));
        if (translated != english)
            ++differing;
    }
    QCOMPARE(c.text(sample), sampleText);
    QVERIFY(differing > 200);
}

void TestShippedLanguages::everyTextTheCodeReadsExists_data()
{
    // The free slots that the features added since took.
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::newRow("32-99") << 32 << 99;
    QTest::newRow("230-299") << 230 << 299;
    QTest::newRow("330-399") << 330 << 399;
    QTest::newRow("641-699") << 641 << 699;
    QTest::newRow("803-899") << 803 << 899;
}

// An index that the code reads but that has no English default shows a blank, and one
// without its Italian text shows English in an Italian window. The indices are taken from the
// catalog reads in the sources, by number or by name ("text(317)",
// "text(n == 1 ? TextId::ReplayFrame : TextId::ReplayFrames)").
void TestShippedLanguages::everyTextTheCodeReadsExists()
{
    QFETCH(int, first);
    QFETCH(int, last);
    const QString sources = QDir::cleanPath(TestPaths::data(QStringLiteral("../../src")));
    QVERIFY(QFileInfo(sources).isDir());
    Catalog defaults;
    defaults.Load_Default_Texts();
    Catalog italian = markedCatalog();
    QString ver;
    QVERIFY(Language::Load_Lang_File(italian, shipped(QStringLiteral("Italiano.lng")), ver));

    QHash<QString, int> names; // TextId name -> index
    {
        QFile header(QDir(sources).filePath(QStringLiteral("core/base/TextId.h")));
        QVERIFY(header.open(QIODevice::ReadOnly));
        static const QRegularExpression entry(QStringLiteral("^\\s*(\\w+) = (\\d+),"),
                                              QRegularExpression::MultilineOption);
        for (const auto &m : entry.globalMatch(QString::fromUtf8(header.readAll())))
            names.insert(m.captured(1), m.captured(2).toInt());
        QVERIFY(!names.isEmpty());
    }
    static const QRegularExpression name(QStringLiteral("\\bTextId::(\\w+)"));
    static const QRegularExpression read(QStringLiteral("\\btext\\(([^()]*(\\([^()]*\\)[^()]*)*)\\)"));
    static const QRegularExpression number(QStringLiteral("(?<![\\w.])(\\d{2,3})(?![\\w.])"));
    QMap<int, QString> used; // index -> where it is read
    QDirIterator files(sources, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString code = QString::fromUtf8(f.readAll());
        for (const auto &call : read.globalMatch(code)) {
            QList<int> indices;
            for (const auto &n : number.globalMatch(call.captured(1)))
                indices.append(n.captured(1).toInt());
            for (const auto &n : name.globalMatch(call.captured(1))) {
                QVERIFY2(names.contains(n.captured(1)), qPrintable(n.captured()));
                indices.append(names.value(n.captured(1)));
            }
            for (const int index : indices) {
                if (index >= first && index <= last)
                    used.insert(index, QDir(sources).relativeFilePath(path));
            }
        }
    }
    QVERIFY2(!used.isEmpty(), "no catalog read found in this range");
    for (auto it = used.cbegin(); it != used.cend(); ++it) {
        const QString where = QStringLiteral("slot %1 (read in %2)").arg(it.key()).arg(it.value());
        QVERIFY2(defaults.text(it.key()) != QStringLiteral(" "), qPrintable(where + QStringLiteral(" has no default")));
        QVERIFY2(italian.text(it.key()) != kUnset, qPrintable(where + QStringLiteral(" has no Italian text")));
    }
}

void TestShippedLanguages::flags_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("English") << "English.bmp";
    QTest::newRow("Italiano") << "Italiano.bmp";
    QTest::newRow("default") << "DefaultFlag.bmp";
}

void TestShippedLanguages::flags()
{
    QFETCH(QString, file);
    QFile f(shipped(file));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bmp = f.readAll();
    QVERIFY(bmp.startsWith("BM"));
    QVERIFY(bmp.size() >= 54);
    const auto le32 = [&bmp](int at) { return qFromLittleEndian<qint32>(bmp.constData() + at); };
    QCOMPARE(le32(2), bmp.size());
    QCOMPARE(le32(18), 48);
    QCOMPARE(qAbs(le32(22)), 48);
    QCOMPARE(qFromLittleEndian<quint16>(bmp.constData() + 28), quint16(24));
}

QTEST_GUILESS_MAIN(TestShippedLanguages)
#include "tst_shippedlanguages.moc"
