#pragma once

#include <QString>

#include <chrono>

// Starts an external program and blocks until it ends or a time limit passes. The program
// is never stopped: past the limit the caller simply stops waiting for it.
class ProgramRunner
{
public:
    // What became of a run. The update window tells the user nothing about it; tests and
    // diagnostics use it.
    enum class Outcome { NotStarted, Ended, LimitPassed };

    virtual ~ProgramRunner() = default;

    // NomeSW: the program file; Parameter: its command line, empty for none; tipo: start
    // it with its window hidden (meaningful on Windows only).
    virtual Outcome Start_Program(const QString &NomeSW, const QString &Parameter, bool tipo) = 0;
};

// Runs programs on this system, checking every 10 ms whether the program has ended.
class SystemProgramRunner : public ProgramRunner
{
public:
    static constexpr std::chrono::milliseconds DefaultLimit{150000};

    explicit SystemProgramRunner(std::chrono::milliseconds limit = DefaultLimit);

    Outcome Start_Program(const QString &NomeSW, const QString &Parameter, bool tipo) override;

    std::chrono::milliseconds limit() const { return m_limit; }

private:
    std::chrono::milliseconds m_limit;
};
