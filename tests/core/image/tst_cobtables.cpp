#include "core/ImageDocs.h"
#include "core/image/FilterDocument.h"
#include "core/image/ImageBuilder.h"
#include "core/image/XmlSource.h"

#include <QTest>
#include <QtEndian>

using ImageDocs::Ext;
using ImageDocs::Row;
using ImageDocs::Std;

namespace {
XmlSource positive()
{
    return XmlSource::fromBytes(ImageDocs::parGen({{"Positive", "1"}}), QStringLiteral("ParGen.xml"));
}

XmlSource negative()
{
    return XmlSource::fromBytes(ImageDocs::parGen(), QStringLiteral("ParGen.xml"));
}

FilterDocument cob(const QByteArray &bytes)
{
    return FilterDocument::fromBytes(bytes, QStringLiteral("CanCanCobID.xml"));
}

quint32 word(const QByteArray &image, int offset)
{
    return qFromLittleEndian<quint32>(image.constData() + offset);
}

// Orig words of the first n entries of a direction's table.
QList<quint32> origs(const QByteArray &image, int direction, int n)
{
    QList<quint32> out;
    for (int i = 0; i < n; ++i)
        out.append(word(image, direction * 16384 + 8 * i));
    return out;
}

QList<quint32> mods(const QByteArray &image, int direction, int n)
{
    QList<quint32> out;
    for (int i = 0; i < n; ++i)
        out.append(word(image, direction * 16384 + 8 * i + 4));
    return out;
}

QByteArray build(const XmlSource &parGen, const FilterDocument &cobId)
{
    ImageBuilder builder;
    const QString error = builder.Build_Image(parGen, cobId);
    if (!error.isEmpty())
        qWarning() << error;
    return builder.image();
}
} // namespace

class TestCobTables : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void standardRowsComeFirstInOrder();
    void entryBytes();
    void replacementsOnlyWithPositive();
    void equalIdentifiersKeepDocumentOrder();
    void hexAndDecimalGiveTheSameWord();
    void unreadableIdentifierGivesZero();
    void emptySectionsGiveZeroTables();
    void descendingTableIsSorted();
    void rowsBeyondTheTableAreLeftOut();
    void nodeThatIsNoElementTakesThePortType();
    void missingSectionStopsTheBuild_data();
    void missingSectionStopsTheBuild();
};

void TestCobTables::standardRowsComeFirstInOrder()
{
    const QByteArray image = build(negative(),
                                   cob(ImageDocs::cobId({Row("256", "", Std), Row("128", "", Std), Row("4096", "", Ext),
                                                         Row("16", "", Ext)})));
    QCOMPARE(origs(image, 0, 5), (QList<quint32>{0x80, 0x100, 0x80000010, 0x80001000, 0}));
    QCOMPARE(word(image, 0x8000 + 0x178), 4u);
    QCOMPARE(word(image, 0x8000 + 0x180), 0u);
}

void TestCobTables::entryBytes()
{
    const QByteArray image = build(positive(), cob(ImageDocs::cobId({}, {Row("0x123", "0x456", Ext, Std)})));
    QCOMPARE(image.mid(16384, 8), QByteArray::fromHex("23 01 00 80 56 04 00 00"));
    QCOMPARE(word(image, 0x8000 + 0x180), 1u);
}

void TestCobTables::replacementsOnlyWithPositive()
{
    const QByteArray doc = ImageDocs::cobId({Row("1", "0x10", Std, Std), Row("2", "", Std, Std),
                                             Row("3", "0x1234567", Std, Ext), Row("4", "zz", Std, Std)});
    QCOMPARE(mods(build(negative(), cob(doc)), 0, 4), (QList<quint32>{0, 0, 0, 0}));
    // An empty replacement is 0 here, not the original identifier.
    QCOMPARE(mods(build(positive(), cob(doc)), 0, 4), (QList<quint32>{0x10, 0, 0x81234567, 0}));
}

void TestCobTables::equalIdentifiersKeepDocumentOrder()
{
    const QByteArray image =
        build(positive(),
              cob(ImageDocs::cobId({Row("9", "1"), Row("5", "2"), Row("9", "3"), Row("5", "4"), Row("0x9", "5")})));
    QCOMPARE(origs(image, 0, 5), (QList<quint32>{5, 5, 9, 9, 9}));
    QCOMPARE(mods(image, 0, 5), (QList<quint32>{2, 4, 1, 3, 5}));
}

void TestCobTables::hexAndDecimalGiveTheSameWord()
{
    const QByteArray image = build(negative(), cob(ImageDocs::cobId({Row("0x7FF"), Row("2047"), Row("$7ff")})));
    QCOMPARE(origs(image, 0, 3), (QList<quint32>{0x7FF, 0x7FF, 0x7FF}));
}

void TestCobTables::unreadableIdentifierGivesZero()
{
    const QByteArray image = build(negative(), cob(ImageDocs::cobId({Row("5"), Row("5 "), Row("abc", "", Ext)})));
    QCOMPARE(origs(image, 0, 3), (QList<quint32>{0, 5, 0x80000000}));
    QCOMPARE(word(image, 0x8000 + 0x178), 3u);
}

void TestCobTables::emptySectionsGiveZeroTables()
{
    ImageBuilder builder;
    QVERIFY(builder.Build_Image(positive(), cob(ImageDocs::cobId({}, {}))).isEmpty());
    const QByteArray image = builder.image();
    QCOMPARE(image.size(), 34816);
    QCOMPARE(image.left(32768), QByteArray(32768, '\0'));
    QCOMPARE(image.mid(32768), builder.parBlock().bytes());
}

void TestCobTables::descendingTableIsSorted()
{
    const QByteArray image = build(negative(),
                                   cob(ImageDocs::cobId(ImageDocs::descendingRows(2048, 2047),
                                                        ImageDocs::descendingRows(2048, 0x1FFFFFFF, Ext))));
    for (int i = 0; i < 2048; ++i) {
        QCOMPARE(word(image, 8 * i), quint32(i));
        QCOMPARE(word(image, 16384 + 8 * i), quint32(0x80000000u | (0x1FFFFFFFu - 2047 + i)));
    }
}

void TestCobTables::rowsBeyondTheTableAreLeftOut()
{
    // 2100 rows 2099 down to 0: only the first 2048 (2099 down to 52) enter the table.
    const QByteArray image = build(negative(), cob(ImageDocs::cobId(ImageDocs::descendingRows(2100, 2099))));
    QCOMPARE(image.size(), 34816);
    QCOMPARE(word(image, 0x8000 + 0x178), 2048u);
    QCOMPARE(word(image, 0), 52u);
    QCOMPARE(word(image, 8 * 2047), 2099u);
    QCOMPARE(image.mid(16384, 16384), QByteArray(16384, '\0'));
}

void TestCobTables::nodeThatIsNoElementTakesThePortType()
{
    const QByteArray doc = "<CanCanCobID><Can0_to_Can1><row Orig_CobID=\"7\"/><!--note--></Can0_to_Can1>"
                           "<Can1_to_Can0><!--note--><row Orig_CobID=\"7\"/></Can1_to_Can0></CanCanCobID>";
    const XmlSource types =
        XmlSource::fromBytes(ImageDocs::parGen({{"Type", "1"}, {"TypeC1", "0"}}), QStringLiteral("p"));
    const QByteArray image = build(types, cob(doc));
    QCOMPARE(word(image, 0x8000 + 0x178), 2u);
    QCOMPARE(word(image, 0x8000 + 0x180), 2u);
    // A row without a type attribute stays 11-bit; a node that cannot carry one follows its port.
    QCOMPARE(origs(image, 0, 2), (QList<quint32>{7, 0x80000000}));
    QCOMPARE(origs(image, 1, 2), (QList<quint32>{0, 7}));
}

void TestCobTables::missingSectionStopsTheBuild_data()
{
    QTest::addColumn<QByteArray>("doc");
    QTest::addColumn<QString>("section");
    QTest::newRow("no Can1_to_Can0") << QByteArray("<CanCanCobID><Can0_to_Can1/></CanCanCobID>")
                                     << QStringLiteral("Can1_to_Can0");
    QTest::newRow("no Can0_to_Can1") << QByteArray("<CanCanCobID><Can1_to_Can0/></CanCanCobID>")
                                     << QStringLiteral("Can0_to_Can1");
    QTest::newRow("comment before the root")
        << "<!--x-->" + ImageDocs::cobId({Row("1")}) << QStringLiteral("must begin with its root element");
}

void TestCobTables::missingSectionStopsTheBuild()
{
    QFETCH(QByteArray, doc);
    QFETCH(QString, section);
    ImageBuilder builder;
    const QString error = builder.Build_Image(negative(), cob(doc));
    QVERIFY2(error.contains(section) && error.contains(QLatin1String("CanCanCobID.xml")), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestCobTables)
#include "tst_cobtables.moc"
