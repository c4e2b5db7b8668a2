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
#include <memory>
#include <zip.h>

using namespace Qt::StringLiterals;

bool RestoreReport::allMatch() const
{
    return std::all_of(tables.cbegin(), tables.cend(), [](const RestoredTable &t) { return t.matches(); });
}

namespace {

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

// The table a TRUNCATE or INSERT IGNORE line names, as the backup writes them.
QString tableAfter(const QByteArray &line, qsizetype start)
{
    qsizetype end = start;
    while (end < line.size() && line.at(end) != ' ' && line.at(end) != ';')
        ++end;
    return FromCp1250(line.mid(start, end - start));
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
    QList<RestoredTable> &tables() { return m_tables; }

private:
    QList<RestoredTable> m_tables;
};

// Whether the statement leaves the connection's database: a dump made with --databases creates
// and selects its own, and loading it "into" another profile would overwrite the original.
bool switchesDatabase(const QString &statement)
{
    QStringView rest(statement);
    // Comment lines that the reader joined to the statement.
    while (true) {
        rest = rest.trimmed();
        if (!rest.startsWith(u"--"))
            break;
        const qsizetype end = rest.indexOf(u'\n');
        rest = end < 0 ? QStringView() : rest.mid(end + 1);
    }
    for (const QString &word :
         {u"USE"_s, u"CREATE DATABASE"_s, u"CREATE SCHEMA"_s, u"DROP DATABASE"_s, u"DROP SCHEMA"_s}) {
        if (rest.startsWith(word, Qt::CaseInsensitive) && rest.size() > word.size() &&
            rest.at(word.size()).isSpace())
            return true;
    }
    return false;
}

QString quotedIdentifier(const QString &name)
{
    return u'`' + QString(name).replace(u'`', u"``"_s) + u'`';
}

} // namespace

RestoreReport RestoreBackupFile(Connection &con, const QString &path,
                                const std::function<bool(qint64, qint64)> &progress)
{
    std::unique_ptr<QIODevice> in;
    qint64 total = 0;
    std::function<bool()> readFailed;
    if (IsZipBackupPath(path)) {
        auto entry = std::make_unique<ZipEntryDevice>(path);
        total = entry->entrySize();
        readFailed = [device = entry.get()] { return device->failed(); };
        in = std::move(entry);
    } else {
        auto file = std::make_unique<QFile>(path);
        if (!file->open(QIODevice::ReadOnly))
            throw DbError(u"A mentés nem olvasható: "_s + path + u" ("_s + file->errorString() + u')');
        total = file->size();
        readFailed = [device = file.get()] { return device->error() != QFileDevice::NoError; };
        in = std::move(file);
    }

    // Rows put back are not edits: their history is in the backup's own history table.
    const HistoryPause noHistory(con);
    RestoreReport report;
    TableTally tally;
    ScriptReader reader;
    qsizetype inserting = -1; // the table of the INSERT IGNORE statement being read
    qint64 done = 0;
    while (true) {
        QByteArray line = in->readLine();
        if (line.isEmpty()) {
            if (readFailed())
                throw DbError(u"A mentés nem olvasható: "_s + path + u" ("_s + in->errorString() + u')');
            break;
        }
        done += line.size();
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        if (line.startsWith("TRUNCATE ")) {
            tally.indexOf(tableAfter(line, 9));
        } else if (line.startsWith("INSERT IGNORE INTO ")) {
            inserting = tally.indexOf(tableAfter(line, 19));
        } else if (inserting >= 0 && line.startsWith('(')) {
            tally.countRow(inserting);
        }
        const QString statement = reader.feed(FromCp1250(line));
        if (statement.isEmpty())
            continue;
        inserting = -1;
        if (switchesDatabase(statement))
            throw DbError(
                u"A mentés másik adatbázisba töltene (\"%1\"); ide csak a program saját mentése tölthető vissza."_s
                    .arg(statement.section(u'\n', -1).left(80)));
        con.exec(statement);
        ++report.statements;
        if (progress && !progress(done, total)) {
            report.stopped = true;
            break;
        }
    }
    for (RestoredTable &table : tally.tables()) {
        try {
            const ResultSet count = con.query(u"SELECT COUNT(*) FROM "_s + quotedIdentifier(table.name));
            table.tableRows = count.text(0, 0).toLongLong();
        } catch (const DbError &) {
            table.tableRows = -1;
        }
    }
    report.tables = tally.tables();
    return report;
}

QString RestoreReportText(const RestoreReport &report)
{
    QStringList lines;
    if (report.stopped)
        lines << u"A visszaállítás leállítva: a mentésnek csak egy része került az adatbázisba."_s;
    else if (report.allMatch())
        lines << u"A visszaállítás kész, minden tábla sorainak száma egyezik a mentésével."_s;
    else
        lines << u"A visszaállítás lefutott, de van tábla, amelynek sorainak száma eltér a mentésétől."_s;
    lines << QString();
    for (const RestoredTable &table : report.tables) {
        const QString held = table.tableRows < 0 ? u"nem számolható"_s : u"%1 sor"_s.arg(table.tableRows);
        lines << u"%1: %2, a mentésben %3 sor – %4"_s.arg(table.name, held)
                     .arg(table.scriptRows)
                     .arg(table.matches() ? u"egyezik"_s : u"ELTÉR"_s);
    }
    return lines.join(u"\r\n"_s);
}
