#include "editorwatch.h"

#include "db/dberror.h"
#include "gui/messagebox.h"

namespace editorwatch {

EditPresence::Who &identity()
{
    static EditPresence::Who who;
    return who;
}

} // namespace editorwatch

void SetEditorIdentity(const EditPresence::Who &who)
{
    editorwatch::identity() = who;
}

std::unique_ptr<EditPresence> AnnounceEditor(Connection &con, int recordId, QWidget *parent)
{
    auto presence =
        std::make_unique<EditPresence>(con, recordId, editorwatch::identity(), EditPresence::defaultInterval());
    QString others;
    try {
        others = OtherEditorsText(OtherEditors(con, recordId, presence->rowId()));
    } catch (const DbError &) {
        // The notice is a courtesy: a failure to read it never keeps the editor closed.
    }
    if (!others.isEmpty())
        ShowInfoBox(others, parent);
    return presence;
}
