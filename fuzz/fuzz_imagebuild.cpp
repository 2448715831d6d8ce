// The image build on both documents at once: the input is ParGen.xml, a line "@@@@", then
// CanCanCobID.xml. Any pair builds or stops with a message; a build always gives the seven
// files at their sizes.
#include "FuzzCheck.h"

#include "core/device/ImageInspector.h"
#include "core/image/ConfigBuilder.h"
#include "core/image/FilterDocument.h"
#include "core/image/XmlSource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Fuzz::bytes(data, size);
    const qsizetype split = bytes.indexOf("\n@@@@\n");
    const QByteArray parGen = split < 0 ? bytes : bytes.left(split);
    const QByteArray cobId = split < 0 ? QByteArray() : bytes.mid(split + 6);

    ConfigBuilder builder;
    const QString error = builder.Build_Config(XmlSource::fromBytes(parGen, QStringLiteral("ParGen.xml")),
                                               FilterDocument::fromBytes(cobId, QStringLiteral("CanCanCobID.xml")));
    if (!error.isEmpty())
        return 0;
    const QList<ConfigBuilder::OutputFile> files = builder.outputs();
    FUZZ_CHECK(files.size() == 7);
    for (int k = 0; k < 5; ++k)
        FUZZ_CHECK(files[k].bytes.size() == 16384);
    FUZZ_CHECK(files[6].bytes.size() == 34816);
    // What the build wrote reads back as a sound image and sound banks.
    FUZZ_CHECK(ImageInspector::inspect(files[6].bytes, QStringLiteral("bank_K60.bin")).problem.isEmpty());
    return 0;
}
