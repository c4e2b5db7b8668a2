#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <functional>
#include <utility>

class QWidget;

// The three attachment slots of a resolution record. A slot keeps the stored name (the file's
// name inside the document store) and the source file name (what the user chose, without its
// folder). Every stored file lies directly in the document store; viewing opens a copy in its
// sub-folder "tmp" under the source file name.

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

// Creates the document store (with missing parents) when it is not there. When it still does
// not exist, shows "Nem létező mentés útvonal: "<path>"" and returns false.
bool EnsureDocumentStore(const QString &storePath, QWidget *parent = nullptr);

// The chosen files of one save, put into the document store so that the store and the record
// agree whatever fails. Each file is first copied under a temporary name (a failed copy changes
// nothing); while the record's transaction is still open it is moved to its stored name, and a
// file it replaces is kept aside under a temporary name. Once the outcome of the commit is
// known, keep() drops the kept-aside files, or undo() puts everything back as it was.
class AttachmentPlacement
{
public:
    explicit AttachmentPlacement(QString storePath);
    // Removes the copies that were never placed; placed and kept-aside files stay.
    ~AttachmentPlacement();
    AttachmentPlacement(const AttachmentPlacement &) = delete;
    AttachmentPlacement &operator=(const AttachmentPlacement &) = delete;

    // Copies the file chosen for a slot into the store under a temporary name.
    bool prepare(int slot, const QString &sourcePath, QString *error);
    // Moves the slot's copy to its stored name, keeping aside a file of that name.
    bool place(int slot, const QString &storedName, QString *error);
    // The record names the placed files: the files they replaced go.
    void keep();
    // The record does not name them: each placed file goes back to its temporary name (ready
    // for another try) and each kept-aside file back to its own name.
    void undo();

private:
    struct Item
    {
        QString copy;      // the temporary copy, or where a placed file returns to
        QString target;    // the stored name's path once placed
        QString keptAside; // where the replaced file waits
        bool placed = false;
    };
    QString m_store;
    QList<std::pair<int, Item>> m_items;
    Item *item(int slot);
};

// The file-open dialog of the editor's choose buttons; empty when cancelled.
QString ChooseAttachmentFile(QWidget *parent = nullptr);

// Opens an attached file for viewing: "Nincs melléklet létrehozva" for an empty slot,
// "Nem létező állomány" when the stored file is missing; otherwise copies it to
// store/tmp/<bare source name> and hands the copy to the desktop's default program without
// waiting. Returns true when the copy was handed over; when no program takes it, says so.
bool ViewAttachment(const QString &storePath, const QString &storedName, const QString &sourceName,
                    QWidget *parent = nullptr);

// Test seam: while an instance exists, ChooseAttachmentFile answers from `chooser` (empty text
// when unset) and ViewAttachment records the address instead of launching a program.
class AttachmentSeam
{
public:
    AttachmentSeam();
    ~AttachmentSeam();
    AttachmentSeam(const AttachmentSeam &) = delete;
    AttachmentSeam &operator=(const AttachmentSeam &) = delete;

    std::function<QString()> chooser;
    QList<QUrl> opened;

private:
    AttachmentSeam *m_previous;
};
