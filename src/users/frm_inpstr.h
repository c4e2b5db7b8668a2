#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// One line of text, optionally masked, with a minimum and a maximum length. The height is
// fixed, the width follows the user; AskString runs it. Component names: the prompt "Label1",
// the text "Edit1", the tick box "CheckBox1", "Button1" (OK) and "Button2" (Mégsem).
class Tfrm_InpStr : public QDialog
{
    Q_OBJECT

public:
    static constexpr int FixedHeight = 297;

    // maxLength -1: no limit.
    Tfrm_InpStr(const QString &caption, const QString &prompt, bool password, int minLength, int maxLength,
                const QString &value, QWidget *parent = nullptr);

    QString text() const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void onOkClicked();
    void onShowCharactersClicked();
    void layoutControls();

    int m_minLength;
    QLabel *m_promptLabel;
    QLineEdit *m_textEdit;
    QCheckBox *m_showCharactersCheck;
    QPushButton *m_okButton;
    QPushButton *m_cancelButton;
};

// Asks for one line of text. On OK `value` receives the text and the result is true; on
// Mégsem `value` keeps what it held. A password hides the characters behind "*" until
// "Látszanak a karakterek" is ticked. A text shorter than minLength is refused with a message
// and the dialog stays open; maxLength -1 means no limit. fontSize 0 keeps the inherited font.
// The window's place and width are kept in the settings file under "frm_InpStr".
bool AskString(const QString &caption, const QString &prompt, bool password, int minLength, int maxLength,
               QString &value, QWidget *parent = nullptr, int fontSize = 0);
