#include "gui/remembereddialog.h"

#include "gui/formgeometry.h"
#include "gui/messagebox.h"

RememberedDialog::RememberedDialog(QWidget *parent, Remember what) : QDialog(parent), m_remember(what) {}

void RememberedDialog::done(int result)
{
    if (m_remember == Remember::Position) {
        SaveFormPos(this);
    } else if (isVisible()) {
        // Bounds are written with the settings file's own errors, which the user should see;
        // the window closes all the same.
        try {
            SaveFormBounds(this);
        } catch (...) {
            ShowCurrentException(this);
        }
    }
    QDialog::done(result);
}

void RememberedDialog::setVisible(bool visible)
{
    // Fixed here rather than in the constructor, where the subclass has not built its layout yet.
    if (visible && m_remember == Remember::Position && !m_sizeFixed) {
        m_sizeFixed = true;
        MakeFixedSize(this);
    }
    QDialog::setVisible(visible);
}

void RememberedDialog::showEvent(QShowEvent *event)
{
    if (m_remember == Remember::Position) {
        LoadFormPos(this);
    } else if (!m_boundsLoaded) {
        m_boundsLoaded = true;
        LoadFormBounds(this);
    }
    QDialog::showEvent(event);
}
