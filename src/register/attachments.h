#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <functional>

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

// Copies a chosen file into the store under the stored name, replacing a file of that name.
// Returns false (and the reason in *error) when the copy fails.
bool CopyIntoDocumentStore(const QString &sourcePath, const QString &storePath, const QString &storedName,
                           QString *error = nullptr);

// The file-open dialog of the editor's choose buttons; empty when cancelled.
QString ChooseAttachmentFile(QWidget *parent = nullptr);

// Opens an attached file for viewing: "Nincs melléklet létrehozva" for an empty slot,
// "Nem létező állomány" when the stored file is missing; otherwise copies it to
// store/tmp/<bare source name> and hands the copy to the desktop's default program without
// waiting. Returns true when the copy was handed over.
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
