// CanCanCobID.xml: the filter window's reader takes any bytes; what it read is written and
// read back unchanged and validates the same. The image builder's two ways of reading (stream
// and tree) agree whenever the stream takes the document.
#include "FuzzCheck.h"

#include "core/base/XmlFile.h"
#include "core/config/CobIdDocument.h"
#include "core/config/ParGen.h"
#include "core/image/FilterDocument.h"

#include <QDomDocument>

namespace {
bool sameRows(const FilterDocument::Section &a, const FilterDocument::Section &b)
{
    if (a.present != b.present || a.rows.size() != b.rows.size())
        return false;
    for (size_t i = 0; i < a.rows.size(); ++i) {
        const FilterDocument::Row &x = a.rows[i];
        const FilterDocument::Row &y = b.rows[i];
        if (x.isElement != y.isElement || x.orig != y.orig || x.type != y.type || x.mod != y.mod
            || x.modType != y.modType)
            return false;
    }
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Fuzz::bytes(data, size);

    if (XmlFile::shapeError(bytes, QStringLiteral("x")).isEmpty()) {
        if (const std::optional<FilterDocument> streamed = FilterDocument::readStreaming(bytes)) {
            QDomDocument dom;
            FUZZ_CHECK(XmlFile::parse(bytes, QStringLiteral("x"), dom).isEmpty());
            const FilterDocument tree = FilterDocument::readDom(dom);
            FUZZ_CHECK(streamed->rootName == tree.rootName && streamed->rootIsFirst == tree.rootIsFirst);
            FUZZ_CHECK(sameRows(streamed->sections[0], tree.sections[0]));
            FUZZ_CHECK(sameRows(streamed->sections[1], tree.sections[1]));
        }
    }

    // Both ways of taking the row types, one per input: a document costs some 10000 texts.
    {
        ParGenFilterValues parGen;
        parGen.deviceType = int(size % 2);
        parGen.can0Type = 1;
        CobIdDocument doc(parGen);
        if (!doc.read(bytes, QStringLiteral("CanCanCobID.xml")).isEmpty())
            return 0;
        for (const bool positive : {false, true})
            doc.Controllo_dati(positive);
        QByteArray written;
        if (!doc.toBytes(written).isEmpty())
            return 0;
        CobIdDocument back(parGen);
        FUZZ_CHECK(back.read(written, QStringLiteral("CanCanCobID.xml")).isEmpty());
        // Only used rows are written: compare what a second write makes of both.
        QByteArray again;
        FUZZ_CHECK(back.toBytes(again).isEmpty());
        FUZZ_CHECK(again == written);
        for (const bool positive : {false, true})
            FUZZ_CHECK(back.Controllo_dati(positive) == doc.Controllo_dati(positive));
    }

    return 0;
}
