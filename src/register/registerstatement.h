#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

// What the register lists: the four independent selections (year tab, period, committee tab,
// search text) and the order. This is the state; the SQL text is made from it each time.
struct RegisterFilter
{
    int year = 0;          // 0: every year ("Összes")
    QDate periodFrom;      // both null: no period
    QDate periodTo;        // inclusive
    std::optional<int> committeeId; // none: every committee
    QString search;        // empty: no search
    QString orderField;    // empty: the key ("ORDER BY 1")

    bool hasPeriod() const { return periodFrom.isValid() && periodTo.isValid(); }
    // The key order, or the number's sort key: both total, so the first rows of a reading are
    // those of a second reading too.
    bool orderIsTotal() const { return orderField.isEmpty() || orderField == u"sorrend"; }
};

// The register's statement over vw_iktato in three lines, "SELECT … FROM vw_iktato", "WHERE …"
// and "ORDER BY …;", as the rest of the program and its copies (the list report) expect them.
class RegisterStatement
{
public:
    // The columns the search box looks in, as one ";"-separated text.
    static const QString SearchColumns;

    explicit RegisterStatement(RegisterFilter filter, QString columns = QStringLiteral("*"));

    const RegisterFilter &filter() const { return m_filter; }
    // The same selection read with other columns.
    RegisterStatement withColumns(const QString &columns) const { return RegisterStatement(m_filter, columns); }

    QString whereCondition() const; // without "WHERE "
    QStringList lines() const;
    QString sql() const { return lines().join(u'\n'); }
    // The statement limited to its first `rows` rows.
    QString firstRowsSql(int rows) const;

    // The condition of each selection (the first one without " AND ").
    static QString yearCondition(int year);
    static QString periodCondition(QDate from, QDate to);
    static QString committeeCondition(int committeeId);
    // The year of a year tab's text; 0 for "Összes" or anything but a year.
    static int yearOfTab(const QString &tabText);

private:
    RegisterFilter m_filter;
    QString m_columns;
};
