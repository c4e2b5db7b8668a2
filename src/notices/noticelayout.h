#pragma once

#include <QColor>
#include <QString>

class QCheckBox;
class QLabel;
class QPushButton;
class QSize;
class QWidget;

// What the version notice and the news window share: a coloured window in Segoe UI 10 with a
// centred bold heading at the top, a word-wrapped text below it centred vertically in its
// area, a check box at the bottom left and "OK" at the bottom right. The parts are placed by
// fixed distances from the client area's edges whenever the window is resized.
class NoticeLayout
{
public:
    // Builds the parts as children of `window` and colours it. `textBottomReserve`: how much of
    // the client height the text area leaves free below and above it.
    NoticeLayout(QWidget *window, const QColor &background, const QString &checkBoxText,
                 int textBottomReserve);

    QLabel *heading() const { return m_heading; }
    QLabel *text() const { return m_text; }
    QCheckBox *checkBox() const { return m_checkBox; }
    QPushButton *okButton() const { return m_okButton; }

    // A text of the service in a label: line breaks as the label knows them, none at the end.
    static void showText(QLabel *label, const QString &text);

    // Places the parts for a client area of this size.
    void place(const QSize &client);

    // Text area: the client width less this, and the client height less textBottomReserve.
    static constexpr int TextWidthReserve = 19;
    // The check box and the button stand this far above the bottom edge; the button's left edge
    // this far from the right edge.
    static constexpr int BottomRowOffset = 35;
    static constexpr int ButtonLeftFromRight = 128;

private:
    QLabel *m_heading;
    QLabel *m_text;
    QCheckBox *m_checkBox;
    QPushButton *m_okButton;
    int m_textBottomReserve;
};
