// A workstation that dies in the middle of a save: it edits a record (or makes a new one) with
// a file chosen for attachment slot 1, and kills itself with SIGKILL at the step named, as a
// crash or a power cut would end it. Nothing is cleaned up, nothing is flushed.
//
//   orvanth_crashingsave HOST PORT USER DATABASE STORE RECORD FILE STEP
//
// RECORD is the id of the record to edit, or -1 for a new record of committee 1 dated
// 2025-03-01. STEP: journal (the journal is written, no file moved yet), placed (every file
// moved, the COMMIT not yet sent), commit (killed as the COMMIT is about to go), committed (the
// server kept it, the replaced files not yet dropped), settled (the files settled, the save not
// yet reported). Exit code 0 when the step never came, 1 when the save failed, 2 for wrong
// arguments.

#include "db/connection.h"
#include "register/resolutionsave.h"

#include <QCoreApplication>
#include <QDate>
#include <QFileInfo>
#include <csignal>
#include <cstdio>
#include <map>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    static const std::map<QString, SaveStep> steps{{u"journal"_s, SaveStep::JournalWritten},
                                                   {u"placed"_s, SaveStep::FilesPlaced},
                                                   {u"committed"_s, SaveStep::Committed},
                                                   {u"settled"_s, SaveStep::FilesSettled}};
    if (args.size() != 9 || (args.at(8) != u"commit"_s && !steps.contains(args.at(8)))) {
        std::fprintf(stderr, "usage: %s HOST PORT USER DATABASE STORE RECORD FILE STEP\n", argv[0]);
        return 2;
    }
    ConnectionParams params;
    params.host = args.at(1);
    params.port = args.at(2).toInt();
    params.user = args.at(3);
    params.database = args.at(4);
    const QString store = args.at(5);
    const int recordId = args.at(6).toInt();
    const QString chosen = args.at(7);
    const QString step = args.at(8);

    try {
        Connection con(params);
        con.open();
        Resolution loaded;
        if (recordId < 0) {
            loaded = NewResolutionRecord(con, 1, QDate(2025, 3, 1));
        } else {
            const std::optional<Resolution> found = LoadResolution(con, recordId);
            if (!found) {
                std::fprintf(stderr, "no record %d\n", recordId);
                return 2;
            }
            loaded = *found;
        }
        Resolution edited = loaded;
        edited.subject = u"mentés közben leállt"_s;
        edited.attachments[0].chosenPath = chosen;
        edited.attachments[0].sourceName = QFileInfo(chosen).fileName();
        if (step == u"commit"_s) {
            con.setBeforeSendHook([](QByteArrayView sql) {
                if (sql == "COMMIT")
                    std::raise(SIGKILL);
            });
        } else {
            SetSaveStepHook([at = steps.at(step)](SaveStep reached) {
                if (reached == at)
                    std::raise(SIGKILL);
            });
        }
        const SaveResult saved = SaveResolution(con, loaded, edited, store);
        if (!saved.ok) {
            std::fprintf(stderr, "%s\n", qPrintable(saved.error));
            return 1;
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
