#pragma once

#include "config/conprofile.h"

#include <QDialog>
#include <QString>
#include <QStringList>

class QListWidget;
class QPushButton;

// The profile chooser: lists the known profiles by key number and display name, tests the
// connection of the one picked and closes only when it works. "Új" runs the first-run set-up.
// Component names: the list "ListBox1", "BitBtn1" (Új), "Button1" (OK), "Button2" (Mégsem).
class Tfrm_AdatbazisNyit : public QDialog
{
    Q_OBJECT

public:
    Tfrm_AdatbazisNyit(const QStringList &lines, const QStringList &profileStrings, int fontSize,
                       QWidget *parent = nullptr);

    // The connection test of the selected line; false (after the error box) when it failed or
    // no line is selected.
    bool testSelected();

    int selectedIndex() const;
    // -1 until "Új" has stored a new profile.
    int newProfileIndex() const { return m_newProfileIndex; }
    const QString &newProfileString() const { return m_newProfileString; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onOkClicked();
    void onNewClicked();

    QStringList m_profileStrings;
    int m_fontSize;
    int m_newProfileIndex = -1;
    QString m_newProfileString;
    int m_keyDownIndex = -1;

    QListWidget *m_profileList;
    QPushButton *m_newButton;
    QPushButton *m_okButton;
    QPushButton *m_cancelButton;
};

// "OrvantH Határozatok adatbázis választás", the caption the start-up gives the chooser.
QString ProfileChooserCaption();

// Runs the chooser. `listText` has one line per profile, `profileStrings` the decoded profiles
// in the same order. A single line whose connection works is taken without showing a window.
// Returns the 0-based position of the chosen line; the number of lines when a new profile was
// created through "Új" (its text then goes to *newProfileString, it is already stored); -1
// when the user gave up.
// fontSize: the program-wide font size, 0 when not known yet (9 is used then).
int ChooseProfile(const QString &listText, const QStringList &profileStrings, const QString &caption,
                  QString *newProfileString = nullptr, int fontSize = 0, QWidget *parent = nullptr);
