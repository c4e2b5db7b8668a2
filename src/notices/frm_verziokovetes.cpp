#include "notices/frm_verziokovetes.h"

#include "gui/formgeometry.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>

using namespace Qt::StringLiterals;

Tfrm_Verziokovetes::Tfrm_Verziokovetes(const QString &version, const QString &message, QWidget *parent)
    : QDialog(parent),
      m_layout(this, QColor(0xF8, 0xC0, 0xB8), u"Többet ne figyelmeztessen"_s, MessageBottomReserve)
{
    setObjectName(u"frm_Verziokovetes"_s);
    setWindowTitle(u"Verziókövetés"_s + u": "_s + version);
    setSizeGripEnabled(true);
    m_layout.heading()->setText(u"Új verzió megjelenés"_s);
    NoticeLayout::showText(m_layout.text(), message);
    connect(m_layout.okButton(), &QPushButton::clicked, this, &QDialog::accept);
    setMinimumSize(320, 180);
    resize(480, 240);
    m_layout.place(size());
}

bool Tfrm_Verziokovetes::dontWarnAgain() const
{
    return m_layout.checkBox()->isChecked();
}

void Tfrm_Verziokovetes::done(int result)
{
    SaveFormPos(this);
    QDialog::done(result);
}

void Tfrm_Verziokovetes::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    m_layout.place(event->size());
}

bool ShowVersionNotice(const QString &version, const QString &message, QWidget *parent)
{
    Tfrm_Verziokovetes window(version, message, parent);
    LoadFormPos(&window);
    return window.exec() == QDialog::Accepted && window.dontWarnAgain();
}
