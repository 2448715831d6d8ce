#pragma once

#include "core/base/Paths.h"

#include <QString>
#include <QStringList>

// The application-wide values that every part of the program reads: workspace folders,
// the current project and its document paths, the chosen language and the options.
// One instance lives for the whole run (see appState()); windows are handed it.
struct AppState
{
    QString Dir_Exe;
    QString Dir_Master;
    QString Dir_Projects;
    QString Dir_Language;

    QString Name_Project;
    QString Dir_Project; // empty exactly while no project is open
    QString File_ParGen;
    QString File_CobID;

    QString Language_Sel = QStringLiteral("English");
    QString Language_Ver = QStringLiteral("NO VER.");
    QString IP_Device = QStringLiteral("192.168.2.205");
    int Update_Option = 0;
    bool Read_Back = true;

    bool Enable_Internet = false;
    bool Enable_Update = false;
    bool Enable_Jump_Field_Tables = false;
    bool Double_Click_Auto_Size = false;

    QString Title_SW;
    QString SW_Code;
    QString SW_Desc;

    QStringList Copied_Row;

    bool projectOpen() const { return !Dir_Project.isEmpty(); }
    // The project's folder for images and C source.
    QString binDir() const;
};

namespace Product {
inline constexpr char16_t SoftwareVersion[] = u"2.001";
inline constexpr char16_t Code[] = u"PK58104";
inline constexpr char16_t DocumentCode[] = u"UG58104";
QString title();
QString description();
// Home page and download page on the vendor's host (PRAXEDO_VENDOR_HOST at build time).
QString vendorHost();
QString homePageUrl();
QString downloadPageUrl();
} // namespace Product

// The process-wide instance.
AppState &appState();

// File_ParGen and File_CobID follow Dir_Project.
void Set_Files(AppState &state);
