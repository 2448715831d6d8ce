// ParGen.xml: every reader (settings window, filter window, main window, image builder's
// values, the parameter block and the bank settings) takes any bytes, and what the settings
// window read is written and read back unchanged.
#include "FuzzCheck.h"

#include "core/config/DocumentXml.h"
#include "core/config/ParGen.h"
#include "core/image/ConfigBuilder.h"
#include "core/image/FilterDocument.h"
#include "core/image/XmlSource.h"

namespace {
// Texts of blanks only come back empty: the reader's tree keeps no blank-only texts.
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
    const QByteArray bytes = Fuzz::bytes(data, size);
    QDomDocument doc;
    QDomNode root;
    QString error;
    if (DocumentXml::parseRoot(bytes, QStringLiteral("ParGen.xml"), doc, root, error) != DocumentXml::Load::Loaded) {
        FUZZ_CHECK(!error.isEmpty());
        return 0;
    }
    ParGenValues values = ParGen::settingsWindowValues(root);
    const ParGenFilterValues filter = ParGen::filterWindowValues(root);
    FUZZ_CHECK(filter.typesFollowPorts() == (filter.deviceType == 0));
    ParGen::mainWindowDeviceType(root);
    ParGen::imageBuilderValues(root);

    ConfigBuilder builder;
    if (builder
            .Build_Config(XmlSource::fromBytes(bytes, QStringLiteral("ParGen.xml")),
                          FilterDocument::fromBytes("<CanCanCobID><Can0_to_Can1/><Can1_to_Can0/></CanCanCobID>",
                                                    QStringLiteral("CanCanCobID.xml")))
            .isEmpty()) {
        FUZZ_CHECK(builder.outputs().size() == 7);
    }

    QByteArray written;
    if (!ParGen::toBytes(values, written).isEmpty())
        return 0;
    QDomDocument backDoc;
    QDomNode backRoot;
    FUZZ_CHECK(DocumentXml::parseRoot(written, QStringLiteral("ParGen.xml"), backDoc, backRoot, error)
               == DocumentXml::Load::Loaded);
    for (auto *texts : {&values.ip, &values.subnetMask, &values.gateway}) {
        for (QString &t : *texts)
            t = asReadBack(t);
    }
    values.tcpPort = asReadBack(values.tcpPort);
    values.udpPort = asReadBack(values.udpPort);
    FUZZ_CHECK(ParGen::settingsWindowValues(backRoot) == values);
    return 0;
}
