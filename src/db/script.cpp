#include "script.h"

#include "common/text.h"
#include "connection.h"

using namespace Qt::StringLiterals;

QString ScriptReader::feed(const QString &rawLine)
{
    const QString line = rawLine.trimmed();
    if (line.isEmpty())
        return {};
    if (line.startsWith(u"delimiter"_s)) {
        m_delimiter = SplitField(u" "_s, line, 2);
        return {};
    }
    m_buffer.append(line);
    // The line's last characters, as many as the delimiter has: an empty delimiter ends every
    // line.
    if (!m_delimiter.isEmpty() && !line.endsWith(m_delimiter))
        return {};
    QString statement = m_buffer.join(u"\r\n"_s).trimmed();
    statement.chop(m_delimiter.size());
    m_buffer.clear();
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

int RunScript(Connection &con, const QStringList &lines, const std::function<bool(int, int)> &progress)
{
    ScriptReader reader;
    int executed = 0;
    for (int i = 0; i < lines.size(); ++i) {
        if (progress && !progress(i, int(lines.size())))
            break;
        const QString statement = reader.feed(lines.at(i));
        if (!statement.trimmed().isEmpty()) {
            con.exec(statement);
            ++executed;
        }
    }
    return executed;
}
