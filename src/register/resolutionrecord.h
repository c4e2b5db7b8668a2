#pragma once

#include "attachmentfiles.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <array>
#include <optional>

class Connection;

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

// The widths of the text columns `targy` and `felelos` of `iktato`, in characters: the editor
// takes no more, and a save refuses a longer text from elsewhere with its own message.
inline constexpr int SubjectMaxLength = 255;
inline constexpr int ResponsibleMaxLength = 1024;

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
// `forUpdate` also locks the row until the caller's transaction ends.
std::optional<Resolution> LoadResolution(Connection &con, int id, bool forUpdate = false);

// The date of year `year` from the date field's "mm.dd" text (blanks shown as "_" or " ").
// An invalid date and a message saying what is wrong when the text names no day.
QDate ResolutionDate(int year, const QString &monthDay, QString *error = nullptr);

// Every subject of the catalogue in alphabetical order, the empty one first when it is there:
// what the editor's subject box offers.
QStringList SubjectCatalogue(Connection &con);
