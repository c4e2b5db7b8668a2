#include "messagebox.h"

#include "db/dberror.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace messagebox {
MessageBoxRecorder *g_recorder = nullptr;
} // namespace messagebox

struct MessageBoxSeam
{
    // Records the box when a recorder is active; *answer is set for ConfirmBox.
    static bool record(MessageBoxRecorder::Kind kind, const QString &caption, const QString &text,
                       bool *answer)
    {
        MessageBoxRecorder *r = messagebox::g_recorder;
        if (!r)
            return false;
        MessageBoxRecorder::Box box{kind, caption, text};
        if (kind == MessageBoxRecorder::Kind::Confirm) {
            if (r->m_answers.isEmpty()) {
                box.unanswered = true;
                qWarning("MessageBoxRecorder: ConfirmBox asked with no answer queued, answering No: %s",
                         qUtf8Printable(text));
            } else {
                box.answer = r->m_answers.takeFirst();
            }
            *answer = box.answer;
        }
        r->m_boxes.append(box);
        return true;
    }
};

namespace messagebox {

// More than this many lines (a failed dump's output, say) would push the buttons off the screen.
constexpr int MaxShownLines = 12;
constexpr int MaxShownCharacters = 1200;
constexpr int MaxShownFirstLine = 300;

QMessageBox::StandardButton RunBox(QMessageBox::Icon icon, const QString &caption, const QString &text,
                                   QMessageBox::StandardButtons buttons,
                                   QMessageBox::StandardButton defaultButton, QWidget *owner)
{
    QPointer<QWidget> previous = QApplication::activeWindow();
    const MessageParts parts = SplitLongMessage(text);
    QMessageBox box(icon, caption, parts.shown, buttons, owner ? owner : previous.data());
    // An error text holding "<" must not be taken for markup.
    box.setTextFormat(Qt::PlainText);
    if (!parts.details.isEmpty())
        box.setDetailedText(parts.details);
    box.setDefaultButton(defaultButton);
    const auto result = static_cast<QMessageBox::StandardButton>(box.exec());
    if (previous)
        previous->activateWindow();
    return result;
}

} // namespace messagebox

MessageParts SplitLongMessage(const QString &text)
{
    if (text.count(u'\n') < messagebox::MaxShownLines && text.size() <= messagebox::MaxShownCharacters)
        return {text, {}};
    const qsizetype lineBreak = text.indexOf(u'\n');
    if (lineBreak >= 0 && lineBreak <= messagebox::MaxShownFirstLine)
        return {text.left(lineBreak).trimmed(), text.mid(lineBreak + 1)};
    // One long line: its beginning in the box, all of it behind the button.
    return {text.left(messagebox::MaxShownFirstLine) + u'…', text};
}

namespace messagebox {

void ShowOkBox(MessageBoxRecorder::Kind kind, QMessageBox::Icon icon, const QString &caption,
               const QString &text, QWidget *owner)
{
    if (MessageBoxSeam::record(kind, caption, text, nullptr))
        return;
    RunBox(icon, caption, text, QMessageBox::Ok, QMessageBox::Ok, owner);
}

} // namespace messagebox

void ShowErrorBox(const QString &text, QWidget *owner)
{
    messagebox::ShowOkBox(MessageBoxRecorder::Kind::Error, QMessageBox::Critical, u"Hiba"_s, text, owner);
}

void ShowWarningBox(const QString &text, QWidget *owner)
{
    messagebox::ShowOkBox(MessageBoxRecorder::Kind::Warning, QMessageBox::Warning, u"Figyelmeztetés"_s, text,
                          owner);
}

void ShowInfoBox(const QString &text, QWidget *owner)
{
    messagebox::ShowOkBox(MessageBoxRecorder::Kind::Info, QMessageBox::Information, u"Üzenet"_s, text, owner);
}

bool ConfirmBox(const QString &text, QWidget *owner)
{
    return ConfirmBox(text, u"Megerősítés"_s, owner, QMessageBox::Question);
}

bool ConfirmBox(const QString &text, const QString &caption, QWidget *owner, QMessageBox::Icon icon)
{
    bool answer = false;
    if (MessageBoxSeam::record(MessageBoxRecorder::Kind::Confirm, caption, text, &answer))
        return answer;
    return messagebox::RunBox(icon, caption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
                              owner) == QMessageBox::Yes;
}

void ShowException(const std::exception &error, QWidget *owner)
{
    if (const auto *dbError = dynamic_cast<const DbError *>(&error))
        ShowErrorBox(dbError->userText(), owner);
    else
        ShowErrorBox(QString::fromUtf8(error.what()), owner);
}

void ShowCurrentException(QWidget *owner)
{
    const std::exception_ptr current = std::current_exception();
    if (!current)
        return;
    try {
        std::rethrow_exception(current);
    } catch (const std::exception &error) {
        ShowException(error, owner);
    } catch (...) {
        ShowErrorBox(u"Ismeretlen hiba történt."_s, owner);
    }
}

MessageBoxRecorder::MessageBoxRecorder() : m_previous(messagebox::g_recorder)
{
    messagebox::g_recorder = this;
}

MessageBoxRecorder::MessageBoxRecorder(std::initializer_list<bool> answers) : MessageBoxRecorder()
{
    m_answers = answers;
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    if (!m_answers.isEmpty())
        qWarning("MessageBoxRecorder: %d queued answer(s) never asked for", int(m_answers.size()));
    messagebox::g_recorder = m_previous;
}

QStringList MessageBoxRecorder::texts() const
{
    QStringList list;
    for (const Box &box : m_boxes)
        list += box.text;
    return list;
}

int MessageBoxRecorder::unanswered() const
{
    return int(std::count_if(m_boxes.cbegin(), m_boxes.cend(), [](const Box &b) { return b.unanswered; }));
}
