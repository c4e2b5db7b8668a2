#pragma once

#include "gui/listwindow.h"

#include <QPixmap>

class Connection;

// The list of the program's users with their two rights drawn as pictures. New, edit and
// delete write to the database at once; the editor is EditUser.
class Tfrm_Felhasznalo : public ListWindow
{
    Q_OBJECT

public:
    // fontSize: for the window and the editors it opens; 0 keeps the inherited font.
    explicit Tfrm_Felhasznalo(Connection &connection, int fontSize = 0, QWidget *parent = nullptr);

    // Width of the code and the full-name column for a grid of the given width: the width less
    // the fixed columns' 194 pixels, shared 33 % to 67 %.
    static QPair<int, int> ProportionalWidths(int gridWidth);

    void onNewTriggered();
    void onEditTriggered();
    void onDeleteTriggered();

protected:
    void resizeColumns() override;

private:
    int m_fontSize;
};

// The picture of a right in the list: a tick for 'I', a dimmed cross for anything else.
QPixmap RightPicture(bool granted);

// The user administration window. The caller has checked the administrator right.
// fontSize 0 keeps the inherited font.
void ManageUsers(Connection &connection, QWidget *parent = nullptr, int fontSize = 0);
