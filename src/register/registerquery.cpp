#include "registerquery.h"

#include "common/sqltext.h"
#include "common/text.h"
#include "common/values.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "db/dbroutines.h"
#include "db/tableindexes.h"
#include "registerfetcher.h"

#include <algorithm>

using namespace Qt::StringLiterals;

const QString RegisterQuery::AllTab = u"Összes"_s;
// The key comes first: "ORDER BY 1" orders by it as it does over every column of the view.
const QString RegisterQuery::GridColumns = u"iktato, iktatoaz, csoport_nev, datum, targy, hatarozatstr, "
                                           "felelos, dat_hatid, statusz_nev, statusz, sorrend"_s;

RegisterQuery::RegisterQuery(Connection *connection, QObject *parent)
    : QObject(parent), m_connection(connection), m_query(connection)
{
    m_query.setSql(statement().sql());
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

void RegisterQuery::start(const QString &firstYearTab, const QString &firstCommitteeTab, bool committeeIsAll)
{
    m_filter.periodFrom = m_filter.periodTo = QDate();
    selectCommittee(firstCommitteeTab, committeeIsAll);
    m_filter.year = RegisterStatement::yearOfTab(firstYearTab);
    reopen();
}

void RegisterQuery::selectCommittee(const QString &tabText, bool isAll)
{
    // A committee that is gone lists nothing rather than every committee.
    m_filter.committeeId = isAll ? std::nullopt : std::optional<int>(CommitteeId(*m_connection, tabText));
}

quint64 RegisterQuery::reopen()
{
    // A change of the selection ends the search.
    m_filter.search.clear();
    return submit({});
}

quint64 RegisterQuery::reapply()
{
    return reopen();
}

namespace {

// Whether the year's index is there; unknown counts as not.
bool YearIndexKnown(Connection &connection)
{
    try {
        return HasYearIndex(connection);
    } catch (const DbError &) {
        // Unknown: the first screenful is then read on its own only where it surely pays.
        return false;
    }
}

} // namespace

bool RegisterQuery::firstScreenfulIsQuick()
{
    // Ordered by the number (unique), the server finds the first screenful with a LIMIT in a
    // fraction of the time it takes to sort the whole list. By the key only with the year's
    // index: without it the server walks the key from its start until it has found enough rows
    // of the year. Never by a column the user sorts by: ties could come in another order in the
    // two readings.
    if (!m_filter.orderIsTotal())
        return false;
    if (!m_filter.orderField.isEmpty())
        return true;
    if (!m_yearIndexed)
        m_yearIndexed = YearIndexKnown(*m_connection);
    return *m_yearIndexed;
}

quint64 RegisterQuery::submit(QList<qint64> locateIds, const QString &locateText)
{
    RegisterRequest request;
    request.generation = ++m_generation;
    const RegisterStatement grid = statement().withColumns(GridColumns);
    m_query.setSql(statement().sql());
    request.sql = grid.sql();
    request.locateIds = std::move(locateIds);
    request.locateField = m_sortField;
    request.locateText = locateText;
    if (firstScreenfulIsQuick())
        request.firstRowsAlone = grid;
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
    rows.setSql(statement().sql());
    rows.open();
}

void RegisterQuery::setYearTab(const QString &tabText)
{
    m_filter.year = RegisterStatement::yearOfTab(tabText);
    reopen();
}

void RegisterQuery::setCommitteeTab(const QString &tabText, bool isAll)
{
    selectCommittee(tabText, isAll);
    reopen();
}

void RegisterQuery::setPeriod(QDate from, QDate to)
{
    m_filter.periodFrom = from;
    m_filter.periodTo = to;
    reopen();
}

void RegisterQuery::clearPeriod()
{
    m_filter.periodFrom = m_filter.periodTo = QDate();
    reopen();
}

quint64 RegisterQuery::search(const QString &text)
{
    m_filter.search = text;
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
    m_filter.orderField = field;
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
