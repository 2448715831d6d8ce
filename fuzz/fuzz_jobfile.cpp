// Lanvesk.xml: whatever the address fields and folders hold, the job is either refused with a
// message or written as a document that holds them exactly.
#include "FuzzCheck.h"

#include "core/app/AppState.h"
#include "core/update/JobFile.h"

#include <QBuffer>
#include <QDomDocument>

#include <fuzzer/FuzzedDataProvider.h>

namespace {
QString asReadBack(const QString &text)
{
    for (const QChar c : text) {
        if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r')
            return text;
    }
    return QString();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider fdp(data, size);
    JobFile::Job job;
    for (int i = 0; i < 4; ++i)
        job.ipFields << QString::fromStdString(fdp.ConsumeRandomLengthString(20));
    job.option = fdp.ConsumeIntegralInRange(0, 2);
    job.readBack = fdp.ConsumeBool();
    job.dirExe = QString::fromStdString(fdp.ConsumeRandomLengthString(60));
    job.dirMaster = QString::fromStdString(fdp.ConsumeRandomLengthString(60));
    job.dirProject = QString::fromStdString(fdp.ConsumeRandomLengthString(60));

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!JobFile::write(buffer, job).isEmpty())
        return 0;
    QDomDocument doc;
    FUZZ_CHECK(doc.setContent(buffer.data()));
    const QDomElement root = doc.documentElement();
    FUZZ_CHECK(root.firstChildElement(QStringLiteral("IP_Address_Dev")).text() == asReadBack(job.ipFields.join(u'.')));
    const QDomElement operations = root.firstChildElement(QStringLiteral("Operations"));
    QDomElement op = operations.firstChildElement(QStringLiteral("Operation"));
    if (job.option != JobFile::Configuration) {
        FUZZ_CHECK(op.firstChildElement(QStringLiteral("Ope_FileName")).text()
                   == asReadBack(joinPath(job.dirMaster, QStringLiteral("Rom58104K.sim"))));
        op = op.nextSiblingElement(QStringLiteral("Operation"));
    }
    if (job.option != JobFile::Firmware) {
        FUZZ_CHECK(
            op.firstChildElement(QStringLiteral("Ope_FileName")).text()
            == asReadBack(joinPath(joinPath(job.dirProject, QStringLiteral("bin")), QStringLiteral("bank_K60.bin"))));
        op = op.nextSiblingElement(QStringLiteral("Operation"));
    }
    FUZZ_CHECK(op.isNull());
    return 0;
}
