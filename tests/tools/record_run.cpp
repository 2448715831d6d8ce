// Stand-in for an external tool: records that it ran, with its arguments, in
// "<own file>.ran" (one argument per line), and keeps a copy of the Lanvesk.xml it finds
// beside itself as "<own file>.job.xml", so a test can tell what the tool was handed.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();

    const QString job = QFileInfo(self).dir().filePath(QStringLiteral("Lanvesk.xml"));
    if (QFile::exists(job)) {
        QFile::remove(self + QStringLiteral(".job.xml"));
        QFile::copy(job, self + QStringLiteral(".job.xml"));
    }

    QFile out(self + QStringLiteral(".ran"));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 1;
    for (const QString &arg : QCoreApplication::arguments().mid(1))
        out.write(arg.toUtf8() + '\n');
    return 0;
}
