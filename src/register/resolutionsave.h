#pragma once

#include "editcollision.h"
#include "resolutionrecord.h"

#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class Connection;

struct SaveResult
{
    bool ok = false;
    int id = -1;
    int number = 0;          // the serial number the record was saved with
    bool renumbered = false; // another workstation took the number first
    bool recordGone = false; // the record was deleted meanwhile
    // Another workstation changed a field the clerk changed too, to another value, since the
    // editor opened: nothing was written; the clerk chooses (MergeEdits) and saves again with
    // the collision's `theirs` as the record loaded.
    std::optional<EditCollision> collision;
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
    Resolution written;           // the record as the save wrote it
    std::array<QString, AttachmentSlotCount> chosenPaths; // the files it placed, as chosen
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

// The steps of a save with attachments, for the tests that stop a save between two of them.
enum class SaveStep { JournalWritten, FilesPlaced, Committed, FilesSettled };
// Test seam: called at each step of every save of this process; empty, nothing is called.
void SetSaveStepHook(std::function<void(SaveStep)> hook);

// Saves `edited` in one transaction: the row (the fields that differ from `loaded`; a new
// record with all of them, and status 1 when it has a deadline and no status yet), the
// resolution text when it changed, and the subject added to the catalogue; the chosen
// attachment files are put under the record's stored names only as the transaction commits.
// Every text is checked for characters the database cannot hold before anything is written.
// An existing record is compared with the row as it is on the server (locked for the save):
// fields another workstation changed meanwhile and the clerk did not are kept as they are, and
// one both changed differently stops the save with the collision in the result. The status is
// decided from the server's row. A statement larger than the server takes is refused before
// anything is sent. Any failure rolls the whole save back, puts the files back as they were, and
// is returned with its text. A new record whose number another workstation saved first takes the next free
// number. A COMMIT whose outcome is unknown is looked up; while it cannot be, it is left in
// *pending (or, without one, its files stay as they are) and the next call settles it first.
SaveResult SaveResolution(Connection &con, const Resolution &loaded, const Resolution &edited,
                          const QString &documentStore, PendingSave *pending = nullptr);
