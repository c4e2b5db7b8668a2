#include "text.h"

#include "values.h"

QString SplitField(const QString &separators, const QString &text, int n)
{
    QString field;
    int current = 1;
    for (const QChar ch : text) {
        if (separators.contains(ch)) {
            if (++current > n)
                break;
        } else if (current == n) {
            field += ch;
        }
    }
    return field;
}

QString ReplaceChar(const QVariant &value, QChar from, QChar to)
{
    QString text = ValueToStr(value);
    text.replace(from, to);
    return text;
}

QString StripChars(const QString &chars, const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        if (!chars.contains(ch))
            out += ch;
    }
    return out;
}

QString NumericFilter(const QString &text)
{
    const QString trimmed = text.trimmed();
    QString out;
    bool separatorKept = false;
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        const QChar ch = trimmed.at(i);
        if (ch >= u'0' && ch <= u'9') {
            out += ch;
        } else if (ch == u'-' && i == 0) {
            out += ch;
        } else if ((ch == u',' || ch == u'.') && !separatorKept) {
            out += ch;
            separatorKept = true;
        }
    }
    return out;
}

int TextToInt(const QString &text)
{
    bool ok = false;
    const int n = NumericFilter(text).trimmed().toInt(&ok);
    return ok ? n : 0;
}

QString LeftPart(const QString &text, int n)
{
    return n < 1 ? QString() : text.left(n);
}

QString RightPart(const QString &text, int n)
{
    return n < 1 ? QString() : text.right(n);
}
