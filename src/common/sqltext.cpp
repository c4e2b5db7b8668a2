#include "sqltext.h"

#include "cp1250.h"
#include "text.h"

using namespace Qt::StringLiterals;

namespace sqltext {
// The value's text with each character put through `put`, which appends what stands for it.
template <typename Put> QString EscapedText(const QVariant &value, Put put)
{
    if (value.isNull())
        return {};
    const QString text = value.toString();
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar ch : text)
        put(out, ch);
    return out;
}
} // namespace sqltext

QString SqlEscape(const QVariant &value)
{
    return sqltext::EscapedText(value, [](QString &out, QChar ch) {
        switch (ch.unicode()) {
        case u'\\': out += u"\\\\"_s; break;
        case u'\r': out += u"\\r"_s; break;
        case u'\n': out += u"\\n"_s; break;
        // A raw NUL inside a literal does not survive every client (the command-line client
        // of a restore reads lines of text), so it is written as the server's escape.
        case 0: out += u"\\0"_s; break;
        default: out += ch;
        }
    });
}

QString SqlQuoted(const QVariant &value)
{
    QString escaped = SqlEscape(value);
    escaped.replace(u'\'', u"''"_s);
    return u'\'' + escaped + u'\'';
}

QString SqlDate(QDate date)
{
    return u'\'' + date.toString(u"yyyy-MM-dd"_s) + u'\'';
}

QString UnescapeCrLf(const QVariant &value)
{
    if (value.isNull())
        return {};
    // Only where the backslash is not itself escaped: in '\\r' + LF (a backslash, r and a line
    // break) the pair after the escaped backslash must stay as it is, or the stored text changes.
    const QString text = value.toString();
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch != u'\\') {
            out += ch;
            continue;
        }
        if (i + 3 < text.size() && text.at(i + 1).toLower() == u'r' && text.at(i + 2) == u'\\' &&
            text.at(i + 3).toLower() == u'n') {
            out += u"\r\n"_s;
            i += 3;
        } else if (i + 1 < text.size()) {
            // An escape pair: both characters are copied so the second is never taken as a start.
            out += ch;
            out += text.at(++i);
        } else {
            out += ch;
        }
    }
    return out;
}

QString ExportEscape(const QVariant &value)
{
    if (value.isNull())
        return {};
    const QString text = value.toString();
    QString out;
    out.reserve(text.size() + 8);
    AppendExportEscaped(out, text, [](QString &o, QChar ch) { o += ch; });
    return out;
}

namespace sqltext {

QString replaceLine(QStringList &sqlLines, QStringView keyword, const QString &replacement)
{
    for (QString &line : sqlLines) {
        if (line.startsWith(keyword, Qt::CaseInsensitive)) {
            line = replacement;
            break;
        }
    }
    return sqlLines.join(u'\n');
}

constexpr int MaxSearchColumns = 15;
constexpr int MaxSearchWords = 4;

QStringList searchColumns(const QString &columns)
{
    QStringList list;
    for (int i = 1; i <= MaxSearchColumns; ++i) {
        const QString column = SplitField(u";"_s, columns, i);
        if (column.isEmpty())
            break;
        list += column;
    }
    return list;
}

// (c1 LIKE '%w%') OR (c2 LIKE '%w%') ...
QString anyColumnTerms(const QStringList &columns, const QString &word)
{
    // No row holds a character the database cannot store: such a word finds nothing, and must
    // not fail the whole query as text that cannot be sent.
    if (!UnmappableCp1250Chars(word).isEmpty())
        return u"1 = 0"_s;
    // LIKE reads a backslash as its escape character: doubled, it finds a backslash of the text.
    QString literal = word;
    literal.replace(u'\\', u"\\\\"_s);
    const QString pattern = SqlQuoted(QString(u'%' + literal + u'%'));
    QStringList terms;
    for (const QString &column : columns)
        terms += u'(' + column + u" LIKE "_s + pattern + u')';
    return terms.join(u" OR "_s);
}

} // namespace sqltext

QString ReplaceWhere(QStringList &sqlLines, const QString &condition)
{
    return sqltext::replaceLine(sqlLines, u"WHERE", u"WHERE "_s + condition);
}

QString ReplaceOrderBy(QStringList &sqlLines, const QString &ordering)
{
    return sqltext::replaceLine(sqlLines, u"ORDER", u"ORDER BY "_s + ordering + u';');
}

QString LikeAnyColumn(const QString &columns, const QString &search)
{
    const QStringList cols = sqltext::searchColumns(columns);
    // Without a column there is nothing to search in; "AND ()" would be broken SQL.
    if (search.isEmpty() || cols.isEmpty())
        return {};
    return u" AND ("_s + sqltext::anyColumnTerms(cols, search) + u')';
}

QString LikeAllWords(const QString &columns, const QString &search)
{
    QString text = search;
    text.replace(u',', u' ').replace(u';', u' ');
    const QStringList cols = sqltext::searchColumns(columns);
    if (text.trimmed().isEmpty() || cols.isEmpty())
        return {};
    QStringList groups;
    for (int i = 1; i <= sqltext::MaxSearchWords; ++i) {
        const QString word = SplitField(u" "_s, text, i);
        if (!word.isEmpty())
            groups += u'(' + sqltext::anyColumnTerms(cols, word) + u')';
    }
    if (groups.isEmpty())
        return {};
    return u" AND ("_s + groups.join(u" AND "_s) + u')';
}
