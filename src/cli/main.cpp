#include "cli/Commands.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("praxedo-cli"));
    return Cli::run(QCoreApplication::arguments().mid(1));
}
