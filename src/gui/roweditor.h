#pragma once

#include <QDialog>
#include <functional>

class DbError;
class QLabel;
class QLineEdit;
class QPushButton;
class Table;

// What the master-data row editors have in common: a caption over one name field, OK and
// Mégsem at the bottom right, a save handler that OK runs, the editing keys (Ctrl+Enter for OK,
// Enter moves on) and the place on the screen remembered under the editor's name.
// Component names: the caption "Label1", the field "DBEdit1", the buttons "btnOK" and
// "btnMegsem".
class RowEditor : public QDialog
{
    Q_OBJECT

public:
    // Called by OK; the editor closes with OK only when it returns true (a refused row keeps
    // the editor open with what was typed).
    void setSaveHandler(std::function<bool()> save) { m_save = std::move(save); }

    // The text of the name field.
    void setName(const QString &name);
    QString name() const;

    void done(int result) override;

protected:
    RowEditor(const QString &objectName, QSize size, QWidget *parent);
    void showEvent(QShowEvent *event) override;

    QLabel *m_captionLabel = nullptr;
    QLineEdit *m_nameEdit = nullptr;
    QPushButton *m_okButton = nullptr;
    QPushButton *m_cancelButton = nullptr;

private:
    void onOkClicked();

    std::function<bool()> m_save;
    bool m_placed = false;
};

// What the free routines behind the row editors share.

// Opens `table` on the row that `keyCondition` selects and starts editing it (a row gone
// meanwhile throws DbError); with an empty condition, opens it on no row and starts a new one.
void OpenRowForEditing(Table &table, const QString &keyCondition);

// Runs `editor` on the row `table` holds in insert or edit mode. The name field shows `field`;
// OK writes the typed text to it (empty text as NULL, so that the server decides whether the
// column may lack a value) and posts the row. A post the server refuses goes to `refused` and
// keeps the editor open with what was typed. True when OK saved the row; otherwise the row's
// changes are given up.
bool RunRowEditor(RowEditor &editor, Table &table, const QString &field,
                  const std::function<void(const DbError &error)> &refused);
