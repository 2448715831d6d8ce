// Stand-in for a tool that outlives its caller's patience: writes "<own file>.started",
// then runs until "<own file>.stop" appears (two minutes at most, so that nothing is left
// behind), then writes "<own file>.done" and ends.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

namespace {
void touch(const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write("1");
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    touch(self + QStringLiteral(".started"));
    QElapsedTimer clock;
    clock.start();
    while (!QFile::exists(self + QStringLiteral(".stop")) && clock.elapsed() < 120000)
        QThread::msleep(20);
    touch(self + QStringLiteral(".done"));
    return 0;
}
