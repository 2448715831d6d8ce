// Holds a project's lock as another writer would, until its standard input ends or it is killed.
//
//   hold_lock PROJECT_DIR      prints "held" once the lock is taken, "refused" when it is not
#include "core/projects/ProjectLock.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: hold_lock PROJECT_DIR\n");
        return 1;
    }
    ProjectLock::setWaitTime(std::chrono::milliseconds(0));
    ProjectLock lock(args.first());
    if (!lock.acquire()) {
        std::printf("refused\n");
        return 2;
    }
    std::printf("held\n");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}
