#include "script.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace script {

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

} // namespace script

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

qsizetype ScriptReader::followQuotes(QStringView line)
{
    qsizetype codeEnd = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        const QChar next = i + 1 < line.size() ? line.at(i + 1) : QChar();
        if (m_quote == Quote::Comment) {
            if (c == u'*' && next == u'/') {
                m_quote = Quote::None;
                ++i;
            }
        } else if (m_quote != Quote::None) {
            const QChar closing = m_quote == Quote::Single ? u'\'' : m_quote == Quote::Double ? u'"' : u'`';
            if (c == u'\\' && m_quote != Quote::Backtick)
                ++i; // an escaped character, a quote too
            else if (c == closing)
                m_quote = Quote::None;
            codeEnd = i + 1;
        } else if (c == u'/' && next == u'*') {
            m_quote = Quote::Comment;
            ++i;
        } else if (c == u'#' ||
                   (c == u'-' && next == u'-' && (i + 2 >= line.size() || line.at(i + 2).isSpace()))) {
            return codeEnd; // the rest of the line is a comment
        } else {
            if (c == u'\'')
                m_quote = Quote::Single;
            else if (c == u'"')
                m_quote = Quote::Double;
            else if (c == u'`')
                m_quote = Quote::Backtick;
            if (!c.isSpace())
                codeEnd = i + 1;
        }
    }
    return codeEnd;
}

QString ScriptReader::feed(const QString &line)
{
    ++m_line;
    QStringView added = line;
    if (m_buffer.isEmpty()) {
        // Commands and comments are read only between statements: inside one, a line may be
        // part of a string.
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || script::IsWholeLineComment(trimmed) || readsDelimiterLine(trimmed))
            return {};
        m_startLine = m_line;
        qsizetype first = 0;
        while (line.at(first).isSpace())
            ++first;
        added = added.sliced(first);
    } else if (m_lineOpen) {
        m_buffer += u'\n';
    }
    m_buffer += added;
    m_lineOpen = line.isEmpty() || !script::IsLineBreak(line.back());
    // The delimiter ends the statement only as SQL code: not inside a string, a quoted name or
    // a comment (a line of a string may well end with ";").
    const qsizetype codeEnd = followQuotes(added);
    const QStringView lineEnd = script::WithoutTrailingBlanks(added);
    if (!m_delimiter.isEmpty() &&
        (m_quote != Quote::None || codeEnd != lineEnd.size() || !lineEnd.endsWith(m_delimiter)))
        return {};
    QString statement = script::WithoutTrailingBlanks(m_buffer).chopped(m_delimiter.size()).toString();
    m_buffer.clear();
    m_quote = Quote::None;
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
    if (excerpt.size() > script::ExcerptLength)
        excerpt = excerpt.left(script::ExcerptLength) + u'…';
    m_location = u"A hibás utasítás a(z) %1. sorban kezdődik: %2"_s.arg(line).arg(excerpt);
}
