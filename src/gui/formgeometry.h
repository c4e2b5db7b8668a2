#pragma once

#include <QPoint>
#include <QRect>
#include <QString>

class QWidget;

// The primary screen's available geometry (the desktop without panels); a null rectangle when
// no screen is known.
QRect WorkArea();

// Remembered window places in the settings file, one section per window (its component name):
// "Left" and "Top" for fixed-size dialogs, also "Width" and "Height" for resizable windows.

// Left and top, 10 each when absent. No fitting into the work area.
QPoint LoadFormPos(const QString &section);
// Failures to write are ignored: a lost position is not worth an error box.
void SaveFormPos(const QString &section, int left, int top);

// The stored bounds (left and top 10 when absent, width and height the current ones when
// absent), fitted into WorkArea() by FitIntoWorkArea(). The result is (left, top, width,
// height).
QRect LoadFormBounds(const QString &section, int left, int top, int height, int width);
// Throws IniError when the file cannot be written.
void SaveFormBounds(const QString &section, int left, int top, int height, int width);

// Moves and shrinks bounds so they end inside the work area's right edge R and bottom edge B
// (exclusive edges: x + width and y + height of the area; the area's left and top are not
// used, negative left or top values stay):
//  1. left > R gives left 0; top > B gives top 0;
//  2. left + width > R: left = R - width when width < R, else left 0 and width R;
//  3. the same for top and height against B.
// A null work area (no screen known) leaves the bounds unchanged.
QRect FitIntoWorkArea(QRect bounds, const QRect &workArea);

// The outer rectangle of a top-level window: title bar and borders included. The settings keep
// windows by this rectangle, as the window's own left, top, width and height. Before the window
// system has framed the window, the frame is estimated (see SetOuterGeometry).
QRect OuterGeometry(const QWidget *window);

// Puts the window's outer rectangle at `outer` (SetOuterGeometry) or only its outer top left
// corner at `topLeft` (MoveOuter). Safe before the window is shown and while it is being shown:
// an X11 window manager adds the frame only once the window is mapped, so until then the frame
// is estimated from the window's parent (or the active window), and the window is put right
// once it is first on the screen.
void SetOuterGeometry(QWidget *window, const QRect &outer);
void MoveOuter(QWidget *window, const QPoint &topLeft);

// Makes a dialog one of fixed size for the window system too: no maximise button, and a minimum
// size equal to the maximum, which is how an X11 window manager learns that it may neither
// resize nor maximise the window. A size already fixed (setFixedSize) stays; otherwise the
// window's layout fixes it at the layout's size hint, or, without a layout, at the current size.
// Call before the window is first shown: changed window flags would hide a shown window.
void MakeFixedSize(QWidget *window);

// The same for a window, with its objectName() as the section. Positions and sizes are those of
// OuterGeometry(), so what is saved is what is loaded, frame included.
void LoadFormPos(QWidget *window);
void SaveFormPos(const QWidget *window);
void LoadFormBounds(QWidget *window);
void SaveFormBounds(const QWidget *window);
