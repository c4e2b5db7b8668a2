#pragma once

#include "inifile.h"

#include <QList>
#include <QString>

// The document store as this workstation reaches it. The database holds one path for every
// workstation (beallit.mentesutvonal), and Windows workstations read it, so it stays as they set
// it ("H:\Dok\Hatarozatok"). Here such a path names nothing: the settings file may map it to the
// local folder where the same share is mounted, in section "LokalisUtvonal" with the database's
// path as the key and the local folder as the value.

// "LokalisUtvonal".
QString StoreMappingSection();

struct StoreMapping
{
    QString databasePath; // as beallit.mentesutvonal holds it
    QString localFolder;
};

QList<StoreMapping> ReadStoreMappings(const IniFile &ini);

// Whether two texts name the same store path: letter case and a closing "\" or "/" aside, as
// Windows compares its paths.
bool SameStorePath(const QString &a, const QString &b);

// The local folder mapped to the database's path; empty when there is none.
QString MappedLocalFolder(const QString &databasePath, const QList<StoreMapping> &mappings);

// Why the database's path cannot be mapped to `localFolder`, for the user; empty when it can (an
// empty folder, which removes a mapping, always can). The folder must be absolute here, and the
// path must be able to stand as a key of the settings file.
QString StoreMappingProblem(const QString &databasePath, const QString &localFolder);

// Maps the database's path to `localFolder`, replacing any mapping of the same path; an empty
// folder only removes it. Throws IniError (a path that cannot be a key, a file not written).
void WriteStoreMapping(IniFile &ini, const QString &databasePath, const QString &localFolder);

// The folder that attaching, viewing and saving use for the database's path: the mapped local
// folder, or else the database's path itself.
QString ResolveDocumentStore(const QString &databasePath, const QList<StoreMapping> &mappings);

// Why a folder cannot serve as the document store here, for the user; empty when it can. A path
// that is not absolute on this system would land under the program's current folder.
QString DocumentStoreProblem(const QString &folder);
