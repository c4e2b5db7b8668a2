#include "flowtabbar.h"

#include <QButtonGroup>
#include <QEvent>
#include <QToolButton>

namespace {
constexpr int Spacing = 2;
}

FlowTabBar::FlowTabBar(QWidget *parent) : QWidget(parent), m_group(new QButtonGroup(this))
{
    m_group->setExclusive(true);
    connect(m_group, &QButtonGroup::idClicked, this, [this](int id) { emit currentChanged(id); });
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void FlowTabBar::setTabs(const QStringList &texts, const QList<QIcon> &icons)
{
    qDeleteAll(m_buttons);
    m_buttons.clear();
    for (int i = 0; i < texts.size(); ++i) {
        auto button = new QToolButton(this);
        button->setText(texts.at(i));
        if (i < icons.size())
            button->setIcon(icons.at(i));
        button->setCheckable(true);
        button->setAutoRaise(false);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setFocusPolicy(Qt::NoFocus);
        m_group->addButton(button, i);
        m_buttons.append(button);
        button->show();
    }
    if (!m_buttons.isEmpty())
        m_buttons.first()->setChecked(true);
    layoutTabs(width(), true);
    updateGeometry();
}

int FlowTabBar::count() const
{
    return int(m_buttons.size());
}

QString FlowTabBar::tabText(int index) const
{
    return index >= 0 && index < count() ? m_buttons.at(index)->text() : QString();
}

QIcon FlowTabBar::tabIcon(int index) const
{
    return index >= 0 && index < count() ? m_buttons.at(index)->icon() : QIcon();
}

QAbstractButton *FlowTabBar::tabButton(int index) const
{
    return index >= 0 && index < count() ? m_buttons.at(index) : nullptr;
}

int FlowTabBar::currentIndex() const
{
    return m_group->checkedId();
}

void FlowTabBar::setCurrentIndex(int index)
{
    if (index < 0 || index >= count() || index == currentIndex())
        return;
    m_buttons.at(index)->setChecked(true);
    emit currentChanged(index);
}

void FlowTabBar::setTabWidth(int width)
{
    m_tabWidth = width;
    layoutTabs(this->width(), true);
    updateGeometry();
}

QSize FlowTabBar::tabSize(int index) const
{
    QSize size = m_buttons.at(index)->sizeHint();
    if (m_tabWidth > 0)
        size.setWidth(m_tabWidth);
    return size;
}

int FlowTabBar::layoutTabs(int width, bool apply) const
{
    int x = 0;
    int y = 0;
    int rowHeight = 0;
    for (int i = 0; i < count(); ++i) {
        const QSize size = tabSize(i);
        if (x > 0 && x + size.width() > width) {
            x = 0;
            y += rowHeight + Spacing;
            rowHeight = 0;
        }
        if (apply)
            m_buttons.at(i)->setGeometry(x, y, size.width(), size.height());
        x += size.width() + Spacing;
        rowHeight = qMax(rowHeight, size.height());
    }
    return y + rowHeight;
}

int FlowTabBar::heightForWidth(int width) const
{
    return qMax(layoutTabs(width, false), 1);
}

QSize FlowTabBar::sizeHint() const
{
    int width = 0;
    for (int i = 0; i < count(); ++i)
        width += tabSize(i).width() + Spacing;
    return {width, heightForWidth(qMax(this->width(), 1))};
}

QSize FlowTabBar::minimumSizeHint() const
{
    return {m_tabWidth > 0 ? m_tabWidth : 50, heightForWidth(qMax(width(), 1))};
}

void FlowTabBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int height = layoutTabs(width(), true);
    if (height != this->height())
        updateGeometry();
}

bool FlowTabBar::event(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        layoutTabs(width(), true);
        updateGeometry();
    }
    return QWidget::event(event);
}
