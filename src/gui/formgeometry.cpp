#include "formgeometry.h"

#include "common/paths.h"
#include "config/inifile.h"

#include <QApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <optional>

using namespace Qt::StringLiterals;

QRect WorkArea()
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return {};
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

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

enum class Placing { Position, Bounds };

void place(QWidget *window, const QRect &outer, Placing what);

// Follows a window that remembers its place. It keeps the frame the window manager gave the
// window, which the platform forgets when the window is hidden and which the widget itself may
// not have learnt (under X11 the frame comes after mapping, and no move follows when the client
// area stays put); and it completes a placing asked for before the window had its frame.
class FrameTracker : public QObject
{
public:
    static FrameTracker *of(const QWidget *window)
    {
        return window->findChild<FrameTracker *>(objectNameOfTracker(), Qt::FindDirectChildrenOnly);
    }

    static FrameTracker *ensure(QWidget *window)
    {
        FrameTracker *tracker = of(window);
        return tracker ? tracker : new FrameTracker(window);
    }

    std::optional<QMargins> frame() const { return m_frame; }

    void placeWhenFramed(const QRect &outer, Placing what)
    {
        // A later move keeps the size an earlier request asked for.
        if (m_pending && what == Placing::Position && m_what == Placing::Bounds) {
            m_outer.moveTopLeft(outer.topLeft());
        } else {
            m_outer = outer;
            m_what = what;
        }
        m_pending = true;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Show) {
            watchHandle();
            return false;
        }
        QWindow *handle = m_window->windowHandle();
        if (watched != handle || !handle->isExposed())
            return false;
        const QEvent::Type type = event->type();
        if (type == QEvent::Expose || type == QEvent::Move || type == QEvent::Resize) {
            m_frame = handle->frameMargins();
            if (m_pending && type == QEvent::Expose) {
                m_pending = false;
                place(m_window, m_outer, m_what);
            }
        }
        return false;
    }

private:
    explicit FrameTracker(QWidget *window) : QObject(window), m_window(window)
    {
        setObjectName(objectNameOfTracker());
        window->installEventFilter(this);
        watchHandle();
    }

    static QString objectNameOfTracker() { return u"FrameTracker"_s; }

    void watchHandle()
    {
        if (QWindow *handle = m_window->windowHandle()) {
            handle->removeEventFilter(this);
            handle->installEventFilter(this);
        }
    }

    QWidget *m_window;
    std::optional<QMargins> m_frame;
    bool m_pending = false;
    QRect m_outer;
    Placing m_what = Placing::Position;
};

// The window's frame as the window system reported it: from the platform while the window is
// on the screen (or on platforms that know the frame beforehand), else as last seen. Nothing
// before the window has been framed at all.
std::optional<QMargins> reportedFrame(const QWidget *window)
{
    const QWindow *handle = window->windowHandle();
    if (!handle)
        return std::nullopt;
    if (handle->isExposed() || !handle->frameMargins().isNull())
        return handle->frameMargins();
    if (const FrameTracker *tracker = FrameTracker::of(window); tracker && tracker->frame())
        return tracker->frame();
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();
    if (frame == client)
        return std::nullopt;
    return QMargins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                    frame.bottom() - client.bottom());
}

// The frame the window will get: its own when known, else that of a framed window nearby, which
// a window manager decorates alike.
QMargins expectedFrame(const QWidget *window)
{
    if (const auto own = reportedFrame(window))
        return *own;
    if (window->windowFlags() & Qt::FramelessWindowHint)
        return {};
    const QWidget *parent = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    for (const QWidget *other : {parent, static_cast<const QWidget *>(QApplication::activeWindow())}) {
        if (other && other != window) {
            const auto frame = reportedFrame(other);
            if (frame && !frame->isNull())
                return *frame;
        }
    }
    return {};
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

void setOuter(QWidget *window, const QRect &outer, Placing what)
{
    FrameTracker *tracker = FrameTracker::ensure(window);
    place(window, outer, what);
    if (!reportedFrame(window))
        tracker->placeWhenFramed(outer, what);
}

} // namespace

QRect OuterGeometry(const QWidget *window)
{
    // Qt's own frameGeometry() may still miss a frame the window manager added after mapping.
    const QMargins frame = expectedFrame(window);
    const FrameTracker *tracker = FrameTracker::of(window);
    const bool shownBefore = window->testAttribute(Qt::WA_WState_Created) || (tracker && tracker->frame());
    // A window never shown has only the place a move gave its frame; a closed one keeps its
    // client area.
    if (!shownBefore)
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

void MakeFixedSize(QWidget *window)
{
    window->setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    window->setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, true);
    if (window->minimumSize() == window->maximumSize())
        return;
    if (QLayout *layout = window->layout())
        layout->setSizeConstraint(QLayout::SetFixedSize);
    else
        window->setFixedSize(window->size());
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
