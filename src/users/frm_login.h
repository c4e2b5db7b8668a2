#pragma once

#include <QDialog>
#include <QString>

class Connection;
class QLineEdit;
class QPushButton;
class Table;

// The user who logged in, as the start-up copies it into the program-wide record.
struct LoginUser
{
    QString loginName;            // `felhasznalo` as stored
    QString fullName;             // `felhasznalo_nev`, empty for NULL
    int id = 0;                   // `felhkod`, 0 for NULL
    bool adminRight = false;      // `rendszergazda` = 'I'
    bool masterDataRight = false; // `torzsszerkeszt` = 'I'
};

// The log-in dialog: a user code and password checked against the user table by the server's
// MD5 digest, and the change of one's own password. It works on the rows of `felhasznalo`
// given to it (`TblLogin`, opened by ShowLogin).
class Tfrm_Login : public QDialog
{
    Q_OBJECT

public:
    Tfrm_Login(Connection &connection, Table &tblLogin, QWidget *parent = nullptr);

    // True when the two boxes name a user and its password; fills user(). Otherwise shows
    // "Érvénytelen felhasználó, vagy jelszó" and returns false. Database errors are thrown.
    bool CheckCredentials();

    // Set by a successful OK.
    bool accepted() const { return m_accepted; }
    const LoginUser &user() const { return m_user; }

    QLineEdit *edtFelhasznalo;
    QLineEdit *edtJelszo;
    QPushButton *btnOK;
    QPushButton *btnUjJelszo;
    QPushButton *btnMegsem;

private:
    void btnOKClick();
    void btnUjJelszoClick();
    void changePassword();

    Connection &m_connection;
    Table &m_tblLogin;
    int m_row = -1; // row of the user who passed the last check
    bool m_accepted = false;
    LoginUser m_user;
};

// Runs the log-in on the connection's `felhasznalo` table. `user.loginName` comes in as the
// code to offer (the last user of this workstation). On a successful log-in every field of
// `user` is filled and the result is true; when the user gives up the result is false, `user`
// is left as it was, and the caller ends the program. Errors outside the dialog's buttons (the
// user table cannot be read, say) are thrown as DbError; errors inside a button are shown by
// the general error handler and the dialog stays open. fontSize 0 keeps the inherited font.
bool ShowLogin(Connection &connection, LoginUser &user, int fontSize = 0, QWidget *parent = nullptr);
