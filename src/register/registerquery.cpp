#include "registerquery.h"

#include "common/sqltext.h"
#include "common/text.h"
#include "common/values.h"
#include "db/connection.h"
#include "db/dbroutines.h"

using namespace Qt::StringLiterals;

const QString RegisterQuery::SearchColumns =
    u"csoport_nev;CONVERT(iktatoaz USING latin2);targy;hatarozat;felelos;statusz_nev;"
    "CONVERT(DATE_FORMAT(datum,'%Y.%m.%d') USING latin2)"_s;
const QString RegisterQuery::AllTab = u"Összes"_s;

RegisterQuery::RegisterQuery(Connection *connection, QObject *parent)
    : QObject(parent), m_connection(connection), m_query(connection)
{
    m_query.setSql(u"SELECT * FROM vw_iktato\nWHERE (1=1)\nORDER BY 1;"_s);
}

QStringList RegisterQuery::loadYearTabs()
{
    QStringList tabs;
    AppendQueryToList(*m_connection, tabs, u"SELECT DISTINCT CONCAT(ev) FROM iktato ORDER BY 1 DESC;"_s);
    tabs.append(AllTab);
    return tabs;
}

QStringList RegisterQuery::loadCommitteeTabs()
{
    QStringList tabs;
    AppendQueryToList(*m_connection, tabs, u"SELECT csoport_nev FROM csoport ORDER BY 1;"_s);
    tabs.append(AllTab);
    return tabs;
}

QString RegisterQuery::yearConditionFor(const QString &tabText)
{
    return TextToInt(tabText) <= 0 ? u"(iktato > 0)"_s : u"(ev = "_s + tabText + u')';
}

QString RegisterQuery::periodConditionFor(QDate from, QDate to)
{
    return u" AND (datum BETWEEN "_s + SqlDate(from) + u" AND "_s + SqlDate(to) + u')';
}

QString RegisterQuery::committeeConditionFor(int committeeId)
{
    return u" AND (csoport = "_s + ValueToIntText(committeeId) + u')';
}

void RegisterQuery::start(const QString &firstYearTab, const QString &firstCommitteeTab, bool committeeIsAll)
{
    m_periodCondition.clear();
    selectCommittee(firstCommitteeTab, committeeIsAll);
    m_yearCondition = yearConditionFor(firstYearTab);
    reopen(baseCondition());
}

void RegisterQuery::selectCommittee(const QString &tabText, bool isAll)
{
    if (isAll) {
        m_committeeId = -1;
        m_committeeCondition.clear();
        return;
    }
    m_committeeId = QueryInt(
        *m_connection, u"SELECT csoport FROM csoport WHERE csoport_nev = "_s + SqlQuoted(tabText) + u';', -1);
    m_committeeCondition = committeeConditionFor(m_committeeId);
}

void RegisterQuery::reopen(const QString &where)
{
    m_query.close();
    ReplaceWhere(m_query.sql(), where);
    m_query.open();
}

void RegisterQuery::setYearTab(const QString &tabText)
{
    m_yearCondition = yearConditionFor(tabText);
    reopen(baseCondition());
}

void RegisterQuery::setCommitteeTab(const QString &tabText, bool isAll)
{
    selectCommittee(tabText, isAll);
    reopen(baseCondition());
}

void RegisterQuery::setPeriod(QDate from, QDate to)
{
    m_periodCondition = periodConditionFor(from, to);
    reopen(baseCondition());
}

void RegisterQuery::clearPeriod()
{
    m_periodCondition.clear();
    reopen(baseCondition());
}

void RegisterQuery::search(const QString &text)
{
    reopen(baseCondition() + LikeAnyColumn(SearchColumns, text));
    if (!text.isEmpty() && m_query.fieldIndex(m_sortField) >= 0)
        m_query.locate(m_sortField, text, Query::CaseInsensitive | Query::PartialKey);
}

qint64 RegisterQuery::currentId() const
{
    return m_query.isOpen() && m_query.recNo() >= 0 ? m_query.value(u"iktato"_s).toLongLong() : 0;
}

bool RegisterQuery::locateId(qint64 recordId)
{
    return recordId > 0 && m_query.locate(u"iktato"_s, recordId);
}

void RegisterQuery::sortBy(const QString &field)
{
    const qint64 id = currentId();
    m_sortField = field;
    m_query.close();
    ReplaceOrderBy(m_query.sql(), field);
    m_query.open();
    locateId(id);
}

void RegisterQuery::refresh()
{
    const qint64 id = currentId();
    m_query.close();
    m_query.open();
    locateId(id);
}

void RegisterQuery::reopenAsIs()
{
    m_query.close();
    m_query.open();
}
