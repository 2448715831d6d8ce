// Stands in for the flash programming tool: writes the arguments it received, one a line
// after their count, to received.txt beside itself, and ends.
#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    QByteArray text = QByteArray::number(args.size()) + '\n';
    for (const QString &a : args)
        text += a.toUtf8() + '\n';
    QSaveFile f(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("received.txt")));
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size() || !f.commit())
        return 1;
    return 0;
}
