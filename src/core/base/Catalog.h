#pragma once

#include "core/base/TextId.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The message catalog: 1000 numbered texts, filled with the built-in English defaults and
// then overridden by the chosen language file. Windows read fixed indices from it.
class Catalog
{
public:
    static constexpr int Size = 1000;

    Catalog(); // empty until the first load

    // The text at `index`; a single blank for an index outside the catalog.
    QString text(int index) const;
    QString operator[](int index) const { return text(index); }

    void Load_Default_Texts();
    // The lines of a decoded language file over the current texts; `languageVer` is set from
    // its first version line.
    void applyLangText(const QString &text, QString &languageVer);

    // The built-in English texts alone. The core's messages take a catalog and fall back on
    // these, which is what praxedo-cli prints whatever language the configurator uses.
    static const Catalog &defaults();
    // What the core's messages from deep down (file, import and merge errors) are made from:
    // the process-wide catalog once a language has been loaded into it, as the configurator
    // does at start; until then, and always in praxedo-cli, the built-in English texts.
    static const Catalog &messages();

    const QStringList &Lang_Texts() const { return m_texts; }
    int Lang_Count() const { return m_count; }

    // Language files larger than this are not read (the defaults stay).
    static constexpr qint64 MaxFileBytes = 8 * 1024 * 1024;

    // BOM-selected UTF-8/UTF-16; without a BOM valid UTF-8 is UTF-8, anything else the
    // Western European Windows code page (the system's ANSI code page on Windows).
    static QString decode(const QByteArray &bytes);

private:
    QStringList m_texts;
    int m_count = 0;
};

// The process-wide catalog.
Catalog &catalog();
