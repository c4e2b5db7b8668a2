#pragma once

#include <QKeyCombination>
#include <QObject>

// A text field on Linux takes a number of keys as its own editing keys before the window's
// shortcuts see them: Ctrl+E ("end of line"), Ctrl+K, Ctrl+U, Ctrl+Del and more. Installed on
// the application, this filter lets an enabled action or shortcut of the focused window win
// over the field for such a key. The editing keys a field must keep stay the field's: typing,
// the arrows, Home, End, Backspace and Delete, and Ctrl with C, V, X, Z, Y, A, Insert, an arrow,
// Home, End or Backspace.
class WindowShortcutsFirst : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// Whether a text field keeps the key even when the window has a shortcut on it.
bool IsFieldEditingKey(QKeyCombination key);
