#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

// What the master-data row editors have in common: a caption over one name field, OK and
// Mégsem at the bottom right, a save handler that OK runs, the editing keys (Ctrl+Enter for OK,
// Enter moves on) and the place on the screen remembered under the editor's name.
class RowEditor : public QDialog
{
    Q_OBJECT

public:
    // Called by OK; the editor closes with OK only when it returns true (a refused row keeps
    // the editor open with what was typed).
    void setSaveHandler(std::function<bool()> save) { m_save = std::move(save); }

    QLabel *Label1 = nullptr;
    QLineEdit *DBEdit1 = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnMegsem = nullptr;

    void done(int result) override;

protected:
    RowEditor(const QString &objectName, QSize size, QWidget *parent);
    void showEvent(QShowEvent *event) override;

private:
    void btnOKClick();

    std::function<bool()> m_save;
    bool m_placed = false;
};
