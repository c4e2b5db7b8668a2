#pragma once

#include "gui/remembereddialog.h"

class QLabel;

// The about box: product and version, the program's name, the maker's contact lines when the
// build gives them, the licence and the logo.
class Tfrm_Nevjegy : public RememberedDialog
{
    Q_OBJECT
public:
    explicit Tfrm_Nevjegy(QWidget *parent = nullptr);

    QLabel *productLabel() const { return m_productLabel; }
    // Null when the build names no maker.
    QLabel *contactLabel() const { return m_contactLabel; }
    QLabel *licenceLabel() const { return m_licenceLabel; }

private:
    QLabel *m_productLabel = nullptr;
    QLabel *m_contactLabel = nullptr;
    QLabel *m_licenceLabel = nullptr;
};

// aNevjegy: shows the about box modally; it is freed when closed.
void ShowAboutBox(QWidget *parent);
