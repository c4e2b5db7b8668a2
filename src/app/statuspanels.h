#pragma once

#include <QString>
#include <array>

class QLabel;
class QStatusBar;

// The five panels of the main window's status bar: 0 position in the list, 1 to 3 the
// attachments of the current record (panel 1 also shows the hints, panel 2 the sort
// message), 4 unused. Each shows whatever was written to it last.
class StatusPanels
{
public:
    static constexpr int Count = 5;

    explicit StatusPanels(QStatusBar *bar);

    void setText(int panel, const QString &text);
    QString text(int panel) const;
    QLabel *label(int panel) const;

private:
    std::array<QLabel *, Count> m_labels{};
};
