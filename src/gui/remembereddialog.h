#pragma once

#include <QDialog>

// A dialog that opens where the user last left it, from the settings file's section named by
// its objectName(): a fixed-size dialog its position (loaded at every show), a resizable window
// its bounds (loaded at the first show). Both are saved when it closes. A dialog that remembers
// only its position is of fixed size (MakeFixedSize) from its first show on.
class RememberedDialog : public QDialog
{
    Q_OBJECT

public:
    enum class Remember { Position, Bounds };

    explicit RememberedDialog(QWidget *parent = nullptr, Remember what = Remember::Position);

    // Saves the place before the window goes away (accept, reject, Esc, the close button).
    void done(int result) override;
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    Remember m_remember;
    bool m_boundsLoaded = false;
    bool m_sizeFixed = false;
};
