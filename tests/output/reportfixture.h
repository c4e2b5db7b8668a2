#pragma once

#include <QString>

class Connection;

// A small register for the report tests: the owner, two committees and five records of 2023
// and 2024, one of them with a text of several pages.
inline const QString OwnerName = QStringLiteral("Hársfalva Város Önkormányzata");
inline constexpr int ShortRecordId = 1;
inline constexpr int LongRecordId = 2;
inline const QString ListSql2024 =
    QStringLiteral("SELECT * FROM vw_iktato\nWHERE (ev = 2024)\nORDER BY sorrend;");

// The long record's text: numbered paragraphs ("P001 ...") of distinct words.
QString LongText();
void FillReportFixture(Connection &connection);
