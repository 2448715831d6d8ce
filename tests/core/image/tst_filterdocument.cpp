#include "core/ImageDocs.h"
#include "core/image/FilterDocument.h"

#include <QDomDocument>
#include <QTest>

using ImageDocs::Row;

namespace {
QString describe(const FilterDocument &d)
{
    QString s = QStringLiteral("root %1 first %2\n").arg(d.rootName).arg(d.rootIsFirst);
    for (int k = 0; k < 2; ++k) {
        s += QStringLiteral("section %1 present %2\n").arg(k).arg(d.sections[k].present);
        for (const FilterDocument::Row &r : d.sections[k].rows)
            s += r.isElement ? QStringLiteral("  [%1|%2|%3|%4]\n").arg(r.orig, r.type, r.mod, r.modType)
                             : QStringLiteral("  (no element)\n");
    }
    return s;
}
} // namespace

// The streaming reader must see exactly what the DOM sees, or leave the file to the DOM.
class TestFilterDocument : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void sameAsTheDom_data();
    void sameAsTheDom();
    void parseErrorNamesTheFile();
};

void TestFilterDocument::sameAsTheDom_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("streamed");

    const QByteArray written = ImageDocs::cobId({Row("0x181", "0x201"), Row("5", "", ImageDocs::Ext)}, {Row("")});
    QTest::newRow("as written") << written << true;
    QTest::newRow("declaration") << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + written << true;
    QTest::newRow("indented") << QByteArray(
        "<CanCanCobID>\n  <Can0_to_Can1>\n    <row Orig_CobID=\"1\"/>\n  </Can0_to_Can1>\n"
        "  <Can1_to_Can0>\n  </Can1_to_Can0>\n</CanCanCobID>\n")
                              << true;
    QTest::newRow("comment before the root") << "<!--made elsewhere-->" + written << true;
    QTest::newRow("other root") << QByteArray("<Filters><Can1_to_Can0><row Orig_CobID=\"3\"/></Can1_to_Can0></Filters>")
                                << true;
    QTest::newRow("sections twice, other children")
        << QByteArray("<CanCanCobID><x><Can0_to_Can1><row Orig_CobID=\"9\"/></Can0_to_Can1></x>"
                      "<Can0_to_Can1><row Orig_CobID=\"1\"><row Orig_CobID=\"2\"/></row><other/></Can0_to_Can1>"
                      "<Can0_to_Can1><row Orig_CobID=\"4\"/></Can0_to_Can1><Can1_to_Can0/></CanCanCobID>")
        << true;
    QTest::newRow("attribute escapes and blanks")
        << QByteArray("<CanCanCobID><Can0_to_Can1><row Orig_CobID=\" &#x35;\" Mod_CobID=\"&amp;1\tx\n\" "
                      "Type_CobID=\"2.0B&#32;29bits\"/></Can0_to_Can1><Can1_to_Can0/></CanCanCobID>")
        << true;
    QTest::newRow("comment among the rows")
        << QByteArray("<CanCanCobID><Can0_to_Can1><row Orig_CobID=\"1\"/><!--x--><row Orig_CobID=\"2\"/></Can0_to_Can1>"
                      "<Can1_to_Can0/></CanCanCobID>")
        << false;
    QTest::newRow("text among the rows") << QByteArray(
        "<CanCanCobID><Can0_to_Can1>a<row Orig_CobID=\"1\"/> b &amp; c </Can0_to_Can1><Can1_to_Can0/></CanCanCobID>")
                                         << false;
    QTest::newRow("CDATA among the rows") << QByteArray(
        "<CanCanCobID><Can0_to_Can1><![CDATA[ ]]><row Orig_CobID=\"1\"/></Can0_to_Can1><Can1_to_Can0/></CanCanCobID>")
                                          << false;
    QTest::newRow("processing instruction") << QByteArray(
        "<CanCanCobID><Can0_to_Can1><?pi x?><row Orig_CobID=\"1\"/></Can0_to_Can1><Can1_to_Can0/></CanCanCobID>")
                                            << false;
    QTest::newRow("DTD with an entity") << QByteArray(
        "<!DOCTYPE CanCanCobID [<!ENTITY id \"7\">]><CanCanCobID><Can0_to_Can1><row Orig_CobID=\"&id;\"/>"
        "</Can0_to_Can1><Can1_to_Can0/></CanCanCobID>")
                                        << false;
}

void TestFilterDocument::sameAsTheDom()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, streamed);
    QDomDocument dom;
    QVERIFY(dom.setContent(bytes));
    const QString expected = describe(FilterDocument::readDom(dom));
    const std::optional<FilterDocument> fast = FilterDocument::readStreaming(bytes);
    QCOMPARE(fast.has_value(), streamed);
    if (fast)
        QCOMPARE(describe(*fast), expected);
    const FilterDocument read = FilterDocument::fromBytes(bytes, QStringLiteral("f.xml"));
    QVERIFY(read.exists && read.error.isEmpty());
    QCOMPARE(describe(read), expected);
}

void TestFilterDocument::parseErrorNamesTheFile()
{
    const FilterDocument d =
        FilterDocument::fromBytes("<CanCanCobID><Can0_to_Can1></CanCanCobID>", QStringLiteral("f.xml"));
    QVERIFY(d.exists);
    QVERIFY2(d.error.startsWith(QLatin1String("f.xml is not a valid XML document (line 1")), qPrintable(d.error));
}

QTEST_GUILESS_MAIN(TestFilterDocument)
#include "tst_filterdocument.moc"
