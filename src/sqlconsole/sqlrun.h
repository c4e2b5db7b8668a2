#pragma once

#include "db/resultset.h"

#include <QString>
#include <QStringList>
#include <atomic>
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

// The text as lines, each with its line break as written (the last one may have none): joined
// again they give the text byte for byte.
QStringList ScriptLines(const QString &text);

// Run (F5): the table of a "table" first line; otherwise the selection when there is one (as a
// single line, its line breaks kept inside it) or else the editor's text, opened as a query when
// it begins with SELECT or SHOW and run as a script when not. Nothing of the text is rewritten.
RunPlan PlanRun(const QString &text, const QString &selection);
// Run as a query (F9): the table of a "table" first line; otherwise the selection, or the whole
// text up to its first ";", opened as a query whatever it holds.
RunPlan PlanQueryRun(const QString &text, const QString &selection);

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
    // The run ends before the next line; a statement that a stop interrupted on the server
    // (KILL QUERY) ends it too, as stopped, not failed. Callable from any thread.
    void requestStop() { m_stopRequested.store(true); }
    // The run also stops when `flag` is set (by another thread); it must outlive the run.
    void watchStop(const std::atomic<bool> *flag) { m_externalStop = flag; }
    bool stopRequested() const;

    // Runs the statements of the lines one by one (no transaction around them). A failing
    // statement raises ScriptStatementError; the statements before it stay executed. Lines left
    // after the last delimiter are not executed.
    Outcome run(Connection &con, const QStringList &lines);

private:
    std::function<void(int, int)> m_pulse;
    int m_intervalMs = 100;
    std::atomic<bool> m_stopRequested{false};
    const std::atomic<bool> *m_externalStop = nullptr;
};

// Reads the rows of a query and hands them over in parts, so that a window can show the first
// rows while the rest are on their way: the first part when QueryFirstPartRows rows are in, later
// ones when QueryPartMs have passed since the last, and a last part (maybe empty, with the columns)
// marked `last`. A statement without rows gives one empty last part. Throws DbError, after
// handing over the rows that came before it.
using QueryPartSink = std::function<void(ResultSet part, bool last)>;
void ReadQueryInParts(Connection &con, const QString &sql, const QueryPartSink &deliver);
constexpr int QueryFirstPartRows = 256;
constexpr int QueryPartMs = 200;

// The closing message of a script run that ended without an error.
QString ScriptDoneText(const ScriptRunner::Outcome &outcome);
