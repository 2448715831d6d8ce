#pragma once

#include <QString>

#include <chrono>
#include <memory>

class Catalog;
class QLockFile;

// Everything that writes a project (the editors' OK, the build, the firmware merge, the command
// line's build, import and firmware) holds this lock while it reads and writes the project, so
// that two programs never mix their work in one project. It is a file in the project folder,
// shared by the configurator and praxedo-cli; a lock left by a program that died is taken over.
// A second writer waits a few seconds, then gives up with a message naming who holds the lock.
// Taken again inside the same process, it is simply held once more. Something else at the lock
// file's name (a folder, a FIFO, a link, a file that cannot be read) is refused at once, naming it.
class ProjectLock
{
public:
    explicit ProjectLock(const QString &projectDir);
    ~ProjectLock();
    ProjectLock(const ProjectLock &) = delete;
    ProjectLock &operator=(const ProjectLock &) = delete;

    // True when the lock is held now. Also true when no lock file can be made at all (a
    // read-only folder): the lock must never stand in the way of a single user, and the
    // writing itself then reports what is wrong.
    bool acquire();
    void release();

    // After a refused acquire(): who holds the lock, as "praxedo-cli (process 4242 on host a1)".
    QString holder() const;
    // The English refusal for the command line and the build; and the one a window shows.
    QString refusal() const;
    QString refusal(const Catalog &catalog) const;

    static QString fileName();
    static std::chrono::milliseconds waitTime();
    static void setWaitTime(std::chrono::milliseconds wait); // tests wait less

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    bool m_held = false;
    QString m_holder;
    QString m_inTheWay; // what stands at the lock's name when it is no lock file

    QString inTheWay(const Catalog &catalog) const;
};
