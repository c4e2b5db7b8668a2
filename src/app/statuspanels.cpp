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
        label->setAlignment(i != int(StatusPanel::Spare) ? Qt::AlignCenter
                                                         : Qt::AlignLeft | Qt::AlignVCenter);
        label->setTextFormat(Qt::PlainText);
        bar->addWidget(label);
        m_labels[i] = label;
    }
}

void StatusPanels::setText(StatusPanel panel, const QString &text)
{
    QLabel *l = label(panel);
    l->setText(text);
    l->setToolTip(l->fontMetrics().horizontalAdvance(text) > l->contentsRect().width() ? text : QString());
}

QString StatusPanels::text(StatusPanel panel) const
{
    return label(panel)->text();
}

QLabel *StatusPanels::label(StatusPanel panel) const
{
    return m_labels.at(std::size_t(panel));
}

StatusPanel StatusPanels::attachment(int number)
{
    Q_ASSERT(number >= 1 && number <= 3);
    return StatusPanel(int(StatusPanel::Attachment1) + number - 1);
}
