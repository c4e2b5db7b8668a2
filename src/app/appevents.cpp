#include "app/appevents.h"

#include "app/beall.h"
#include "gui/dialogfields.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QWheelEvent>

namespace {

bool WheelToKey(QWidget *target, const QWheelEvent *wheel)
{
    const int delta = wheel->angleDelta().y();
    // A purely sideways turn or the empty begin/end events of a touchpad gesture carry no
    // vertical delta; they are left to the widget.
    if (delta == 0)
        return false;
    const int key = delta > 0 ? Qt::Key_Up : Qt::Key_Down;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    return true;
}

void TakeProgramFontSize(QDialog *dialog)
{
    if (dialog->property(AppEventFilter::KeepsOwnFontProperty).toBool())
        return;
    // Message boxes keep the system look.
    if (qobject_cast<QMessageBox *>(dialog))
        return;
    ApplyFontSize(dialog, Beall.workstation.fontSize);
}

} // namespace

bool AppEventFilter::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Wheel:
        // The window system first hands the wheel to the top-level QWindow, which passes it
        // on to the widget under the mouse; only that widget delivery is rewritten.
        if (watched->isWidgetType())
            return WheelToKey(static_cast<QWidget *>(watched), static_cast<QWheelEvent *>(event));
        break;
    case QEvent::Polish: // before the first layout, so the dialog is sized for the font
    case QEvent::Show:
        if (auto dialog = qobject_cast<QDialog *>(watched))
            TakeProgramFontSize(dialog);
        break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}
