#pragma once

#include <QDialog>

class QLabel;

// The about box: product and version, the program's name, the maker's contact lines and
// the logo.
class Tfrm_Nevjegy : public QDialog
{
    Q_OBJECT
public:
    explicit Tfrm_Nevjegy(QWidget *parent = nullptr);

    QLabel *productLabel() const { return m_productLabel; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLabel *m_productLabel = nullptr;
};

// aNevjegy: shows the about box modally; it is freed when closed.
void ShowAboutBox(QWidget *parent);
