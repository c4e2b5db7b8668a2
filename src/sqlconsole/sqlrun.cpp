#include "sqlrun.h"

#include "common/text.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "db/script.h"

#include <QElapsedTimer>
#include <mysqld_error.h>
#include <utility>

using namespace Qt::StringLiterals;

bool IsTableLine(const QString &firstLine)
{
    return firstLine.left(5).toLower() == u"table"_s;
}

QString TableLineName(const QString &firstLine)
{
    return SplitField(u":"_s, firstLine, 2).trimmed();
}

bool IsQueryText(const QString &text)
{
    const QString upper = text.trimmed().toUpper();
    return upper.startsWith(u"SELECT"_s) || upper.startsWith(u"SHOW"_s);
}

QStringList TextLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    const QChar *data = text.constData();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = data[i].unicode();
        if (c != u'\n' && c != u'\r')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < size && data[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(text.mid(start));
    return lines;
}

QStringList ScriptLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c != u'\n' && c != u'\r')
            continue;
        if (c == u'\r' && i + 1 < size && text.at(i + 1) == u'\n')
            ++i;
        lines.append(text.mid(start, i + 1 - start));
        start = i + 1;
    }
    if (start < size)
        lines.append(text.mid(start));
    return lines;
}

namespace {

bool TablePlan(const QString &text, RunPlan &plan)
{
    const QString firstLine = TextLines(text.left(text.indexOf(u'\n'))).value(0);
    if (!IsTableLine(firstLine))
        return false;
    plan.mode = RunMode::Table;
    plan.tableName = TableLineName(firstLine);
    return true;
}

} // namespace

RunPlan PlanRun(const QString &text, const QString &selection)
{
    RunPlan plan;
    if (TablePlan(text, plan))
        return plan;
    const QString run = selection.isEmpty() ? text : selection;
    if (IsQueryText(run)) {
        plan.mode = RunMode::Query;
        plan.sql = run;
    } else {
        plan.mode = RunMode::Script;
        plan.lines = selection.isEmpty() ? ScriptLines(text) : QStringList{selection};
    }
    return plan;
}

RunPlan PlanQueryRun(const QString &text, const QString &selection)
{
    RunPlan plan;
    if (TablePlan(text, plan))
        return plan;
    plan.mode = RunMode::Query;
    plan.sql = selection.isEmpty() ? SplitField(u";"_s, text, 1) : selection;
    return plan;
}

void ScriptRunner::setPulse(std::function<void(int, int)> pulse, int intervalMs)
{
    m_pulse = std::move(pulse);
    m_intervalMs = intervalMs;
}

bool ScriptRunner::stopRequested() const
{
    return m_stopRequested.load() || (m_externalStop && m_externalStop->load());
}

ScriptRunner::Outcome ScriptRunner::run(Connection &con, const QStringList &lines)
{
    Outcome outcome;
    QElapsedTimer clock;
    clock.start();
    qint64 lastPulse = -1;
    ScriptReader reader;
    for (int i = 0; i < lines.size() && !stopRequested(); ++i) {
        if (m_pulse && (lastPulse < 0 || clock.elapsed() - lastPulse >= m_intervalMs)) {
            lastPulse = clock.elapsed();
            m_pulse(i, int(lines.size()));
            if (stopRequested())
                break;
        }
        const QString statement = reader.feed(lines.at(i));
        if (statement.trimmed().isEmpty())
            continue;
        try {
            con.exec(statement);
        } catch (const DbError &error) {
            if (stopRequested() && error.number() == ER_QUERY_INTERRUPTED)
                break;
            throw ScriptStatementError(error, reader.statementLine(), statement);
        }
        ++outcome.statements;
    }
    outcome.stopped = stopRequested();
    outcome.elapsedMs = clock.elapsed();
    return outcome;
}

void ReadQueryInParts(Connection &con, const QString &sql, const QueryPartSink &deliver)
{
    ResultSet part;
    bool firstSent = false;
    QElapsedTimer sinceSent;
    sinceSent.start();
    const auto takeRow = [&](const ResultSet &columns, const char *const *cells,
                             const unsigned long *lengths) {
        if (part.columnCount() == 0)
            part.setFields(columns.fields());
        part.appendRow(cells, lengths);
        const bool due = firstSent ? (part.rowCount() % 64 == 0 && sinceSent.elapsed() >= QueryPartMs)
                                   : part.rowCount() >= QueryFirstPartRows;
        if (due) {
            part.squeeze();
            deliver(std::exchange(part, ResultSet()), false);
            firstSent = true;
            sinceSent.restart();
        }
        return true;
    };
    ResultSet header;
    try {
        header = con.forEachRow(sql, takeRow);
    } catch (const DbError &) {
        // Stopped or broken on the way: the rows that came are handed over before the error.
        if (part.rowCount() > 0)
            deliver(std::move(part), false);
        throw;
    }
    if (part.columnCount() == 0)
        part.setFields(header.fields());
    part.squeeze();
    deliver(std::move(part), true);
}

QString ScriptDoneText(const ScriptRunner::Outcome &outcome)
{
    const QString first = outcome.stopped ? u"SQL futtatás megállítva."_s : u"SQL futtatás kész."_s;
    const QString seconds = QString::number(double(outcome.elapsedMs) / 1000.0, 'f', 1).replace(u'.', u',');
    return first + u"\r\n"_s + u"%1 utasítás lefutott, %2 mp alatt."_s.arg(outcome.statements).arg(seconds);
}
