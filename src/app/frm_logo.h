#pragma once

#include <QTimer>
#include <QWidget>

// The splash window: the logo, fully visible for a second, then fading out in about half a
// second; it closes and deletes itself. Nothing waits for it.
class Tfrm_Logo : public QWidget
{
    Q_OBJECT
public:
    explicit Tfrm_Logo(QWidget *parent = nullptr);

    int alpha() const { return m_alpha; }
    // How long the logo stays fully visible before it fades (a second). Tests shorten it; set
    // while the logo shows, the hold starts again from the call.
    int holdInterval() const { return m_holdTimer.interval(); }
    void setHoldInterval(int ms) { m_holdTimer.setInterval(ms); }

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void onFadeTimeout();

    QTimer m_holdTimer;
    QTimer m_fadeTimer;
    int m_alpha = 255;
};

// Creates the splash window centred on the screen and shows it.
Tfrm_Logo *ShowSplash();
