#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class Connection;

// Statements of an SQL script, read line by line: blank lines are skipped, a line beginning
// with the lower-case word "delimiter" sets the delimiter (";" at first), and a statement is
// complete at the line that ends with the delimiter (at every line when a "delimiter" line
// names none). Lines after the last delimiter form no statement. Each statement keeps its lines joined by CR
// LF, without the delimiter.
class ScriptReader
{
public:
    // Feeds one line; returns the completed statement when this line ends one, else empty.
    QString feed(const QString &line);
    const QString &delimiter() const { return m_delimiter; }

private:
    QString m_delimiter = QStringLiteral(";");
    QStringList m_buffer;
};

QStringList SplitScript(const QStringList &lines);

// Runs the statements of the script one by one (no transaction around them). `progress` is
// called before each line with its index and the line count; returning false stops the run.
// A failing statement raises DbError; the statements before it stay executed. Returns the
// number of statements executed.
int RunScript(Connection &con, const QStringList &lines, const std::function<bool(int, int)> &progress = {});
