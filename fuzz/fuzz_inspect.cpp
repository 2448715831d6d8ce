// praxedo-cli inspect: any file reads as an image, a bank or neither, staying inside its bytes.
#include "FuzzCheck.h"

#include "core/device/ImageInspector.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const ImageInspector::Result result = ImageInspector::inspect(Fuzz::bytes(data, size), QStringLiteral("f.bin"));
    FUZZ_CHECK(!result.text.isEmpty() || !result.problem.isEmpty());
    return 0;
}
