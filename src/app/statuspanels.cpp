#include "app/statuspanels.h"

#include <QLabel>
#include <QStatusBar>

using namespace Qt::StringLiterals;

StatusPanels::StatusPanels(QStatusBar *bar)
{
    static constexpr int widths[Count] = {77, 200, 200, 200, 50};
    for (int i = 0; i < Count; ++i) {
        auto label = new QLabel(bar);
        label->setObjectName(u"StatusPanel%1"_s.arg(i));
        label->setFixedWidth(widths[i]);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(i < 4 ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
        label->setTextFormat(Qt::PlainText);
        bar->addWidget(label);
        m_labels[i] = label;
    }
}

void StatusPanels::setText(int panel, const QString &text)
{
    QLabel *l = m_labels.at(panel);
    l->setText(text);
    l->setToolTip(l->fontMetrics().horizontalAdvance(text) > l->contentsRect().width() ? text : QString());
}

QString StatusPanels::text(int panel) const
{
    return m_labels.at(panel)->text();
}

QLabel *StatusPanels::label(int panel) const
{
    return m_labels.at(panel);
}
