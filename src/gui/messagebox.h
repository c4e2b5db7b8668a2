#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <exception>
#include <initializer_list>

class QWidget;

// The program's standard message boxes. The text is shown as plain text, line breaks
// included. The window that was active before the box is made active again afterwards.

// A text too long for a box that fits the screen: its first line is shown, the rest behind the
// box's "Részletek" button. Short texts are shown whole.
struct MessageParts
{
    QString shown;
    QString details; // empty: nothing behind the button
};
MessageParts SplitLongMessage(const QString &text);

// "Hiba", OK, error icon.
void ShowErrorBox(const QString &text, QWidget *owner = nullptr);
// "Figyelmeztetés", OK, warning icon.
void ShowWarningBox(const QString &text, QWidget *owner = nullptr);
// "Üzenet", OK, information icon.
void ShowInfoBox(const QString &text, QWidget *owner = nullptr);
// Yes and No, Yes the default button (Esc answers No); true for Yes. The short form is the one
// every caller needs: caption "Megerősítés" with the question icon.
bool ConfirmBox(const QString &text, QWidget *owner = nullptr);
bool ConfirmBox(const QString &text, const QString &caption, QWidget *owner,
                QMessageBox::Icon icon = QMessageBox::Question);

// The application's general error handler: shows the error's text in the error box and lets
// the user go on. For errors that no window handles more specifically (catch blocks, the
// application's notify). The text of a std::exception is its what() read as UTF-8
// (ConversionError gives its message that way); a DbError shows its userText().
void ShowException(const std::exception &error, QWidget *owner = nullptr);
// The same for the exception being handled; call it inside a catch block (also catch (...)).
void ShowCurrentException(QWidget *owner = nullptr);

// Test seam for every box above. While a recorder exists no box is shown: each box is recorded
// (kind, caption, text) and ConfirmBox takes its answer from the recorder's queue. A ConfirmBox
// that finds the queue empty answers No, is counted in unanswered() and prints a warning, so a
// test that did not expect the question notices. Recorders nest; the newest one records.
//
//     MessageBoxRecorder boxes{false};            // the first question is answered No
//     DeleteResolution(id);
//     QCOMPARE(boxes.texts(), QStringList{u"Biztosan törli?"_s});
//     QCOMPARE(boxes.unanswered(), 0);
class MessageBoxRecorder
{
public:
    enum class Kind { Error, Warning, Info, Confirm };
    struct Box
    {
        Kind kind;
        QString caption;
        QString text;
        bool answer = false;     // what ConfirmBox returned; false for the other kinds
        bool unanswered = false; // ConfirmBox found no answer queued
    };

    MessageBoxRecorder();
    // Answers for the coming ConfirmBox calls, in order (true = Yes).
    explicit MessageBoxRecorder(std::initializer_list<bool> answers);
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder &) = delete;
    MessageBoxRecorder &operator=(const MessageBoxRecorder &) = delete;

    void queueAnswer(bool yes) { m_answers.append(yes); }
    const QList<Box> &boxes() const { return m_boxes; }
    // The texts of all boxes so far, in order.
    QStringList texts() const;
    int count() const { return int(m_boxes.size()); }
    // ConfirmBox calls that found no answer queued.
    int unanswered() const;
    // Queued answers not yet used.
    int pendingAnswers() const { return int(m_answers.size()); }
    void clear() { m_boxes.clear(); }

private:
    friend struct MessageBoxSeam;
    QList<Box> m_boxes;
    QList<bool> m_answers;
    MessageBoxRecorder *m_previous;
};
