#include "sqltext.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

QString SqlEscape(const QVariant &value)
{
    if (value.isNull())
        return {};
    const QString text = value.toString();
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar ch : text) {
        switch (ch.unicode()) {
        case u'\\': out += u"\\\\"_s; break;
        case u'\r': out += u"\\r"_s; break;
        case u'\n': out += u"\\n"_s; break;
        // A raw NUL inside a literal does not survive every client (the command-line client
        // of a restore reads lines of text), so it is written as the server's escape.
        case 0: out += u"\\0"_s; break;
        default: out += ch;
        }
    }
    return out;
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
    static const QRegularExpression crlf(u"\\\\r\\\\n"_s, QRegularExpression::CaseInsensitiveOption);
    QString text = value.toString();
    text.replace(crlf, u"\r\n"_s);
    return text;
}
