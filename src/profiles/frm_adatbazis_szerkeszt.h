#pragma once

#include "config/profilelist.h"
#include "gui/roweditor.h"

class QToolButton;

// Editor of one connection profile of the profile manager. The display name is the row
// editor's name field; below it, in tab order, the host, the user, the password (shown as "*"
// until the button beside it shows it), the database and the port. OK refuses a port that is
// not a whole number from 0 to 65535 and a field that cannot be stored, and keeps the editor
// open with everything typed. Component names: "DBEdit1" display name, "DBEdit2" host,
// "DBEdit3" user, "DBEdit4" password, "DBEdit5" database, "DBEdit6" port, "SpeedButton1"
// (show or hide the password), "btnOK", "btnMegsem".
class Tfrm_Adatbazis_Szerkeszt : public RowEditor
{
    Q_OBJECT

public:
    explicit Tfrm_Adatbazis_Szerkeszt(QWidget *parent = nullptr);

    // Fills the fields; the version is kept as it is (the editor does not show it).
    void setRow(const ProfileRow &row);
    // The row as typed; the port is 0 when it is not a number (problem() says so).
    ProfileRow row() const;
    // Why the typed row cannot be taken; empty when it can.
    QString problem() const;

private:
    void onShowPasswordClicked();

    QLineEdit *m_hostEdit;
    QLineEdit *m_userEdit;
    QLineEdit *m_passwordEdit;
    QLineEdit *m_databaseEdit;
    QLineEdit *m_portEdit;
    QToolButton *m_showPasswordButton;
    QString m_version;
};

// Runs the editor on `row` (a new profile comes with port 3306). On OK the typed values go to
// `row` and the result is true; on Mégsem or Esc `row` is left alone.
bool EditProfileRow(ProfileRow &row, int fontSize, QWidget *parent = nullptr);
