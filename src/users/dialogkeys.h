#pragma once

#include <QObject>

class QWidget;

// The look and keys the dialogs of this folder share: an input field with the focus is painted
// sky blue and gets its own palette back when it loses it; Enter in a one-line field moves the
// focus on in tab order instead of closing the dialog, and Ctrl+Enter presses the OK button
// when one is given.
class DialogKeys : public QObject
{
    Q_OBJECT

public:
    // Watches every QLineEdit that is a child of `dialog` when this is made; `okButton` may be
    // null (Ctrl+Enter then does nothing special).
    DialogKeys(QWidget *dialog, bool enterMovesFocus, QWidget *okButton = nullptr);

    // Also watches another control (Enter moves on from a check box too); only one-line fields
    // change colour.
    void watch(QWidget *field);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_enterMovesFocus;
    QWidget *m_okButton;
};

// Red A6, green CA, blue F0.
inline constexpr unsigned kFocusedFieldRgb = 0xFFA6CAF0;

// Sets the point size of the window's font; 0 or less keeps the inherited one.
void ApplyFontSize(QWidget *window, int pointSize);
