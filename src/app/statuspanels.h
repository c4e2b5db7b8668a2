#pragma once

#include <QString>
#include <array>

class QLabel;
class QStatusBar;

// The panels of the main window's status bar, left to right. The attachment panels are shared:
// the hint of a menu item shows in the first one and the sort message in the second, so each
// shows whatever was written to it last.
enum class StatusPanel {
    Position,    // the current record's place in the list
    Attachment1, // also the hints of menu items and tool buttons
    Attachment2, // also the sort message
    Attachment3,
    Spare,
    Hint = Attachment1,
    SortMessage = Attachment2,
};

class StatusPanels
{
public:
    static constexpr int Count = int(StatusPanel::Spare) + 1;

    explicit StatusPanels(QStatusBar *bar);

    void setText(StatusPanel panel, const QString &text);
    QString text(StatusPanel panel) const;
    QLabel *label(StatusPanel panel) const;

    // The panel of attachment 1 to 3.
    static StatusPanel attachment(int number);

private:
    std::array<QLabel *, Count> m_labels{};
};
