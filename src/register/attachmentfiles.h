#pragma once

#include "savejournal.h"

#include <QList>
#include <QString>
#include <utility>

// The three attachment slots of a resolution record. A slot keeps the stored name (the file's
// name inside the document store) and the source file name (what the user chose, without its
// folder). Every stored file lies directly in the document store; viewing opens a copy in its
// sub-folder "tmp" under the source file name. Nothing here asks or tells the user anything:
// attachments.h holds the windows' side.

inline constexpr int AttachmentSlotCount = 3;

// "filenev", "filenev2", "filenev3" for slots 1..3.
QString StoredNameColumn(int slot);
// "origfilenev", "origfilenev2", "origfilenev3".
QString SourceNameColumn(int slot);

// Record id with at least seven digits, "-", the slot digit and the source file's extension as
// typed, dot included (none when the file has none): record 42, slot 2, "Jegyzőkönyv.PDF" gives
// "0000042-2.PDF".
QString StoredAttachmentName(qint64 recordId, int slot, const QString &sourceFileName);

// The last component of a name that may carry folders of either kind ("/" or "\"); empty for
// names that are no file name ("", ".", ".."). Names read from the database pass through it
// before they become part of a path, so a stored "../../x" cannot point outside the store.
QString BareFileName(const QString &name);

// Creates the document store (with missing parents) when it is not there; true when it exists
// afterwards. A path that DocumentStoreProblem refuses (empty, not absolute) is no store.
bool MakeDocumentStore(const QString &storePath);

// The copy of an attached file that viewing opens.
struct AttachmentCopy
{
    enum Status {
        NoAttachment,  // the slot has no stored name
        UnusableStore, // DocumentStoreProblem refuses the store path: nothing was looked at
        MissingFile,   // the stored file is not in the store
        Ready          // copied (or, when a viewer holds it open, an earlier copy is there)
    };
    Status status = NoAttachment;
    QString path; // store/tmp/<name>
    QString name; // the bare source name, or the stored name when the source name is no file name
};

// Copies a stored file to store/tmp under its bare source name, making tmp when needed.
AttachmentCopy CopyAttachmentForViewing(const QString &storePath, const QString &storedName,
                                        const QString &sourceName);

// Renames within one folder, replacing a file of the new name in one step.
bool MoveStoreFile(const QString &from, const QString &to);

// The chosen files of one save, put into the document store so that the store and the record
// agree whatever fails. Each file is first copied under a temporary name (a failed copy changes
// nothing); once the record's stored names are known, a journal of the moves is written
// (savejournal.h); while the record's transaction is still open each copy is moved to its stored
// name, and a file it replaces is kept aside under a temporary name. Once the outcome of the
// commit is known, keep() drops the kept-aside files, or undo() puts everything back as it was;
// either removes the journal.
class AttachmentPlacement
{
public:
    explicit AttachmentPlacement(QString storePath);
    // Removes the copies that were never placed; placed and kept-aside files stay.
    ~AttachmentPlacement();
    AttachmentPlacement(const AttachmentPlacement &) = delete;
    AttachmentPlacement &operator=(const AttachmentPlacement &) = delete;

    // Copies the file chosen for a slot into the store under a temporary name; a store path that
    // DocumentStoreProblem refuses takes no copy.
    bool prepare(int slot, const QString &sourcePath, QString *error);
    // Names the stored name and the source name the record will give a prepared slot.
    void plan(int slot, const QString &storedName, const QString &sourceName);
    // Writes the journal of the planned moves for the record that `journal` names (its files are
    // filled in here). The caller holds the journal's lock on the server from now until the
    // files are settled.
    bool writeJournal(SaveJournal journal, QString *error);
    const QString &journalId() const { return m_journalId; }
    // Whether the journal is still in the store: gone, another workstation settled the files.
    bool journalExists() const;
    // Moves the slot's copy to its planned stored name, keeping aside a file of that name.
    bool place(int slot, QString *error);
    // The record names the placed files: the files they replaced go.
    void keep();
    // The record does not name them: each placed file goes back to its temporary name (ready
    // for another try) and each kept-aside file back to its own name.
    void undo();
    // Another workstation settled the files from the journal: nothing is left to do here.
    void forget();

private:
    struct Item
    {
        QString copy;      // the temporary copy, or where a placed file returns to
        QString target;    // the stored name's path
        QString source;    // the source file name the record gives it
        QString keptAside; // where the replaced file waits
        bool hadOld = false;
        bool placed = false;
    };
    QString m_store;
    QString m_journalId;
    QList<std::pair<int, Item>> m_items;
    Item *item(int slot);
    void removeJournalWhenSettled();
};
