#pragma once

#include <QFont>
#include <QWidget>

// Sets the point size of a dialog's font (the program-wide font size); 0 or less keeps the
// inherited font.
inline void ApplyFontSize(QWidget *window, int pointSize)
{
    if (pointSize <= 0)
        return;
    QFont font = window->font();
    font.setPointSize(pointSize);
    window->setFont(font);
}
