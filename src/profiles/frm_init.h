#pragma once

#include <QDialog>
#include <QString>

class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
struct ConnectionProfile;

// First-run set-up: asks for one new connection profile and insists on a successful
// connection test before "Rendben" can be pressed (Ctrl+Enter in the host field accepts at once,
// without a test). Component names: "Edit1" database, "Edit2" host, "Edit3" user, "Edit4"
// display name, "Edit5" port, "Edit6" password; "Button1" (test), "Button2" (Rendben),
// "Button3" (Mégsem).
class Tfrm_Init : public QDialog
{
    Q_OBJECT

public:
    explicit Tfrm_Init(QWidget *parent = nullptr);

    // database;host;port;user;password;display name, exactly as typed.
    QString profileString() const;

    void accept() override;

private:
    // The fields, in tab order, and the buttons, each in a layout of its own.
    QVBoxLayout *createFields();
    QHBoxLayout *createButtons();
    void onTestClicked();
    ConnectionProfile typedProfile() const;
    // Why the typed profile cannot be stored; empty when it can.
    QString storeProblem() const;

    QLineEdit *m_databaseEdit;
    QLineEdit *m_hostEdit;
    QLineEdit *m_userEdit;
    QLineEdit *m_displayNameEdit;
    QLineEdit *m_portEdit;
    QLineEdit *m_passwordEdit;
    QPushButton *m_testButton;
    QPushButton *m_okButton;
    QPushButton *m_cancelButton;
};

// Runs the set-up. On OK the new profile text goes to `profileString` (to become the current
// profile) and is stored, scrambled, under the first free key ConStr1..ConStr100 of the
// settings file; the result is true. When it cannot be stored (no free key, the file cannot be
// written) the user is told and the profile is still used for this run. On Mégsem nothing is
// stored, `profileString` is left alone and the result is false.
// fontSize: the program-wide font size, 0 when not known yet (9 is used then).
bool RunFirstSetup(QString &profileString, int fontSize = 0, QWidget *parent = nullptr);
