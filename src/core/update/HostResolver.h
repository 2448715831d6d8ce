#pragma once

#include <QString>

#include <functional>

class QObject;

// Finds the IPv4 address of a host name without blocking the caller: the answer comes later,
// on the caller's thread, through `done` (dotted address, or empty with the reason). No answer
// comes once `context` is gone or after cancel().
class HostResolver
{
public:
    using Done = std::function<void(const QString &address, const QString &error)>;

    virtual ~HostResolver() = default;
    virtual void lookup(const QString &name, QObject *context, Done done) = 0;
    virtual void cancel() = 0;
};

// The system's resolver (QHostInfo).
class SystemHostResolver : public HostResolver
{
public:
    void lookup(const QString &name, QObject *context, Done done) override;
    void cancel() override;

private:
    int m_lookupId = -1;
};
