#pragma once

#include "users/userrows.h"

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

class Connection;
class QCheckBox;
class QLineEdit;
class QPushButton;

// Editor of one user. It collects; the routine that runs it (EditUser) gives it the two things
// that need the server: the digest of a password and the writing of the row. A write that the
// server refuses keeps the dialog open with everything typed. Component names: "DBEdit1" (code),
// "DBEdit3" (full name), "DBCheckBox1" (administrator), "DBCheckBox2" (master data), "btnOK",
// "btnCancel", "BitBtn1" (password).
class Tfrm_FelhasznaloSzerkeszt : public QDialog
{
    Q_OBJECT

public:
    using DigestFunction = std::function<QString(const QString &password)>;
    // Throws DbError when the server refuses the row.
    using SaveFunction = std::function<void(const UserRecord &record)>;

    Tfrm_FelhasznaloSzerkeszt(const UserRecord &record, DigestFunction digest, SaveFunction save,
                              QWidget *parent = nullptr);

    UserRecord record() const;

private:
    void buildLayout();
    void onOkClicked();
    void onPasswordClicked();

    DigestFunction m_digestOf;
    SaveFunction m_save;
    std::optional<QString> m_digest;
    QLineEdit *m_codeEdit;
    QLineEdit *m_fullNameEdit;
    QCheckBox *m_adminRightCheck;
    QCheckBox *m_masterDataRightCheck;
    QPushButton *m_okButton;
    QPushButton *m_cancelButton;
    QPushButton *m_passwordButton;
};

// Creates a user (isNew) or edits the user with the id `userId` through the editor, writing
// the row to `felhasznalo` when the editor closes with OK. A new user gets the highest id + 1
// and both rights off, and must be given a password before it can be saved. The result is the
// user's id on OK, -1 otherwise (nothing written, no id used). Database errors outside the
// editor's buttons (reading the row, say) are thrown as DbError. fontSize 0 keeps the inherited
// font.
int EditUser(Connection &connection, bool isNew, int userId = -1, QWidget *parent = nullptr,
             int fontSize = 0);
