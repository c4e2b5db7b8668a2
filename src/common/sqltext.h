#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <iterator>
#include <type_traits>

// Building blocks of SQL text. Text values enter SQL only through SqlQuoted, identifiers and
// numbers only as decimal integers, dates only through SqlDate.

// Backslash doubled, CR as \r, LF as \n, NUL as \0; empty text for NULL.
QString SqlEscape(const QVariant &value);
// SqlEscape of the value's text (empty for NULL) enclosed in single quotes, inner quotes doubled.
QString SqlQuoted(const QVariant &value);
// 'yyyy-mm-dd'
QString SqlDate(QDate date);
// Every \r\n (four characters, any letter case) whose backslash is not itself escaped becomes a
// real CR LF; other escape pairs stay as they are; empty text for NULL.
QString UnescapeCrLf(const QVariant &value);

// For the delimited export: backslash doubled, each line break (CR LF, a lone CR, a lone LF)
// written as \n, so a record stays on one line; empty text for NULL.
QString ExportEscape(const QVariant &value);

// The same escaping appended to `out`, for text (QString) and code page 1250 bytes alike; every
// character that is neither a backslash nor a line break goes through `other(out, ch)`.
template <typename Out, typename Text, typename Other>
void AppendExportEscaped(Out &out, const Text &text, Other other)
{
    using Char = std::decay_t<decltype(*std::begin(text))>;
    bool afterCr = false;
    for (const Char ch : text) {
        if (ch == Char(u'\\')) {
            out += ch;
            out += ch;
        } else if (ch == Char(u'\r') || (ch == Char(u'\n') && !afterCr)) {
            out += Char(u'\\');
            out += Char(u'n');
        } else if (ch != Char(u'\n')) {
            other(out, ch);
        }
        afterCr = ch == Char(u'\r');
    }
}

// Queries rewritten at run time keep their WHERE clause on one line beginning with "WHERE" and
// their ORDER BY clause on one line beginning with "ORDER". These replace the first such line
// (matched in the first column, any letter case; an indented line is not one) in place and
// return the whole SQL text; without such a line nothing changes. The caller closes the query
// before and opens it after.
QString ReplaceWhere(QStringList &sqlLines, const QString &condition);
QString ReplaceOrderBy(QStringList &sqlLines, const QString &ordering);

// Search conditions to append to a WHERE clause; each begins with " AND (" or is empty.
// `columns` holds up to 15 SQL expressions separated by ";" (the list ends at the first empty
// one); each is used verbatim. The search text goes in only through SqlQuoted, untrimmed, and
// "%" and "_" in it act as wildcards; a backslash in it finds a backslash. A word with a character
// the database cannot hold matches no row.
//
// Rows in which any column contains the whole search text; empty for an empty search text.
QString LikeAnyColumn(const QString &columns, const QString &search);
// Rows in which every word (at most the first four blank-separated fields, "," and ";" count as
// blanks, an empty field counts but adds nothing) occurs in some column; empty when no word.
QString LikeAllWords(const QString &columns, const QString &search);
