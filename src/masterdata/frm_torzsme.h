#pragma once

#include "gui/listwindow.h"

class Connection;

// The subject catalogue: the subjects the resolution editor offers. Search by the whole phrase;
// a user with the master-data right adds, corrects and deletes subjects. The empty subject
// (stored when a record is saved without one) is never listed.
class Tfrm_TorzsMe : public ListWindow
{
    Q_OBJECT

public:
    Tfrm_TorzsMe(Connection &connection, bool masterDataRight, QWidget *parent = nullptr);

    // The handlers of New, Edit and Delete; each checks the master-data right itself.
    void onNewTriggered();
    void onEditTriggered();
    void onDeleteTriggered();

protected:
    void showEvent(QShowEvent *event) override;
};

// Opens the catalogue window modally (for maintenance only; nothing is chosen).
void OpenSubjectCatalogue(Connection &con, bool masterDataRight, int fontSize = 0, QWidget *parent = nullptr);

// Edits the catalogue row holding `subject`, or a new row when `subject` is empty. Returns the
// saved subject, or empty text when the editor was cancelled. A subject the server refuses (a
// duplicate, an empty one) is reported as "Hiányos, vagy hibás adatmegadás" and the server's
// text, and the editor stays open.
QString EditSubject(Connection &con, const QString &subject, int fontSize = 0, QWidget *parent = nullptr);
