#pragma once

#include <QList>
#include <QString>
#include <optional>

class Connection;

// A save that replaces attachments moves files in the document store before its COMMIT, and a
// crash of the program or of the server can come between the two. So before the first file
// moves, the save writes down in the store what it is about to move where, and holds a named
// lock on the server until the files are settled. A journal whose lock is free belongs to a save
// that ended without settling its files: any workstation can then look at the record and put
// the files in agreement with it (SettleInterruptedSaves).

// One file of a save: all names are bare names inside the document store.
struct JournalFile
{
    int slot = 0;
    QString target;    // the stored name the record will name
    QString source;    // the source file name the record will name
    QString copy;      // the new file's temporary name before it is placed
    QString keptAside; // where the file it replaces waits
    bool hadOld = false; // a file of the stored name was there before
};

struct SaveJournal
{
    QString id; // 32 hexadecimal digits: the journal's file name and the save's lock
    int recordId = -1;
    bool newRecord = false;
    // A new record's number, which no edit changes: with its id, the proof that it was kept.
    int year = 0;
    int committee = 0;
    int number = 0;
    QList<JournalFile> files;
};

// The name of the journal's lock on the server, as an SQL string.
QString JournalLockSql(const QString &journalId);
// A fresh id for a journal.
QString NewJournalId();
// Writes the journal into the store, synced to disk before it returns.
bool WriteSaveJournal(const QString &store, const SaveJournal &journal, QString *error);
bool SaveJournalExists(const QString &store, const QString &id);
void RemoveSaveJournal(const QString &store, const QString &id);
// The journal of the file; nullopt for one that is damaged or names anything outside the store.
std::optional<SaveJournal> ReadSaveJournal(const QString &path);

// Settles every journal left in the store (only those of `recordId` when it is not -1) whose
// save is no longer running anywhere: where the record names the new files they stay and the
// replaced ones go; otherwise the replaced files are put back and the new ones removed. Returns
// how many it settled. A server error ends it early; what it settled stays settled.
int SettleInterruptedSaves(Connection &con, const QString &store, int recordId = -1);
