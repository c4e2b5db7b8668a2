#include "table.h"

#include "common/sqltext.h"
#include "connection.h"
#include "dberror.h"

#include <QDateTime>

using namespace Qt::StringLiterals;

Table::Table(Connection *connection, QString tableName)
    : m_connection(connection), m_table(std::move(tableName))
{
}

QString Table::quotedName(const QString &name) const
{
    QString escaped = name;
    escaped.replace(u'`', u"``"_s);
    return u'`' + escaped + u'`';
}

QString Table::quotedTableName() const
{
    // "database.table": each part is a name of its own.
    QStringList parts = m_table.split(u'.');
    for (QString &part : parts)
        part = quotedName(part);
    return parts.join(u'.');
}

void Table::open(const QString &where, const QString &orderBy)
{
    m_where = where;
    m_orderBy = orderBy;
    refresh();
}

void Table::refresh()
{
    QString sql = u"SELECT * FROM "_s + quotedTableName();
    if (!m_where.isEmpty())
        sql += u" WHERE "_s + m_where;
    if (!m_orderBy.isEmpty())
        sql += u" ORDER BY "_s + m_orderBy;
    m_rows = m_connection->query(sql);
    m_state = State::Browse;
    m_editRow = -1;
}

void Table::close()
{
    m_rows = ResultSet();
    m_state = State::Closed;
    m_editRow = -1;
    m_buffer.clear();
    m_modified.clear();
}

int Table::fieldIndexOrThrow(const QString &field) const
{
    const int i = m_rows.fieldIndex(field);
    if (i < 0)
        throw DbError(u"Ismeretlen mező: "_s + m_table + u'.' + field);
    return i;
}

void Table::append()
{
    if (m_state == State::Closed)
        throw DbError(u"A tábla nincs megnyitva: "_s + m_table);
    m_state = State::Insert;
    m_editRow = -1;
    resetBuffer();
}

void Table::edit(int row)
{
    if (m_state == State::Closed || row < 0 || row >= rowCount())
        throw DbError(u"Nincs szerkeszthető sor: "_s + m_table);
    m_state = State::Edit;
    m_editRow = row;
    resetBuffer();
}

void Table::resetBuffer()
{
    m_buffer.clear();
    for (int c = 0; c < fields().size(); ++c)
        m_buffer.append(m_state == State::Edit ? m_rows.value(m_editRow, c) : QVariant());
    m_modified = QList<bool>(fields().size(), false);
}

QVariant Table::value(const QString &field) const
{
    const int i = fieldIndexOrThrow(field);
    // After post() the buffer still holds the written row, with the id the server gave it.
    return i < m_buffer.size() ? m_buffer.at(i) : QVariant();
}

void Table::setValue(const QString &field, const QVariant &value)
{
    if (m_state != State::Insert && m_state != State::Edit)
        throw DbError(u"A sor nincs szerkesztés alatt: "_s + m_table);
    const int i = fieldIndexOrThrow(field);
    m_buffer[i] = value;
    m_modified[i] = true;
}

QString Table::sqlValue(const FieldInfo &field, const QVariant &value)
{
    if (value.isNull())
        return u"NULL"_s;
    switch (field.kind) {
    case FieldInfo::Kind::Integer: {
        bool ok = false;
        const qlonglong v = value.toString().trimmed().toLongLong(&ok);
        if (!ok)
            throw DbError(u"Érvénytelen egész szám a(z) %1 mezőben: %2"_s.arg(field.name, value.toString()));
        return QString::number(v);
    }
    case FieldInfo::Kind::Float:
    case FieldInfo::Kind::Decimal: {
        bool ok = false;
        const double v = value.typeId() == QMetaType::Double
                             ? value.toDouble(&ok)
                             : value.toString().trimmed().replace(u',', u'.').toDouble(&ok);
        if (!ok)
            throw DbError(u"Érvénytelen szám a(z) %1 mezőben: %2"_s.arg(field.name, value.toString()));
        return QString::number(v, 'g', 17);
    }
    case FieldInfo::Kind::Date: {
        const QDate d = value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime
                            ? value.toDate()
                            : QDate::fromString(value.toString(), u"yyyy-MM-dd"_s);
        if (!d.isValid())
            throw DbError(u"Érvénytelen dátum a(z) %1 mezőben: %2"_s.arg(field.name, value.toString()));
        return SqlDate(d);
    }
    case FieldInfo::Kind::DateTime: {
        const QDateTime dt = value.typeId() == QMetaType::QDateTime
                                 ? value.toDateTime()
                                 : QDateTime::fromString(value.toString(), u"yyyy-MM-dd HH:mm:ss"_s);
        if (!dt.isValid())
            throw DbError(u"Érvénytelen időpont a(z) %1 mezőben: %2"_s.arg(field.name, value.toString()));
        return u'\'' + dt.toString(u"yyyy-MM-dd HH:mm:ss"_s) + u'\'';
    }
    case FieldInfo::Kind::Binary:
        if (value.typeId() == QMetaType::QByteArray)
            return u"X'"_s + QString::fromLatin1(value.toByteArray().toHex()) + u'\'';
        break;
    case FieldInfo::Kind::Time:
    case FieldInfo::Kind::Text:
    case FieldInfo::Kind::Other: break;
    }
    return SqlQuoted(value);
}

QString Table::keyCondition(int row) const
{
    QStringList terms;
    for (int c = 0; c < fields().size(); ++c) {
        const FieldInfo &f = fields().at(c);
        if (!f.isPrimaryKey())
            continue;
        const QVariant v = m_rows.value(row, c);
        terms.append(quotedName(f.name) + (v.isNull() ? u" IS NULL"_s : u" = "_s + sqlValue(f, v)));
    }
    if (terms.isEmpty())
        throw DbError(u"A táblának nincs elsődleges kulcsa, a sor nem módosítható: "_s + m_table);
    return terms.join(u" AND "_s);
}

qint64 Table::post()
{
    if (m_state != State::Insert && m_state != State::Edit)
        throw DbError(u"A sor nincs szerkesztés alatt: "_s + m_table);
    try {
        return writeRow();
    } catch (...) {
        // Otherwise a value the server refused, or one the user gave up after a failure that
        // passed, would still be written by the next post.
        resetBuffer();
        throw;
    }
}

qint64 Table::writeRow()
{
    QStringList names;
    QStringList values;
    for (int c = 0; c < fields().size(); ++c) {
        if (!m_modified.at(c))
            continue;
        names.append(quotedName(fields().at(c).name));
        values.append(sqlValue(fields().at(c), m_buffer.at(c)));
    }
    qint64 id = 0;
    if (m_state == State::Insert) {
        const QString sql =
            names.isEmpty() ? QString(u"INSERT INTO "_s + quotedTableName() + u" () VALUES ()"_s)
                            : QString(u"INSERT INTO "_s + quotedTableName() + u" ("_s + names.join(u", "_s) +
                                      u") VALUES ("_s + values.join(u", "_s) + u')');
        m_connection->exec(sql);
        for (int c = 0; c < fields().size(); ++c) {
            if (fields().at(c).isAutoIncrement() && !m_modified.at(c)) {
                id = qint64(m_connection->lastInsertId());
                m_buffer[c] = id;
            }
        }
    } else if (!names.isEmpty()) {
        QStringList sets;
        for (int i = 0; i < names.size(); ++i)
            sets.append(names.at(i) + u" = "_s + values.at(i));
        m_connection->exec(u"UPDATE "_s + quotedTableName() + u" SET "_s + sets.join(u", "_s) + u" WHERE "_s +
                           keyCondition(m_editRow));
    }
    m_state = State::Browse;
    m_editRow = -1;
    return id;
}

void Table::cancel()
{
    if (m_state == State::Insert || m_state == State::Edit)
        m_state = State::Browse;
    m_editRow = -1;
    m_buffer.clear();
    m_modified.clear();
}

void Table::remove(int row)
{
    if (m_state == State::Closed || row < 0 || row >= rowCount())
        throw DbError(u"Nincs törölhető sor: "_s + m_table);
    m_connection->exec(u"DELETE FROM "_s + quotedTableName() + u" WHERE "_s + keyCondition(row));
}
