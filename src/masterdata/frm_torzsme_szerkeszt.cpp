#include "frm_torzsme_szerkeszt.h"

#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

Tfrm_TorzsMe_Szerkeszt::Tfrm_TorzsMe_Szerkeszt(QWidget *parent)
    : RowEditor(u"frm_TorzsMe_Szerkeszt"_s, QSize(468, 183), parent)
{
    setWindowTitle(u"Tárgy"_s);
    m_captionLabel->setText(u"Tárgy"_s);
    m_nameEdit->setMaxLength(255);
}
