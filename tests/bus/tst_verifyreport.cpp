// The bus check's CSV report as a spreadsheet opens it: names the user chose are text there.
#include "bus/VerifyReport.h"

#include <QTest>

class TestVerifyReport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void namesAreNeverFormulas();
};

void TestVerifyReport::namesAreNeverFormulas()
{
    VerifyRunInfo info;
    info.project = u"=HYPERLINK(\"x\")"_qs;
    info.projectDir = u"/p"_qs;
    info.can0 = u"@can0"_qs;
    info.can1 = u"-vcan1"_qs;
    info.fingerprint = u"+1"_qs; // the program's own text, written as it is
    const QString csv = QString::fromUtf8(VerifyReport::csv(TestPlan(), VerifyResult(), info));
    const QStringList lines = csv.split(u"\r\n"_qs);
    QVERIFY(lines.contains(u"project,\"'=HYPERLINK(\"\"x\"\")\""_qs));
    QVERIFY(lines.contains(u"CAN 0,'@can0"_qs));
    QVERIFY(lines.contains(u"CAN 1,'-vcan1"_qs));
    QVERIFY(lines.contains(u"fingerprint,+1"_qs));
}

QTEST_GUILESS_MAIN(TestVerifyReport)
#include "tst_verifyreport.moc"
