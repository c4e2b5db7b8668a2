#include "resolutioneditor.h"

#include "db/dbroutines.h"
#include "editcollisiondialog.h"
#include "frm_szerkeszt.h"
#include "gui/messagebox.h"
#include "history/editorwatch.h"
#include "savejournal.h"

using namespace Qt::StringLiterals;

namespace resolutioneditor {

// The record as it stands now, or a new one; none when it is gone (the clerk is told).
std::optional<Resolution> RecordToEdit(Connection &con, int recordId, int committeeId, QDate date,
                                       const QString &documentStore, QWidget *parent)
{
    if (recordId == -1)
        return NewResolutionRecord(con, committeeId, date);
    // A save of this record that a crash interrupted puts its files right before anyone looks
    // at them.
    SettleInterruptedSaves(con, documentStore, recordId);
    std::optional<Resolution> found = LoadResolution(con, recordId);
    if (!found)
        ShowErrorBox(u"A határozat nem található: egy másik munkaállomás időközben törölte."_s, parent);
    return found;
}

// The editor's OK and what follows its close: saves the clerk's edit, settles a meeting with
// another workstation's edit, and a save whose outcome a broken line left unknown.
class EditorSaves
{
public:
    EditorSaves(Connection &con, Tfrm_Szerkeszt &form, Resolution loaded, QDate serverDate,
                const QString &documentStore, int fontSize)
        : m_con(con), m_form(form), m_loaded(std::move(loaded)), m_serverDate(serverDate),
          m_documentStore(documentStore), m_fontSize(fontSize)
    {
    }

    bool ok();
    // The id of the record saved, -1 when none was.
    int afterClose(QWidget *parent);

private:
    // False when the clerk went back to editing.
    bool settleCollisions(Resolution &edited, SaveResult &saved);
    void tellResult(const Resolution &edited, const SaveResult &saved);

    Connection &m_con;
    Tfrm_Szerkeszt &m_form;
    Resolution m_loaded;
    QDate m_serverDate;
    QString m_documentStore;
    int m_fontSize;
    int m_savedId = -1;
    PendingSave m_pending;
};

bool EditorSaves::ok()
{
    Resolution edited = m_loaded;
    QString error;
    if (!m_form.collect(edited, &error)) {
        ShowErrorBox(error, &m_form);
        return false;
    }
    SaveResult saved = SaveResolution(m_con, m_loaded, edited, m_documentStore, &m_pending);
    if (!settleCollisions(edited, saved))
        return false;
    if (!saved.ok) {
        ShowErrorBox(saved.recordGone ? saved.error : u"Hiba: "_s + saved.error, &m_form);
        return false;
    }
    tellResult(edited, saved);
    m_savedId = saved.id;
    return true;
}

bool EditorSaves::settleCollisions(Resolution &edited, SaveResult &saved)
{
    // Another workstation changed the record meanwhile: the clerk decides, field by field, and
    // the save goes on from their row, as often as they keep changing it.
    while (saved.collision) {
        const EditCollision collision = *saved.collision;
        const std::optional<QList<ResolutionField>> takeTheirs =
            AskEditCollision(m_loaded, collision, edited, m_fontSize, &m_form);
        m_loaded = collision.theirs;
        edited = MergeEdits(collision, edited, takeTheirs.value_or(QList<ResolutionField>()));
        if (!takeTheirs) {
            m_form.setRecord(edited, m_serverDate);
            return false;
        }
        saved = SaveResolution(m_con, m_loaded, edited, m_documentStore, &m_pending);
    }
    return true;
}

void EditorSaves::tellResult(const Resolution &edited, const SaveResult &saved)
{
    if (saved.renumbered)
        ShowInfoBox(u"A(z) %1. határozatszámot közben egy másik munkaállomás kiosztotta, "
                    "ezért a határozat a(z) %2. számot kapta."_s.arg(edited.number)
                        .arg(saved.number),
                    &m_form);
}

int EditorSaves::afterClose(QWidget *parent)
{
    // Cancelled after a save whose outcome stayed unknown: the register should show the record
    // if the server did keep it.
    if (m_pending.isOpen()) {
        const int id = m_pending.id;
        if (SettlePendingSave(m_con, m_pending) == SaveOutcome::Kept) {
            ShowInfoBox(u"A határozat a megszakadt kapcsolat ellenére elmentődött."_s, parent);
            m_savedId = id;
        }
    }
    return m_savedId;
}

} // namespace resolutioneditor

int EditResolution(Connection &con, int recordId, int committeeId, QDate date, const QString &documentStore,
                   int fontSize, QWidget *parent)
{
    using namespace resolutioneditor;
    const std::optional<Resolution> loaded = RecordToEdit(con, recordId, committeeId, date, documentStore, parent);
    if (!loaded)
        return -1;
    // Another workstation editing the record is named before any typing; the editor opens all
    // the same.
    const auto presence = recordId == -1 ? nullptr : AnnounceEditor(con, recordId, parent);
    Tfrm_Szerkeszt form(parent, fontSize);
    form.setSubjectChoices(SubjectCatalogue(con));
    form.setDocumentStore(documentStore);
    form.setHeading(LookupName(con, loaded->committee, u"csoport"_s, QString()));
    const QDate serverDate = ServerDate(con);
    form.setRecord(*loaded, serverDate);
    EditorSaves saves(con, form, *loaded, serverDate, documentStore, fontSize);
    form.setOkHandler([&saves] { return saves.ok(); });
    form.exec();
    return saves.afterClose(parent);
}

int NewResolution(Connection &con, int committeeId, QDate date, const QString &documentStore, int fontSize,
                  QWidget *parent)
{
    return EditResolution(con, -1, committeeId, date, documentStore, fontSize, parent);
}
