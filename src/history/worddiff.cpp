#include "worddiff.h"

#include <QRegularExpression>
#include <vector>

using namespace Qt::StringLiterals;

namespace worddiff {

QStringList words(const QString &text)
{
    static const QRegularExpression word(u"\\S+|\\s+"_s);
    QStringList list;
    for (auto it = word.globalMatch(text); it.hasNext();)
        list.append(it.next().captured());
    return list;
}

void append(QList<DiffPart> &parts, DiffPart::Kind kind, const QString &text)
{
    if (!parts.isEmpty() && parts.last().kind == kind)
        parts.last().text += text;
    else
        parts.append({kind, text});
}

} // namespace worddiff

QList<DiffPart> WordDiff(const QString &before, const QString &after)
{
    using namespace worddiff;
    const QStringList a = words(before);
    const QStringList b = words(after);
    // What both ends share is cut off first: an edit usually touches a few words of a long text,
    // and the table below then covers only the changed middle.
    qsizetype head = 0;
    while (head < a.size() && head < b.size() && a.at(head) == b.at(head))
        ++head;
    qsizetype tail = 0;
    while (tail < a.size() - head && tail < b.size() - head && a.at(a.size() - 1 - tail) == b.at(b.size() - 1 - tail))
        ++tail;
    const qsizetype n = a.size() - head - tail;
    const qsizetype m = b.size() - head - tail;
    QList<DiffPart> parts;
    for (qsizetype i = 0; i < head; ++i)
        append(parts, DiffPart::Same, a.at(i));
    // Longest common subsequence of the middles; past a few million cells the middle is shown as
    // removed and added whole rather than holding the window.
    if (n * m <= 4'000'000) {
        std::vector<std::vector<int>> lcs(size_t(n + 1), std::vector<int>(size_t(m + 1), 0));
        for (qsizetype i = n - 1; i >= 0; --i)
            for (qsizetype j = m - 1; j >= 0; --j)
                lcs[i][j] = a.at(head + i) == b.at(head + j) ? lcs[i + 1][j + 1] + 1
                                                               : std::max(lcs[i + 1][j], lcs[i][j + 1]);
        qsizetype i = 0, j = 0;
        while (i < n || j < m) {
            if (i < n && j < m && a.at(head + i) == b.at(head + j)) {
                append(parts, DiffPart::Same, a.at(head + i));
                ++i, ++j;
            } else if (i < n && (j == m || lcs[i + 1][j] >= lcs[i][j + 1])) {
                append(parts, DiffPart::Removed, a.at(head + i++));
            } else {
                append(parts, DiffPart::Added, b.at(head + j++));
            }
        }
    } else {
        for (qsizetype i = 0; i < n; ++i)
            append(parts, DiffPart::Removed, a.at(head + i));
        for (qsizetype j = 0; j < m; ++j)
            append(parts, DiffPart::Added, b.at(head + j));
    }
    for (qsizetype i = a.size() - tail; i < a.size(); ++i)
        append(parts, DiffPart::Same, a.at(i));
    return parts;
}

QString DiffHtml(const QList<DiffPart> &parts)
{
    QString html;
    for (const DiffPart &part : parts) {
        QString text = part.text.toHtmlEscaped();
        text.replace(u"\r\n"_s, u"<br>"_s).replace(u'\n', u"<br>"_s);
        switch (part.kind) {
        case DiffPart::Same:
            html += text;
            break;
        case DiffPart::Removed:
            html += u"<span style=\"background:#ffd0d0;text-decoration:line-through\">"_s + text + u"</span>"_s;
            break;
        case DiffPart::Added:
            html += u"<span style=\"background:#c8f0c8;text-decoration:underline\">"_s + text + u"</span>"_s;
            break;
        }
    }
    return html;
}
