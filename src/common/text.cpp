#include "text.h"

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
