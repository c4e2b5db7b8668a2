#include "schemaupgrade.h"

#include "config/inifile.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "db/tableindexes.h"

#include <QSet>

using namespace Qt::StringLiterals;

namespace schemaupgrade {

// The columns of `iktato` whose changes are recorded. The record's id is the history row's own
// key; `felhkod` says who wrote the record last, which every history row says anyway, so its
// change on an edit is not a change of its own.
const QStringList &recordedColumns()
{
    static const QStringList columns{
        u"ev"_s,       u"csoport"_s,     u"az"_s,           u"datum"_s,        u"targy"_s,
        u"hatarozat"_s, u"van_hatid"_s,  u"dat_hatid"_s,    u"felelos"_s,      u"statusz"_s,
        u"filenev"_s,  u"filenev2"_s,    u"filenev3"_s,     u"origfilenev"_s,  u"origfilenev2"_s,
        u"origfilenev3"_s, u"dat_figy"_s, u"figy_szoveg"_s, u"felhkod"_s};
    return columns;
}

bool queryHasRow(Connection &con, const QString &sql)
{
    return con.query(sql).rowCount() > 0;
}

bool tableExists(Connection &con, const QString &table)
{
    return queryHasRow(con, u"SELECT 1 FROM information_schema.TABLES WHERE TABLE_SCHEMA = DATABASE() "
                            "AND TABLE_NAME = '%1'"_s.arg(table));
}

bool triggerExists(Connection &con, const QString &trigger)
{
    return queryHasRow(con, u"SELECT 1 FROM information_schema.TRIGGERS WHERE TRIGGER_SCHEMA = DATABASE() "
                            "AND TRIGGER_NAME = '%1'"_s.arg(trigger));
}

// One history row per column whose value changed. Compared as bytes: the collation takes "a" and
// "Á" for the same, an edit between them is still an edit. A restore sets @orvanth_restore and
// writes no history; other programs set no @orvanth_felhkod and are recorded with NULL.
QString historyTrigger(const QString &name, const QString &event, QChar operation)
{
    const bool hasOld = operation != u'I';
    const bool hasNew = operation != u'D';
    const QString row = hasNew ? u"NEW"_s : u"OLD"_s;
    QString body;
    for (const QString &column : recordedColumns()) {
        if (operation == u'U' && column == u"felhkod"_s)
            continue;
        const QString oldValue = hasOld ? u"OLD."_s + column : u"NULL"_s;
        const QString newValue = hasNew ? u"NEW."_s + column : u"NULL"_s;
        QString condition;
        if (operation == u'U')
            condition = u"NOT (BINARY OLD.%1 <=> BINARY NEW.%1)"_s.arg(column);
        else
            condition = u"%1.%2 IS NOT NULL"_s.arg(row, column);
        body += u"    IF %1 THEN INSERT INTO iktato_naplo (iktato, muvelet, mezo, regi, uj, mikor, kliens, felhkod) "
                "VALUES (%2.iktato, '%3', '%4', %5, %6, NOW(), USER(), @orvanth_felhkod); END IF;\n"_s
                    .arg(condition, row, QString(operation), column, oldValue, newValue);
    }
    // A value the history cannot hold loses its history row, never the workstation's write.
    return u"CREATE TRIGGER %1 AFTER %2 ON iktato FOR EACH ROW\nBEGIN\n"
           "  DECLARE CONTINUE HANDLER FOR 1265, 1366, 1406 BEGIN END;\n"
           "  IF COALESCE(@orvanth_restore, 0) = 0 THEN\n%3  END IF;\nEND"_s.arg(name, event, body);
}

QList<UpgradeStep> makeSteps()
{
    const QString history = u"Változásnapló: minden munkaállomás módosításai és törlései mezőnként, "
                            "ki, mikor, honnan (iktato_naplo tábla és triggerek)"_s;
    QList<UpgradeStep> steps;
    steps.append({u"ix_iktato_ev"_s,
                  u"Index az évre: egy év első képernyője nagy nyilvántartáson is azonnal megjelenik"_s,
                  u"INDEX"_s, HasYearIndex, {u"CREATE INDEX ix_iktato_ev ON iktato (ev)"_s},
                  u"DROP INDEX ix_iktato_ev ON iktato"_s});
    steps.append({u"iktato_naplo"_s, history, u"CREATE"_s,
                  [](Connection &con) { return tableExists(con, u"iktato_naplo"_s); },
                  {u"CREATE TABLE iktato_naplo (\n"
                   "  naplo   BIGINT NOT NULL AUTO_INCREMENT,\n"
                   "  iktato  INT NOT NULL,\n"
                   "  muvelet CHAR(1) NOT NULL,\n"
                   "  mezo    VARCHAR(64) NOT NULL,\n"
                   "  regi    MEDIUMTEXT NULL,\n"
                   "  uj      MEDIUMTEXT NULL,\n"
                   "  mikor   DATETIME NOT NULL,\n"
                   "  kliens  VARCHAR(141) NULL,\n"
                   "  felhkod INT NULL,\n"
                   "  PRIMARY KEY (naplo),\n"
                   "  KEY ix_iktato_naplo_iktato (iktato, naplo),\n"
                   "  KEY ix_iktato_naplo_mikor (mikor)\n"
                   ") ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci"_s},
                  u"DROP TABLE iktato_naplo"_s});
    const struct
    {
        const char16_t *name;
        const char16_t *event;
        char16_t operation;
    } triggers[] = {{u"iktato_naplo_ai", u"INSERT", u'I'},
                    {u"iktato_naplo_au", u"UPDATE", u'U'},
                    {u"iktato_naplo_ad", u"DELETE", u'D'}};
    for (const auto &t : triggers) {
        const QString name = QString::fromUtf16(t.name);
        steps.append({name, history, u"TRIGGER"_s, [name](Connection &con) { return triggerExists(con, name); },
                      {historyTrigger(name, QString::fromUtf16(t.event), QChar(t.operation))},
                      u"DROP TRIGGER "_s + name});
    }
    steps.append({u"iktato_szerk"_s,
                  u"Szerkesztési jelzés: a szerkesztő megmondja, ki dolgozik éppen ugyanazon a határozaton "
                  "(iktato_szerk tábla)"_s,
                  u"CREATE"_s, [](Connection &con) { return tableExists(con, u"iktato_szerk"_s); },
                  {u"CREATE TABLE iktato_szerk (\n"
                   "  szerk       BIGINT NOT NULL AUTO_INCREMENT,\n"
                   "  iktato      INT NOT NULL,\n"
                   "  felhkod     INT NULL,\n"
                   "  felhasznalo VARCHAR(50) NULL,\n"
                   "  gep         VARCHAR(255) NULL,\n"
                   "  kliens      VARCHAR(141) NULL,\n"
                   "  kezdet      DATETIME NOT NULL,\n"
                   "  lejar       DATETIME(3) NOT NULL,\n"
                   "  PRIMARY KEY (szerk),\n"
                   "  KEY ix_iktato_szerk_iktato (iktato)\n"
                   ") ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci"_s},
                  u"DROP TABLE iktato_szerk"_s});
    return steps;
}

// The user's privileges on the database and on `iktato`, from the user's own grants, the
// database's and the table's. Empty when they cannot be told (roles, an older server).
std::optional<QSet<QString>> grantedPrivileges(Connection &con)
{
    try {
        // The table has a row of NULL when no role is on.
        if (con.query(u"SELECT 1 FROM information_schema.ENABLED_ROLES WHERE ROLE_NAME IS NOT NULL"_s).rowCount() > 0)
            return std::nullopt;
        const QString grantee =
            u"CONCAT('''', LEFT(CURRENT_USER(), LENGTH(CURRENT_USER()) - LENGTH(SUBSTRING_INDEX(CURRENT_USER(), '@', -1)) - 1), "
            "'''@''', SUBSTRING_INDEX(CURRENT_USER(), '@', -1), '''')"_s;
        const ResultSet rs = con.query(
            u"SELECT PRIVILEGE_TYPE FROM information_schema.USER_PRIVILEGES WHERE GRANTEE = %1 "
            "UNION SELECT PRIVILEGE_TYPE FROM information_schema.SCHEMA_PRIVILEGES WHERE GRANTEE = %1 "
            "AND DATABASE() LIKE TABLE_SCHEMA "
            "UNION SELECT PRIVILEGE_TYPE FROM information_schema.TABLE_PRIVILEGES WHERE GRANTEE = %1 "
            "AND TABLE_SCHEMA = DATABASE() AND TABLE_NAME = 'iktato'"_s.arg(grantee));
        QSet<QString> granted;
        for (int row = 0; row < rs.rowCount(); ++row)
            granted.insert(rs.text(row, 0).toUpper());
        return granted;
    } catch (const DbError &) {
        return std::nullopt;
    }
}

QString privilegeText(const QStringList &privileges)
{
    return u"Az adatbázis bővítéséhez ez a jog hiányzik: %1. Nem változott semmi."_s.arg(privileges.join(u", "_s));
}

// The server's refusal in words that name what is missing.
QString refusalText(const UpgradeStep &step, const DbError &error)
{
    switch (error.number()) {
    case 1142: // "... command denied to user"
    case 1044: // access denied to the database
    case 1227: // "you need (at least one of) the ... privilege(s)"
        return u"A szerver megtagadta (%1): ehhez %2 jog kell. %3"_s.arg(step.name, step.privilege, error.message());
    case 1419: // binary log on: triggers need SUPER or log_bin_trust_function_creators
        return u"A szerver megtagadta (%1): bináris naplózás mellett triggert SUPER jogú felhasználó hozhat létre, "
               "vagy a log_bin_trust_function_creators beállítás kell. %2"_s
            .arg(step.name, error.message());
    default:
        return u"Hiba (%1): %2"_s.arg(step.name, error.message());
    }
}

} // namespace schemaupgrade

using namespace schemaupgrade;

const QList<UpgradeStep> &UpgradeSteps()
{
    static const QList<UpgradeStep> steps = makeSteps();
    return steps;
}

QList<UpgradeStep> MissingUpgradeSteps(Connection &con)
{
    QList<UpgradeStep> missing;
    for (const UpgradeStep &step : UpgradeSteps()) {
        if (!step.present(con))
            missing.append(step);
    }
    return missing;
}

QStringList UpgradeDescriptions(const QList<UpgradeStep> &steps)
{
    QStringList descriptions;
    for (const UpgradeStep &step : steps) {
        if (!descriptions.contains(step.description))
            descriptions.append(step.description);
    }
    return descriptions;
}

QStringList MissingUpgradePrivileges(Connection &con, const QList<UpgradeStep> &steps)
{
    const std::optional<QSet<QString>> granted = grantedPrivileges(con);
    if (!granted)
        return {};
    QStringList needed;
    for (const UpgradeStep &step : steps) {
        // What a failed run made is dropped again: a new table needs the right to drop it.
        for (const QString &privilege : {step.privilege, step.privilege == u"CREATE"_s ? u"DROP"_s : QString()}) {
            if (!privilege.isEmpty() && !needed.contains(privilege))
                needed.append(privilege);
        }
    }
    QStringList missing;
    for (const QString &privilege : needed) {
        if (!granted->contains(privilege))
            missing.append(privilege);
    }
    return missing;
}

UpgradeResult UpgradeDatabase(Connection &con)
{
    UpgradeResult result;
    const QList<UpgradeStep> missing = MissingUpgradeSteps(con);
    const QStringList lacking = MissingUpgradePrivileges(con, missing);
    if (!lacking.isEmpty()) {
        result.error = privilegeText(lacking);
        return result;
    }
    QList<const UpgradeStep *> made;
    for (const UpgradeStep &step : missing) {
        try {
            for (const QString &sql : step.create)
                con.exec(sql);
            made.append(&step);
        } catch (const DbError &error) {
            result.error = refusalText(step, error);
            // DDL is not transactional: take back what this run made, newest first.
            for (auto it = made.crbegin(); it != made.crend(); ++it) {
                try {
                    con.exec((*it)->drop);
                } catch (const DbError &) {
                    result.leftOver.append((*it)->name);
                }
            }
            if (!result.leftOver.isEmpty())
                result.error += u"\nNem sikerült visszavonni: "_s + result.leftOver.join(u", "_s);
            return result;
        }
    }
    for (const UpgradeStep *step : made)
        result.added.append(step->name);
    result.ok = true;
    return result;
}

bool HasChangeHistory(Connection &con)
{
    for (const UpgradeStep &step : UpgradeSteps()) {
        if (step.name.startsWith(u"iktato_naplo"_s) && !step.present(con))
            return false;
    }
    return true;
}

bool HasEditorTable(Connection &con)
{
    return tableExists(con, u"iktato_szerk"_s);
}

QString UpgradeNoticeOnce(Connection &con, IniFile &settings)
{
    const ConnectionParams &params = con.params();
    const QString section = u"AdatbazisBovites"_s;
    const QString key = u"%1@%2:%3"_s.arg(params.database, params.host).arg(params.port);
    if (settings.readBool(section, key, false))
        return {};
    const QList<UpgradeStep> missing = MissingUpgradeSteps(con);
    if (missing.isEmpty())
        return {};
    settings.writeBool(section, key, true);
    return u"Az adatbázis nincs bővítve (Adatbázisok ablak: Adatbázis bővítése, vagy orvanth --upgrade). "
           "Ezt nyerné vele: "_s +
           UpgradeDescriptions(missing).join(u"; "_s);
}
