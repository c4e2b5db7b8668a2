#pragma once

#include "gui/remembereddialog.h"

class QLabel;

// The about box: product and version, the program's name, the maker's contact lines and
// the logo.
class Tfrm_Nevjegy : public RememberedDialog
{
    Q_OBJECT
public:
    explicit Tfrm_Nevjegy(QWidget *parent = nullptr);

    QLabel *productLabel() const { return m_productLabel; }

private:
    QLabel *m_productLabel = nullptr;
};

// aNevjegy: shows the about box modally; it is freed when closed.
void ShowAboutBox(QWidget *parent);
