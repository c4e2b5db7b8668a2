#include "resolutioneditor.h"

#include "db/dbroutines.h"
#include "editcollisiondialog.h"
#include "frm_szerkeszt.h"
#include "gui/messagebox.h"
#include "history/editorwatch.h"
#include "savejournal.h"

using namespace Qt::StringLiterals;

int EditResolution(Connection &con, int recordId, int committeeId, QDate date, const QString &documentStore,
                   int fontSize, QWidget *parent)
{
    Resolution loaded;
    if (recordId == -1) {
        loaded = NewResolutionRecord(con, committeeId, date);
    } else {
        // A save of this record that a crash interrupted puts its files right before anyone
        // looks at them.
        SettleInterruptedSaves(con, documentStore, recordId);
        const std::optional<Resolution> found = LoadResolution(con, recordId);
        if (!found) {
            ShowErrorBox(u"A határozat nem található: egy másik munkaállomás időközben törölte."_s, parent);
            return -1;
        }
        loaded = *found;
    }

    const auto presence = recordId == -1 ? nullptr : AnnounceEditor(con, recordId, parent);
    Tfrm_Szerkeszt form(parent, fontSize);
    form.setSubjectChoices(SubjectCatalogue(con));
    form.setDocumentStore(documentStore);
    form.setHeading(LookupName(con, loaded.committee, u"csoport"_s, QString()));
    const QDate serverDate = ServerDate(con);
    form.setRecord(loaded, serverDate);

    int savedId = -1;
    PendingSave pending;
    form.setOkHandler([&] {
        Resolution edited = loaded;
        QString error;
        if (!form.collect(edited, &error)) {
            ShowErrorBox(error, &form);
            return false;
        }
        SaveResult saved = SaveResolution(con, loaded, edited, documentStore, &pending);
        // Another workstation changed the record meanwhile: the clerk decides, field by field,
        // and the save goes on from their row, as often as they keep changing it.
        while (saved.collision) {
            const EditCollision collision = *saved.collision;
            const std::optional<QList<ResolutionField>> takeTheirs =
                AskEditCollision(loaded, collision, edited, fontSize, &form);
            loaded = collision.theirs;
            edited = MergeEdits(collision, edited, takeTheirs.value_or(QList<ResolutionField>()));
            if (!takeTheirs) {
                form.setRecord(edited, serverDate);
                return false;
            }
            saved = SaveResolution(con, loaded, edited, documentStore, &pending);
        }
        if (!saved.ok) {
            ShowErrorBox(saved.recordGone ? saved.error : u"Hiba: "_s + saved.error, &form);
            return false;
        }
        if (saved.renumbered)
            ShowInfoBox(u"A(z) %1. határozatszámot közben egy másik munkaállomás kiosztotta, "
                        "ezért a határozat a(z) %2. számot kapta."_s.arg(edited.number)
                            .arg(saved.number),
                        &form);
        savedId = saved.id;
        return true;
    });
    form.exec();
    // Cancelled after a save whose outcome stayed unknown: the register should show the record
    // if the server did keep it.
    if (pending.isOpen()) {
        const int id = pending.id;
        if (SettlePendingSave(con, pending) == SaveOutcome::Kept) {
            ShowInfoBox(u"A határozat a megszakadt kapcsolat ellenére elmentődött."_s, parent);
            savedId = id;
        }
    }
    return savedId;
}

int NewResolution(Connection &con, int committeeId, QDate date, const QString &documentStore, int fontSize,
                  QWidget *parent)
{
    return EditResolution(con, -1, committeeId, date, documentStore, fontSize, parent);
}
