#include "core/config/SelectType.h"

#include <QFileInfo>

int Select_Type(const QString &fileParGen, QString *error)
{
    if (error)
        error->clear();
    return QFileInfo::exists(fileParGen) ? 0 : 1; // placeholder until the document readers land
}
