// Praxedo.xml: any bytes read to a complete state, and what was read is written and read back
// unchanged.
#include "FuzzCheck.h"

#include "core/app/AppState.h"
#include "core/app/SettingsFile.h"

namespace {
bool sameSettings(const AppState &a, const AppState &b)
{
    return a.Name_Project == b.Name_Project && a.IP_Device == b.IP_Device && a.Language_Sel == b.Language_Sel
        && a.Enable_Internet == b.Enable_Internet && a.Enable_Update == b.Enable_Update
        && a.Enable_Jump_Field_Tables == b.Enable_Jump_Field_Tables
        && a.Double_Click_Auto_Size == b.Double_Click_Auto_Size;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    AppState read;
    bool wellFormed = false;
    SettingsFile::readBytes(read, Fuzz::bytes(data, size), &wellFormed);
    AppState back;
    bool backWellFormed = false;
    SettingsFile::readBytes(back, SettingsFile::bytes(read), &backWellFormed);
    FUZZ_CHECK(backWellFormed);
    FUZZ_CHECK(sameSettings(read, back));
    return 0;
}
