#pragma once

#include "userrows.h"

#include <QDialog>
#include <QList>
#include <QString>

class Connection;
class QLineEdit;
class QPushButton;

// The log-in dialog: a user code and password checked against the user table by the server's
// MD5 digest (CheckCredentials), and the change of one's own password (ChangePassword). It
// checks against the rows of `felhasznalo` that ShowLogin read, and reads them again after a
// password change. Component names: "edtFelhasznalo", "edtJelszo", "btnOK", "btnUjJelszo",
// "btnMegsem".
class Tfrm_Login : public QDialog
{
    Q_OBJECT

public:
    Tfrm_Login(Connection &connection, QList<LoginRow> rows, QWidget *parent = nullptr);

    void setUserCode(const QString &code);
    // The user of the last successful check; filled when the dialog closed with OK.
    const LoginUser &user() const { return m_user; }

private:
    void onOkClicked();
    void onNewPasswordClicked();
    // True when the two boxes name a user and its password; fills user(). Otherwise shows
    // "Érvénytelen felhasználó, vagy jelszó" and returns false. Database errors are thrown.
    bool checkCredentials();
    void changePassword();

    Connection &m_connection;
    QList<LoginRow> m_rows;
    LoginUser m_user;
    QLineEdit *m_userEdit;
    QLineEdit *m_passwordEdit;
    QPushButton *m_okButton;
    QPushButton *m_newPasswordButton;
    QPushButton *m_cancelButton;
};

// Runs the log-in on the connection's `felhasznalo` table. `user.loginName` comes in as the
// code to offer (the last user of this workstation). On a successful log-in every field of
// `user` is filled and the result is true; when the user gives up the result is false, `user`
// is left as it was, and the caller ends the program. Errors outside the dialog's buttons (the
// user table cannot be read, say) are thrown as DbError; errors inside a button are shown by
// the general error handler and the dialog stays open. fontSize 0 keeps the inherited font.
bool ShowLogin(Connection &connection, LoginUser &user, int fontSize = 0, QWidget *parent = nullptr);
