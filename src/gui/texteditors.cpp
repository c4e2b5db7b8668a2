#include "texteditors.h"

#include <QFontMetrics>
#include <Qsci/qsciscintilla.h>
#include <algorithm>

using namespace Qt::StringLiterals;

void GiveAccentsRoom(QsciScintilla *editor, const QFont &font)
{
    const QFontMetrics metrics(font);
    const int top = -metrics.boundingRect(u"ŐŰÁÉÍÓÖÚÜ"_s).top();
    editor->setExtraAscent(std::max(0, top - metrics.ascent()) + 1);
}
