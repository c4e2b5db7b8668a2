#include "frm_sql.h"

#include "common/cp1250.h"
#include "consolesession.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "db/dbroutines.h"
#include "db/script.h"
#include "gui/busycursor.h"
#include "gui/dialogfields.h"
#include "gui/formgeometry.h"
#include "gui/icons.h"
#include "gui/messagebox.h"
#include "output/frm_hatarolt.h"
#include "resultgridmodel.h"
#include "sqleditor.h"
#include "sqlfiles.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace frm_sql {

constexpr int ColumnWidth = 100;
constexpr int SqlPage = 0;
constexpr int ResultPage = 1;

QString noResultText()
{
    return u"Nincs megnyitott eredmény, nincs mit másolni vagy exportálni.\r\n"
           u"Egy szkript futtatása után a rács üres: előbb futtasson egy lekérdezést (F5 vagy F9)."_s;
}

} // namespace frm_sql

Tfrm_SQL::Tfrm_SQL(const ConnectionParams &params, QWidget *parent)
    : QDialog(parent), m_session(std::make_unique<ConsoleSession>(params)), m_query(&m_session->connection()),
      m_table(&m_session->connection(), QString())
{
    setObjectName(u"frm_SQL"_s);
    setWindowTitle(u"SQL lekérdezés"_s);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    resize(760, 540);
    buildActions();
    buildLayout();
    connect(&m_query, &Query::currentRowChanged, this, [this] { updatePosition(); });
    // Rows that arrive after the first ones are added below them in the grid.
    connect(&m_query, &Query::aboutToAppend, this, [this](int first, int last) {
        if (m_model->rows() == &m_query.result())
            m_model->beginAppend(first, last);
    });
    connect(&m_query, &Query::appended, this, [this] {
        if (m_model->rows() == &m_query.result())
            m_model->endAppend();
    });
}

Tfrm_SQL::~Tfrm_SQL()
{
    // The grid must not read rows that are going away; a job still running must end before the
    // window it reports to.
    m_model->showRows(nullptr);
    m_session.reset();
}

QAction *Tfrm_SQL::makeAction(ActionId id, const char *name, const QString &caption, const QIcon &icon,
                              const QList<QKeySequence> &keys, void (Tfrm_SQL::*work)())
{
    auto a = new QAction(icon, caption, this);
    a->setObjectName(QString::fromLatin1(name));
    a->setShortcuts(keys);
    a->setToolTip(caption);
    a->setStatusTip(caption);
    addAction(a);
    // An error that no step handles itself reaches the general error handler; the window stays.
    connect(a, &QAction::triggered, this, [this, work] {
        try {
            (this->*work)();
        } catch (...) {
            ShowCurrentException(this);
        }
    });
    m_actions[id] = a;
    return a;
}

void Tfrm_SQL::buildActions()
{
    QStyle *s = style();
    makeAction(New, "aUj", u"Új SQL file"_s, MakeIcon(IconId::New), {QKeySequence(Qt::CTRL | Qt::Key_N)},
               &Tfrm_SQL::newFile);
    makeAction(Open, "aMegnyit", u"Megnyit"_s, s->standardIcon(QStyle::SP_DialogOpenButton),
               {QKeySequence(Qt::CTRL | Qt::Key_O)}, &Tfrm_SQL::openFile);
    makeAction(Save, "aMent", u"Mentés"_s, s->standardIcon(QStyle::SP_DialogSaveButton),
               {QKeySequence(Qt::CTRL | Qt::Key_S)}, &Tfrm_SQL::saveFile);
    makeAction(Run, "aFuttat", u"Futtat"_s, s->standardIcon(QStyle::SP_MediaPlay),
               {QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_Return),
                QKeySequence(Qt::CTRL | Qt::Key_Enter)},
               &Tfrm_SQL::run);
    makeAction(RunQuery, "aEredmeny", u"Eredmény"_s, MakeIcon(IconId::View), {QKeySequence(Qt::Key_F9)},
               &Tfrm_SQL::runAsQuery);
    makeAction(Export, "aExport", u"Export"_s, MakeIcon(IconId::Export), {QKeySequence(Qt::CTRL | Qt::Key_E)},
               &Tfrm_SQL::exportResult);
    makeAction(Copy, "aMasol", u"Másol"_s, MakeIcon(IconId::Clipboard), {QKeySequence(Qt::Key_F3)},
               &Tfrm_SQL::copyResult);
    m_actions[Copy]->setToolTip(u"Eredmény másolása vágólapra"_s);
    m_actions[Copy]->setStatusTip(u"Eredmény másolása vágólapra"_s);
    makeAction(SwitchPage, "aTab", u"Tab"_s, QIcon(), {QKeySequence(Qt::CTRL | Qt::Key_Tab)},
               &Tfrm_SQL::switchPage);
    makeAction(Close, "aBezar", u"Bezár"_s, MakeIcon(IconId::Close), {}, &Tfrm_SQL::reject);
    makeAction(DeleteRow, "aSorTorol", u"Sor törlése"_s, MakeIcon(IconId::Delete),
               {QKeySequence(Qt::CTRL | Qt::Key_Delete)}, &Tfrm_SQL::deleteRow);
    makeAction(NewRow, "aSorUj", u"Új sor"_s, MakeIcon(IconId::New), {QKeySequence(Qt::Key_Insert)},
               &Tfrm_SQL::addRow);
    // Both need a dataset to work on; they stay enabled once one has been opened.
    m_actions[Export]->setEnabled(false);
    m_actions[Copy]->setEnabled(false);
    // Only a table gains and loses rows, and only through the grid.
    for (const ActionId id : {DeleteRow, NewRow}) {
        m_actions[id]->setEnabled(false);
        m_actions[id]->setVisible(false);
        removeAction(m_actions[id]);
    }
}

void Tfrm_SQL::showTableActions(bool shown)
{
    for (const ActionId id : {DeleteRow, NewRow}) {
        m_actions[id]->setEnabled(shown);
        m_actions[id]->setVisible(shown);
    }
}

void Tfrm_SQL::buildLayout()
{
    auto layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildMenus();
    layout->setMenuBar(m_menuBar);
    layout->addWidget(m_toolBar);
    buildPages();
    layout->addWidget(m_pages, 1);
    buildProgressPanel();
    layout->addWidget(m_progressPanel);
    buildStatusBar();
    layout->addWidget(m_statusBar);
}

void Tfrm_SQL::buildMenus()
{
    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(u"MainMenu1"_s);
    QMenu *fileMenu = m_menuBar->addMenu(u"Fájl"_s);
    fileMenu->addActions({m_actions[New], m_actions[Open], m_actions[Save], m_actions[Export]});
    fileMenu->addSeparator();
    fileMenu->addAction(m_actions[Close]);
    QMenu *sqlMenu = m_menuBar->addMenu(u"SQL"_s);
    sqlMenu->addAction(m_actions[Run]);

    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(u"ToolBar1"_s);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_toolBar->setIconSize(QSize(20, 20));
    m_toolBar->addActions({m_actions[New], m_actions[Open], m_actions[Save]});
    m_toolBar->addSeparator();
    m_toolBar->addActions({m_actions[Run], m_actions[RunQuery]});
    m_toolBar->addSeparator();
    m_toolBar->addActions({m_actions[Copy], m_actions[Export]});
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_actions[Close]);
}

// The SQL text and the result grid.
void Tfrm_SQL::buildPages()
{
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(u"PageControl1"_s);
    m_editor = new SqlEditor(m_pages);
    m_editor->setObjectName(u"Memo1"_s);
    m_editor->setContextMenuPolicy(Qt::CustomContextMenu);
    m_editorMenu = new QMenu(this);
    m_editorMenu->setObjectName(u"PopupMenu1"_s);
    m_editorMenu->addActions(
        {m_actions[Run], m_actions[RunQuery], m_actions[New], m_actions[Open], m_actions[Save]});
    connect(m_editor, &QsciScintilla::textChanged, this, [this] { m_textSaved = false; });
    connect(m_editor, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { m_editorMenu->popup(m_editor->mapToGlobal(at)); });
    m_pages->addTab(m_editor, u"SQL"_s);

    buildGrid();
    m_pages->addTab(m_grid, u"Eredmény"_s);
}

void Tfrm_SQL::buildProgressPanel()
{
    m_progressPanel = new QWidget(this);
    auto progressLayout = new QHBoxLayout(m_progressPanel);
    progressLayout->setContentsMargins(4, 2, 4, 2);
    m_progressBar = new QProgressBar(m_progressPanel);
    m_progressBar->setObjectName(u"ProgressBar1"_s);
    m_progressBar->setTextVisible(false);
    m_stopButton = new QPushButton(u"Megállít"_s, m_progressPanel);
    m_stopButton->setObjectName(u"btnMegallit"_s);
    connect(m_stopButton, &QPushButton::clicked, this, &Tfrm_SQL::stopRunning);
    progressLayout->addWidget(m_progressBar, 1);
    progressLayout->addWidget(m_stopButton);
    m_progressPanel->hide();
}

void Tfrm_SQL::buildStatusBar()
{
    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(u"StatusBar1"_s);
    m_statusBar->setSizeGripEnabled(true);
    m_positionLabel = new QLabel(m_statusBar);
    m_positionLabel->setObjectName(u"StatusPanel1"_s);
    m_positionLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_positionLabel->setMinimumWidth(150);
    m_statusBar->addWidget(m_positionLabel);
}

// The result page: the grid with its menu and keys, and its cell kept when the table is read again.
void Tfrm_SQL::buildGrid()
{
    m_grid = new QTableView(m_pages);
    m_grid->setObjectName(u"DBGrid1"_s);
    m_model = new ResultGridModel(this);
    m_grid->setModel(m_model);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->horizontalHeader()->setDefaultSectionSize(frm_sql::ColumnWidth);
    m_grid->horizontalHeader()->setResizeContentsPrecision(200);
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    for (const ActionId id : {NewRow, DeleteRow}) {
        m_grid->addAction(m_actions[id]);
        m_actions[id]->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    }
    m_grid->installEventFilter(this);
    m_gridMenu = new QMenu(this);
    m_gridMenu->setObjectName(u"PopupMenu2"_s);
    m_gridMenu->addActions({m_actions[Export], m_actions[NewRow], m_actions[DeleteRow]});
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { m_gridMenu->popup(m_grid->viewport()->mapToGlobal(at)); });
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { onGridRowChanged(current.row()); });
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        m_keptRow = m_grid->currentIndex().row();
        m_keptColumn = m_grid->currentIndex().column();
    });
    connect(m_model, &ResultGridModel::tableChanged, this, [this] {
        // The table was read again: back to the cell the user was on (the last row when the
        // rows got fewer).
        if (m_model->rowCount() > 0) {
            const int row = std::min(m_model->rowCount() - 1, std::max(0, m_keptRow));
            m_grid->setCurrentIndex(m_model->index(row, std::max(0, m_keptColumn)));
        }
        updatePosition();
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { updatePosition(); });
    connect(m_model, &ResultGridModel::tableWritten, this, [this] { readTable(m_table.tableName(), true); });
}

void Tfrm_SQL::showEvent(QShowEvent *event)
{
    if (!m_boundsLoaded) {
        m_boundsLoaded = true;
        LoadFormBounds(this);
    }
    QDialog::showEvent(event);
    m_pages->setCurrentIndex(frm_sql::SqlPage);
    m_editor->setFocus();
}

void Tfrm_SQL::done(int result)
{
    if (m_running) {
        m_closeWhenStopped = true;
        m_closeResult = result;
        stopRunning();
        return;
    }
    if (!mayClose())
        return;
    if (isVisible()) {
        try {
            SaveFormBounds(this);
        } catch (...) {
            ShowCurrentException(this);
        }
    }
    detachGrid();
    m_query.close();
    QDialog::done(result);
}

bool Tfrm_SQL::mayClose()
{
    if (!m_textSaved && !m_editor->text().isEmpty() &&
        !ConfirmBox(u"Az SQL szöveg nincs fájlba mentve, a bezárással elvész.\r\nBezárja az ablakot?"_s,
                    this))
        return false;
    try {
        if (!m_session->hasOpenTransaction())
            return true;
        if (ConfirmBox(u"Az SQL ablak kapcsolatán nyitott tranzakció van.\r\n"
                       u"Véglegesíti a módosításait (Igen), vagy visszavonja őket (Nem)?"_s,
                       this))
            m_session->commitTransaction();
        else
            m_session->rollbackTransaction();
    } catch (...) {
        ShowCurrentException(this);
    }
    return true;
}

void Tfrm_SQL::run()
{
    runPlan(PlanRun(m_editor->text(), m_editor->selectedText()), false);
}

void Tfrm_SQL::runAsQuery()
{
    runPlan(PlanQueryRun(m_editor->text(), m_editor->selectedText()), true);
}

void Tfrm_SQL::runPlan(const RunPlan &plan, bool narrowOnly)
{
    if (m_running)
        return;
    switch (plan.mode) {
    case RunMode::Table: openTable(plan.tableName); break;
    case RunMode::Query: openQuery(plan.sql, narrowOnly); break;
    case RunMode::Script: runScript(plan.lines); break;
    }
}

void Tfrm_SQL::detachGrid()
{
    m_model->showRows(nullptr);
    showTableActions(false);
}

void Tfrm_SQL::openTable(const QString &name)
{
    detachGrid();
    m_shown = Shown::Table;
    m_table.close();
    updatePosition();
    readTable(name, false);
}

// The table is read into a dataset of its own on the console's thread; the grid keeps showing
// the rows it has until the new ones are put in place.
void Tfrm_SQL::readTable(const QString &name, bool again)
{
    m_progressBar->setRange(0, 0); // busy: how long is not known
    setRunning(true);
    m_session->post([this, name, again](Connection &con) {
        auto table = std::make_shared<Table>(&con, name);
        std::exception_ptr failure;
        try {
            table->open();
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(
            this, [this, table, failure, again] { tableRead(table, failure, again); }, Qt::QueuedConnection);
    });
}

void Tfrm_SQL::tableRead(const std::shared_ptr<Table> &table, std::exception_ptr failure, bool again)
{
    runEnded();
    if (failure) {
        try {
            std::rethrow_exception(failure);
        } catch (...) {
            ShowCurrentException(this);
        }
        return;
    }
    if (again) {
        m_model->replaceTable([this, table] { m_table = std::move(*table); });
        return;
    }
    m_table = std::move(*table);
    m_model->showTable(&m_table);
    showTableActions(true);
    showResult();
    setColumnWidths(true);
    datasetOpened();
}

void Tfrm_SQL::openQuery(const QString &sql, bool narrowOnly)
{
    detachGrid();
    m_shown = Shown::Query;
    m_query.close();
    m_query.sql().clear();
    m_query.setSql(sql);
    m_narrowOnly = narrowOnly;
    m_firstPart = true;
    updatePosition();
    m_progressBar->setRange(0, 0);
    setRunning(true);
    m_session->post([this, sql](Connection &con) {
        try {
            ReadQueryInParts(con, sql, [this](ResultSet part, bool last) {
                auto rows = std::make_shared<ResultSet>(std::move(part));
                QMetaObject::invokeMethod(
                    this, [this, rows, last] { queryPartArrived(rows, last); }, Qt::QueuedConnection);
            });
        } catch (const DbError &error) {
            QMetaObject::invokeMethod(
                this,
                [this, message = error.message(), number = error.number()] { queryFailed(message, number); },
                Qt::QueuedConnection);
        }
    });
}

void Tfrm_SQL::queryPartArrived(const std::shared_ptr<ResultSet> &part, bool last)
{
    if (m_firstPart) {
        m_firstPart = false;
        m_query.assign(std::move(*part), 0);
        m_model->showRows(&m_query.result());
        showResult();
        setColumnWidths(m_narrowOnly);
        datasetOpened();
    } else {
        m_query.append(std::move(*part));
        updatePosition();
    }
    if (last) {
        m_query.squeeze();
        runEnded();
    }
}

void Tfrm_SQL::queryFailed(const QString &message, unsigned number)
{
    const bool stopped = m_session->isStoppedBy(number);
    runEnded();
    // Stopped by the user: the rows that came stay, without a message.
    if (!stopped)
        ShowErrorBox(u"SQL hiba:\r\n"_s + message, this);
}

void Tfrm_SQL::showResult()
{
    m_pages->setCurrentIndex(frm_sql::ResultPage);
    if (m_model->rowCount() > 0)
        m_grid->setCurrentIndex(m_model->index(0, 0));
    updatePosition();
}

void Tfrm_SQL::setColumnWidths(bool narrowOnly)
{
    QHeaderView *header = m_grid->horizontalHeader();
    for (int c = 0; c < m_model->columnCount(); ++c) {
        if (!narrowOnly) {
            header->resizeSection(c, frm_sql::ColumnWidth);
            continue;
        }
        const QAbstractItemView *view = m_grid; // public there
        const int natural = std::max(view->sizeHintForColumn(c), header->sectionSizeHint(c));
        header->resizeSection(c, std::min(natural, frm_sql::ColumnWidth));
    }
}

void Tfrm_SQL::datasetOpened()
{
    m_datasetOpened = true;
    m_actions[Export]->setEnabled(true);
    m_actions[Copy]->setEnabled(true);
}

void Tfrm_SQL::runScript(const QStringList &lines)
{
    detachGrid();
    m_shown = Shown::Query;
    m_query.close();
    m_query.sql().clear();
    updatePosition();

    m_progressBar->setRange(0, std::max(1, int(lines.size())));
    m_progressBar->setValue(0);
    setRunning(true);
    m_session->post([this, lines](Connection &con) {
        ScriptRunner runner;
        runner.watchStop(&m_session->stopFlag());
        runner.setPulse([this](int line, int) {
            QMetaObject::invokeMethod(
                this, [this, line] { m_progressBar->setValue(line); }, Qt::QueuedConnection);
        });
        ScriptRunner::Outcome outcome;
        std::exception_ptr failure;
        try {
            outcome = runner.run(con, lines);
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(
            this, [this, outcome, failure] { scriptEnded(outcome, failure); }, Qt::QueuedConnection);
    });
}

void Tfrm_SQL::scriptEnded(const ScriptRunner::Outcome &outcome, std::exception_ptr failure)
{
    m_progressBar->setValue(m_progressBar->maximum());
    const bool closing = m_closeWhenStopped;
    runEnded();
    if (failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const ScriptStatementError &error) {
            ShowErrorBox(u"Hiba: "_s + error.message() + u"\r\n"_s + error.location(), this);
        } catch (const DbError &error) {
            ShowErrorBox(u"Hiba: "_s + error.message(), this);
        } catch (...) {
            ShowCurrentException(this);
        }
    } else if (!closing) {
        ShowInfoBox(ScriptDoneText(outcome), this);
    }
}

// The run is over: the window takes input again, and a close asked for meanwhile is done now.
void Tfrm_SQL::runEnded()
{
    setRunning(false);
    m_progressPanel->hide();
    if (m_closeWhenStopped) {
        m_closeWhenStopped = false;
        done(m_closeResult);
    }
}

void Tfrm_SQL::setRunning(bool running)
{
    m_running = running;
    // The window stays painted and the stop button works while something runs; nothing else
    // may start meanwhile (closing waits for the run to stop).
    for (QAction *a : m_actions) {
        if (a != m_actions[Close])
            a->setEnabled(!running);
    }
    m_actions[Export]->setEnabled(!running && m_datasetOpened);
    m_actions[Copy]->setEnabled(!running && m_datasetOpened);
    m_actions[DeleteRow]->setEnabled(!running && m_shown == Shown::Table);
    m_actions[NewRow]->setEnabled(!running && m_shown == Shown::Table);
    m_editor->setReadOnly(running);
    m_model->setReadOnly(running);
    m_stopButton->setEnabled(running);
    if (running) {
        m_progressPanel->show();
        m_pages->setCursor(Qt::BusyCursor);
    } else {
        m_pages->unsetCursor();
    }
}

void Tfrm_SQL::stopRunning()
{
    m_stopButton->setEnabled(false);
    if (m_running)
        m_session->stop();
}

bool Tfrm_SQL::shownDatasetOpen() const
{
    switch (m_shown) {
    case Shown::Query: return m_query.isOpen();
    case Shown::Table: return m_table.state() != Table::State::Closed;
    case Shown::Nothing: break;
    }
    return false;
}

void Tfrm_SQL::copyResult()
{
    if (!shownDatasetOpen()) {
        ShowWarningBox(frm_sql::noResultText(), this);
        return;
    }
    const QList<QByteArray> lines =
        m_shown == Shown::Query ? DataSetToLines(m_query, true, QString(), u'\t', false, false)
                                : DataSetToLines(m_table.rows(), true, QString(), u'\t', false, false);
    QByteArray text;
    for (const QByteArray &line : lines)
        text += line + "\r\n";
    QApplication::clipboard()->setText(FromCp1250(text));
}

void Tfrm_SQL::exportResult()
{
    if (!shownDatasetOpen()) {
        ShowWarningBox(frm_sql::noResultText(), this);
        return;
    }
    const int fontSize = font().pointSize();
    if (m_shown == Shown::Query)
        OpenExportWindow(m_query, QString(), fontSize, this);
    else
        OpenExportWindow(m_table.rows(), QString(), fontSize, this);
}

void Tfrm_SQL::switchPage()
{
    const int page = m_pages->currentIndex() == frm_sql::SqlPage ? frm_sql::ResultPage : frm_sql::SqlPage;
    m_pages->setCurrentIndex(page);
    if (page == frm_sql::SqlPage)
        m_editor->setFocus();
    else
        m_grid->setFocus();
}

void Tfrm_SQL::deleteRow()
{
    const int row = m_grid->currentIndex().row();
    if (m_shown != Shown::Table || row < 0 || row >= m_table.rowCount())
        return;
    if (!ConfirmBox(u"Valóban töröljem a sort?"_s, this))
        return;
    m_model->removeTableRow(row);
}

void Tfrm_SQL::addRow()
{
    if (m_shown != Shown::Table)
        return;
    const int row = m_model->addNewRow();
    if (row < 0)
        return;
    m_pages->setCurrentIndex(frm_sql::ResultPage);
    m_grid->setFocus();
    m_grid->setCurrentIndex(m_model->index(row, std::max(0, m_grid->currentIndex().column())));
}

void Tfrm_SQL::postNewRow()
{
    try {
        m_model->postNewRow();
    } catch (...) {
        ShowCurrentException(this);
    }
}

bool Tfrm_SQL::eventFilter(QObject *watched, QEvent *event)
{
    // Down on the last row of a table adds a row, as in the grids the console comes from.
    if (watched == m_grid && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Down &&
        static_cast<QKeyEvent *>(event)->modifiers() == Qt::NoModifier && m_shown == Shown::Table &&
        !m_running && !m_model->hasNewRow() && m_grid->currentIndex().row() == m_model->rowCount() - 1) {
        addRow();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void Tfrm_SQL::newFile()
{
    m_editor->clear();
}

void Tfrm_SQL::openFile()
{
    QDir().mkpath(SqlFolder());
    QFileDialog dialog(this, u"SQL megnyitás"_s);
    dialog.setObjectName(u"OpenDialog1"_s);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(u"SQL állományok (*.sql)"_s);
    dialog.setDefaultSuffix(u"sql"_s);
    dialog.setDirectory(SqlFolder());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    loadFile(dialog.selectedFiles().constFirst());
}

void Tfrm_SQL::loadFile(const QString &path)
{
    // A backup script of a large register takes seconds to load.
    const BusyCursor busy;
    m_editor->setText(ReadSqlFile(path, &m_fileEncoding));
    m_fileName = path;
    m_textSaved = true;
}

void Tfrm_SQL::saveFile()
{
    QDir().mkpath(SqlFolder());
    QFileDialog dialog(this, u"SQL mentése"_s);
    dialog.setObjectName(u"SaveDialog1"_s);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(u"SQL file-ok (*.sql)"_s);
    dialog.setDefaultSuffix(u"sql"_s);
    dialog.setDirectory(SqlFolder());
    if (!m_fileName.isEmpty())
        dialog.selectFile(m_fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    saveFileAs(dialog.selectedFiles().constFirst());
}

void Tfrm_SQL::saveFileAs(const QString &path)
{
    // Saved back in the encoding it was read in: a UTF-8 file stays UTF-8.
    WriteSqlFile(path, m_editor->text(), m_fileEncoding);
    m_fileName = path;
    m_textSaved = true;
}

void Tfrm_SQL::onGridRowChanged(int row)
{
    if (m_model->hasNewRow() && row != m_model->newRowIndex()) {
        // Left the new row: it is written now (later, from the event loop: the grid is still
        // moving its cursor, and writing reads the table again).
        QMetaObject::invokeMethod(this, &Tfrm_SQL::postNewRow, Qt::QueuedConnection);
    }
    if (m_shown == Shown::Query && m_query.isOpen() && row >= 0 && row != m_query.recNo())
        m_query.setRecNo(row);
    updatePosition();
}

void Tfrm_SQL::updatePosition()
{
    switch (m_shown) {
    case Shown::Query:
        if (m_query.isOpen()) {
            // The grid follows the query when the query moves by itself (a copy walks it to
            // its end).
            const int row = m_query.recNo();
            if (row >= 0 && row != m_grid->currentIndex().row() && row < m_model->rowCount())
                m_grid->setCurrentIndex(m_model->index(row, std::max(0, m_grid->currentIndex().column())));
            m_positionLabel->setText(RecordPositionText(m_query));
        } else {
            m_positionLabel->clear();
        }
        return;
    case Shown::Table:
        if (m_table.state() != Table::State::Closed) {
            m_positionLabel->setText(RecordPositionText(m_table.rowCount(), m_grid->currentIndex().row()));
            return;
        }
        break;
    case Shown::Nothing: break;
    }
    m_positionLabel->clear();
}

void OpenSqlConsole(const ConnectionParams &params, int fontSize, QWidget *parent)
{
    std::unique_ptr<Tfrm_SQL> window;
    try {
        window = std::make_unique<Tfrm_SQL>(params, parent);
    } catch (const DbError &error) {
        ShowErrorBox(u"Sikertelen kapcsolódás: "_s + error.message(), parent);
        return;
    }
    ApplyFontSize(window.get(), fontSize);
    window->exec();
}
