#include "core/config/SelectType.h"

#include "core/config/DocumentXml.h"
#include "core/config/ParGen.h"

int Select_Type(const QString &fileParGen, QString *error)
{
    QDomDocument doc;
    QDomNode root;
    QString loadError;
    const DocumentXml::Load load = DocumentXml::loadRoot(fileParGen, doc, root, loadError);
    if (error)
        *error = loadError;
    switch (load) {
    case DocumentXml::Load::NoFile:
        return 1;
    case DocumentXml::Load::Failed:
        return 0;
    case DocumentXml::Load::Loaded:
        break;
    }
    return ParGen::mainWindowDeviceType(root);
}
