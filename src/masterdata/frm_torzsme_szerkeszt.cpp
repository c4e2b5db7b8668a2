#include "frm_torzsme_szerkeszt.h"

#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

Tfrm_TorzsMe_Szerkeszt::Tfrm_TorzsMe_Szerkeszt(QWidget *parent)
    : RowEditor(u"frm_TorzsMe_Szerkeszt"_s, QSize(468, 183), parent)
{
    setWindowTitle(u"Tárgy"_s);
    Label1->setText(u"Tárgy"_s);
    DBEdit1->setMaxLength(255);
}

void Tfrm_TorzsMe_Szerkeszt::setSubject(const QString &subject)
{
    DBEdit1->setText(subject);
}

QString Tfrm_TorzsMe_Szerkeszt::subject() const
{
    return DBEdit1->text();
}
