#include "core/app/SplitIpAddress.h"

#include "core/base/IntText.h"

bool Split_IP_Address(const QString &text, QStringList *parts)
{
    QString rest = IntText::trimmed(text);
    QStringList found;
    for (int i = 0; i < 3; ++i) {
        const qsizetype dot = rest.indexOf(u'.');
        if (dot < 0)
            return false;
        found.append(IntText::trimmed(QStringView(rest).left(dot)));
        rest = IntText::trimmed(QStringView(rest).mid(dot + 1));
    }
    found.append(rest);

    for (const QString &part : std::as_const(found)) {
        const qint32 value = IntText::readOr(part, 1000);
        if (value < 0 || value > 255)
            return false;
    }
    if (parts)
        *parts = found;
    return true;
}
