#include "dialogfields.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QColor>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

namespace {

class FocusPainter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *field = static_cast<QWidget *>(watched);
        // The palette is taken when the focus comes, so a colour the dialog gave the field
        // meanwhile (or a change of the application's palette) is what comes back.
        if (event->type() == QEvent::FocusIn && !m_painted) {
            m_own = field->palette();
            m_painted = true;
            QPalette p = m_own;
            p.setColor(QPalette::Base, FocusedFieldColour());
            field->setPalette(p);
        } else if (event->type() == QEvent::FocusOut && m_painted) {
            m_painted = false;
            field->setPalette(m_own);
        }
        return false;
    }

private:
    QPalette m_own;
    bool m_painted = false;
};

// The widget that Tab would go to from `from`. As Qt's own Tab does, it skips widgets that hand
// their focus to another one (the line edit inside a combo box or a date box).
QWidget *NextInTabOrder(QWidget *from)
{
    while (from->focusProxy())
        from = from->focusProxy();
    QWidget *window = from->window();
    for (QWidget *w = from->nextInFocusChain(); w && w != from; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && !w->focusProxy() && w->isEnabled() &&
            w->isVisibleTo(window) && w->window() == window)
            return w;
    }
    return nullptr;
}

bool IsEnterKey(const QKeyEvent *key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

} // namespace

QColor FocusedFieldColour()
{
    return QColor(0xA6, 0xCA, 0xF0);
}

void PaintFocusedField(QWidget *field)
{
    field->installEventFilter(new FocusPainter(field));
}

void PaintFocusedFields(std::initializer_list<QWidget *> fields)
{
    for (QWidget *field : fields)
        PaintFocusedField(field);
}

void ApplyFontSize(QWidget *window, int pointSize)
{
    if (pointSize <= 0 || window->font().pointSize() == pointSize)
        return;
    QFont font = window->font();
    font.setPointSize(pointSize);
    window->setFont(font);
}

FieldKeys::FieldKeys(QWidget *dialog, std::function<void()> ok)
    : QObject(dialog), m_dialog(dialog), m_ok(std::move(ok))
{
}

std::function<void()> FieldKeys::PressButton(QAbstractButton *button)
{
    return [button] {
        if (button->isEnabled()) {
            button->setFocus(Qt::OtherFocusReason);
            button->click();
        }
    };
}

void FieldKeys::watch(QWidget *field)
{
    field->installEventFilter(this);
}

void FieldKeys::watch(std::initializer_list<QWidget *> fields)
{
    for (QWidget *field : fields)
        watch(field);
}

void FieldKeys::watchAll()
{
    for (QWidget *w : m_dialog->findChildren<QWidget *>())
        watch(w);
}

void FieldKeys::ignoreEnter(std::initializer_list<QWidget *> fields)
{
    for (QWidget *field : fields) {
        m_ignored.insert(field);
        watch(field);
    }
}

bool FieldKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (!IsEnterKey(key))
        return false;
    if (m_ignored.contains(watched))
        return true;
    auto *widget = static_cast<QWidget *>(watched);
    if (key->modifiers() & Qt::ControlModifier) {
        if (m_ok)
            m_ok();
        return true;
    }
    if (m_multiLineText && (widget == m_multiLineText || m_multiLineText->isAncestorOf(widget)))
        return false;
    if (m_enterPressesButtons) {
        if (auto *button = qobject_cast<QAbstractButton *>(widget);
            button && !qobject_cast<QCheckBox *>(widget)) {
            button->click();
            return true;
        }
    }
    if (QWidget *next = NextInTabOrder(widget))
        next->setFocus(Qt::TabFocusReason);
    return true;
}

void SetTextWithin(QLineEdit *edit, const QString &text, int maxLength)
{
    edit->setMaxLength(qMax(maxLength, int(text.size())));
    edit->setText(text);
}
