#include "app/frm_main.h"

#include "app/beall.h"
#include "app/frm_beallit.h"
#include "app/frm_logo.h"
#include "app/frm_nevjegy.h"
#include "app/helpaddresses.h"
#include "app/mainactions.h"
#include "app/mainmenus.h"
#include "app/mainregister.h"
#include "app/setup.h"
#include "app/statuspanels.h"
#include "common/makerinfo.h"
#include "common/paths.h"
#include "config/settings.h"
#include "db/dbroutines.h"
#include "gui/dialogfields.h"
#include "gui/formgeometry.h"
#include "gui/messagebox.h"
#include "gui/openwithshell.h"
#include "masterdata/frm_torzsadat.h"
#include "masterdata/frm_torzsme.h"
#include "notices/noticechecks.h"
#include "profiles/frm_adatbazis.h"
#include "register/registerview.h"
#include "sqlconsole/frm_sql.h"
#include "users/frm_felhasznalo.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>

using namespace Qt::StringLiterals;

Tfrm_Main::Tfrm_Main(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(u"frm_Main"_s);
    setWindowTitle(QString::fromUtf16(AppTitle));
    setFont(QFont(u"Segoe UI"_s, 9));
    resize(1026, 570);

    m_actions = new MainActions(this);
    ShowMakerActions(*m_actions, BuiltInMakerInfo());
    BuildMainMenu(menuBar(), *m_actions);
    // The menu keeps the system's font size when the window's font grows.
    menuBar()->setFont(QApplication::font());
    m_mainToolBar = BuildMainToolBar(*m_actions, this);
    addToolBar(Qt::TopToolBarArea, m_mainToolBar);
    m_gridPopup = BuildGridPopup(*m_actions, this);
    m_panels = std::make_unique<StatusPanels>(statusBar());
    statusBar()->setFont(QApplication::font());
    buildCentralWidget();

    bindOwnActions();
    updateTitle();

    m_keepAliveTimer.setInterval(60 * 1000);
    connect(&m_keepAliveTimer, &QTimer::timeout, this, &Tfrm_Main::onKeepAliveTimeout);
    m_closeTimer.setInterval(1000);
    m_closeTimer.setSingleShot(true);
    connect(&m_closeTimer, &QTimer::timeout, this, &QWidget::close);
    m_notices = new NoticeChecks(m_connection, this);
}

void Tfrm_Main::buildCentralWidget()
{
    // The register tool bar sits between the header row and the register, so it lives in the central
    // widget rather than in a tool-bar area.
    auto central = new QWidget(this);
    m_centralLayout = new QVBoxLayout(central);
    m_centralLayout->setContentsMargins(0, 0, 0, 0);
    m_centralLayout->setSpacing(0);
    m_centralLayout->addWidget(buildHeader(central));

    m_registerToolBar = BuildRegisterToolBar(*m_actions, central);
    m_centralLayout->addWidget(m_registerToolBar);

    auto placeholder = new QFrame(central);
    placeholder->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    placeholder->setBackgroundRole(QPalette::Base);
    placeholder->setAutoFillBackground(true);
    m_registerView = placeholder;
    m_centralLayout->addWidget(m_registerView, 1);
    setCentralWidget(central);
}

// The row above the register: the search panel at the left, the title at the right.
QWidget *Tfrm_Main::buildHeader(QWidget *central)
{
    m_header = new QWidget(central);
    m_header->setObjectName(u"Panel1"_s);
    auto headerLayout = new QHBoxLayout(m_header);
    headerLayout->setContentsMargins(6, 3, 8, 3);
    m_searchPanel = new QWidget(m_header);
    headerLayout->addWidget(m_searchPanel);
    headerLayout->addStretch(1);
    m_titleLabel = new QLabel(m_header);
    m_titleLabel->setObjectName(u"Label2"_s);
    QFont titleFont(u"Segoe UI"_s, 14);
    titleFont.setBold(true);
    m_titleLabel->setFont(titleFont);
    m_titleLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    headerLayout->addWidget(m_titleLabel);
    return m_header;
}

StartupOutcome Tfrm_Main::startUp()
{
    m_startupFailed = true;
    StartupOutcome outcome = StartupOutcome::Failed;
    try {
        outcome = RunStartup(m_connection, this);
        if (outcome == StartupOutcome::Started) {
            updateTitle();
            m_register = new MainRegister(*this, m_connection);
            bindDatabaseActions();
            m_startupFailed = false;
            m_register->start();
        }
    } catch (const std::exception &error) {
        // Anything else that fails on the way is shown with its own text; the window opens
        // without the steps that did not run.
        ShowException(error, this);
        if (!m_register)
            outcome = StartupOutcome::Failed;
    }
    if (outcome == StartupOutcome::Failed) {
        m_startupFailed = true;
        m_closeTimer.start();
    }
    return outcome;
}

void Tfrm_Main::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        onFirstShow();
    }
}

void Tfrm_Main::onFirstShow()
{
    if (m_startupFailed)
        return;
    placeOnScreen();
    applyFontSize();
    if (m_register) {
        RegisterView &view = m_register->view();
        view.setPanelWidth(width() / 4);
        QFont searchFont(u"Tahoma"_s, Beall.workstation.fontSize);
        view.searchEdit()->setFont(searchFont);
        view.searchEdit()->setFocus();
    }
    m_splash = ShowSplash();
    m_keepAliveTimer.start();
    m_notices->start();
}

void Tfrm_Main::onKeepAliveTimeout()
{
    try {
        QueryDateTime(m_connection, u"SELECT CURDATE();"_s, QDateTime());
    } catch (const std::exception &) {
        // An unanswered keep-alive is not the user's business; the next real use reconnects
        // or reports the failure.
    }
}

void Tfrm_Main::closeEvent(QCloseEvent *event)
{
    saveAndDisconnect();
    QMainWindow::closeEvent(event);
}

void Tfrm_Main::saveAndDisconnect()
{
    m_keepAliveTimer.stop();
    if (m_startupFailed)
        return;
    WorkstationSettings s = Beall.workstation;
    const QRect outer = OuterGeometry(this);
    s.left = outer.x();
    s.top = outer.y();
    s.height = outer.height();
    s.width = outer.width();
    try {
        WriteWorkstationSettings(s);
    } catch (const std::exception &error) {
        ShowException(error, this);
    }
    m_connection.close();
}

Tfrm_Main::~Tfrm_Main()
{
    // A splash still fading when the window goes is not left behind.
    delete m_splash;
}

void Tfrm_Main::bindOwnActions()
{
    MainActions &a = *m_actions;
    a.bind(MainAction::Close, [this] { close(); });
    a.bind(MainAction::FontBigger, [this] { fontBigger(); });
    a.bind(MainAction::FontSmaller, [this] { fontSmaller(); });
    a.bind(MainAction::Help, [this] { OpenHelp(this); });
    a.bind(MainAction::HomePage, [] { OpenWithShell(HomePageAddress(BuiltInMakerInfo().homePage)); });
    a.bind(MainAction::Mail, [] { OpenWithShell(MailLink(BuiltInMakerInfo().mail)); });
    a.bind(MainAction::About, [this] { ShowAboutBox(this); });
}

void Tfrm_Main::bindDatabaseActions()
{
    MainActions &a = *m_actions;
    a.bind(MainAction::Committees, [this] {
        OpenMasterData(m_connection, -1, false, u"csoport"_s, u"Bizottság"_s, Beall.masterDataRight,
                       Beall.workstation.fontSize, this);
    });
    a.bind(MainAction::Subjects, [this] {
        OpenSubjectCatalogue(m_connection, Beall.masterDataRight, Beall.workstation.fontSize, this);
    });
    a.bind(MainAction::Users, [this] { ManageUsers(m_connection, this, Beall.workstation.fontSize); });
    a.bind(MainAction::Databases, [this] { ManageProfiles(Beall.workstation.fontSize, this); });
    a.bind(MainAction::Settings, [this] {
        // The database's settings are read again however the dialog ended, so a changed document
        // store takes effect at once.
        try {
            RunSettings(m_connection, Beall.workstation, Beall.workstation.fontSize, this);
        } catch (...) {
            ShowCurrentException(this);
        }
        ReadDatabaseSettings(m_connection);
        updateTitle();
    });
    a.bind(MainAction::SqlConsole,
           [this] { OpenSqlConsole(m_connection.params(), Beall.workstation.fontSize, this); });
}

void Tfrm_Main::replaceSlot(QWidget *&slot, QWidget *widget)
{
    if (!widget || widget == slot)
        return;
    QLayout *layout = slot->parentWidget()->layout();
    widget->setParent(slot->parentWidget());
    delete layout->replaceWidget(slot, widget);
    delete slot;
    slot = widget;
    widget->show();
}

void Tfrm_Main::setSearchPanel(QWidget *panel)
{
    replaceSlot(m_searchPanel, panel);
}

void Tfrm_Main::setRegisterView(QWidget *view)
{
    replaceSlot(m_registerView, view);
}

void Tfrm_Main::updateTitle()
{
    m_titleLabel->setText(u"Határozatok könyve: "_s + Beall.profileName + u"  "_s);
}

void Tfrm_Main::placeOnScreen()
{
    // Both rectangles are the outer window, title bar and borders included.
    if (Beall.workstation.fullScreen) {
        const QRect work = WorkArea();
        SetOuterGeometry(this, QRect(0, 0, work.x() + work.width(), work.y() + work.height()));
    } else {
        const WorkstationSettings &saved = Beall.workstation;
        SetOuterGeometry(this, QRect(saved.left, saved.top, saved.width, saved.height));
    }
}

void Tfrm_Main::fontBigger()
{
    if (Beall.workstation.fontSize < MaxFontSize) {
        ++Beall.workstation.fontSize;
        applyFontSize();
    }
}

void Tfrm_Main::fontSmaller()
{
    if (Beall.workstation.fontSize > MinFontSize) {
        --Beall.workstation.fontSize;
        applyFontSize();
    }
}

void Tfrm_Main::applyFontSize()
{
    ApplyFontSize(this, Beall.workstation.fontSize);
}

bool Tfrm_Main::event(QEvent *event)
{
    // Hints of menu items and tool buttons go to their own panel instead of replacing the whole
    // status bar; leaving the item clears the panel.
    if (event->type() == QEvent::StatusTip) {
        m_panels->setText(StatusPanel::Hint, static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}
