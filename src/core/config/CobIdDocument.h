#pragma once

#include "core/config/CobIdTable.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

class Catalog;
class QDomNode;
class QIODevice;
struct ParGenFilterValues;

// The first failed rule of the filter tables' validation.
struct CobIdFailure
{
    int table = 0;   // 0 = From CAN 0 to CAN 1, 1 = From CAN 1 to CAN 0
    int row = 0;     // as the window numbers it, from 1
    int message = 0; // catalog index of the rule's message, 543..554
    bool operator==(const CobIdFailure &o) const { return table == o.table && row == o.row && message == o.message; }
};

// The COB-ID filter document CanCanCobID.xml: the two direction tables.
class CobIdDocument
{
public:
    // Tables are numbered by Direction::index().
    static constexpr int TableCount = 2;
    // Two full tables take about 400 KB, more with long descriptions; a file larger than this
    // is refused unread.
    static constexpr qint64 MaxFileBytes = 16 * 1024 * 1024;

    static const QString &listName(int table); // Can0_to_Can1, Can1_to_Can0

    CobIdDocument() = default;
    // Empty tables prepared as the filter window prepares them: with device type 0 the type
    // columns follow the port types (CAN 0 then CAN 1 in the first table, swapped in the second).
    explicit CobIdDocument(const ParGenFilterValues &parGen);

    CobIdTable &table(int index) { return m_tables[size_t(index)]; }
    const CobIdTable &table(int index) const { return m_tables[size_t(index)]; }

    // What reading found beyond the 2048 rows of each table; those nodes are not read and
    // the next save drops them. And the nodes among the 2048 that lie past the end of a table
    // (its first row without an Original CobID, which a comment or a text among the rows
    // also is): the editors leave them out of the table, while a build still reads them.
    struct ReadReport
    {
        std::array<int, TableCount> surplusRows{0, 0};
        std::array<int, TableCount> hiddenRows{0, 0}; // from the end row on, itself included
        std::array<int, TableCount> endRow{0, 0};     // the row, from 1, that ends the table
        std::array<QString, TableCount> endNode;      // what that row is: "a comment", ...
        bool hasSurplus() const { return surplusRows[0] > 0 || surplusRows[1] > 0; }
        // The editors and a build would see different tables.
        bool hasHidden() const { return hiddenRows[0] > 0 || hiddenRows[1] > 0; }
    };
    // English text telling the user that the surplus rows will be dropped; empty when none.
    static QString surplusWarning(const ReadReport &report, const QString &path);
    // English text naming, per table, the rows left out of it and why; empty when none.
    static QString hiddenWarning(const ReadReport &report, const QString &path);
    // Both of the above, one per line.
    static QString warning(const ReadReport &report, const QString &path);

    // Fills the tables from the file over what they hold. A missing file changes nothing and is
    // no error. A file that cannot be read, is not well-formed XML, whose root lacks one of
    // the two lists, or with a cell longer than CobIdTable::MaxCellLength returns a text
    // naming the file with the place and reason, and the tables are left unchanged.
    QString read(const QString &path, ReadReport *report = nullptr);
    QString read(const QByteArray &bytes, const QString &shownName, ReadReport *report = nullptr);

    // Root CanCanCobID, the version comment, then both lists with a row element per used row
    // and its five attributes in order; no declaration, no indentation, UTF-8. Refused, with
    // the reason, when a cell cannot be stored or the document would be larger than the
    // readers take (MaxFileBytes).
    QString toBytes(QByteArray &bytes) const;
    QString write(QIODevice &device) const;
    QString save(const QString &path) const; // atomic

    // Validation on OK, first table first. `positive`: the Modify columns are checked too.
    std::optional<CobIdFailure> Controllo_dati(bool positive) const;
    // "Error in row " + row number + the rule's message; empty when valid.
    QString Controllo_dati(bool positive, const Catalog &catalog) const;
    static QString message(const CobIdFailure &failure, const Catalog &catalog);

    bool operator==(const CobIdDocument &o) const { return m_tables == o.m_tables; }

private:
    QString readRoot(const QDomNode &root, const QString &shownName, ReadReport *report);

    std::array<CobIdTable, TableCount> m_tables;
};
