#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class Connection;

// How the SQL console runs what is typed, decided without a window.

enum class RunMode {
    Table,  // a first line "table: name" opens that table for editing
    Query,  // the text is opened as a query and its rows are shown
    Script, // the lines are executed statement by statement
};

struct RunPlan
{
    RunMode mode = RunMode::Script;
    QString tableName; // Table
    QString sql;       // Query
    QStringList lines; // Script
};

// A first line whose first five characters are "table" in any letter case asks for a table:
// the name is the second field of the line split at ":", trimmed (empty when there is none).
bool IsTableLine(const QString &firstLine);
QString TableLineName(const QString &firstLine);

// Whether the text, trimmed and upper-cased, begins with SELECT or SHOW.
bool IsQueryText(const QString &text);

// The editor's text as lines: CR LF, LF and CR all end a line. A text ending with a line break
// has no empty last line; an empty text has no lines.
QStringList TextLines(const QString &text);

// Run (F5): the table of a "table" first line; otherwise the selection when there is one (as a
// single line, its line breaks kept inside it) or else all lines, opened as a query when it
// begins with SELECT or SHOW and run as a script when not.
RunPlan PlanRun(const QStringList &lines, const QString &selection);
// Run as a query (F9): the table of a "table" first line; otherwise the selection, or the whole
// text up to its first ";", opened as a query whatever it holds.
RunPlan PlanQueryRun(const QStringList &lines, const QString &selection);

// A script run with a stop request and a pulse for the window. The pulse comes before the first
// line and then at most once per interval, not for every line: a backup script has hundreds of
// thousands of lines, and letting each of them through the event loop would cost more than the
// server's work.
class ScriptRunner
{
public:
    struct Outcome
    {
        int statements = 0; // executed
        bool stopped = false;
        qint64 elapsedMs = 0;
    };

    // `pulse` gets the index of the line about to be read and the line count.
    void setPulse(std::function<void(int line, int lineCount)> pulse, int intervalMs = 100);
    // The run ends before the next line: the statement being executed is finished, the ones
    // after it are not run. Meant to be called from the pulse (a stop button's click).
    void requestStop() { m_stopRequested = true; }
    bool stopRequested() const { return m_stopRequested; }

    // Runs the lines; a failing statement raises DbError, the statements before it stay
    // executed. Lines left after the last delimiter are not executed.
    Outcome run(Connection &con, const QStringList &lines);

private:
    std::function<void(int, int)> m_pulse;
    int m_intervalMs = 100;
    bool m_stopRequested = false;
};

// The closing message of a script run that ended without an error.
QString ScriptDoneText(const ScriptRunner::Outcome &outcome);
