#pragma once

#include "attachments.h"

#include <QDate>
#include <QString>
#include <QVariant>
#include <array>
#include <memory>
#include <optional>

class Connection;
class QWidget;

// One attachment slot as the editor holds it.
struct AttachmentValue
{
    QString storedName;
    QString sourceName;
    // A file chosen in this editing session. It is copied into the document store only when
    // the record is saved (a new record has no id before that, and a cancelled editor must not
    // replace a stored file its record still names).
    QString chosenPath;
};

// The editable part of one row of `iktato`.
struct Resolution
{
    int id = -1; // -1 until a new record is saved
    int year = 0;
    int committee = 0;
    int number = 0; // az
    QDate date;
    QString subject;
    QString text; // exactly as stored: the editor types CR LF, a text from elsewhere keeps its own
    bool hasDeadline = false;
    QDate deadline; // only meaningful with hasDeadline
    QString responsible;
    QVariant status; // NULL, 0, 1 or 2
    std::array<AttachmentValue, AttachmentSlotCount> attachments;
};

// Highest serial number of the year and committee plus 1; 1 for the first one.
int NextResolutionNumber(Connection &con, int year, int committee);

// A new record of the committee dated `date`, numbered by NextResolutionNumber.
Resolution NewResolutionRecord(Connection &con, int committee, QDate date);

// The record with the given id; nullopt when there is none (another workstation deleted it).
std::optional<Resolution> LoadResolution(Connection &con, int id);

// The date of year `year` from the date field's "mm.dd" text (blanks shown as "_" or " ").
// An invalid date and a message saying what is wrong when the text names no day.
QDate ResolutionDate(int year, const QString &monthDay, QString *error = nullptr);

struct SaveResult
{
    bool ok = false;
    int id = -1;
    int number = 0;          // the serial number the record was saved with
    bool renumbered = false; // another workstation took the number first
    bool recordGone = false; // the record was deleted meanwhile
    QString error;
};

// A save whose COMMIT got no answer because the line broke, and whose outcome could not be
// looked up yet. The editor keeps it and the next save settles it first, so a second OK never
// saves the record twice; until then its files stay as the save left them (the replaced ones
// kept aside), so nothing is lost either way.
struct PendingSave
{
    bool isOpen() const { return id > 0; }

    int id = -1;                  // the row the save wrote
    int number = 0;               // the serial number it was written with
    QString writtenCheck;         // SQL condition on iktato that holds when the server kept the save
    unsigned long lostThread = 0; // the server session of the broken line
    std::shared_ptr<AttachmentPlacement> files;
};

enum class SaveOutcome { Kept, Dropped, Unknown };

// Finds out whether the server kept a pending save (ending the broken line's session first, so
// that the answer is final), then keeps or undoes its files and closes it. Unknown while the
// server cannot be asked; the save stays pending then.
SaveOutcome SettlePendingSave(Connection &con, PendingSave &pending);

// The server-side lock name (an SQL expression) that serialises the numbering of a year and
// committee between workstations where the database has no unique key on the number.
QString NumberingLockSql(int year, int committee);

// Saves `edited` in one transaction: the row (the fields that differ from `loaded`; a new
// record with all of them, and status 1 when it has a deadline and no status yet), the
// resolution text when it changed, and the subject added to the catalogue; the chosen
// attachment files are put under the record's stored names only as the transaction commits.
// Every text is checked for characters the database cannot hold before anything is written.
// Any failure rolls the whole save back, puts the files back as they were, and is returned
// with its text. A new record whose number another workstation saved first takes the next free
// number. A COMMIT whose outcome is unknown is looked up; while it cannot be, it is left in
// *pending (or, without one, its files stay as they are) and the next call settles it first.
SaveResult SaveResolution(Connection &con, const Resolution &loaded, const Resolution &edited,
                          const QString &documentStore, PendingSave *pending = nullptr);

// The editor: recordId -1 makes a new record of the committee dated `date`; any other id
// edits that record (committee and date unused). Returns the saved record's id, or -1 when
// the editor was cancelled or the record no longer exists. The document store is the folder
// of the attachments; fontSize 0 keeps the parent's font size.
int EditResolution(Connection &con, int recordId, int committeeId, QDate date, const QString &documentStore,
                   int fontSize = 0, QWidget *parent = nullptr);

// The editor part of a new record, once the committee and the date are chosen.
int NewResolution(Connection &con, int committeeId, QDate date, const QString &documentStore,
                  int fontSize = 0, QWidget *parent = nullptr);
