#include "sqlrun.h"

#include "common/text.h"
#include "db/script.h"

#include <QElapsedTimer>

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

namespace {

bool tablePlan(const QStringList &lines, RunPlan &plan)
{
    if (lines.isEmpty() || !IsTableLine(lines.constFirst()))
        return false;
    plan.mode = RunMode::Table;
    plan.tableName = TableLineName(lines.constFirst());
    return true;
}

} // namespace

RunPlan PlanRun(const QStringList &lines, const QString &selection)
{
    RunPlan plan;
    if (tablePlan(lines, plan))
        return plan;
    const QStringList text = selection.isEmpty() ? lines : QStringList{selection};
    const QString joined = text.join(u"\r\n"_s);
    if (IsQueryText(joined)) {
        plan.mode = RunMode::Query;
        plan.sql = joined;
    } else {
        plan.mode = RunMode::Script;
        plan.lines = text;
    }
    return plan;
}

RunPlan PlanQueryRun(const QStringList &lines, const QString &selection)
{
    RunPlan plan;
    if (tablePlan(lines, plan))
        return plan;
    plan.mode = RunMode::Query;
    plan.sql = selection.isEmpty() ? SplitField(u";"_s, lines.join(u"\r\n"_s), 1) : selection;
    return plan;
}

void ScriptRunner::setPulse(std::function<void(int, int)> pulse, int intervalMs)
{
    m_pulse = std::move(pulse);
    m_intervalMs = intervalMs;
}

ScriptRunner::Outcome ScriptRunner::run(Connection &con, const QStringList &lines)
{
    Outcome outcome;
    QElapsedTimer clock;
    clock.start();
    qint64 lastPulse = -1;
    outcome.statements = RunScript(con, lines, [&](int line, int count) {
        if (m_pulse) {
            const qint64 now = clock.elapsed();
            if (lastPulse < 0 || now - lastPulse >= m_intervalMs) {
                lastPulse = now;
                m_pulse(line, count);
            }
        }
        return !m_stopRequested;
    });
    outcome.stopped = m_stopRequested;
    outcome.elapsedMs = clock.elapsed();
    return outcome;
}

QString ScriptDoneText(const ScriptRunner::Outcome &outcome)
{
    const QString first = outcome.stopped ? u"SQL futtatás megállítva."_s : u"SQL futtatás kész."_s;
    const QString seconds = QString::number(double(outcome.elapsedMs) / 1000.0, 'f', 1).replace(u'.', u',');
    return first + u"\r\n"_s + u"%1 utasítás lefutott, %2 mp alatt."_s.arg(outcome.statements).arg(seconds);
}
