// Praxedo.xml writer: whatever the state holds (a project folder's name, a typed address, a
// language file's name), the file written reads back to the same state, less what no XML file
// can hold.
#include "FuzzCheck.h"

#include "core/app/AppState.h"
#include "core/app/SettingsFile.h"

#include "core/base/XmlFile.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {
// What a value reads back as: without the characters no XML file holds, and empty when only
// blanks are left. The reader's tree keeps no blank-only texts, and counts every Unicode
// space as blank (a name of one no-break space reads back empty).
QString asReadBack(const QString &text)
{
    const QString kept = XmlFile::storableText(text);
    return kept.trimmed().isEmpty() ? QString() : kept;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider fdp(data, size);
    AppState state;
    state.Name_Project = QString::fromStdString(fdp.ConsumeRandomLengthString(200));
    state.IP_Device = QString::fromStdString(fdp.ConsumeRandomLengthString(100));
    state.Language_Sel = QString::fromStdString(fdp.ConsumeRandomLengthString(100));
    state.Enable_Internet = fdp.ConsumeBool();
    state.Enable_Update = fdp.ConsumeBool();
    state.Enable_Jump_Field_Tables = fdp.ConsumeBool();
    state.Double_Click_Auto_Size = fdp.ConsumeBool();

    AppState back;
    bool wellFormed = false;
    SettingsFile::readBytes(back, SettingsFile::bytes(state), &wellFormed);
    FUZZ_CHECK(wellFormed);
    FUZZ_CHECK(back.Name_Project == asReadBack(state.Name_Project));
    FUZZ_CHECK(back.IP_Device == asReadBack(state.IP_Device));
    FUZZ_CHECK(back.Language_Sel == asReadBack(state.Language_Sel));
    FUZZ_CHECK(back.Enable_Internet == state.Enable_Internet && back.Enable_Update == state.Enable_Update);
    FUZZ_CHECK(back.Enable_Jump_Field_Tables == state.Enable_Jump_Field_Tables);
    FUZZ_CHECK(back.Double_Click_Auto_Size == state.Double_Click_Auto_Size);
    return 0;
}
