#include "frm_torzsadat_szerkeszt.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

Tfrm_Torzsadat_Szerkeszt::Tfrm_Torzsadat_Szerkeszt(QWidget *parent)
    : RowEditor(u"frm_Torzsadat_Szerkeszt"_s, QSize(348, 187), parent)
{
    m_idLabel = new QLabel(this);
    m_idLabel->setObjectName(u"DBText1"_s);
    m_idLabel->setGeometry(16, 72, 316, 16);
    QFont small = m_idLabel->font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    m_idLabel->setFont(small);

    m_nameEdit->installEventFilter(this);
}

void Tfrm_Torzsadat_Szerkeszt::setCaption(const QString &caption)
{
    setWindowTitle(caption);
    m_captionLabel->setText(caption);
}

void Tfrm_Torzsadat_Szerkeszt::setMaxNameLength(int length)
{
    if (length > 0)
        m_nameEdit->setMaxLength(length);
}

void Tfrm_Torzsadat_Szerkeszt::setIdText(const QString &text)
{
    m_idLabel->setText(text);
}

void Tfrm_Torzsadat_Szerkeszt::setOkEnabled(bool enabled)
{
    m_okButton->setEnabled(enabled);
}

bool Tfrm_Torzsadat_Szerkeszt::eventFilter(QObject *watched, QEvent *event)
{
    // A name starts with a capital: the first letter a to z typed into the empty edit is raised
    // (accented letters stay as typed).
    if (watched == m_nameEdit && event->type() == QEvent::KeyPress && m_nameEdit->text().isEmpty()) {
        auto *key = static_cast<QKeyEvent *>(event);
        const QString typed = key->text();
        if (typed.size() == 1 && typed.at(0) >= u'a' && typed.at(0) <= u'z' &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            m_nameEdit->insert(typed.toUpper());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
