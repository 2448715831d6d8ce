#include "core/update/HostResolver.h"

#include <QHostAddress>
#include <QHostInfo>

void SystemHostResolver::lookup(const QString &name, QObject *context, Done done)
{
    cancel();
    m_lookupId = QHostInfo::lookupHost(name, context, [this, name, done](const QHostInfo &info) {
        m_lookupId = -1;
        for (const QHostAddress &address : info.addresses()) {
            if (address.protocol() == QAbstractSocket::IPv4Protocol) {
                done(address.toString(), QString());
                return;
            }
        }
        done(QString(),
             info.error() != QHostInfo::NoError
                 ? QStringLiteral("Cannot resolve \"%1\": %2").arg(name, info.errorString())
                 : QStringLiteral("\"%1\" has no IPv4 address").arg(name));
    });
}

void SystemHostResolver::cancel()
{
    if (m_lookupId >= 0)
        QHostInfo::abortHostLookup(m_lookupId);
    m_lookupId = -1;
}
