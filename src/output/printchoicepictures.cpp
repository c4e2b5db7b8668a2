#include "output/printchoicepictures.h"

#include "gui/drawing.h"
#include "gui/icons.h"

#include <QPainter>
#include <QPainterPath>

using namespace Qt::StringLiterals;
using namespace drawing;

namespace {

// Every picture is drawn on a 64 by 64 grid.

// A sheet of paper with its top-right corner folded and lines of text.
void Sheet(QPainter &p, const QRectF &r, bool lines = true)
{
    const qreal fold = r.width() / 4;
    QPainterPath sheet;
    sheet.moveTo(r.topLeft());
    sheet.lineTo(r.right() - fold, r.top());
    sheet.lineTo(r.right(), r.top() + fold);
    sheet.lineTo(r.bottomRight());
    sheet.lineTo(r.bottomLeft());
    sheet.closeSubpath();
    p.setPen(Stroke(Ink, 1.6));
    p.setBrush(Paper);
    p.drawPath(sheet);
    p.setBrush(QColor(0xe4, 0xe8, 0xee));
    p.drawPolygon(QPolygonF{QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold),
                            QPointF(r.right(), r.top() + fold)});
    if (!lines)
        return;
    p.setPen(Stroke(Rule, 1.6));
    for (qreal y = r.top() + fold + 5; y < r.bottom() - 4; y += 5)
        p.drawLine(QPointF(r.left() + 5, y), QPointF(r.right() - 5, y));
}

void Preview(QPainter &p)
{
    Sheet(p, QRectF(10, 5, 36, 48));
    p.setPen(Stroke(Ink, 5));
    p.drawLine(QPointF(47, 47), QPointF(58, 58));
    p.setPen(Stroke(Blue, 3));
    p.setBrush(QColor(0xd8, 0xe8, 0xf8, 0xc0));
    p.drawEllipse(QPointF(38, 38), 11, 11);
}

void Printer(QPainter &p)
{
    Sheet(p, QRectF(18, 4, 28, 22), false);
    p.setPen(Stroke(Ink, 1.6));
    p.setBrush(Metal);
    p.drawRoundedRect(QRectF(6, 22, 52, 24), 4, 4);
    p.setBrush(QColor(0x6e, 0x77, 0x82));
    p.drawRect(QRectF(14, 40, 36, 5));
    Sheet(p, QRectF(16, 42, 32, 18), false);
    p.setPen(Stroke(Rule, 1.6));
    for (qreal y = 48; y < 58; y += 4)
        p.drawLine(QPointF(20, y), QPointF(44, y));
    p.setPen(Qt::NoPen);
    p.setBrush(Green);
    p.drawEllipse(QPointF(51, 29), 2.2, 2.2);
}

void Spreadsheet(QPainter &p)
{
    const QRectF grid(5, 8, 42, 46);
    p.setPen(Stroke(Green.darker(130), 1.6));
    p.setBrush(Paper);
    p.drawRect(grid);
    p.setBrush(QColor(0xc6, 0xe6, 0xcf));
    p.drawRect(QRectF(grid.left(), grid.top(), grid.width(), 8));
    p.setPen(Stroke(Green.darker(130), 1.2));
    for (qreal x = grid.left() + 14; x < grid.right() - 1; x += 14)
        p.drawLine(QPointF(x, grid.top()), QPointF(x, grid.bottom()));
    for (qreal y = grid.top() + 8; y < grid.bottom() - 1; y += 7.6)
        p.drawLine(QPointF(grid.left(), y), QPointF(grid.right(), y));
    p.setPen(Stroke(Blue, 5));
    p.drawLine(QPointF(36, 40), QPointF(56, 40));
    p.drawPolyline(QPolygonF{QPointF(49, 32), QPointF(57, 40), QPointF(49, 48)});
}

void Pdf(QPainter &p)
{
    Sheet(p, QRectF(12, 4, 40, 54));
    p.setPen(Qt::NoPen);
    p.setBrush(Red);
    p.drawRoundedRect(QRectF(6, 34, 40, 16), 2.5, 2.5);
    QFont font(u"DejaVu Sans"_s);
    font.setBold(true);
    font.setPixelSize(12);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(6, 34, 40, 16), Qt::AlignCenter, u"PDF"_s);
}

} // namespace

QPixmap PrintChoicePicture(int choice, int size)
{
    QPixmap picture = SharpPixmap(size, size);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 64.0, size / 64.0);
    switch (choice) {
    case 0: Preview(p); break;
    case 1: Printer(p); break;
    case 2: Spreadsheet(p); break;
    case 3: Pdf(p); break;
    default: break;
    }
    return picture;
}
