#include "gui/remembereddialog.h"

#include "gui/formgeometry.h"

void RememberedDialog::done(int result)
{
    SaveFormPos(this);
    QDialog::done(result);
}

void RememberedDialog::showEvent(QShowEvent *event)
{
    LoadFormPos(this);
    QDialog::showEvent(event);
}
