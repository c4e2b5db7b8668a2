#pragma once

#include "attachments.h"

#include <QDate>
#include <QString>
#include <QVariant>
#include <array>
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
    QString text; // as the editor holds it, any line breaks
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

// The text as it is stored: lines joined by CR LF, no line break after the last line.
QString ResolutionTextForDb(const QString &editorText);

struct SaveResult
{
    bool ok = false;
    int id = -1;
    int number = 0;          // the serial number the record was saved with
    bool renumbered = false; // another workstation took the number first
    bool recordGone = false; // the record was deleted meanwhile
    QString error;
};

// Saves `edited` in one transaction: the row (the fields that differ from `loaded`; a new
// record with all of them, and status 1 when it has a deadline and no status yet), the chosen
// attachment files copied into the store under the record's id, the resolution text, and the
// subject added to the catalogue. Any failure rolls the whole save back and is returned with
// its text. A new record whose number another workstation saved first takes the next free
// number and is saved with it.
SaveResult SaveResolution(Connection &con, const Resolution &loaded, const Resolution &edited,
                          const QString &documentStore);

// The editor: recordId -1 makes a new record of the committee dated `date`; any other id
// edits that record (committee and date unused). Returns the saved record's id, or -1 when
// the editor was cancelled or the record no longer exists. The document store is the folder
// of the attachments; fontSize 0 keeps the parent's font size.
int EditResolution(Connection &con, int recordId, int committeeId, QDate date, const QString &documentStore,
                   int fontSize = 0, QWidget *parent = nullptr);

// The editor part of a new record, once the committee and the date are chosen.
int NewResolution(Connection &con, int committeeId, QDate date, const QString &documentStore,
                  int fontSize = 0, QWidget *parent = nullptr);
