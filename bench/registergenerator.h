#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

class Connection;
class QIODevice;

// What a generated register looks like. The same options (seed included) always give the same
// register, byte for byte.
struct GeneratorOptions
{
    int records = 300;
    quint32 seed = 1;
    int firstYear = 2019;
    int lastYear = 2026;
    // The last day a record may carry; deadlines before it are mostly finished, later ones open.
    // Invalid means 31 December of lastYear.
    QDate until;
    int committees = 7;
    // „ ” and – in the texts. Only a cp1250 path can store them: latin2 has no such characters,
    // so a UTF-8 script loaded through a utf8mb4 client must do without.
    bool typographic = true;
    // Records per multi-row INSERT.
    int chunkRows = 500;
};

struct GeneratedCommittee
{
    int id = 0;
    QString name;
};

struct GeneratedUser
{
    int id = 0;
    QString login;
    QString fullName;
    QString password; // in clear, so the demo can tell how to log in
    bool admin = false;
    bool masterData = false;
};

struct GeneratedRecord
{
    int iktato = 0;
    int ev = 0;
    int csoport = 0;
    int az = 0;
    QDate datum;
    QString targy;
    QString hatarozat; // lines end in CR LF
    bool hasDeadline = false;
    QDate datHatid;  // valid only with a deadline
    QString felelos; // empty without a deadline
    int statusz = 0; // 0 = none (NULL), 1 open, 2 finished
    std::array<QString, 3> filenev;
    std::array<QString, 3> origfilenev;
};

// Produces a believable register of resolutions: committees, users, and records numbered
// 1..n per year and committee in date order, with ids in date order. Records are produced one
// by one, so a large register never has to be held in memory.
class RegisterGenerator
{
public:
    explicit RegisterGenerator(GeneratorOptions options);

    const GeneratorOptions &options() const { return m_options; }
    const QList<GeneratedCommittee> &committees() const { return m_committees; }
    const QList<GeneratedUser> &users() const { return m_users; }

    // Calls sink for every record in id order. May be called more than once: each run gives the
    // same records.
    void forEachRecord(const std::function<void(const GeneratedRecord &)> &sink) const;

    // The whole register as SQL statements for a database made from schema.sql: committees,
    // users, owner, records in multi-row INSERTs of chunkRows rows, the subject catalogue.
    // put receives one complete statement (ending in ";") at a time.
    void writeSql(const std::function<void(const QString &statement)> &put) const;

private:
    // Number and date of one record, planned before any text is made.
    struct Slot
    {
        QDate datum;
        int csoport = 0;
        int az = 0;
        bool firstOfMeeting = false;
    };
    void planSlots();

    GeneratorOptions m_options;
    QList<GeneratedCommittee> m_committees;
    QList<GeneratedUser> m_users;
    std::vector<Slot> m_slots;
};

// The register as a UTF-8 script (SET NAMES utf8mb4 first) for
// `mariadb --default-character-set=utf8mb4 DB < file`. The texts use plain " and - whatever
// options.typographic says, since the latin2 columns cannot take „ ” – from a UTF-8 client.
// Returns false and sets *error when the file cannot be written.
bool WriteRegisterSqlFile(GeneratorOptions options, const QString &path, QString *error = nullptr);
void WriteRegisterSql(GeneratorOptions options, QIODevice &out);

// The register inserted through a connection (cp1250 on the wire, so „ ” – survive), one
// transaction per chunk. The tables iktato, csoport, felhasznalo and targy must be empty:
// throws DbError otherwise, or when the server refuses a statement. progress, when given,
// receives the number of records inserted so far.
void InsertRegister(const GeneratorOptions &options, Connection &connection,
                    const std::function<void(int done)> &progress = {});
