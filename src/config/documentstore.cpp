#include "documentstore.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace {

QString WithoutClosingSeparator(QString path)
{
    path = path.trimmed();
    while (path.size() > 1 && (path.endsWith(u'\\') || path.endsWith(u'/')))
        path.chop(1);
    return path;
}

} // namespace

QString StoreMappingSection()
{
    return u"LokalisUtvonal"_s;
}

QList<StoreMapping> ReadStoreMappings(const IniFile &ini)
{
    const IniDocument doc = ini.read();
    QList<StoreMapping> mappings;
    for (const QString &key : doc.keys(StoreMappingSection()))
        mappings.append({key, doc.value(StoreMappingSection(), key, QString())});
    return mappings;
}

bool SameStorePath(const QString &a, const QString &b)
{
    return WithoutClosingSeparator(a).compare(WithoutClosingSeparator(b), Qt::CaseInsensitive) == 0;
}

QString MappedLocalFolder(const QString &databasePath, const QList<StoreMapping> &mappings)
{
    for (const StoreMapping &m : mappings) {
        if (SameStorePath(m.databasePath, databasePath))
            return m.localFolder;
    }
    return {};
}

QString StoreMappingProblem(const QString &databasePath, const QString &localFolder)
{
    if (localFolder.isEmpty())
        return {};
    if (!QDir::isAbsolutePath(localFolder))
        return u"A helyi mappa (\"%1\") nem teljes elérési út: \"/\" jellel kezdődjön."_s.arg(localFolder);
    const QString key = databasePath.trimmed();
    if (key.isEmpty() || key.contains(u'=') || key.startsWith(u'['))
        return u"Ehhez a mentés útvonalhoz (\"%1\") nem rendelhető helyi mappa: üres, \"=\" jelet tartalmaz "
               "vagy \"[\" jellel kezdődik."_s.arg(databasePath);
    return {};
}

void WriteStoreMapping(IniFile &ini, const QString &databasePath, const QString &localFolder)
{
    ini.update([&](IniDocument &doc) {
        for (const QString &key : doc.keys(StoreMappingSection())) {
            if (SameStorePath(key, databasePath))
                doc.remove(StoreMappingSection(), key);
        }
        if (!localFolder.isEmpty())
            doc.setValue(StoreMappingSection(), databasePath.trimmed(), localFolder);
    });
}

QString ResolveDocumentStore(const QString &databasePath, const QList<StoreMapping> &mappings)
{
    const QString local = MappedLocalFolder(databasePath, mappings);
    return local.isEmpty() ? databasePath : local;
}

QString DocumentStoreProblem(const QString &folder)
{
    if (folder.isEmpty())
        return u"Nem létező mentés útvonal: \"\""_s;
    if (!QDir::isAbsolutePath(folder))
        return u"A mentés útvonal (\"%1\") ezen a gépen nem teljes elérési út, valószínűleg egy Windows-os "
               "munkaállomáson állították be. Adja meg, hol érhető el ez a mappa ezen a gépen: "
               "Beállítások, Dokumentumok lap."_s.arg(folder);
    return {};
}
