#pragma once

#include "notices/noticelayout.h"

#include <QWidget>

class QLabel;

// The news window: the item's title and body, "Részletek:" with the link to the full item,
// "Többet ne mutassa" and "OK". It does not hold up the program and frees itself when closed;
// its bounds are remembered.
class Tfrm_Hirfolyam : public QWidget
{
    Q_OBJECT
public:
    // `detailsAddress`: the full address the link shows and opens.
    Tfrm_Hirfolyam(const QString &title, const QString &body, const QString &detailsAddress,
                   QWidget *parent = nullptr);

    QString detailsAddress() const { return m_address; }

    // The bottom part of the client area that the body area leaves free.
    static constexpr int BodyBottomReserve = 126;
    // "Részletek:" and the link stand this far above the bottom edge.
    static constexpr int DetailsRowOffset = 67;

signals:
    // "OK" was pressed; the window closes after this.
    void confirmed(bool dontShowAgain);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onOkClicked();

    NoticeLayout m_layout;
    QLabel *m_detailsCaption;
    QLabel *m_link;
    QString m_address;
};

// Creates the news window near `parent`, at its remembered bounds, and shows it without
// waiting, on top of the program's windows; when a modal dialog is open, it comes on top again
// once the dialog has closed.
Tfrm_Hirfolyam *ShowNewsWindow(const QString &title, const QString &body, const QString &detailsAddress,
                               QWidget *parent);
