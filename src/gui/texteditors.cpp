#include "texteditors.h"

#include "gui/messagebox.h"

#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <algorithm>

using namespace Qt::StringLiterals;

void GiveAccentsRoom(QsciScintilla *editor, const QFont &font)
{
    const QFontMetrics metrics(font);
    const int top = -metrics.boundingRect(u"ŐŰÁÉÍÓÖÚÜ"_s).top();
    editor->setExtraAscent(std::max(0, top - metrics.ascent()) + 1);
}

void WholeTextEditor::setWholeText(const QString &text)
{
    const bool readOnly = isReadOnly();
    setReadOnly(false);
    const QByteArray bytes = isUtf8() ? text.toUtf8() : text.toLatin1();
    SendScintilla(SCI_CLEARALL);
    // Given with its length, unlike SCI_SETTEXT, which reads up to the first NUL.
    SendScintilla(SCI_ADDTEXT, static_cast<unsigned long>(bytes.size()), bytes.constData());
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_GOTOPOS, 0L);
    setReadOnly(readOnly);
}

QString WholeTextEditor::wholeText() const
{
    const long length = SendScintilla(SCI_GETLENGTH);
    QByteArray bytes(length + 1, Qt::Uninitialized);
    // Copies every byte and a closing NUL.
    SendScintilla(SCI_GETTEXT, static_cast<unsigned long>(length + 1), bytes.data());
    bytes.chop(1);
    return isUtf8() ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

namespace {
bool holdsNul(const QMimeData *source)
{
    return source && source->hasText() && source->text().contains(QChar(0));
}
} // namespace

void WholeTextEditor::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste) && holdsNul(QGuiApplication::clipboard()->mimeData())) {
        event->accept();
        ShowErrorBox(u"A vágólapon lévő szöveg 0 kódú (NUL) vezérlőkaraktert tartalmaz, ezért nem "
                     "illeszthető be."_s,
                     this);
        return;
    }
    QsciScintilla::keyPressEvent(event);
}

bool WholeTextEditor::canInsertFromMimeData(const QMimeData *source) const
{
    // Also keeps the menu's paste and a drop from cutting such a text.
    return !holdsNul(source) && QsciScintilla::canInsertFromMimeData(source);
}
