// The version check's answer comes from the network: any bytes, complete or cut off, are
// read as a response or wait for more, and the body's text decides the version question
// without harm.
#include "FuzzCheck.h"

#include "core/i18n/Http10Get.h"
#include "core/i18n/VersionCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray raw = Fuzz::bytes(data, size);
    for (const bool closed : {false, true}) {
        Http10Get::Reply reply;
        const bool done = Http10Get::parse(raw, closed, reply);
        FUZZ_CHECK(done || !closed);
        if (!done || !reply.ok)
            continue;
        FUZZ_CHECK(reply.body.size() <= raw.size());
        const QString answer = VersionCheck::answerText(reply.body, reply.contentType);
        VersionCheck::isNewer(answer);
        VersionCheck::Conv_Version(answer);
    }
    return 0;
}
