#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

// Row editor of a master-data table: the name of one row and, below it, the row's id. It only
// shows and collects; EditMasterDataRow fills it and writes the row.
class Tfrm_Torzsadat_Szerkeszt : public QDialog
{
    Q_OBJECT

public:
    explicit Tfrm_Torzsadat_Szerkeszt(QWidget *parent = nullptr);

    void setCaption(const QString &caption);
    void setName(const QString &name) ;
    QString name() const;
    void setMaxNameLength(int length);
    // The id shown under the name; empty for a new row.
    void setIdText(const QString &text);
    void setOkEnabled(bool enabled);

    // Called by OK; the editor closes with OK only when it returns true (a refused row keeps
    // the editor open with what was typed).
    void setSaveHandler(std::function<bool()> save) { m_save = std::move(save); }

    QLineEdit *DBEdit1 = nullptr;
    QLabel *DBText1 = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnMegsem = nullptr;

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void btnOKClick();

    std::function<bool()> m_save;
    bool m_placed = false;
};
