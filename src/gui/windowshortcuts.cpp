#include "windowshortcuts.h"

#include <QAction>
#include <QKeyEvent>
#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

namespace {

// An enabled action or shortcut of the window that the key would trigger.
bool windowHasShortcut(const QWidget *window, const QKeySequence &key)
{
    const auto matches = [&key](const QList<QKeySequence> &keys) { return keys.contains(key); };
    QList<QAction *> actions = window->findChildren<QAction *>();
    actions += window->actions();
    for (const QAction *action : std::as_const(actions)) {
        if (action->isEnabled() && action->shortcutContext() != Qt::WidgetShortcut && matches(action->shortcuts()))
            return true;
    }
    for (const QShortcut *shortcut : window->findChildren<QShortcut *>()) {
        if (shortcut->isEnabled() && shortcut->context() != Qt::WidgetShortcut && matches(shortcut->keys()))
            return true;
    }
    return false;
}

} // namespace

bool IsFieldEditingKey(QKeyCombination key)
{
    const Qt::KeyboardModifiers modifiers = key.keyboardModifiers() & ~Qt::KeypadModifier;
    if (!(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return true;
    if ((modifiers & ~Qt::ShiftModifier) != Qt::ControlModifier)
        return false;
    switch (key.key()) {
    case Qt::Key_C:
    case Qt::Key_V:
    case Qt::Key_X:
    case Qt::Key_Z:
    case Qt::Key_Y:
    case Qt::Key_A:
    case Qt::Key_Insert:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Backspace: return true;
    default: return false;
    }
}

bool WindowShortcutsFirst::eventFilter(QObject *watched, QEvent *event)
{
    // The focused widget is asked first whether it wants the key for itself; a field that would
    // say yes is not asked when the window has a shortcut on a key it need not keep.
    if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType()) {
        auto key = static_cast<QKeyEvent *>(event);
        if (!IsFieldEditingKey(key->keyCombination()) &&
            windowHasShortcut(static_cast<QWidget *>(watched)->window(), QKeySequence(key->keyCombination()))) {
            key->ignore();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
