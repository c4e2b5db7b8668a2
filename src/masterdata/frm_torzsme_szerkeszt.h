#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

// Editor of one subject of the catalogue. It only shows and collects; EditSubject fills it and
// writes the row.
class Tfrm_TorzsMe_Szerkeszt : public QDialog
{
    Q_OBJECT

public:
    explicit Tfrm_TorzsMe_Szerkeszt(QWidget *parent = nullptr);

    void setSubject(const QString &subject);
    QString subject() const;

    // Called by OK; the editor closes with OK only when it returns true.
    void setSaveHandler(std::function<bool()> save) { m_save = std::move(save); }

    QLabel *Label1 = nullptr;
    QLineEdit *DBEdit1 = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnMegsem = nullptr;

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void btnOKClick();

    std::function<bool()> m_save;
    bool m_placed = false;
};
