#pragma once

#include <QPixmap>

// The pictures beside the print choice: the page under a magnifying glass (preview), a printer
// printing, a sheet of cells with an arrow (export) and a PDF document. `choice` is the index of
// the choice (0 to 3); anything else gives an empty picture.
QPixmap PrintChoicePicture(int choice, int size = 96);
