#include "core/app/AppState.h"
#include "core/config/CobIdDocument.h"
#include "core/config/ParGen.h"
#include "core/device/DevicePrediction.h"
#include "core/device/FilterImage.h"
#include "core/image/ProjectBuild.h"
#include "core/image/XmlSource.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString &A = CobIdTable::type11Bit();
const QString &B = CobIdTable::type29Bit();

void setRow(CobIdTable &t, int r, const QStringList &cells)
{
    for (int c = 0; c < cells.size(); ++c)
        t.setCell(r, c, cells.at(c));
}

bool sameEntries(const FilterImage &a, const FilterImage &b)
{
    for (const Direction from : Direction::all()) {
        if (a.entries(from).size() != b.entries(from).size())
            return false;
        for (size_t k = 0; k < a.entries(from).size(); ++k) {
            if (a.entries(from)[k].Orig != b.entries(from)[k].Orig || a.entries(from)[k].Mod != b.entries(from)[k].Mod)
                return false;
        }
    }
    return a.positive() == b.positive();
}

} // namespace

class TestTablePreview : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void answersAsTheBuiltProjectWould_data();
    void answersAsTheBuiltProjectWould();
    void unsavableTablesAreNotBuilt();
};

void TestTablePreview::answersAsTheBuiltProjectWould_data()
{
    QTest::addColumn<int>("deviceType");
    QTest::addColumn<bool>("positive");
    QTest::newRow("Ethernet, positive") << 1 << true;
    QTest::newRow("Ethernet, negative") << 1 << false;
    QTest::newRow("serial, port types") << 0 << true;
}

void TestTablePreview::answersAsTheBuiltProjectWould()
{
    QFETCH(int, deviceType);
    QFETCH(bool, positive);
    QTemporaryDir dir;
    AppState state;
    state.Dir_Project = dir.path();
    Set_Files(state);

    ParGenValues values;
    values.deviceType = deviceType;
    values.positive = positive;
    values.type = 1; // CAN 0 29-bit
    QCOMPARE(ParGen::save(values, state.File_ParGen), QString());
    ParGenFilterValues filter;
    QCOMPARE(ParGen::readForFilterWindow(state.File_ParGen, filter), QString());

    CobIdDocument doc(filter);
    setRow(doc.table(0), 0, {u"0x18FEF100"_qs, B, u"0x181"_qs, A, u"x"_qs});
    setRow(doc.table(0), 1, {u"300"_qs, B, u""_qs, B, u"empty modify"_qs});
    setRow(doc.table(0), 2, {u"0x100"_qs, B, u"0x1FFFFFFF"_qs, B, QString()});
    setRow(doc.table(1), 0, {u"0x181"_qs, A, u"0x18FEF100"_qs, B, QString()});
    setRow(doc.table(1), 1, {u" 5"_qs, A, u"$7f"_qs, A, u"leading blank"_qs});

    FilterImage preview;
    QCOMPARE(DevicePrediction::tablesImage(XmlSource::load(state.File_ParGen), doc, preview), QString());
    QCOMPARE(preview.positive(), positive);

    // What Step 4 writes after OK saved these tables.
    QCOMPARE(doc.save(state.File_CobID), QString());
    QCOMPARE(ProjectBuild::buildAndWrite(state), QString());
    FilterImage built;
    QCOMPARE(built.load(state.binDir()), QString());
    QVERIFY(sameEntries(preview, built));
    QCOMPARE(preview.route(Direction::Can0ToCan1, 0x18FEF100, true).passes, positive);
}

void TestTablePreview::unsavableTablesAreNotBuilt()
{
    CobIdDocument doc;
    setRow(doc.table(1), 0, {u"1"_qs, A, u"1"_qs, A, u"bell\a"_qs});
    FilterImage image;
    QVERIFY(DevicePrediction::tablesImage(XmlSource(), doc, image).contains(u"control character"_qs));
    QVERIFY(image.entries(Direction::Can1ToCan0).empty());
}

QTEST_GUILESS_MAIN(TestTablePreview)
#include "tst_tablepreview.moc"
