#include "registerquery.h"

#include "common/sqltext.h"
#include "common/text.h"
#include "common/values.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "db/dbroutines.h"
#include "registerfetcher.h"

#include <QHash>

using namespace Qt::StringLiterals;

const QString RegisterQuery::SearchColumns =
    u"csoport_nev;CONVERT(iktatoaz USING latin2);targy;hatarozat;felelos;statusz_nev;"
    "CONVERT(DATE_FORMAT(datum,'%Y.%m.%d') USING latin2)"_s;
const QString RegisterQuery::AllTab = u"Összes"_s;
// The key comes first: "ORDER BY 1" orders by it as it does over every column of the view.
const QString RegisterQuery::GridColumns = u"iktato, iktatoaz, csoport_nev, datum, targy, hatarozatstr, "
                                           "felelos, dat_hatid, statusz_nev, statusz, sorrend"_s;

RegisterQuery::RegisterQuery(Connection *connection, QObject *parent)
    : QObject(parent), m_connection(connection), m_query(connection)
{
    m_query.setSql(u"SELECT * FROM vw_iktato\nWHERE (1=1)\nORDER BY 1;"_s);
}

RegisterQuery::~RegisterQuery() = default;

RegisterFetcher &RegisterQuery::fetcher()
{
    // Made when first needed, so that it takes the connection's settings as they are by then.
    if (!m_fetcher) {
        m_fetcher = std::make_unique<RegisterFetcher>(m_connection->params(), [this](RegisterAnswer answer) {
            QMetaObject::invokeMethod(
                this, [this, answer = std::move(answer)] { onAnswer(answer); }, Qt::QueuedConnection);
            ++m_postedAnswers;
        });
    }
    return *m_fetcher;
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

quint64 RegisterQuery::reopen(const QString &where)
{
    ReplaceWhere(m_query.sql(), where);
    return submit({});
}

QString RegisterQuery::gridSql() const
{
    QStringList lines = m_query.sql();
    const QString selectAll = u"SELECT * "_s;
    if (!lines.isEmpty() && lines.first().startsWith(selectAll, Qt::CaseInsensitive))
        lines.first() = u"SELECT "_s + GridColumns + u' ' + lines.first().mid(selectAll.size());
    return lines.join(u'\n');
}

namespace {

// Whether iktato has an index on the year alone: within a year its entries are in key order
// (InnoDB keeps the key at the end of every index), so the first screenful of a year in key
// order is found without walking the whole table. Databases made before the index was added
// lack it.
bool HasYearIndex(Connection &connection)
{
    try {
        const ResultSet index = connection.query(u"SHOW INDEX FROM iktato;"_s);
        // The server lists each index's columns in their order.
        QHash<QString, QStringList> columns; // index name -> its columns
        for (int r = 0; r < index.rowCount(); ++r)
            columns[index.text(r, 2)].append(index.text(r, 4).toLower());
        for (const QStringList &list : std::as_const(columns)) {
            if (list == QStringList{u"ev"_s} || list == QStringList{u"ev"_s, u"iktato"_s})
                return true;
        }
    } catch (const DbError &) {
        // Unknown: the first screenful is then read on its own only where it surely pays.
    }
    return false;
}

} // namespace

bool RegisterQuery::firstScreenfulIsQuick()
{
    if (m_query.sql().isEmpty())
        return false;
    const QString order = m_query.sql().last().trimmed();
    // Ordered by the number (unique), the server finds the first screenful with a LIMIT in a
    // fraction of the time it takes to sort the whole list. By the key only with the year's
    // index: without it the server walks the key from its start until it has found enough rows
    // of the year. Never by a column the user sorts by: ties could come in another order in the
    // two readings.
    if (order.compare(u"ORDER BY sorrend;"_s, Qt::CaseInsensitive) == 0)
        return true;
    if (order.compare(u"ORDER BY 1;"_s, Qt::CaseInsensitive) != 0)
        return false;
    if (!m_yearIndexed)
        m_yearIndexed = HasYearIndex(*m_connection);
    return *m_yearIndexed;
}

quint64 RegisterQuery::submit(QList<qint64> locateIds, const QString &locateText)
{
    RegisterRequest request;
    request.generation = ++m_generation;
    request.sql = gridSql();
    request.locateIds = std::move(locateIds);
    request.locateField = m_sortField;
    request.locateText = locateText;
    request.quickFirstPart = firstScreenfulIsQuick();
    m_newestRowsIn = false;
    setBusy(true);
    fetcher().submit(std::move(request));
    return m_generation;
}

void RegisterQuery::onAnswer(const RegisterAnswer &answer)
{
    // An answer for anything but the newest reading is of no use any more.
    if (answer.generation != m_generation)
        return;
    if (!answer.rows) {
        m_rowsArriving = false;
        m_newestRowsIn = true;
        m_details = RegisterDetails();
        setBusy(false);
        m_query.close();
        emit failed(answer.error, answer.errorNumber);
        return;
    }
    // The state is set before the rows go in, so that whoever follows the current row sees
    // whether the list is complete.
    if (answer.complete) {
        m_rowsArriving = false;
        m_details = answer.details ? std::move(*answer.details) : RegisterDetails();
    }
    if (answer.first) {
        m_rowsArriving = !answer.complete;
        m_landed = answer.complete || answer.row >= 0;
        m_query.assign(std::move(*answer.rows), qMax(answer.row, 0));
        m_firstPartRow = m_query.recNo();
        m_newestRowsIn = true;
        emit firstRowsIn(answer.generation);
    } else {
        m_query.append(std::move(*answer.rows));
        if (!m_landed && answer.row >= 0) {
            m_landed = true;
            if (m_query.recNo() == m_firstPartRow)
                m_query.setRecNo(answer.row);
        }
    }
    if (answer.complete) {
        m_query.squeeze();
        setBusy(false);
        emit applied(answer.generation);
    }
}

void RegisterQuery::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    emit busyChanged(busy);
}

bool RegisterQuery::knowsCurrentDetails() const
{
    return m_details.has(currentId());
}

QString RegisterQuery::currentText(const QString &field)
{
    if (!m_query.isOpen() || m_query.recNo() < 0)
        return {};
    if (m_query.fieldIndex(field) >= 0)
        return m_query.text(field);
    const qint64 id = currentId();
    if (!m_details.has(id))
        m_details = RegisterDetails::read(*m_connection,
                                          RegisterDetails::idsAround(m_query.result(), m_query.recNo()));
    if (!m_details.hasField(field))
        throw DbError(u"Ismeretlen mező: "_s + field);
    return m_details.text(id, field);
}

void RegisterQuery::openFullRows(Query &rows) const
{
    rows.close();
    rows.setSql(m_query.sqlText());
    rows.open();
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

quint64 RegisterQuery::search(const QString &text)
{
    ReplaceWhere(m_query.sql(), baseCondition() + LikeAnyColumn(SearchColumns, text));
    return submit({}, text);
}

qint64 RegisterQuery::currentId() const
{
    return m_query.isOpen() && m_query.recNo() >= 0 ? m_query.value(u"iktato"_s).toLongLong() : 0;
}

bool RegisterQuery::locateId(qint64 recordId)
{
    return recordId > 0 && m_query.locate(u"iktato"_s, recordId);
}

quint64 RegisterQuery::sortBy(const QString &field)
{
    const qint64 id = currentId();
    m_sortField = field;
    ReplaceOrderBy(m_query.sql(), field);
    return submit({id});
}

quint64 RegisterQuery::refresh()
{
    return submit({currentId()});
}

quint64 RegisterQuery::refreshAndLocate(qint64 recordId)
{
    return submit({recordId, currentId()});
}

quint64 RegisterQuery::reopenAsIs()
{
    return submit({});
}
