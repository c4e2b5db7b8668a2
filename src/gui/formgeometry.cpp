#include "formgeometry.h"

#include "common/paths.h"
#include "config/inifile.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

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

void LoadFormPos(QWidget *window)
{
    window->move(LoadFormPos(window->objectName()));
}

void SaveFormPos(const QWidget *window)
{
    SaveFormPos(window->objectName(), window->x(), window->y());
}

void LoadFormBounds(QWidget *window)
{
    const QRect r =
        LoadFormBounds(window->objectName(), window->x(), window->y(), window->height(), window->width());
    window->move(r.topLeft());
    window->resize(r.size());
}

void SaveFormBounds(const QWidget *window)
{
    SaveFormBounds(window->objectName(), window->x(), window->y(), window->height(), window->width());
}
