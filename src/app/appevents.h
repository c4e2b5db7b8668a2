#pragma once

#include <QObject>

// Application-wide event filter (installed by SetUpApplication):
// - a turn of the mouse wheel over a widget becomes an Up (away from the user) or Down
//   (towards the user) key press on that widget, so one notch moves a list or the register
//   grid by exactly one record instead of scrolling several lines;
// - every dialog takes the program-wide font size when it is shown. A dialog with a fixed
//   design of its own opts out with the property KeepsOwnFontProperty set to true.
class AppEventFilter : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    static constexpr const char *KeepsOwnFontProperty = "orvanthKeepsOwnFont";

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
