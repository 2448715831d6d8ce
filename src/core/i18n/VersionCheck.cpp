#include "core/i18n/VersionCheck.h"

#include "core/app/AppState.h"
#include "core/base/IntText.h"
#include "core/i18n/Http10Get.h"

#include <QEventLoop>
#include <QStringDecoder>
#include <QUrl>

VersionCheck::Endpoint VersionCheck::parseEndpoint(const QString &hostAndPort)
{
    Endpoint e;
    const QUrl url(QStringLiteral("http://") + hostAndPort.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || !url.path().isEmpty() || url.hasQuery() || !url.userInfo().isEmpty()
        || url.port(80) <= 0 || url.port(80) > 65535) {
        e.port = 0;
        return e;
    }
    e.host = url.host();
    e.port = quint16(url.port(80));
    return e;
}

VersionCheck::Endpoint VersionCheck::vendorEndpoint()
{
    return parseEndpoint(Product::vendorHost());
}

QByteArray VersionCheck::requestTarget()
{
    return "/home/download/GetversionSW.asp?nomesw=" + QString::fromUtf16(Product::Code).toLatin1();
}

QByteArray VersionCheck::acceptHeader()
{
    return "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";
}

QByteArray VersionCheck::userAgentHeader()
{
    return "Mozilla/3.0 (compatible; Indy Library)";
}

int VersionCheck::Conv_Version(const QString &Ver_str)
{
    const qsizetype blank = Ver_str.indexOf(u' ');
    const QString v = IntText::trimmed(blank < 0 ? QStringView(Ver_str) : QStringView(Ver_str).mid(blank + 1));
    if (v.size() < 5)
        return -1;
    // The second character separates major and minor ("2.001").
    const QString digits = QString(v[0]) + v[2] + v[3] + v[4];
    return IntText::readOr(digits, -1);
}

bool VersionCheck::isNewer(const QString &answer)
{
    const QString trimmed = IntText::trimmed(answer);
    const QString s = IntText::upperAscii(trimmed);
    if (s.isEmpty() || s == QLatin1String("VER. 0.000"))
        return false;
    const int current = Conv_Version(QString::fromUtf16(Product::SoftwareVersion));
    const int offered = Conv_Version(trimmed);
    return current != -1 && offered != -1 && offered > current;
}

QString VersionCheck::answerText(const QByteArray &body, const QByteArray &contentType)
{
    if (body.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(body.mid(3));
    if (contentType.toLower().contains("charset=utf-8"))
        return QString::fromUtf8(body);
    return QString::fromLatin1(body);
}

VersionCheck::VersionCheck(QObject *parent)
    : QObject(parent)
    , m_client(new Http10Get(this))
    , m_endpoint(vendorEndpoint())
{
}

VersionCheck::~VersionCheck() = default;

bool VersionCheck::isRunning() const
{
    return m_client->isRunning();
}

QString VersionCheck::lastError() const
{
    return m_client->reply().error;
}

QString VersionCheck::fetchAnswer()
{
    if (!m_client->isRunning()) {
        m_client->start(m_endpoint.host, m_endpoint.port, requestTarget(),
                        {{"Accept", acceptHeader()}, {"User-Agent", userAgentHeader()}}, m_timeoutMs);
    }
    if (m_client->isRunning()) {
        QEventLoop loop;
        connect(m_client, &Http10Get::finished, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        // The application may be quitting: every event loop is told to end.
        if (m_client->isRunning())
            return QString();
    }
    const Http10Get::Reply &reply = m_client->reply();
    return reply.ok ? answerText(reply.body, reply.contentType) : QString();
}

bool VersionCheck::Check_Version()
{
    return isNewer(fetchAnswer());
}
