#pragma once

#include "notices/frm_hirfolyam.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

class Connection;
class NoticeRequest;
class QWidget;

// The two checks the main window runs once after it is first shown: a newer build 5 seconds
// after, the latest news 10 seconds after. Each asks the web service in the background, so the
// window stays usable whatever the network does, and a failure ends the check without a word.
// A build without a service address asks nothing.
class NoticeChecks : public QObject
{
    Q_OBJECT
public:
    // `owner`: the main window; the notice windows open over it. The checks are its child.
    NoticeChecks(Connection &connection, QWidget *owner);

    // Starts both one-shot timers.
    void start();

    // The timers' delays; tests shorten them.
    void setDelays(int versionMs, int newsMs);

    // Each check on its own, as the timers run them. False when no request went out.
    bool runVersionCheck();
    bool runNewsCheck();

    // The news window while it is open.
    Tfrm_Hirfolyam *newsWindow() const { return m_newsWindow; }

signals:
    // A check has ended: its reply was read and any window it called for has been dealt with
    // (the version notice closed, the news window opened). Failed requests end without it.
    void versionCheckDone();
    void newsCheckDone();

private:
    void onVersionReply(const QString &reply);
    void onNewsReply(const QString &reply);

    Connection &m_connection;
    QWidget *m_owner;
    QTimer *m_versionTimer; // TimerVerzio
    QTimer *m_newsTimer;    // TimerHirek
    NoticeRequest *m_versionRequest;
    NoticeRequest *m_newsRequest;
    QPointer<Tfrm_Hirfolyam> m_newsWindow;
};
