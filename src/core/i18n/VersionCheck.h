#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class Http10Get;

// Asks the vendor's version-query endpoint which software version is current and tells
// whether it is newer than ours. One instance serves the main window's timer and the
// options window, so two checks never run at once.
class VersionCheck : public QObject
{
    Q_OBJECT
public:
    struct Endpoint
    {
        QString host;
        quint16 port = 80;
    };

    static constexpr int DefaultTimeoutMs = 10000;

    // "host" or "host:port" (as PRAXEDO_VENDOR_HOST is written); port 0 when unusable.
    static Endpoint parseEndpoint(const QString &hostAndPort);
    static Endpoint vendorEndpoint();

    // What is asked, and how.
    static QByteArray requestTarget();
    static QByteArray acceptHeader();
    static QByteArray userAgentHeader();

    // "VER. 2.002" -> 2002: characters 1, 3, 4 and 5 of the text after the first blank,
    // read as an integer; -1 when that is impossible.
    static int Conv_Version(const QString &Ver_str);
    // Whether an answer of the endpoint offers a version newer than ours.
    static bool isNewer(const QString &answer);
    // The response body as text.
    static QString answerText(const QByteArray &body, const QByteArray &contentType);

    explicit VersionCheck(QObject *parent = nullptr);
    ~VersionCheck() override;

    void setEndpoint(const Endpoint &endpoint) { m_endpoint = endpoint; }
    const Endpoint &endpoint() const { return m_endpoint; }
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }

    // Asks the endpoint and waits for its answer, at most the time-out; windows keep
    // repainting meanwhile but take no input. Any failure counts as no newer version.
    // Called while a check runs, it waits for that one and shares its answer.
    bool Check_Version();
    // The answer as text; empty on any failure.
    QString fetchAnswer();
    bool isRunning() const;
    // Why the last request failed (empty when it succeeded).
    QString lastError() const;

private:
    Http10Get *m_client = nullptr;
    Endpoint m_endpoint;
    int m_timeoutMs = DefaultTimeoutMs;
};
