#pragma once

#include <QIcon>
#include <QPixmap>

// The program's pictures, drawn in code so that they stay sharp at every size and need no
// image files.
enum class IconId {
    Refresh,
    FontBigger,
    FontSmaller,
    Settings,
    Users,
    Sql,
    Help,
    HomePage,
    Mail,
    Close,
    New,
    Edit,
    Delete,
    Print,
    Filter,
    View,
    Status,
    Export,
    About,
    Committees,
    Subjects,
    PrintList,
    Databases,
    Panel,
    Clipboard,
};

QIcon MakeIcon(IconId id);

// A transparent pixmap of width x height logical pixels with as many device pixels as the
// densest screen has (twice as many at a scale factor of 2), so a picture drawn on it stays
// sharp; a painter on it works in logical pixels.
QPixmap SharpPixmap(int width, int height);

// The program logo (an open book with the product name) on a transparent background.
QPixmap LogoPixmap(int size = 256);
