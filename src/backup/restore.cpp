#include "restore.h"

#include "backupfile.h"
#include "common/cp1250.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "db/script.h"
#include "schema/sessionvariables.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRegularExpression>
#include <memory>
#include <zip.h>

using namespace Qt::StringLiterals;

bool RestoreReport::allMatch() const
{
    return std::all_of(tables.cbegin(), tables.cend(),
                       [](const RestoredTable &t) { return !t.rowsKnown || t.matches(); });
}

qsizetype RestoreReport::compared() const
{
    return std::count_if(tables.cbegin(), tables.cend(), [](const RestoredTable &t) { return t.rowsKnown; });
}

namespace restore {

// The one .sql entry of an archive, read as a sequential device.
class ZipEntryDevice : public QIODevice
{
public:
    explicit ZipEntryDevice(const QString &path)
    {
        int code = 0;
        m_archive.reset(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code));
        if (!m_archive) {
            zip_error_t error;
            zip_error_init_with_code(&error, code);
            const QString text = QString::fromLocal8Bit(zip_error_strerror(&error));
            zip_error_fini(&error);
            throw DbError(u"A tömörített mentés nem olvasható: "_s + path + u" ("_s + text + u')');
        }
        zip_stat_t stat;
        if (zip_get_num_entries(m_archive.get(), 0) != 1 ||
            zip_stat_index(m_archive.get(), 0, 0, &stat) != 0 ||
            !QString::fromUtf8(stat.name).endsWith(u".sql"_s, Qt::CaseInsensitive))
            throw DbError(u"A tömörített állomány nem egyetlen SQL mentést tartalmaz: "_s + path);
        m_size = (stat.valid & ZIP_STAT_SIZE) ? qint64(stat.size) : 0;
        m_file.reset(zip_fopen_index(m_archive.get(), 0, 0));
        if (!m_file)
            throw DbError(u"A tömörített mentés nem olvasható: "_s + path + u" ("_s +
                          QString::fromLocal8Bit(zip_strerror(m_archive.get())) + u')');
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }
    qint64 entrySize() const { return m_size; }
    bool failed() const { return m_failed; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const zip_int64_t n = zip_fread(m_file.get(), data, zip_uint64_t(maxSize));
        if (n < 0) {
            m_failed = true;
            setErrorString(QString::fromLocal8Bit(zip_file_strerror(m_file.get())));
        }
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    // Owned from the start: a refused archive throws from the constructor, where no destructor
    // would close it.
    struct CloseArchive
    {
        void operator()(zip_t *archive) const { zip_discard(archive); }
    };
    struct CloseEntry
    {
        void operator()(zip_file_t *file) const { zip_fclose(file); }
    };
    std::unique_ptr<zip_t, CloseArchive> m_archive;
    std::unique_ptr<zip_file_t, CloseEntry> m_file; // declared after the archive: closed first
    qint64 m_size = 0;
    bool m_failed = false;
};

// The table of a line the program's own backup writes: "TRUNCATE name;" or the header of an
// INSERT IGNORE statement whose rows follow one a line; empty for any other line.
QString ownTableLine(const QByteArray &line)
{
    static const QRegularExpression truncate(u"^TRUNCATE ([^ ;`]+);$"_s);
    static const QRegularExpression header(u"^INSERT IGNORE INTO ([^ `]+) \\(.*\\) VALUES$"_s);
    const QString text = FromCp1250(line);
    QRegularExpressionMatch match = truncate.match(text);
    if (!match.hasMatch())
        match = header.match(text);
    return match.hasMatch() ? match.captured(1) : QString();
}

// The statement as the server reads it: "--" and "#" comments and plain /* */ comments dropped,
// versioned comments (/*!40100 ... */, /*M!100000 ... */) opened, strings and quoted names kept.
QString codeOf(QStringView text)
{
    QString code;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const QChar c = text.at(i);
        if (c == u'\'' || c == u'"' || c == u'`') {
            qsizetype j = i + 1;
            while (j < n) {
                if (text.at(j) == u'\\' && c != u'`')
                    j += 2;
                else if (text.at(j) == c && j + 1 < n && text.at(j + 1) == c)
                    j += 2;
                else if (text.at(j) == c)
                    break;
                else
                    ++j;
            }
            j = qMin(j + 1, n);
            code += text.mid(i, j - i);
            i = j;
        } else if (c == u'#' || (text.mid(i).startsWith(u"--") && (i + 2 >= n || text.at(i + 2).isSpace()))) {
            const qsizetype end = text.indexOf(u'\n', i);
            i = end < 0 ? n : end;
        } else if (text.mid(i).startsWith(u"/*")) {
            const qsizetype end = text.indexOf(u"*/", i + 2);
            QStringView inner = text.mid(i + 2, (end < 0 ? n : end) - i - 2);
            code += u' ';
            if (inner.startsWith(u'!') || inner.startsWith(u"M!")) {
                inner = inner.mid(inner.startsWith(u'!') ? 1 : 2);
                qsizetype digits = 0;
                while (digits < inner.size() && inner.at(digits).isDigit())
                    ++digits;
                code += codeOf(inner.mid(digits)) + u' ';
            }
            i = end < 0 ? n : end + 2;
        } else {
            code += c;
            ++i;
        }
    }
    return code;
}

struct SqlToken
{
    QString text;
    bool quoted = false; // a name in backticks, its doubled backticks undone
};

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$' || c.unicode() >= 0x80;
}

// The first `count` words, names and signs of a statement's code.
QList<SqlToken> leadingTokens(const QString &code, int count)
{
    QList<SqlToken> tokens;
    qsizetype i = 0;
    while (tokens.size() < count) {
        while (i < code.size() && code.at(i).isSpace())
            ++i;
        if (i >= code.size())
            break;
        SqlToken token;
        if (code.at(i) == u'`') {
            token.quoted = true;
            for (++i; i < code.size(); ++i) {
                if (code.at(i) == u'`' && !(i + 1 < code.size() && code.at(i + 1) == u'`'))
                    break;
                if (code.at(i) == u'`')
                    ++i;
                token.text += code.at(i);
            }
            ++i;
        } else if (isWordChar(code.at(i))) {
            while (i < code.size() && isWordChar(code.at(i)))
                token.text += code.at(i++);
        } else {
            token.text = code.at(i++);
        }
        tokens << token;
    }
    return tokens;
}

bool isWord(const QList<SqlToken> &tokens, qsizetype at, QStringView word)
{
    return at < tokens.size() && !tokens.at(at).quoted &&
           tokens.at(at).text.compare(word, Qt::CaseInsensitive) == 0;
}

// Where the name of the table that an INSERT, REPLACE or CREATE TABLE statement loads is among
// its tokens; -1 for other statements.
qsizetype loadedTableAt(const QList<SqlToken> &t)
{
    qsizetype at = 1;
    if (isWord(t, 0, u"INSERT") || isWord(t, 0, u"REPLACE")) {
        while (isWord(t, at, u"LOW_PRIORITY") || isWord(t, at, u"DELAYED") ||
               isWord(t, at, u"HIGH_PRIORITY") || isWord(t, at, u"IGNORE"))
            ++at;
        if (isWord(t, at, u"INTO"))
            ++at;
        return at;
    }
    if (!isWord(t, 0, u"CREATE"))
        return -1;
    if (isWord(t, at, u"OR") && isWord(t, at + 1, u"REPLACE"))
        at += 2;
    if (isWord(t, at, u"TEMPORARY"))
        ++at;
    if (!isWord(t, at, u"TABLE"))
        return -1;
    ++at;
    if (isWord(t, at, u"IF") && isWord(t, at + 1, u"NOT") && isWord(t, at + 2, u"EXISTS"))
        at += 3;
    return at;
}

QString quotedIdentifier(const QString &name)
{
    return u'`' + QString(name).replace(u'`', u"``"_s) + u'`';
}

// The tables in the order the script names them, with the row lines found for each.
class TableTally
{
public:
    qsizetype indexOf(const QString &name)
    {
        for (qsizetype i = 0; i < m_tables.size(); ++i) {
            if (m_tables.at(i).name == name)
                return i;
        }
        m_tables.append(RestoredTable{name});
        return m_tables.size() - 1;
    }
    void countRow(qsizetype index) { ++m_tables[index].scriptRows; }
    void rowsUnknown(qsizetype index) { m_tables[index].rowsKnown = false; }
    QList<RestoredTable> &tables() { return m_tables; }

private:
    QList<RestoredTable> m_tables;
};

// The script being read: the file itself or the one entry of an archive.
struct ScriptInput
{
    std::unique_ptr<QIODevice> device;
    qint64 total = 0;
    std::function<bool()> readFailed;
};

ScriptInput openScript(const QString &path)
{
    ScriptInput in;
    if (IsZipBackupPath(path)) {
        auto entry = std::make_unique<ZipEntryDevice>(path);
        in.total = entry->entrySize();
        in.readFailed = [device = entry.get()] { return device->failed(); };
        in.device = std::move(entry);
    } else {
        auto file = std::make_unique<QFile>(path);
        if (!file->open(QIODevice::ReadOnly))
            throw DbError(u"A mentés nem olvasható: "_s + path + u" ("_s + file->errorString() + u')');
        in.total = file->size();
        in.readFailed = [device = file.get()] { return device->error() != QFileDevice::NoError; };
        in.device = std::move(file);
    }
    return in;
}

// One restore: the script's lines tallied, its statements run on the connection.
class ScriptRun
{
public:
    explicit ScriptRun(Connection &con) : m_con(con)
    {
        const ResultSet current = con.query(u"SELECT DATABASE(), @@lower_case_table_names"_s);
        m_database = current.text(0, 0);
        m_caseInsensitive = current.text(0, 1).toInt() != 0;
    }

    // Takes a line of the script; true when it completed a statement.
    bool feed(QByteArray line)
    {
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        if (const QString table = ownTableLine(line); !table.isEmpty()) {
            const qsizetype index = m_tally.indexOf(table);
            if (line.startsWith("INSERT")) {
                m_inserting = index;
                m_ownInsert = true;
            }
        } else if (m_inserting >= 0 && line.startsWith('(')) {
            m_tally.countRow(m_inserting);
        }
        const QString statement = m_reader.feed(FromCp1250(line));
        if (statement.isEmpty())
            return false;
        run(statement);
        m_inserting = -1;
        m_ownInsert = false;
        return true;
    }

    void stop() { m_report.stopped = true; }

    RestoreReport finish()
    {
        for (RestoredTable &table : m_tally.tables()) {
            try {
                const ResultSet count =
                    m_con.query(u"SELECT COUNT(*) FROM "_s + quotedIdentifier(table.name));
                table.tableRows = count.text(0, 0).toLongLong();
            } catch (const DbError &) {
                table.tableRows = -1;
            }
        }
        m_report.tables = m_tally.tables();
        return m_report;
    }

private:
    [[noreturn]] static void refuse(const QString &statement)
    {
        throw DbError(
            u"A mentés másik adatbázisba töltene (\"%1\"); ide csak a program saját mentése tölthető vissza."_s
                .arg(statement.section(u'\n', -1).left(80)));
    }

    bool sameDatabase(const QString &name) const
    {
        return name.compare(m_database, m_caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0;
    }

    void run(const QString &statement)
    {
        switch (ClassifyDatabaseStatement(statement, m_database, m_caseInsensitive)) {
        case DatabaseStatement::Other: refuse(statement);
        case DatabaseStatement::Own: return; // the database in use already
        case DatabaseStatement::None: break;
        }
        noteLoadedTable(statement);
        m_con.exec(statement);
        ++m_report.statements;
    }

    // A table loaded by a statement of another program's dump: named in the report, its rows not
    // counted. A table of another database refuses the script.
    void noteLoadedTable(const QString &statement)
    {
        if (m_ownInsert)
            return;
        const QList<SqlToken> tokens = leadingTokens(codeOf(statement), 16);
        const qsizetype at = loadedTableAt(tokens);
        if (at < 0 || at >= tokens.size())
            return;
        QString table = tokens.at(at).text;
        if (at + 2 < tokens.size() && !tokens.at(at + 1).quoted && tokens.at(at + 1).text == u"."_s) {
            if (!sameDatabase(table))
                refuse(statement);
            table = tokens.at(at + 2).text;
        }
        m_tally.rowsUnknown(m_tally.indexOf(table));
    }

    Connection &m_con;
    QString m_database;
    bool m_caseInsensitive = false;
    RestoreReport m_report;
    TableTally m_tally;
    ScriptReader m_reader;
    qsizetype m_inserting = -1; // the table of the program's own INSERT IGNORE statement being read
    bool m_ownInsert = false;
};

} // namespace restore

DatabaseStatement ClassifyDatabaseStatement(const QString &statement, const QString &database,
                                            bool caseInsensitive)
{
    using namespace restore;
    QList<SqlToken> t = leadingTokens(codeOf(statement), 8);
    while (!t.isEmpty() && !t.constLast().quoted && t.constLast().text == u";"_s)
        t.removeLast();
    const bool use = isWord(t, 0, u"USE");
    qsizetype at = 1;
    if (isWord(t, 1, u"DATABASE") || isWord(t, 1, u"SCHEMA")) {
        if (isWord(t, 0, u"DROP"))
            return DatabaseStatement::Other;
        if (!isWord(t, 0, u"CREATE"))
            return DatabaseStatement::None;
        at = isWord(t, 2, u"IF") && isWord(t, 3, u"NOT") && isWord(t, 4, u"EXISTS") ? 5 : 2;
    } else if (!use) {
        return DatabaseStatement::None;
    }
    // USE takes the name alone; CREATE DATABASE may go on with its character set.
    if (at >= t.size() || (use && t.size() > 2) || (!t.at(at).quoted && !isWordChar(t.at(at).text.at(0))))
        return DatabaseStatement::Other;
    const Qt::CaseSensitivity cs = caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    return t.at(at).text.compare(database, cs) == 0 && !database.isEmpty() ? DatabaseStatement::Own
                                                                           : DatabaseStatement::Other;
}

RestoreReport RestoreBackupFile(Connection &con, const QString &path,
                                const std::function<bool(qint64, qint64)> &progress)
{
    using namespace restore;
    ScriptInput in = openScript(path);
    ScriptRun run(con);
    // Rows put back are not edits: their history is in the backup's own history table.
    const HistoryPause noHistory(con);
    qint64 done = 0;
    while (true) {
        const QByteArray line = in.device->readLine();
        if (line.isEmpty()) {
            if (in.readFailed())
                throw DbError(u"A mentés nem olvasható: "_s + path + u" ("_s + in.device->errorString() +
                              u')');
            break;
        }
        done += line.size();
        if (run.feed(line) && progress && !progress(done, in.total)) {
            run.stop();
            break;
        }
    }
    return run.finish();
}

namespace restore {

QString reportHeadline(const RestoreReport &report)
{
    const qsizetype compared = report.compared();
    const qsizetype unchecked = report.tables.size() - compared;
    if (report.stopped)
        return u"A visszaállítás leállítva: a mentésnek csak egy része került az adatbázisba."_s;
    if (!report.allMatch())
        return u"A visszaállítás lefutott, de van tábla, amelynek sorainak száma eltér a mentésétől."_s;
    if (compared > 0 && unchecked == 0)
        return u"A visszaállítás kész, minden tábla sorainak száma egyezik a mentésével."_s;
    if (compared == 0)
        return u"A visszaállítás lefutott (%1 utasítás). A mentés nem a program saját mentése, sorait a "
               "program nem számolja meg: a táblák sorainak számát nem ellenőrizte."_s.arg(report.statements);
    return u"A visszaállítás kész: %1 tábla sorainak száma egyezik a mentésével, %2 tábláé nem "
           "ellenőrizhető."_s.arg(compared)
               .arg(unchecked);
}

} // namespace restore

QString RestoreReportText(const RestoreReport &report)
{
    QStringList lines{restore::reportHeadline(report), QString()};
    for (const RestoredTable &table : report.tables) {
        const QString held = table.tableRows < 0 ? u"nem számolható"_s : u"%1 sor"_s.arg(table.tableRows);
        if (!table.rowsKnown) {
            lines << u"%1: %2, a mentés sorai nem számolhatók – nincs ellenőrizve"_s.arg(table.name, held);
            continue;
        }
        lines << u"%1: %2, a mentésben %3 sor – %4"_s.arg(table.name, held)
                     .arg(table.scriptRows)
                     .arg(table.matches() ? u"egyezik"_s : u"ELTÉR"_s);
    }
    return lines.join(u"\r\n"_s);
}
