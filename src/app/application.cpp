#include "app/application.h"

#include "gui/messagebox.h"

OrvanthApplication::OrvanthApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool OrvanthApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowCurrentException(activeWindow());
        return false;
    }
}
