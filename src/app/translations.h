#pragma once

class QCoreApplication;

// Qt's own texts in Hungarian, whatever language the desktop speaks: the buttons of message
// boxes ("Igen", "Nem", "Mégse") and the file, folder, print and colour dialogs, with Hungarian
// dates and numbers in them. False when Qt's Hungarian translation is not installed (the
// program still runs, with Qt's English texts).
bool LoadQtTranslations(QCoreApplication &app);
