#include "script.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

constexpr int ExcerptLength = 60;

bool IsLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r';
}

bool IsWholeLineComment(const QString &trimmed)
{
    return trimmed.startsWith(u'#') || trimmed == u"--"_s || trimmed.startsWith(u"-- "_s) ||
           trimmed.startsWith(u"--\t"_s);
}

// The text without the blanks and line breaks at its end.
QStringView WithoutTrailingBlanks(QStringView text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    return text.first(end);
}

} // namespace

bool ScriptReader::readsDelimiterLine(const QString &trimmed)
{
    static const QRegularExpression word(u"^delimiter(?:\\s+(\\S+))?\\s*$"_s,
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = word.match(trimmed);
    if (!match.hasMatch())
        return false;
    m_delimiter = match.captured(1);
    return true;
}

QString ScriptReader::feed(const QString &line)
{
    ++m_line;
    if (m_buffer.isEmpty()) {
        // Commands and comments are read only between statements: inside one, a line may be
        // part of a string.
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || IsWholeLineComment(trimmed) || readsDelimiterLine(trimmed))
            return {};
        m_startLine = m_line;
        qsizetype first = 0;
        while (line.at(first).isSpace())
            ++first;
        m_buffer = line.mid(first);
    } else {
        if (m_lineOpen)
            m_buffer += u'\n';
        m_buffer += line;
    }
    m_lineOpen = line.isEmpty() || !IsLineBreak(line.back());
    const QStringView ending = WithoutTrailingBlanks(m_buffer);
    if (!m_delimiter.isEmpty() && !ending.endsWith(m_delimiter))
        return {};
    QString statement = ending.chopped(m_delimiter.size()).toString();
    m_buffer.clear();
    m_statementLine = m_startLine;
    return statement;
}

QStringList SplitScript(const QStringList &lines)
{
    ScriptReader reader;
    QStringList statements;
    for (const QString &line : lines) {
        const QString statement = reader.feed(line);
        if (!statement.isEmpty())
            statements.append(statement);
    }
    return statements;
}

ScriptStatementError::ScriptStatementError(const DbError &error, int line, const QString &statement)
    : DbError(error.message(), error.number()), m_line(line)
{
    QString excerpt = statement.simplified();
    if (excerpt.size() > ExcerptLength)
        excerpt = excerpt.left(ExcerptLength) + u'…';
    m_location = u"A hibás utasítás a(z) %1. sorban kezdődik: %2"_s.arg(line).arg(excerpt);
}
