#pragma once

#include "gui/listwindow.h"

class Connection;

// The list of a master-data table (id column named like the table, name column the table name
// + "_nev"): search by words, and for a user with the master-data right new, rename and delete.
// In choice mode it also hands back the chosen row's id (OpenMasterData).
class Tfrm_Torzsadat : public ListWindow
{
    Q_OBJECT

public:
    Tfrm_Torzsadat(Connection &connection, const QString &table, const QString &caption, bool choice,
                   bool masterDataRight, QWidget *parent = nullptr);

    const QString &table() const { return m_table; }
    bool choiceMode() const { return m_choice; }

    // The handlers of New, Edit and Delete; each checks the master-data right itself.
    void onNewTriggered();
    void onEditTriggered();
    void onDeleteTriggered();

private:
    QString m_table;
    QString m_caption;
    bool m_choice;
};

// The master-data list of `table` with `caption` as window caption, heading and column title,
// opened on the row whose id is `initialId` (the first row when there is none). In choice mode
// it returns the id of the row chosen with "Elfogad" (Enter, double click); otherwise, and when
// the window is closed without choosing, -1. Without `masterDataRight` the user may look,
// search and choose, but not change anything. `fontSize` (points, 0 = inherited) is the
// program-wide font size.
int OpenMasterData(Connection &con, int initialId, bool choice, const QString &table, const QString &caption,
                   bool masterDataRight, int fontSize = 0, QWidget *parent = nullptr);

// Edits the name of row `id` of `table` (-1: a new row) in the row editor captioned `caption`.
// Returns the id of the saved row (for a new row the id the server gave it), or -1 when the
// editor was cancelled. A row the server refuses is reported and the editor stays open.
int EditMasterDataRow(Connection &con, int id, const QString &table, const QString &caption,
                      bool masterDataRight, int fontSize = 0, QWidget *parent = nullptr);
