#include "formgeometry.h"

#include "config/inifile.h"
#include "paths.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

using namespace Qt::StringLiterals;

QPoint LoadFormPos(const QString &section)
{
    const IniDocument doc = SettingsFile().read();
    const auto number = [&](const QString &key, int defaultValue) {
        const auto text = doc.value(section, key);
        return text ? ParseIniInteger(*text).value_or(defaultValue) : defaultValue;
    };
    return {number(u"Left"_s, 10), number(u"Top"_s, 10)};
}

void SaveFormPos(const QString &section, int left, int top)
{
    try {
        SettingsFile().update([&](IniDocument &doc) {
            doc.setValue(section, u"Left"_s, QString::number(left));
            doc.setValue(section, u"Top"_s, QString::number(top));
        });
    } catch (const IniError &) {
    }
}

QRect FitIntoWorkArea(QRect bounds, const QRect &workArea)
{
    if (workArea.isNull())
        return bounds;
    const int right = workArea.x() + workArea.width();
    const int bottom = workArea.y() + workArea.height();
    int left = bounds.x();
    int top = bounds.y();
    int width = bounds.width();
    int height = bounds.height();
    if (left > right)
        left = 0;
    if (top > bottom)
        top = 0;
    if (left + width > right) {
        if (width < right) {
            left = right - width;
        } else {
            left = 0;
            width = right;
        }
    }
    if (top + height > bottom) {
        if (height < bottom) {
            top = bottom - height;
        } else {
            top = 0;
            height = bottom;
        }
    }
    return QRect(left, top, width, height);
}

QRect LoadFormBounds(const QString &section, int left, int top, int height, int width)
{
    Q_UNUSED(left);
    Q_UNUSED(top);
    const IniDocument doc = SettingsFile().read();
    const auto number = [&](const QString &key, int defaultValue) {
        const auto text = doc.value(section, key);
        return text ? ParseIniInteger(*text).value_or(defaultValue) : defaultValue;
    };
    const QRect stored(number(u"Left"_s, 10), number(u"Top"_s, 10), number(u"Width"_s, width),
                       number(u"Height"_s, height));
    return FitIntoWorkArea(stored, WorkArea());
}

void SaveFormBounds(const QString &section, int left, int top, int height, int width)
{
    SettingsFile().update([&](IniDocument &doc) {
        doc.setValue(section, u"Left"_s, QString::number(left));
        doc.setValue(section, u"Top"_s, QString::number(top));
        doc.setValue(section, u"Width"_s, QString::number(width));
        doc.setValue(section, u"Height"_s, QString::number(height));
    });
}

namespace {

// True when the window system has told the window its frame: once the window has been on the
// screen, or on platforms that know the frame beforehand.
bool frameKnown(const QWidget *window)
{
    const QWindow *handle = window->windowHandle();
    return handle && (handle->isExposed() || !handle->frameMargins().isNull());
}

QMargins frameMargins(const QWidget *window)
{
    const QWindow *handle = window->windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

// The frame the window will get: its own when known, else that of a framed window nearby, which
// a window manager decorates alike.
QMargins expectedFrame(const QWidget *window)
{
    if (frameKnown(window))
        return frameMargins(window);
    if (window->windowFlags() & Qt::FramelessWindowHint)
        return {};
    const QWidget *parent = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    for (const QWidget *other : {parent, static_cast<const QWidget *>(QApplication::activeWindow())}) {
        if (other && other != window && frameKnown(other) && !frameMargins(other).isNull())
            return frameMargins(other);
    }
    return {};
}

enum class Placing { Position, Bounds };

QString objectNameOfPlacer()
{
    return u"FramedPlacer"_s;
}

void place(QWidget *window, const QRect &outer, Placing what)
{
    const QMargins frame = expectedFrame(window);
    if (!window->testAttribute(Qt::WA_WState_Created)) {
        // Before the window exists Qt takes a move as the frame's position, and the window
        // system puts the frame there even when its size is not known yet.
        window->move(outer.topLeft());
    } else {
        // Afterwards a move means the frame's position as far as the widget knows the frame,
        // which may still be without one: aim at the client area, measured as Qt measures it.
        const QPoint client = outer.topLeft() + QPoint(frame.left(), frame.top());
        window->move(client - (window->geometry().topLeft() - window->pos()));
    }
    if (what == Placing::Bounds)
        window->resize(outer.size().shrunkBy(frame));
}

// Places the window once more when it is first on the screen, now with its real frame.
class FramedPlacer : public QObject
{
public:
    FramedPlacer(QWidget *window, const QRect &outer, Placing what)
        : QObject(window), m_window(window), m_outer(outer), m_what(what)
    {
        setObjectName(objectNameOfPlacer());
        window->installEventFilter(this);
        watchHandle();
    }

    void retarget(const QRect &outer, Placing what)
    {
        // A later move keeps the size an earlier request asked for.
        if (what == Placing::Position && m_what == Placing::Bounds) {
            m_outer.moveTopLeft(outer.topLeft());
        } else {
            m_outer = outer;
            m_what = what;
        }
    }

    static FramedPlacer *of(QWidget *window)
    {
        return window->findChild<FramedPlacer *>(objectNameOfPlacer(), Qt::FindDirectChildrenOnly);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Show)
            watchHandle();
        else if (watched == m_window->windowHandle() && event->type() == QEvent::Expose &&
                 m_window->windowHandle()->isExposed()) {
            m_window->windowHandle()->removeEventFilter(this);
            m_window->removeEventFilter(this);
            place(m_window, m_outer, m_what);
            deleteLater();
        }
        return false;
    }

private:
    void watchHandle()
    {
        if (QWindow *handle = m_window->windowHandle())
            handle->installEventFilter(this);
    }

    QWidget *m_window;
    QRect m_outer;
    Placing m_what;
};

void setOuter(QWidget *window, const QRect &outer, Placing what)
{
    place(window, outer, what);
    if (frameKnown(window))
        return;
    if (FramedPlacer *placer = FramedPlacer::of(window))
        placer->retarget(outer, what);
    else
        new FramedPlacer(window, outer, what);
}

} // namespace

QRect OuterGeometry(const QWidget *window)
{
    // Qt's own frameGeometry() may still miss a frame the window manager added after mapping.
    const QMargins frame = expectedFrame(window);
    if (!window->testAttribute(Qt::WA_WState_Created))
        return QRect(window->pos(), window->size().grownBy(frame));
    return window->geometry().marginsAdded(frame);
}

void SetOuterGeometry(QWidget *window, const QRect &outer)
{
    setOuter(window, outer, Placing::Bounds);
}

void MoveOuter(QWidget *window, const QPoint &topLeft)
{
    setOuter(window, QRect(topLeft, OuterGeometry(window).size()), Placing::Position);
}

void LoadFormPos(QWidget *window)
{
    MoveOuter(window, LoadFormPos(window->objectName()));
}

void SaveFormPos(const QWidget *window)
{
    const QRect outer = OuterGeometry(window);
    SaveFormPos(window->objectName(), outer.x(), outer.y());
}

void LoadFormBounds(QWidget *window)
{
    const QRect current = OuterGeometry(window);
    SetOuterGeometry(window, LoadFormBounds(window->objectName(), current.x(), current.y(), current.height(),
                                            current.width()));
}

void SaveFormBounds(const QWidget *window)
{
    const QRect outer = OuterGeometry(window);
    SaveFormBounds(window->objectName(), outer.x(), outer.y(), outer.height(), outer.width());
}
