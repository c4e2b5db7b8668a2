#include "app/mainregister.h"

#include "app/beall.h"
#include "app/frm_main.h"
#include "app/mainactions.h"
#include "app/statuspanels.h"
#include "db/dbroutines.h"
#include "gui/busycursor.h"
#include "history/historyactions.h"
#include "history/writerline.h"
#include "masterdata/frm_torzsadat.h"
#include "output/frm_hatarolt.h"
#include "output/printing.h"
#include "register/attachments.h"
#include "register/flowtabbar.h"
#include "register/perioddialogs.h"
#include "register/registerlistreader.h"
#include "register/registerquery.h"
#include "register/registerview.h"
#include "register/resolutioneditor.h"
#include "register/statusdelete.h"

#include <QAction>
#include <QActionGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

using namespace Qt::StringLiterals;

namespace {
const QString NoFileText = u"Nincs file kiválasztva"_s;
}

const QString MainRegister::RegisterExportFileName = u"Iktato.csv"_s;

MainRegister::MainRegister(Tfrm_Main &window, Connection &connection)
    : QObject(&window), m_window(window), m_connection(connection), m_view(new RegisterView(&connection))
{
    // The search panel of the header row: the search box, then the two-line filter label.
    auto panel = new QWidget;
    auto layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    m_view->searchEdit()->setMinimumWidth(220);
    m_view->searchEdit()->setPlaceholderText(u"Keresés"_s);
    layout->addWidget(m_view->searchEdit());
    layout->addSpacing(12);
    layout->addWidget(m_view->filterLabel());
    window.setSearchPanel(panel);
    window.setRegisterView(m_view);

    m_view->setPeriodPicker(
        [this](QDate &from, QDate &to) { return PickPeriod(from, to, QString(), &m_window); });
    connect(m_view, &RegisterView::recordChanged, this, &MainRegister::onRecordChanged);
    connect(m_view, &RegisterView::sortMessage, this,
            [this](const QString &text) { m_window.statusPanels().setText(StatusPanel::SortMessage, text); });
    connect(m_view, &RegisterView::contextMenuRequested, this,
            [this](const QPoint &pos) { m_window.gridPopup()->popup(pos); });
    connect(m_view, &RegisterView::editRequested, this,
            [this] { m_window.actions().action(MainAction::Edit)->trigger(); });
    connect(m_view, &RegisterView::panelShownChanged, m_window.actions().action(MainAction::ResolutionPanel),
            &QAction::setChecked);
    m_openExportWindow = [this](Query &query) {
        OpenExportWindow(query, QString(), Beall.workstation.fontSize, &m_window);
    };
    bindActions();
}

void MainRegister::bindActions()
{
    MainActions &a = m_window.actions();
    a.bind(MainAction::Refresh, [this] { m_view->refresh(); });
    a.bind(MainAction::NoFilter, [this] { periodFilterOff(); });
    a.bind(MainAction::PeriodFilter, [this] { periodFilterOn(); });
    a.bind(MainAction::ResolutionPanel, [this] {
        m_view->setPanelShown(m_window.actions().action(MainAction::ResolutionPanel)->isChecked());
    });
    a.bind(MainAction::New, [this] { newResolution(); });
    a.bind(MainAction::Edit, [this] { editResolution(); });
    a.bind(MainAction::Status, [this] { changeStatus(); });
    a.bind(MainAction::Delete, [this] { deleteResolution(); });
    a.bind(MainAction::ViewFile1, [this] { viewAttachment(1); });
    a.bind(MainAction::ViewFile2, [this] { viewAttachment(2); });
    a.bind(MainAction::ViewFile3, [this] { viewAttachment(3); });
    a.bind(MainAction::Export, [this] { exportRegister(); });
    a.bind(MainAction::Print, [this] { printResolution(); });
    a.bind(MainAction::PrintList, [this] { printList(); });
    InstallHistoryActions(&m_window, m_window.gridPopup(), m_connection,
                          {[this] { return m_view->currentId(); }, [this] { return m_view->panelHeader()->text(); },
                           [] { return Beall.documentStore; }, [this](qint64 id) { m_view->refreshAndLocate(id); }});
    AttachWriterLine(*m_view, m_connection);
}

void MainRegister::start()
{
    m_view->start();
}

void MainRegister::onRecordChanged(const QString &position, const QString &file1, const QString &file2,
                                   const QString &file3)
{
    MainActions &a = m_window.actions();
    StatusPanels &panels = m_window.statusPanels();
    panels.setText(StatusPanel::Position, position);
    const QString files[3] = {file1, file2, file3};
    QAction *views[3] = {a.action(MainAction::ViewFile1), a.action(MainAction::ViewFile2),
                         a.action(MainAction::ViewFile3)};
    for (int i = 0; i < 3; ++i) {
        panels.setText(StatusPanels::attachment(i + 1), files[i]);
        views[i]->setText(files[i].isEmpty() ? NoFileText : files[i]);
    }
}

void MainRegister::periodFilterOn()
{
    MainActions &a = m_window.actions();
    const bool wasOn = m_view->periodFilterActive();
    const bool confirmed = m_view->filterByPeriod(ServerDate(m_connection));
    // A cancelled dialog leaves the previous filter, and its mark, in force.
    a.action(confirmed || wasOn ? MainAction::PeriodFilter : MainAction::NoFilter)->setChecked(true);
}

void MainRegister::periodFilterOff()
{
    m_view->clearPeriodFilter();
    m_window.actions().action(MainAction::NoFilter)->setChecked(true);
}

QString MainRegister::currentText(const QString &field) const
{
    return m_view->registerQuery().currentText(field);
}

void MainRegister::newResolution()
{
    const int committee =
        OpenMasterData(m_connection, m_view->registerQuery().committeeId(), true, u"csoport"_s,
                       u"Bizottság"_s, Beall.masterDataRight, Beall.workstation.fontSize, &m_window);
    if (committee < 0)
        return;
    QDate date = m_lastEntryDate;
    if (!PickDate(date, QString(), &m_window))
        return;
    m_lastEntryDate = date;
    const int saved = NewResolution(m_connection, committee, date, Beall.documentStore,
                                    Beall.workstation.fontSize, &m_window);
    m_view->refreshAndLocate(saved);
}

void MainRegister::editResolution()
{
    const qint64 id = m_view->currentId();
    if (id <= 0)
        return;
    const int saved = EditResolution(m_connection, int(id), -1, QDate::currentDate(), Beall.documentStore,
                                     Beall.workstation.fontSize, &m_window);
    m_view->refreshAndLocate(saved);
}

void MainRegister::changeStatus()
{
    // An empty register has no status either: the user is told there is nothing to set.
    const qint64 id = m_view->currentId();
    const Query &query = m_view->registerQuery().query();
    const QVariant status = id > 0 ? query.value(u"statusz"_s) : QVariant();
    if (ChangeResolutionStatus(m_connection, int(id), status, &m_window))
        m_view->refreshAndLocate(id);
}

void MainRegister::deleteResolution()
{
    if (DeleteResolution(m_connection, int(m_view->currentId()), &m_window))
        m_view->reopen();
}

void MainRegister::viewAttachment(int slot)
{
    ViewAttachment(Beall.documentStore, currentText(StoredNameColumn(slot)),
                   currentText(SourceNameColumn(slot)), &m_window);
}

void MainRegister::exportRegister()
{
    // The grid's rows hold only the columns it shows; the export offers every column.
    RegisterQuery &registerQuery = m_view->registerQuery();
    Query rows(&m_connection);
    {
        const BusyCursor busy;
        registerQuery.openFullRows(rows);
    }
    // The register stays where it was unless an export ran: then on the record it ended on.
    if (OpenExportWindow(rows, RegisterExportFileName, Beall.workstation.fontSize, &m_window) &&
        rows.recNo() >= 0)
        registerQuery.locateId(rows.value(u"iktato"_s).toLongLong());
}

void MainRegister::printResolution()
{
    PrintResolution(m_connection, int(m_view->currentId()),
                    PrintSettings{Beall.workstation.printer, m_openExportWindow}, &m_window);
}

void MainRegister::printList()
{
    RegisterQuery &listed = m_view->registerQuery();
    RegisterListReader rows(m_connection, listed.statement(), listed.firstScreenfulIsQuick());
    PrintList(m_connection, rows, m_view->yearTabs()->currentText(),
              PrintSettings{Beall.workstation.printer, m_openExportWindow}, &m_window);
}
