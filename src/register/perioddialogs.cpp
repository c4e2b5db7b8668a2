#include "register/perioddialogs.h"

#include "register/frm_datumbe.h"
#include "register/frm_idoszak.h"

bool PickPeriod(QDate &from, QDate &to, const QString &caption, QWidget *parent)
{
    Tfrm_Idoszak dialog(parent);
    dialog.setPeriod(from, to);
    if (!caption.isEmpty())
        dialog.setWindowTitle(caption);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    from = dialog.from();
    to = dialog.to();
    return true;
}

bool PickDate(QDate &date, const QString &caption, QWidget *parent)
{
    Tfrm_Datumbe dialog(parent);
    dialog.setDate(date);
    if (!caption.isEmpty())
        dialog.setWindowTitle(caption);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    date = dialog.date();
    return true;
}
