// Every folder under tests/data/cli that holds an `args` file is one run of praxedo-cli: its
// input project, its arguments and what it must print and write, side by side. The layout of a
// folder, and how to rewrite its expected bytes on purpose, are in tests/data/cli/README.md.
#include "CliRun.h"
#include "FilterImageBytes.h"
#include "TestPaths.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <optional>

namespace {

constexpr const char *kUpdate = "PRAXEDO_UPDATE_GOLDEN";

bool updating()
{
    return qEnvironmentVariableIntValue(kUpdate) == 1;
}

QString root()
{
    return TestPaths::data(QStringLiteral("cli"));
}

std::optional<QByteArray> readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return f.readAll();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The lines of a small text file of the case, without blank lines and # comments.
QStringList lines(const QString &path)
{
    QStringList result;
    for (const QByteArray &raw : readFile(path).value_or(QByteArray()).split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (!line.isEmpty() && !line.startsWith(u'#'))
            result.append(line);
    }
    return result;
}

// Everything under a folder by relative path: a file's bytes, nothing for a folder; links are
// not followed, so a command writing through one shows.
using Tree = QMap<QString, std::optional<QByteArray>>;

Tree snapshot(const QString &dir)
{
    Tree tree;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        const QString rel = QDir(dir).relativeFilePath(path);
        if (info.isSymLink())
            tree.insert(rel, "link to " + info.symLinkTarget().toUtf8());
        else if (info.isDir())
            tree.insert(rel, std::nullopt);
        else
            tree.insert(rel, readFile(path).value_or(QByteArray("<unreadable>")));
    }
    return tree;
}

// An identifier of a .rows file: hexadecimal with 0x or decimal; an x after it marks 29 bits.
std::optional<quint32> rowId(QString text)
{
    const bool extended = text.size() > 1 && text.endsWith(u'x');
    if (extended)
        text.chop(1);
    bool ok = false;
    const quint32 value = text.toUInt(&ok, 0);
    if (!ok)
        return std::nullopt;
    return extended ? (0x80000000u | value) : value;
}

// A configuration image made by FilterImageBytes from its rows written as text.
QString imageFromRows(const QString &rowsPath, QByteArray &image)
{
    FilterImageBytes::Table tables[2];
    bool positive = false;
    int table = -1;
    QList<std::pair<int, int>> pokes;
    for (const QString &line : lines(rowsPath)) {
        const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
        if (line == QLatin1String("positive") || line == QLatin1String("negative")) {
            positive = line == QLatin1String("positive");
        } else if (words.size() == 2 && words.at(0) == QLatin1String("from")) {
            table = words.at(1).toInt();
        } else if (words.size() == 3 && words.at(0) == QLatin1String("poke")) {
            pokes.append({words.at(1).toInt(nullptr, 0), words.at(2).toInt(nullptr, 0)});
        } else {
            const auto orig = words.size() == 2 ? rowId(words.at(0)) : std::nullopt;
            const auto mod = words.size() == 2 ? rowId(words.at(1)) : std::nullopt;
            if (!orig || !mod || table < 0 || table > 1)
                return QStringLiteral("%1: cannot read the line '%2'").arg(rowsPath, line);
            tables[table].push_back({*orig, *mod});
        }
    }
    image = FilterImageBytes::make(tables[0], tables[1], positive);
    for (const auto &[offset, value] : pokes)
        image[offset] = char(value);
    return QString();
}

// Copies a case's project/ folder into `to`; NAME.rows becomes the image NAME, and a .keep
// file only makes its folder.
QString copyProject(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QString target = QDir(to).filePath(QDir(from).relativeFilePath(path));
        QDir().mkpath(QFileInfo(target).absolutePath());
        if (it.fileName() == QLatin1String(".keep"))
            continue;
        QByteArray bytes = readFile(path).value_or(QByteArray());
        if (target.endsWith(QLatin1String(".rows"))) {
            target.chop(5);
            const QString error = imageFromRows(path, bytes);
            if (!error.isEmpty())
                return error;
        }
        if (!writeFile(target, bytes))
            return QStringLiteral("cannot write %1").arg(target);
    }
    return QString();
}

// project.ref: lines "DATA_PATH [NAME]", a file or the files of a folder under tests/data.
QString copyReferences(const QString &refFile, const QString &to)
{
    for (const QString &line : lines(refFile)) {
        const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
        const QFileInfo source(TestPaths::data(words.at(0)));
        QStringList files;
        if (source.isDir()) {
            for (const QFileInfo &f : QDir(source.filePath()).entryInfoList(QDir::Files))
                files.append(f.filePath());
        } else {
            files.append(source.filePath());
        }
        for (const QString &file : files) {
            const QString name = words.size() > 1 && !source.isDir() ? words.at(1) : QFileInfo(file).fileName();
            const auto bytes = readFile(file);
            if (!bytes || !writeFile(QDir(to).filePath(name), *bytes))
                return QStringLiteral("%1: cannot copy %2").arg(refFile, file);
        }
    }
    return QString();
}

struct Places
{
    QString tmp;
    QString project;
    QString data;
};

QString substitute(QString text, const Places &at)
{
    return text.replace(QLatin1String("{project}"), at.project)
        .replace(QLatin1String("{tmp}"), at.tmp)
        .replace(QLatin1String("{data}"), at.data);
}

// The paths of this run written back as their names, so that the expected text holds no
// temporary folder; on Windows the separators of relative paths too.
QByteArray placeholders(QByteArray text, const Places &at)
{
    const std::pair<QString, const char *> names[] = {{at.project, "{project}"},
                                                      {at.tmp, "{tmp}"},
                                                      {at.data, "{data}"}};
    for (const auto &[path, name] : names) {
        text.replace(QDir::toNativeSeparators(path).toUtf8(), name);
        text.replace(path.toUtf8(), name);
    }
#ifdef Q_OS_WIN
    text.replace('\\', '/');
#endif
    return text;
}

// Where two texts part, for a failure message.
QString difference(const QByteArray &expected, const QByteArray &actual)
{
    const QList<QByteArray> e = expected.split('\n');
    const QList<QByteArray> a = actual.split('\n');
    for (int i = 0; i < std::max(e.size(), a.size()); ++i) {
        const QByteArray el = i < e.size() ? e.at(i) : QByteArray("<end of text>");
        const QByteArray al = i < a.size() ? a.at(i) : QByteArray("<end of text>");
        if (el != al)
            return QStringLiteral(
                       "first difference on line %1:\n    expected: %2\n    actual:   %3\n  actual text:\n%4")
                .arg(i + 1)
                .arg(QString::fromUtf8(el), QString::fromUtf8(al), QString::fromUtf8(actual.left(4000)));
    }
    return QString();
}

QString byteDifference(const QByteArray &expected, const QByteArray &actual)
{
    qsizetype i = 0;
    while (i < expected.size() && i < actual.size() && expected.at(i) == actual.at(i))
        ++i;
    return QStringLiteral("%1 bytes expected, %2 written, first difference at byte %3")
        .arg(expected.size())
        .arg(actual.size())
        .arg(i);
}

QString fileDifference(const QByteArray &expected, const QByteArray &actual)
{
    const bool text = !expected.contains('\0') && !actual.contains('\0');
    return text ? difference(expected, actual) : byteDifference(expected, actual);
}

// The files the case expects written, by path under the run's folder.
QMap<QString, QByteArray> expectedFiles(const QString &caseDir, QStringList *fromData)
{
    QMap<QString, QByteArray> files;
    const QString own = QDir(caseDir).filePath(QStringLiteral("expected-files"));
    QDirIterator it(own, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(own).relativeFilePath(path), readFile(path).value_or(QByteArray()));
    }
    // expected-files.ref: lines "FOLDER DATA_FOLDER", the files of a folder under tests/data.
    for (const QString &line : lines(QDir(caseDir).filePath(QStringLiteral("expected-files.ref")))) {
        const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
        const QDir source(TestPaths::data(words.value(1)));
        for (const QFileInfo &f : source.entryInfoList(QDir::Files)) {
            const QString rel = QDir(words.at(0)).filePath(f.fileName());
            files.insert(rel, readFile(f.filePath()).value_or(QByteArray()));
            fromData->append(rel);
        }
    }
    return files;
}

struct Outcome
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    QString failure; // the program did not run to its end
};

Outcome runCli(const QStringList &args, const QString &workDir, const std::optional<QByteArray> &input)
{
    QProcess p;
    p.setWorkingDirectory(workDir);
    p.start(TestPaths::cli(), args);
    Outcome o;
    if (!p.waitForStarted(60000)) {
        o.failure = p.errorString();
        return o;
    }
    if (input)
        p.write(*input);
    p.closeWriteChannel();
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) {
        o.failure = QStringLiteral("praxedo-cli did not end normally: %1").arg(p.errorString());
        p.kill();
        p.waitForFinished(10000);
        return o;
    }
    o.exitCode = p.exitCode();
    o.out = CliRun::text(p.readAllStandardOutput());
    o.err = CliRun::text(p.readAllStandardError());
    return o;
}

QStringList arguments(const QStringList &words, const Places &at)
{
    QStringList args;
    for (const QString &word : words)
        args.append(substitute(word, at));
    return args;
}

// Rewrites the expected bytes of a case from what the command did; the reason lies with
// whoever sets PRAXEDO_UPDATE_GOLDEN.
void update(const QString &caseDir, const Outcome &o, const QMap<QString, QByteArray> &written,
            const QMap<QString, QByteArray> &expected, const QStringList &fromData)
{
    const QDir dir(caseDir);
    QVERIFY(writeFile(dir.filePath(QStringLiteral("expected.txt")), o.out));
    const QString errFile = dir.filePath(QStringLiteral("expected-stderr.txt"));
    const QString codeFile = dir.filePath(QStringLiteral("exit-code"));
    QFile::remove(errFile);
    QFile::remove(codeFile);
    if (!o.err.isEmpty())
        QVERIFY(writeFile(errFile, o.err));
    if (o.exitCode != 0)
        QVERIFY(writeFile(codeFile, QByteArray::number(o.exitCode) + '\n'));
    QVERIFY(QDir(dir.filePath(QStringLiteral("expected-files"))).removeRecursively());
    for (auto it = written.begin(); it != written.end(); ++it) {
        if (fromData.contains(it.key()))
            QVERIFY2(expected.value(it.key()) == it.value(),
                     qPrintable(
                         it.key()
                         + QStringLiteral(" differs from its fixture under tests/data; update that fixture by hand")));
        else
            QVERIFY(writeFile(dir.filePath(QStringLiteral("expected-files/") + it.key()), it.value()));
    }
    qWarning("%s: expected bytes rewritten from this run", qPrintable(dir.dirName()));
}

} // namespace

class TestGolden : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cases_data();
    void cases();
};

void TestGolden::cases_data()
{
    QTest::addColumn<QString>("caseDir");
    const QFileInfoList dirs = QDir(root()).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &d : dirs) {
        if (QFileInfo::exists(QDir(d.filePath()).filePath(QStringLiteral("args"))))
            QTest::newRow(qPrintable(d.fileName())) << d.filePath();
    }
    QVERIFY2(QDir(root()).exists(), qPrintable(root()));
}

void TestGolden::cases()
{
    QFETCH(QString, caseDir);
    const QDir dir(caseDir);
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const Places at{tmp.path(), tmp.filePath(QStringLiteral("project")), TestPaths::data()};
    QVERIFY(QDir().mkpath(at.project));
    QString error = copyReferences(dir.filePath(QStringLiteral("project.ref")), at.project);
    if (error.isEmpty())
        error = copyProject(dir.filePath(QStringLiteral("project")), at.project);
    QVERIFY2(error.isEmpty(), qPrintable(error));

    // setup: commands run first, one a line, words split at spaces; each must succeed.
    for (const QString &line : lines(dir.filePath(QStringLiteral("setup")))) {
        const Outcome s = runCli(arguments(line.split(u' ', Qt::SkipEmptyParts), at), at.tmp, std::nullopt);
        QVERIFY2(s.failure.isEmpty() && s.exitCode == 0,
                 qPrintable(QStringLiteral("setup '%1' failed: %2%3").arg(line, s.failure, QString::fromUtf8(s.err))));
    }

    const QStringList args = arguments(lines(dir.filePath(QStringLiteral("args"))), at);
    const Tree before = snapshot(at.tmp);
    const Outcome o = runCli(args, at.tmp, readFile(dir.filePath(QStringLiteral("stdin"))));
    QVERIFY2(o.failure.isEmpty(), qPrintable(o.failure));
    const Tree after = snapshot(at.tmp);
    const Outcome shown{o.exitCode, placeholders(o.out, at), placeholders(o.err, at), QString()};

    // What the command wrote or changed, by path under the run's folder.
    QMap<QString, QByteArray> written;
    QStringList problems;
    for (auto it = after.begin(); it != after.end(); ++it) {
        if (before.contains(it.key()) && before.value(it.key()) == it.value())
            continue;
        if (it.value())
            written.insert(it.key(), *it.value());
        else if (!before.contains(it.key()))
            written.insert(it.key() + QStringLiteral("/"), QByteArray());
    }
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (!after.contains(it.key()))
            problems.append(QStringLiteral("removed %1").arg(it.key()));
    }

    QStringList fromData;
    const QMap<QString, QByteArray> expected = expectedFiles(caseDir, &fromData);
    if (updating()) {
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
        QMap<QString, QByteArray> files;
        for (auto it = written.begin(); it != written.end(); ++it) {
            if (!it.key().endsWith(u'/'))
                files.insert(it.key(), it.value());
        }
        update(caseDir, shown, files, expected, fromData);
        return;
    }

    const QByteArray wantOut = readFile(dir.filePath(QStringLiteral("expected.txt"))).value_or(QByteArray());
    const QByteArray wantErr = readFile(dir.filePath(QStringLiteral("expected-stderr.txt"))).value_or(QByteArray());
    const QStringList code = lines(dir.filePath(QStringLiteral("exit-code")));
    const int wantCode = code.isEmpty() ? 0 : code.first().toInt();
    if (shown.out != wantOut)
        problems.append(QStringLiteral("standard output differs from expected.txt, ") + difference(wantOut, shown.out));
    if (shown.err != wantErr)
        problems.append(QStringLiteral("standard error differs from expected-stderr.txt, ")
                        + difference(wantErr, shown.err));
    if (shown.exitCode != wantCode)
        problems.append(QStringLiteral("exit code %1, expected %2").arg(shown.exitCode).arg(wantCode));
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        if (!written.contains(it.key()) && after.value(it.key()) != it.value())
            problems.append(QStringLiteral("%1 was not written").arg(it.key()));
        else if (after.value(it.key()) != it.value())
            problems.append(
                QStringLiteral("%1 differs: %2")
                    .arg(it.key(), fileDifference(it.value(), after.value(it.key()).value_or(QByteArray()))));
    }
    for (auto it = written.begin(); it != written.end(); ++it) {
        if (expected.contains(it.key()))
            continue;
        const bool holdsExpected = it.key().endsWith(u'/')
            && std::any_of(expected.keyBegin(), expected.keyEnd(),
                           [&](const QString &e) { return e.startsWith(it.key()); });
        if (!holdsExpected)
            problems.append(
                QStringLiteral("%1 %2, which the case does not expect")
                    .arg(before.contains(it.key()) ? QStringLiteral("changed") : QStringLiteral("wrote"), it.key()));
    }
    QVERIFY2(problems.isEmpty(),
             qPrintable(QStringLiteral(
                            "praxedo-cli %1\n  %2\n  (%3=1 rewrites the expected bytes; see tests/data/cli/README.md)")
                            .arg(args.join(u' '), problems.join(QStringLiteral("\n  ")), QLatin1String(kUpdate))));
}

QTEST_GUILESS_MAIN(TestGolden)
#include "tst_golden.moc"
