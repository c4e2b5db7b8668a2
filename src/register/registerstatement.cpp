#include "registerstatement.h"

#include "common/sqltext.h"

using namespace Qt::StringLiterals;

const QString RegisterStatement::SearchColumns =
    u"csoport_nev;CONVERT(iktatoaz USING latin2);targy;hatarozat;felelos;statusz_nev;"
    "CONVERT(DATE_FORMAT(datum,'%Y.%m.%d') USING latin2)"_s;

RegisterStatement::RegisterStatement(RegisterFilter filter, QString columns)
    : m_filter(std::move(filter)), m_columns(std::move(columns))
{
}

QString RegisterStatement::yearCondition(int year)
{
    return year <= 0 ? u"(iktato > 0)"_s : u"(ev = "_s + QString::number(year) + u')';
}

QString RegisterStatement::periodCondition(QDate from, QDate to)
{
    return u" AND (datum BETWEEN "_s + SqlDate(from) + u" AND "_s + SqlDate(to) + u')';
}

QString RegisterStatement::committeeCondition(int committeeId)
{
    return u" AND (csoport = "_s + QString::number(committeeId) + u')';
}

int RegisterStatement::yearOfTab(const QString &tabText)
{
    // Tab texts are made from the years stored; anything else (the "Összes" tab) is every year.
    bool ok = false;
    const int year = tabText.trimmed().toInt(&ok);
    return ok && year > 0 ? year : 0;
}

QString RegisterStatement::whereCondition() const
{
    QString where = yearCondition(m_filter.year);
    if (m_filter.hasPeriod())
        where += periodCondition(m_filter.periodFrom, m_filter.periodTo);
    if (m_filter.committeeId)
        where += committeeCondition(*m_filter.committeeId);
    return where + LikeAnyColumn(SearchColumns, m_filter.search);
}

QStringList RegisterStatement::lines() const
{
    const QString order = m_filter.orderField.isEmpty() ? u"1"_s : m_filter.orderField;
    return {u"SELECT "_s + m_columns + u" FROM vw_iktato"_s, u"WHERE "_s + whereCondition(),
            u"ORDER BY "_s + order + u';'};
}

QString RegisterStatement::firstRowsSql(int rows) const
{
    QString text = sql();
    text.chop(1); // the ";"
    return text + u"\nLIMIT "_s + QString::number(rows) + u';';
}
