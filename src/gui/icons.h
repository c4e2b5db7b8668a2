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

// The program logo (an open book with the product name) on a transparent background.
QPixmap LogoPixmap(int size = 256);
