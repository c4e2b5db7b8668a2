#pragma once

#include "app/startup.h"
#include "db/connection.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <memory>

class MainActions;
class MainRegister;
class NoticeChecks;
class QLabel;
class QMenu;
class QToolBar;
class QVBoxLayout;
class StatusPanels;

// The main window frame: menu, the two tool bars, the header row with the title, the place of
// the register view and the status bar. The register view (tabs, grid, search box,
// resolution panel) is built elsewhere and put in with setSearchPanel() and
// setRegisterView(); it reaches the actions, the status-bar panels and the grid pop-up menu
// through the accessors below.
class Tfrm_Main : public QMainWindow
{
    Q_OBJECT
public:
    explicit Tfrm_Main(QWidget *parent = nullptr);
    ~Tfrm_Main() override;

    // The start-up before the window is shown: profile, connection, version, settings row,
    // log-in, then the register. On Failed the window, once shown, closes within a second
    // and writes no settings back; on Quit the program ends without showing it.
    StartupOutcome startUp();
    bool startupFailed() const { return m_startupFailed; }

    // The one database connection every window of the program uses.
    Connection &connection() { return m_connection; }
    // The register, once the start-up has opened it (nullptr before and after a failed start).
    MainRegister *mainRegister() const { return m_register; }

    MainActions &actions() const { return *m_actions; }
    StatusPanels &statusPanels() const { return *m_panels; }
    QMenu *gridPopup() const { return m_gridPopup; }
    // Small icons above everything ("ToolBar1"), and the register's large buttons ("ToolBar2").
    QToolBar *mainToolBar() const { return m_mainToolBar; }
    QToolBar *registerToolBar() const { return m_registerToolBar; }
    // `Label2`: the bold title at the right of the header row.
    QLabel *titleLabel() const { return m_titleLabel; }

    // The left part of the header row above the register tool bar: the search box and the filter label.
    // The window takes ownership; a second call replaces (and deletes) the first panel.
    void setSearchPanel(QWidget *panel);
    // Everything below the register tool bar: committee tabs, grid, resolution panel, year tabs.
    // The window takes ownership; a second call replaces (and deletes) the first view.
    void setRegisterView(QWidget *view);
    QWidget *registerView() const { return m_registerView; }

    // "Határozatok könyve: " + the profile's display name in the title label.
    void updateTitle();

    // Puts the outer window (frame included) either over the work area from its top left
    // corner (full-screen flag) or at the saved geometry of the state record. The frame is
    // only known once the window manager has framed the window: the placing is completed
    // then by itself.
    void placeOnScreen();

    // FontBigger / FontSmaller: one point up to 10 or down to 8; only the main window's
    // own font follows at once, dialogs take the size when they are next shown.
    void fontBigger();
    void fontSmaller();
    // Sets the main window's font to the program-wide font size.
    void applyFontSize();

    // The keep-alive query runs every minute once the window is shown; tests shorten the interval.
    int keepAliveInterval() const { return m_keepAliveTimer.interval(); }
    void setKeepAliveInterval(int ms) { m_keepAliveTimer.setInterval(ms); }
    // The version and news checks that start when the window is first shown.
    NoticeChecks &notices() const { return *m_notices; }

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildCentralWidget();
    QWidget *buildHeader(QWidget *central);
    // Places the window, starts the splash and the keep-alive when it is first shown.
    void onFirstShow();
    // Writes the workstation's settings back and closes the connection.
    void saveAndDisconnect();
    void onKeepAliveTimeout();
    void bindOwnActions();
    void bindDatabaseActions();
    void replaceSlot(QWidget *&slot, QWidget *widget);

    MainActions *m_actions = nullptr;
    std::unique_ptr<StatusPanels> m_panels;
    QMenu *m_gridPopup = nullptr;
    QToolBar *m_mainToolBar = nullptr;
    QToolBar *m_registerToolBar = nullptr;
    QLabel *m_titleLabel = nullptr;
    QVBoxLayout *m_centralLayout = nullptr;
    QWidget *m_header = nullptr;
    QWidget *m_searchPanel = nullptr;
    QWidget *m_registerView = nullptr;

    QPointer<QWidget> m_splash;
    Connection m_connection;
    MainRegister *m_register = nullptr;
    NoticeChecks *m_notices = nullptr;
    bool m_startupFailed = true;
    bool m_shown = false;
    QTimer m_keepAliveTimer; // Timer1: keeps an idle connection in use
    QTimer m_closeTimer;     // Timer2: closes the window after a failed start
};
