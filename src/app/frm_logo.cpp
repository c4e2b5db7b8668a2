#include "app/frm_logo.h"

#include "common/paths.h"
#include "gui/formgeometry.h"
#include "gui/icons.h"

#include <QPainter>

using namespace Qt::StringLiterals;

Tfrm_Logo::Tfrm_Logo(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(u"logo"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(256, 256);

    m_holdTimer.setSingleShot(true);
    m_holdTimer.setInterval(1000);
    m_fadeTimer.setInterval(21);
    connect(&m_holdTimer, &QTimer::timeout, &m_fadeTimer, qOverload<>(&QTimer::start));
    connect(&m_fadeTimer, &QTimer::timeout, this, &Tfrm_Logo::onFadeTimeout);
}

void Tfrm_Logo::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_holdTimer.start();
}

void Tfrm_Logo::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawPixmap(rect(), LogoPixmap(256));
}

void Tfrm_Logo::onFadeTimeout()
{
    m_alpha -= 10;
    setWindowOpacity(m_alpha / 255.0);
    if (m_alpha <= 33) {
        m_fadeTimer.stop();
        close();
    }
}

Tfrm_Logo *ShowSplash()
{
    auto logo = new Tfrm_Logo;
    const QRect area = WorkArea();
    if (!area.isNull())
        logo->move(area.center() - logo->rect().center());
    logo->show();
    return logo;
}
