#include "gui/icons.h"

#include "gui/drawing.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>

using namespace Qt::StringLiterals;
using namespace drawing;

namespace {

void Sheet(QPainter &p, const QRectF &r = QRectF(7, 3, 18, 26))
{
    p.setPen(Stroke(Grey, 1.4));
    p.setBrush(Paper);
    p.drawRect(r);
    p.setPen(Stroke(QColor(0xa0, 0xa8, 0xb0), 1.2));
    for (qreal y = r.top() + 6; y < r.bottom() - 3; y += 4)
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
}

void Person(QPainter &p, QPointF at, qreal scale, const QColor &c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(at + QPointF(0, -7 * scale), 4.5 * scale, 4.5 * scale);
    QPainterPath body;
    body.moveTo(at + QPointF(-8 * scale, 9 * scale));
    body.cubicTo(at + QPointF(-8 * scale, -2 * scale), at + QPointF(8 * scale, -2 * scale),
                 at + QPointF(8 * scale, 9 * scale));
    body.closeSubpath();
    p.drawPath(body);
}

void Cylinder(QPainter &p, const QRectF &r, const QColor &c)
{
    const qreal cap = r.height() / 5;
    QPainterPath body;
    body.moveTo(r.left(), r.top() + cap / 2);
    body.lineTo(r.left(), r.bottom() - cap / 2);
    body.arcTo(QRectF(r.left(), r.bottom() - cap, r.width(), cap), 180, 180);
    body.lineTo(r.right(), r.top() + cap / 2);
    p.setPen(Stroke(c.darker(140), 1.4));
    p.setBrush(c);
    p.drawPath(body);
    p.setBrush(c.lighter(140));
    p.drawEllipse(QRectF(r.left(), r.top(), r.width(), cap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(r.left(), r.top() + r.height() / 3, r.width(), cap), 180 * 16, 180 * 16);
}

void Letter(QPainter &p, const QRectF &r, const QString &text, const QColor &c, int pixelSize,
            bool bold = true)
{
    QFont f(u"DejaVu Sans"_s);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    p.setFont(f);
    p.setPen(c);
    p.drawText(r, Qt::AlignCenter, text);
}

// A blue disc with a white letter, lowered by `drop` to sit optically centred.
void Badge(QPainter &p, const QString &letter, qreal drop)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Blue);
    p.drawEllipse(QPointF(16, 16), 13, 13);
    Letter(p, QRectF(0, drop, 32, 32), letter, Qt::white, 21);
}

void Magnifier(QPainter &p, QPointF centre, qreal radius)
{
    p.setPen(Stroke(Grey, 3));
    p.drawLine(centre + QPointF(radius * 0.7, radius * 0.7), centre + QPointF(radius * 1.8, radius * 1.8));
    p.setPen(Stroke(DarkBlue, 2));
    p.setBrush(QColor(0xd8, 0xe8, 0xf8));
    p.drawEllipse(centre, radius, radius);
}

void DrawRefresh(QPainter &p)
{
    p.setPen(Stroke(Green, 3.2));
    p.setBrush(Qt::NoBrush);
    const QRectF ring(6, 6, 20, 20);
    p.drawArc(ring, 30 * 16, 150 * 16);
    p.drawArc(ring, 210 * 16, 150 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(Green);
    p.drawPolygon(QPolygonF{QPointF(27, 4), QPointF(28, 14), QPointF(19, 11)});
    p.drawPolygon(QPolygonF{QPointF(5, 28), QPointF(4, 18), QPointF(13, 21)});
}

// An A with a plus or a minus.
void DrawFontSize(QPainter &p, bool bigger)
{
    Letter(p, QRectF(0, 4, 22, 28), u"A"_s, DarkBlue, bigger ? 24 : 17);
    p.setPen(Stroke(bigger ? Green : Red, 3));
    p.drawLine(QPointF(21, 8), QPointF(30, 8));
    if (bigger)
        p.drawLine(QPointF(25.5, 3.5), QPointF(25.5, 12.5));
}

void DrawSettings(QPainter &p)
{
    QPainterPath gear;
    for (int i = 0; i < 8; ++i) {
        QTransform t;
        t.translate(16, 16);
        t.rotate(i * 45);
        gear.addPolygon(t.map(QPolygonF(QRectF(-3, -14, 6, 8))));
    }
    gear.addEllipse(QPointF(16, 16), 10, 10);
    gear.setFillRule(Qt::WindingFill);
    p.setPen(Qt::NoPen);
    p.setBrush(Grey);
    p.drawPath(gear.simplified());
    p.setBrush(Paper);
    p.drawEllipse(QPointF(16, 16), 4.5, 4.5);
}

void DrawUsers(QPainter &p)
{
    Person(p, QPointF(21, 17), 0.9, QColor(0x7f, 0x9f, 0xc8));
    Person(p, QPointF(12, 19), 1.1, Blue);
}

void DrawSql(QPainter &p)
{
    Cylinder(p, QRectF(4, 4, 18, 22), QColor(0x6f, 0x9f, 0xd8));
    Magnifier(p, QPointF(21, 20), 6);
}

void DrawHelp(QPainter &p)
{
    Badge(p, u"?"_s, 0);
}

void DrawHomePage(QPainter &p)
{
    p.setPen(Stroke(DarkBlue, 1.6));
    p.setBrush(QColor(0xbf, 0xdc, 0xf5));
    p.drawEllipse(QPointF(16, 16), 12.5, 12.5);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(10, 3.5, 12, 25));
    p.drawLine(QPointF(16, 3.5), QPointF(16, 28.5));
    p.drawLine(QPointF(3.5, 16), QPointF(28.5, 16));
    p.drawLine(QPointF(6, 9.5), QPointF(26, 9.5));
    p.drawLine(QPointF(6, 22.5), QPointF(26, 22.5));
}

void DrawMail(QPainter &p)
{
    p.setPen(Stroke(Grey, 1.6));
    p.setBrush(QColor(0xff, 0xf4, 0xd6));
    p.drawRect(QRectF(3, 8, 26, 17));
    p.drawPolyline(QPolygonF{QPointF(3, 8), QPointF(16, 18), QPointF(29, 8)});
}

void DrawClose(QPainter &p)
{
    p.setPen(Stroke(Grey, 1.6));
    p.setBrush(QColor(0xc9, 0x9a, 0x62));
    p.drawRect(QRectF(5, 3, 14, 26));
    p.setBrush(Grey);
    p.drawEllipse(QPointF(16, 16), 1.3, 1.3);
    p.setPen(Stroke(Red, 3));
    p.drawLine(QPointF(19, 16), QPointF(29, 16));
    p.drawPolyline(QPolygonF{QPointF(25, 11.5), QPointF(29.5, 16), QPointF(25, 20.5)});
}

void DrawNew(QPainter &p)
{
    Sheet(p, QRectF(5, 3, 18, 26));
    p.setPen(Qt::NoPen);
    p.setBrush(Green);
    p.drawEllipse(QPointF(23, 23), 7.5, 7.5);
    p.setPen(Stroke(Qt::white, 2.6));
    p.drawLine(QPointF(23, 19), QPointF(23, 27));
    p.drawLine(QPointF(19, 23), QPointF(27, 23));
}

void DrawEdit(QPainter &p)
{
    Sheet(p, QRectF(4, 3, 18, 26));
    QTransform t;
    t.translate(22, 18);
    t.rotate(45);
    p.setTransform(t, true);
    p.setPen(Stroke(DarkBlue, 1.2));
    p.setBrush(Gold);
    p.drawRect(QRectF(-3, -13, 6, 18));
    p.setBrush(QColor(0xf2, 0xd0, 0xa0));
    p.drawPolygon(QPolygonF{QPointF(-3, 5), QPointF(3, 5), QPointF(0, 11)});
    p.setBrush(Red);
    p.drawRect(QRectF(-3, -16, 6, 3));
    p.setTransform(t.inverted(), true);
}

void DrawDelete(QPainter &p)
{
    Sheet(p, QRectF(4, 3, 18, 26));
    p.setPen(Stroke(Red, 3.6));
    p.drawLine(QPointF(17, 16), QPointF(28, 27));
    p.drawLine(QPointF(28, 16), QPointF(17, 27));
}

// A printer; the list's has lines on its sheet.
void DrawPrinter(QPainter &p, bool list)
{
    p.setPen(Stroke(Grey, 1.4));
    p.setBrush(Paper);
    p.drawRect(QRectF(9, 3, 14, 10));
    p.setBrush(QColor(0x9a, 0xa3, 0xad));
    p.drawRoundedRect(QRectF(3, 12, 26, 12), 2, 2);
    p.setBrush(Paper);
    p.drawRect(QRectF(9, 19, 14, 10));
    p.setPen(Stroke(QColor(0xa0, 0xa8, 0xb0), 1.2));
    p.drawLine(QPointF(12, 23), QPointF(20, 23));
    p.drawLine(QPointF(12, 26), QPointF(20, 26));
    p.setPen(Qt::NoPen);
    p.setBrush(Green);
    p.drawEllipse(QPointF(25, 16), 1.4, 1.4);
    if (list) {
        p.setPen(Stroke(DarkBlue, 1.4));
        for (qreal y = 5; y <= 11; y += 3)
            p.drawLine(QPointF(11, y), QPointF(21, y));
    }
}

void DrawFilter(QPainter &p)
{
    p.setPen(Stroke(DarkBlue, 1.4));
    p.setBrush(QColor(0x7f, 0xb2, 0xe5));
    p.drawPolygon(QPolygonF{QPointF(4, 5), QPointF(28, 5), QPointF(19, 16), QPointF(19, 26), QPointF(13, 29),
                            QPointF(13, 16)});
}

void DrawView(QPainter &p)
{
    Sheet(p, QRectF(4, 3, 18, 24));
    Magnifier(p, QPointF(19, 18), 6.5);
}

void DrawStatus(QPainter &p)
{
    p.setPen(Stroke(Grey, 1.4));
    p.setBrush(Paper);
    p.drawRoundedRect(QRectF(4, 4, 24, 24), 3, 3);
    p.setPen(Stroke(Green, 3.6));
    p.drawPolyline(QPolygonF{QPointF(9, 16), QPointF(14, 22), QPointF(24, 9)});
}

void DrawExport(QPainter &p)
{
    p.setPen(Stroke(Green.darker(130), 1.4));
    p.setBrush(Paper);
    p.drawRect(QRectF(3, 5, 22, 22));
    p.setBrush(QColor(0xc6, 0xe6, 0xcf));
    p.drawRect(QRectF(3, 5, 22, 5));
    for (qreal x = 10.3; x < 25; x += 7.3)
        p.drawLine(QPointF(x, 5), QPointF(x, 27));
    for (qreal y = 15.5; y < 27; y += 5.5)
        p.drawLine(QPointF(3, y), QPointF(25, y));
    p.setPen(Stroke(Blue, 3));
    p.drawLine(QPointF(18, 21), QPointF(29, 21));
    p.drawPolyline(QPolygonF{QPointF(25, 17), QPointF(29, 21), QPointF(25, 25)});
}

void DrawAbout(QPainter &p)
{
    Badge(p, u"i"_s, 1);
}

void DrawCommittees(QPainter &p)
{
    Person(p, QPointF(8, 19), 0.75, QColor(0x7f, 0x9f, 0xc8));
    Person(p, QPointF(24, 19), 0.75, QColor(0x7f, 0x9f, 0xc8));
    Person(p, QPointF(16, 18), 1.0, Blue);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8b, 0x5a, 0x2b));
    p.drawRect(QRectF(2, 25, 28, 4));
}

void DrawSubjects(QPainter &p)
{
    p.setPen(Stroke(DarkBlue, 1.4));
    p.setBrush(QColor(0x4f, 0x7f, 0xc0));
    p.drawRect(QRectF(6, 3, 20, 26));
    p.setBrush(Paper);
    p.drawRect(QRectF(9, 6, 14, 5));
    p.setPen(Stroke(Gold, 2));
    p.drawLine(QPointF(9, 29), QPointF(9, 21));
}

void DrawDatabases(QPainter &p)
{
    Cylinder(p, QRectF(3, 6, 15, 20), QColor(0x7f, 0x9f, 0xc8));
    Cylinder(p, QRectF(14, 4, 15, 22), QColor(0x4f, 0x7f, 0xc0));
}

void DrawPanel(QPainter &p)
{
    p.setPen(Stroke(Grey, 1.4));
    p.setBrush(Paper);
    p.drawRect(QRectF(3, 5, 26, 22));
    p.setBrush(QColor(0xd8, 0xe8, 0xf8));
    p.drawRect(QRectF(18, 5, 11, 22));
    p.setPen(Stroke(QColor(0xa0, 0xa8, 0xb0), 1.2));
    for (qreal y = 10; y < 26; y += 4)
        p.drawLine(QPointF(6, y), QPointF(15, y));
}

void DrawClipboard(QPainter &p)
{
    p.setPen(Stroke(QColor(0x6b, 0x45, 0x20), 1.4));
    p.setBrush(QColor(0xb8, 0x82, 0x4a));
    p.drawRoundedRect(QRectF(5, 4, 22, 26), 2, 2);
    Sheet(p, QRectF(8, 8, 16, 19));
    p.setPen(Stroke(Grey, 1.4));
    p.setBrush(QColor(0xc8, 0xcc, 0xd2));
    p.drawRoundedRect(QRectF(11, 2, 10, 5), 1.5, 1.5);
}

void Draw(QPainter &p, IconId id)
{
    switch (id) {
    case IconId::Refresh: DrawRefresh(p); break;
    case IconId::FontBigger: DrawFontSize(p, true); break;
    case IconId::FontSmaller: DrawFontSize(p, false); break;
    case IconId::Settings: DrawSettings(p); break;
    case IconId::Users: DrawUsers(p); break;
    case IconId::Sql: DrawSql(p); break;
    case IconId::Help: DrawHelp(p); break;
    case IconId::HomePage: DrawHomePage(p); break;
    case IconId::Mail: DrawMail(p); break;
    case IconId::Close: DrawClose(p); break;
    case IconId::New: DrawNew(p); break;
    case IconId::Edit: DrawEdit(p); break;
    case IconId::Delete: DrawDelete(p); break;
    case IconId::Print: DrawPrinter(p, false); break;
    case IconId::PrintList: DrawPrinter(p, true); break;
    case IconId::Filter: DrawFilter(p); break;
    case IconId::View: DrawView(p); break;
    case IconId::Status: DrawStatus(p); break;
    case IconId::Export: DrawExport(p); break;
    case IconId::About: DrawAbout(p); break;
    case IconId::Committees: DrawCommittees(p); break;
    case IconId::Subjects: DrawSubjects(p); break;
    case IconId::Databases: DrawDatabases(p); break;
    case IconId::Panel: DrawPanel(p); break;
    case IconId::Clipboard: DrawClipboard(p); break;
    }
}

QPixmap Render(IconId id, int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 32.0, size / 32.0);
    Draw(p, id);
    return pm;
}

} // namespace

QIcon MakeIcon(IconId id)
{
    QIcon icon;
    for (int size : {16, 24, 32, 48})
        icon.addPixmap(Render(id, size));
    return icon;
}

QPixmap SharpPixmap(int width, int height)
{
    const auto app = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    const qreal ratio = app ? app->devicePixelRatio() : 1.0;
    QPixmap pm(QSize(width, height) * ratio);
    pm.setDevicePixelRatio(ratio);
    pm.fill(Qt::transparent);
    return pm;
}

QPixmap LogoPixmap(int size)
{
    QPixmap pm = SharpPixmap(size, size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 256.0, size / 256.0);

    // A round seal with an open book and the product name.
    QRadialGradient disc(QPointF(110, 100), 150);
    disc.setColorAt(0, QColor(0x3d, 0x7f, 0xc4));
    disc.setColorAt(1, DarkBlue);
    p.setPen(QPen(Gold, 6));
    p.setBrush(disc);
    p.drawEllipse(QPointF(128, 128), 120, 120);

    p.setPen(QPen(DarkBlue, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Paper);
    QPainterPath left;
    left.moveTo(128, 92);
    left.cubicTo(108, 78, 80, 76, 56, 84);
    left.lineTo(56, 158);
    left.cubicTo(80, 150, 108, 152, 128, 166);
    left.closeSubpath();
    p.drawPath(left);
    p.drawPath(QTransform(-1, 0, 0, 1, 256, 0).map(left));
    p.setPen(QPen(QColor(0x9a, 0xa8, 0xb8), 3, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 4; ++i) {
        const qreal y = 100 + i * 14;
        p.drawLine(QPointF(68, y), QPointF(116, y + 4));
        p.drawLine(QPointF(140, y + 4), QPointF(188, y));
    }

    QFont f(u"Liberation Sans"_s);
    f.setBold(true);
    f.setPixelSize(34);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 172, 256, 40), Qt::AlignCenter, u"OrvantH"_s);
    f.setPixelSize(15);
    f.setBold(false);
    p.setFont(f);
    p.setPen(QColor(0xf3, 0xe2, 0xa8));
    p.drawText(QRectF(0, 44, 256, 24), Qt::AlignCenter, u"Határozatok könyve"_s);
    return pm;
}
