#pragma once

#include <QColor>
#include <QPen>

// What the program's drawn pictures share (the tool bar icons, the print choice's pictures), so
// that they read as one set: the colours and the round-capped stroke.
namespace drawing {

inline const QColor Blue(0x2f, 0x6f, 0xb0);
inline const QColor DarkBlue(0x1d, 0x45, 0x7a);
inline const QColor Green(0x2e, 0x8b, 0x57);
inline const QColor Red(0xc0, 0x39, 0x2b);
inline const QColor Gold(0xe0, 0xa8, 0x20);
inline const QColor Grey(0x55, 0x5b, 0x63);
inline const QColor Ink(0x33, 0x3a, 0x44);
inline const QColor Paper(0xfd, 0xfd, 0xf8);
inline const QColor Rule(0xa7, 0xb0, 0xba);
inline const QColor Metal(0x9a, 0xa3, 0xad);

inline QPen Stroke(const QColor &colour, qreal width = 1.6)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

} // namespace drawing
