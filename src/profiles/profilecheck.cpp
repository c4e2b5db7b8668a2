#include "profilecheck.h"

#include "common/messagebox.h"
#include "config/conprofile.h"
#include "db/connection.h"
#include "db/dberror.h"

#include <QEvent>
#include <QLineEdit>
#include <QWidget>

using namespace Qt::StringLiterals;

bool TestProfileConnection(const ConnectionProfile &profile, QWidget *owner)
{
    try {
        Connection test(profile.toConnectionParams());
        test.open();
        test.close();
        return true;
    } catch (const DbError &error) {
        ShowErrorBox(u"Hiba: "_s + error.message(), owner);
        return false;
    }
}

namespace {

class FocusHighlighter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            auto *edit = static_cast<QWidget *>(watched);
            QPalette palette = edit->palette();
            if (event->type() == QEvent::FocusIn)
                palette.setColor(QPalette::Base, QColor(0xA6, 0xCA, 0xF0));
            else
                palette.setColor(QPalette::Base, edit->parentWidget()->palette().color(QPalette::Base));
            edit->setPalette(palette);
        }
        return false;
    }
};

} // namespace

void HighlightFocusedFields(QWidget *window)
{
    auto *highlighter = new FocusHighlighter(window);
    for (QLineEdit *edit : window->findChildren<QLineEdit *>())
        edit->installEventFilter(highlighter);
}

void ApplyDialogFontSize(QWidget *window, int fontSize)
{
    QFont font = window->font();
    font.setPointSize(fontSize > 0 ? fontSize : 9);
    window->setFont(font);
}
