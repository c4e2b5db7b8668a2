#pragma once

#include <QObject>

class QLineEdit;
#include <QSet>
#include <functional>
#include <initializer_list>

class QAbstractButton;
class QColor;
class QWidget;

// The look and the keys that the program's input dialogs have in common. Each dialog used to
// carry its own copy and the copies had begun to drift apart; with one copy the dialogs behave
// alike and a change reaches all of them.

// The background of the input field that has the focus: red A6, green CA, blue F0.
QColor FocusedFieldColour();

// Paints the field FocusedFieldColour() while it has the focus; when it loses the focus the field
// gets back the palette it had before.
void PaintFocusedField(QWidget *field);
void PaintFocusedFields(std::initializer_list<QWidget *> fields);

// Gives a window (a dialog, usually) the program-wide font size in points; 0 or less keeps the
// font it has.
void ApplyFontSize(QWidget *window, int pointSize);

// Shows `text` in a field that takes `maxLength` characters, widened for a longer value stored
// elsewhere, so that showing it never cuts it.
void SetTextWithin(QLineEdit *edit, const QString &text, int maxLength);

// The keys of an editing dialog, seen before the watched field itself:
// - Ctrl+Enter closes the dialog with OK (runs the `ok` given; nothing when it is empty);
// - Enter moves the focus to the next field in tab order, so it never presses OK by accident.
// A dialog that needs it opts into one of the variations below.
class FieldKeys : public QObject
{
public:
    FieldKeys(QWidget *dialog, std::function<void()> ok);

    // An OK for Ctrl+Enter that moves the focus to `button` first, so the field being left
    // finishes its editing, and then presses the button if it is enabled.
    static std::function<void()> PressButton(QAbstractButton *button);

    void watch(QWidget *field);
    void watch(std::initializer_list<QWidget *> fields);
    // Watches every widget the dialog holds at the time of the call.
    void watchAll();
    // Enter and Ctrl+Enter in these fields do nothing at all.
    void ignoreEnter(std::initializer_list<QWidget *> fields);
    // Enter on a focused button (not a check box) presses it instead of moving on.
    void setEnterPressesButtons(bool on) { m_enterPressesButtons = on; }
    // Enter in this multi-line text (or in any of its parts) starts a new line; Ctrl+Enter still
    // closes with OK.
    void setMultiLineText(QWidget *text) { m_multiLineText = text; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_dialog;
    std::function<void()> m_ok;
    QSet<QObject *> m_ignored;
    QWidget *m_multiLineText = nullptr;
    bool m_enterPressesButtons = false;
};
