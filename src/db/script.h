#pragma once

#include "dberror.h"

#include <QString>
#include <QStringList>

// Statements of an SQL script, read line by line as the mariadb client reads them. Between
// statements, blank lines and whole-line comments ("--", "#") are passed over, and a line
// whose first word is "delimiter" in any letter case sets the delimiter to its next word (";"
// at first; none when the line names none, so that every line ends a statement). A statement is
// complete at the line that ends with the delimiter, blanks after it aside.
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
    bool readsDelimiterLine(const QString &trimmed);

    QString m_delimiter = QStringLiteral(";");
    QString m_buffer;
    int m_line = 0;
    int m_startLine = 0;
    int m_statementLine = 0;
    bool m_lineOpen = false; // the last line came without its line break
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
