#pragma once

#include "attachmentfiles.h"

#include <QList>
#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

// The windows' side of the attachments: the file-open dialog, the messages and the hand-over to
// the desktop's viewer. The files themselves are handled in attachmentfiles.h.

// Creates the document store (with missing parents) when it is not there. A path that is no
// store here (DocumentStoreProblem) is refused with that message; a store that still does not
// exist, with "Nem létező mentés útvonal: "<path>"". False then.
bool EnsureDocumentStore(const QString &storePath, QWidget *parent = nullptr);

// The file-open dialog of the editor's choose buttons; empty when cancelled.
QString ChooseAttachmentFile(QWidget *parent = nullptr);

// Opens an attached file for viewing: "Nincs melléklet létrehozva" for an empty slot,
// DocumentStoreProblem's message for a store path that is no store here, "Nem létező állomány"
// when the stored file is missing; otherwise copies it to
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
