#include "dialogkeys.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QWidget>

DialogKeys::DialogKeys(QWidget *dialog, bool enterMovesFocus, QWidget *okButton)
    : QObject(dialog), m_enterMovesFocus(enterMovesFocus), m_okButton(okButton)
{
    const auto edits = dialog->findChildren<QLineEdit *>();
    for (QLineEdit *edit : edits)
        watch(edit);
}

void DialogKeys::watch(QWidget *field)
{
    field->installEventFilter(this);
}

bool DialogKeys::eventFilter(QObject *watched, QEvent *event)
{
    auto *field = qobject_cast<QWidget *>(watched);
    if (!field)
        return false;
    switch (event->type()) {
    case QEvent::FocusIn: {
        if (!qobject_cast<QLineEdit *>(field))
            break;
        QPalette palette = field->palette();
        palette.setColor(QPalette::Base, QColor::fromRgb(kFocusedFieldRgb));
        field->setPalette(palette);
        break;
    }
    case QEvent::FocusOut:
        if (!qobject_cast<QLineEdit *>(field))
            break;
        // Back to whatever the field inherits (the window colour).
        field->setPalette(QPalette());
        break;
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            break;
        if (key->modifiers() & Qt::ControlModifier) {
            if (auto *ok = qobject_cast<QAbstractButton *>(m_okButton)) {
                ok->click();
                return true;
            }
            break;
        }
        if (m_enterMovesFocus) {
            // The same path as Tab, so the tab order and skipped controls are the usual ones.
            QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
            QCoreApplication::sendEvent(field, &tab);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return false;
}

void ApplyFontSize(QWidget *window, int pointSize)
{
    if (pointSize <= 0)
        return;
    QFont font = window->font();
    font.setPointSize(pointSize);
    window->setFont(font);
}
