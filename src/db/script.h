#pragma once

#include "dberror.h"

#include <QString>
#include <QStringList>

// Statements of an SQL script, read line by line as the mariadb client reads them. Between
// statements, blank lines and whole-line comments ("--", "#") are passed over, and a line
// whose first word is "delimiter" in any letter case sets the delimiter to its next word (";"
// at first; none when the line names none, so that every line ends a statement). A statement is
// complete at the line that ends with the delimiter, blanks after it aside, where the delimiter
// is SQL code: a line that ends inside a string, a quoted name or a comment (or whose delimiter
// is in a "--" or "#" comment) does not end the statement.
//
// A statement keeps its lines exactly as written, line breaks and blanks inside it included (a
// multi-line string literal arrives as typed); only the blanks before it and the delimiter with
// what follows it are cut off. A line given without its line break is joined to the next one
// with LF. Lines after the last delimiter form no statement.
class ScriptReader
{
public:
    // Feeds one line; returns the completed statement when this line ends one, else empty.
    QString feed(const QString &line);
    const QString &delimiter() const { return m_delimiter; }
    // The line (1-based) where the statement feed() returned last begins.
    int statementLine() const { return m_statementLine; }

private:
    enum class Quote { None, Single, Double, Backtick, Comment };

    bool readsDelimiterLine(const QString &trimmed);
    // Follows strings, quoted names and comments through a line of a statement from where the
    // lines before it left off; gives the end of the line's last character of SQL code.
    qsizetype followQuotes(QStringView line);

    QString m_delimiter = QStringLiteral(";");
    QString m_buffer;
    int m_line = 0;
    int m_startLine = 0;
    int m_statementLine = 0;
    bool m_lineOpen = false; // the last line came without its line break
    Quote m_quote = Quote::None;
};

QStringList SplitScript(const QStringList &lines);

// A statement of a script that the server refused: its error, and where the statement begins.
class ScriptStatementError : public DbError
{
public:
    ScriptStatementError(const DbError &error, int line, const QString &statement);
    int line() const { return m_line; }
    // "A hibás utasítás a(z) 4. sorban kezdődik: INSERT INTO ..." (its first characters).
    const QString &location() const { return m_location; }

private:
    int m_line;
    QString m_location;
};
