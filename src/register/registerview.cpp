#include "registerview.h"

#include "common/dates.h"
#include "db/dberror.h"
#include "db/dbroutines.h"
#include "flowtabbar.h"
#include "gui/busycursor.h"
#include "gui/gridsearch.h"
#include "gui/icons.h"
#include "gui/messagebox.h"
#include "gui/sortcolumn.h"
#include "registercolumns.h"
#include "registermodel.h"
#include "registerquery.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace registerview {

constexpr int YearPictures = 26;
constexpr int CommitteePictures = 16;

// Small 16x16 tab pictures drawn here: a calendar leaf for years, a meeting table for
// committees, each in its own colour.
QIcon tabPicture(int index, int count, bool calendar)
{
    QPixmap pixmap = SharpPixmap(16, 16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colour =
        QColor::fromHsv((index * 360 / qMax(count, 1) + (calendar ? 200 : 20)) % 360, 150, 200);
    if (calendar) {
        p.setPen(colour.darker(150));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(1.5, 2.5, 13, 12), 2, 2);
        p.setBrush(colour);
        p.drawRect(QRectF(1.5, 2.5, 13, 4));
        p.setPen(colour.darker(170));
        for (int x = 4; x <= 12; x += 4)
            p.drawPoint(x, 10);
    } else {
        p.setPen(colour.darker(160));
        p.setBrush(colour);
        p.drawEllipse(QRectF(1.5, 5.5, 13, 7));
        p.setBrush(colour.lighter(130));
        p.drawEllipse(QRectF(5, 1.5, 6, 5));
    }
    return QIcon(pixmap);
}

QList<QIcon> tabPictures(int tabs, int pictures, bool calendar)
{
    QList<QIcon> icons;
    for (int index : TabPictureIndices(tabs, pictures))
        icons.append(index < 0 ? QIcon() : tabPicture(index, pictures, calendar));
    return icons;
}

// The highlight of the current row or the selected text keeps its colour while the focus is
// elsewhere.
void keepHighlightWhenInactive(QWidget *widget)
{
    QPalette palette = widget->palette();
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    widget->setPalette(palette);
}

// The register grid. The current record keeps its highlight whatever is clicked: the empty
// area below the rows has no record to select, and a Ctrl+click would only take the highlight
// away from the record that stays current.
class RegisterGrid : public QTableView
{
protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event) const override
    {
        if (!index.isValid())
            return QItemSelectionModel::NoUpdate;
        const QItemSelectionModel::SelectionFlags command = QTableView::selectionCommand(index, event);
        if (command & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle))
            return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
        return command;
    }
};

// The row indicator left of the grid: a small arrow on the current record's row.
class RowIndicator : public QHeaderView
{
public:
    explicit RowIndicator(QTableView *grid) : QHeaderView(Qt::Vertical, grid), m_grid(grid) {}

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override
    {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        if (m_grid->currentIndex().row() != logicalIndex || rect.width() < 6)
            return;
        const int half = qMin(4, rect.height() / 2 - 1);
        const int left = rect.left() + (rect.width() - half - 1) / 2;
        const int middle = rect.center().y();
        const QPoint arrow[3] = {{left, middle - half}, {left + half, middle}, {left, middle + half}};
        painter->save();
        // The section painting leaves a clip that hides anything drawn after it.
        painter->setClipRect(rect);
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(palette().color(QPalette::ButtonText));
        painter->setBrush(palette().color(QPalette::ButtonText));
        painter->drawPolygon(arrow, 3);
        painter->restore();
    }

private:
    QTableView *m_grid;
};

} // namespace registerview

QList<int> TabPictureIndices(int tabs, int pictures)
{
    const int years = tabs - 1;
    const int threshold = pictures - 1;
    QList<int> kept;
    for (int i = 0; i < pictures; ++i) {
        if (years < threshold && i >= 1 && i <= threshold - years)
            continue;
        kept.append(i);
    }
    QList<int> result;
    for (int k = 0; k < tabs; ++k)
        result.append(k < kept.size() ? kept.at(k) : -1);
    return result;
}

RegisterView::RegisterView(Connection *connection, QWidget *parent)
    : QWidget(parent), m_register(new RegisterQuery(connection, this)),
      m_model(new RegisterModel(&m_register->query(), this)), m_searchEdit(new QLineEdit),
      m_filterLabel(new QLabel), m_committeeTabs(new FlowTabBar), m_yearTabs(new FlowTabBar),
      m_grid(new registerview::RegisterGrid), m_splitter(new QSplitter(Qt::Horizontal)), m_panel(new QWidget),
      m_panelHeader(new QLabel(u"Határozat"_s)), m_panelCloseButton(new QToolButton),
      m_memo(new QPlainTextEdit)
{
    m_searchEdit->setObjectName(u"Edit1"_s);
    m_searchEdit->setClearButtonEnabled(true);
    m_searchEdit->installEventFilter(this);
    m_filterLabel->setObjectName(u"Label1"_s);
    m_committeeTabs->setObjectName(u"TabControl2"_s);
    m_yearTabs->setObjectName(u"TabControl1"_s);
    m_yearTabs->setTabWidth(100);
    setUpGrid();
    setUpPanel();

    m_splitter->setObjectName(u"Splitter1"_s);
    m_splitter->addWidget(m_grid);
    m_splitter->addWidget(m_panel);
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 0);
    m_splitter->setChildrenCollapsible(false);
    auto layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_committeeTabs);
    layout->addWidget(m_splitter, 1);
    layout->addWidget(m_yearTabs);

    connectSignals();
}

void RegisterView::setUpGrid()
{
    m_grid->setObjectName(u"DBGrid1"_s);
    m_grid->setModel(m_model);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setWordWrap(false);
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    m_grid->horizontalHeader()->setSectionsClickable(true);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->horizontalHeader()->setStretchLastSection(false);
    m_grid->setVerticalHeader(new registerview::RowIndicator(m_grid));
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->verticalHeader()->setFixedWidth(14);
    m_grid->installEventFilter(this);
    registerview::keepHighlightWhenInactive(m_grid);
    HighlightSortColumn(m_grid, 0);
}

// The resolution panel: the record's heading with a close button above its text.
void RegisterView::setUpPanel()
{
    m_panel->setObjectName(u"Panel2"_s);
    m_panelHeader->setObjectName(u"Panel3"_s);
    QFont bold = m_panelHeader->font();
    bold.setBold(true);
    m_panelHeader->setFont(bold);
    m_panelHeader->setWordWrap(true);
    m_panelHeader->setMargin(4);
    m_panelCloseButton->setObjectName(u"SpeedButton1"_s);
    m_panelCloseButton->setAutoRaise(true);
    m_panelCloseButton->setText(u"✕"_s);
    m_panelCloseButton->setToolTip(u"Határozat panel bezárása"_s);
    m_memo->setObjectName(u"DBMemo1"_s);
    m_memo->setReadOnly(true);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The occurrence a search selected stays visible while the grid has the focus.
    registerview::keepHighlightWhenInactive(m_memo);

    auto header = new QWidget;
    header->setAutoFillBackground(true);
    header->setBackgroundRole(QPalette::Button);
    auto headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(2, 2, 2, 2);
    headerLayout->addWidget(m_panelHeader, 1);
    headerLayout->addWidget(m_panelCloseButton, 0, Qt::AlignTop);
    auto panelLayout = new QVBoxLayout(m_panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(0);
    panelLayout->addWidget(header);
    panelLayout->addWidget(m_memo, 1);
}

void RegisterView::connectSignals()
{
    connect(m_yearTabs, &FlowTabBar::currentChanged, this, &RegisterView::onYearTabChanged);
    connect(m_committeeTabs, &FlowTabBar::currentChanged, this, &RegisterView::onCommitteeTabChanged);
    connect(m_searchEdit, &QLineEdit::textChanged, this, &RegisterView::onSearchTextChanged);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &RegisterView::sortByColumn);
    connect(m_grid, &QTableView::doubleClicked, this, &RegisterView::editRequested);
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { emit contextMenuRequested(m_grid->viewport()->mapToGlobal(pos)); });
    connect(m_panelCloseButton, &QToolButton::clicked, this, [this] { setPanelShown(false); });
    connect(m_splitter, &QSplitter::splitterMoved, this, &RegisterView::recomputeColumnWidths);

    connect(m_register, &RegisterQuery::applied, this, &RegisterView::onReadingApplied);
    connect(m_register, &RegisterQuery::failed, this, &RegisterView::onReadingFailed);
    // The rows stay usable while the server works; the pointer tells that newer ones are coming.
    connect(m_register, &RegisterQuery::busyChanged, this, [this](bool busy) {
        if (busy)
            m_grid->viewport()->setCursor(Qt::BusyCursor);
        else
            m_grid->viewport()->unsetCursor();
    });
    Query &query = m_register->query();
    connect(&query, &Query::reset, this, &RegisterView::onQueryReset);
    connect(&query, &Query::currentRowChanged, this, &RegisterView::onCurrentRowChanged);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &RegisterView::onGridCurrentRowChanged);
}

void RegisterView::onGridCurrentRowChanged(const QModelIndex &current)
{
    m_grid->verticalHeader()->viewport()->update();
    if (!m_syncing && current.isValid())
        m_register->query().setRecNo(current.row());
}

RegisterView::~RegisterView()
{
    // The search box and the filter label live wherever the main window put them; ones never
    // placed anywhere are still ours.
    if (m_searchEdit && !m_searchEdit->parent())
        delete m_searchEdit;
    if (m_filterLabel && !m_filterLabel->parent())
        delete m_filterLabel;
}

void RegisterView::start()
{
    const BusyCursor busy;
    const QStringList years = m_register->loadYearTabs();
    const QStringList committees = m_register->loadCommitteeTabs();
    {
        const QSignalBlocker blockYears(m_yearTabs);
        const QSignalBlocker blockCommittees(m_committeeTabs);
        m_yearTabs->setTabs(years,
                            registerview::tabPictures(int(years.size()), registerview::YearPictures, true));
        m_committeeTabs->setTabs(
            committees,
            registerview::tabPictures(int(committees.size()), registerview::CommitteePictures, false));
    }
    m_register->start(years.first(), committees.first(), committees.size() == 1);
    recomputeColumnWidths();
}

void RegisterView::onYearTabChanged()
{
    clearSearchQuietly();
    m_register->setYearTab(m_yearTabs->currentText());
}

void RegisterView::onCommitteeTabChanged()
{
    const bool isAll = m_committeeTabs->currentIndex() == m_committeeTabs->count() - 1;
    clearSearchQuietly();
    m_register->setCommitteeTab(m_committeeTabs->currentText(), isAll);
    recomputeColumnWidths();
}

void RegisterView::onSearchTextChanged()
{
    // Keystrokes that arrive while a query runs are folded into one search for the newest
    // text: the search runs once the queued keys have been handled.
    if (m_searchPending)
        return;
    m_searchPending = true;
    QTimer::singleShot(0, this, [this] {
        if (m_searchPending)
            runSearch();
    });
}

void RegisterView::runSearch()
{
    m_searchPending = false;
    m_searchText = m_searchEdit->text();
    m_searchGeneration = m_register->search(m_searchText);
}

void RegisterView::onReadingApplied(quint64 generation)
{
    // The rows are complete: the panel and the position follow the current record again.
    if (m_panelWaiting)
        onCurrentRowChanged(m_register->query().recNo());
    if (m_lastRowWanted) {
        m_lastRowWanted = false;
        const int last = m_model->rowCount() - 1;
        if (last >= 0)
            m_grid->setCurrentIndex(m_model->index(last, qMax(0, m_grid->currentIndex().column())));
    }
    if (generation == m_searchGeneration && !m_searchText.isEmpty())
        selectInMemo(m_searchText);
    // After the record was found again, so that the message stays until the user moves on.
    if (generation == m_sortGeneration)
        emit sortMessage(m_sortMessage);
}

void RegisterView::onReadingFailed(const QString &message, unsigned number)
{
    ShowException(DbError(message, number), window());
}

void RegisterView::selectInMemo(const QString &text)
{
    const QString body = m_memo->toPlainText();
    const qsizetype at = body.indexOf(text, 0, Qt::CaseSensitive);
    if (at < 0)
        return;
    QTextCursor cursor(m_memo->document());
    cursor.setPosition(int(at));
    cursor.setPosition(int(at + text.size()), QTextCursor::KeepAnchor);
    m_memo->setTextCursor(cursor);
}

// Tab changes and the period actions empty the search box and then open the query with their
// own conditions: a search for the empty text in between would only run the query twice.
void RegisterView::clearSearchQuietly()
{
    const QSignalBlocker block(m_searchEdit.data());
    m_searchEdit->clear();
    m_searchPending = false;
}

bool RegisterView::periodFilterActive() const
{
    return m_register->hasPeriod();
}

bool RegisterView::filterByPeriod(QDate today)
{
    QDate from = today;
    QDate to = today;
    const bool confirmed = m_periodPicker && m_periodPicker(from, to);
    // A cancelled dialog leaves the period in force but still empties the search.
    clearSearchQuietly();
    if (confirmed) {
        m_filterLabel->setText(u"Szűrés:\n"_s + PeriodText(from, to));
        m_register->setPeriod(from, to);
    } else {
        m_register->reapply();
    }
    return confirmed;
}

void RegisterView::clearPeriodFilter()
{
    clearSearchQuietly();
    m_filterLabel->clear();
    m_register->clearPeriod();
}

void RegisterView::refresh()
{
    m_register->refresh();
}

void RegisterView::reopen()
{
    m_register->reopenAsIs();
}

void RegisterView::refreshAndLocate(qint64 recordId)
{
    m_register->refreshAndLocate(recordId);
}

qint64 RegisterView::currentId() const
{
    return m_register->currentId();
}

bool RegisterView::isBusy() const
{
    return m_searchPending || m_register->isBusy();
}

bool RegisterView::showsNewestRows() const
{
    return !m_searchPending && m_register->hasNewestRows();
}

void RegisterView::sortByColumn(int column)
{
    const QString field = m_model->fieldName(column);
    if (field.isEmpty())
        return;
    m_sortMessage = u"Sorrend: "_s + m_model->headerData(column, Qt::Horizontal).toString();
    m_sortGeneration = m_register->sortBy(column == RegisterModel::ColNumber ? u"sorrend"_s : field);
    m_searchEdit->setFocus();
    HighlightSortColumn(m_grid, column);
    m_grid->viewport()->update();
}

void RegisterView::onQueryReset()
{
    m_lastRowWanted = false;
    const int row = m_register->query().recNo();
    m_syncing = true;
    if (row >= 0)
        m_grid->setCurrentIndex(m_model->index(row, qMax(0, m_grid->currentIndex().column())));
    m_syncing = false;
}

void RegisterView::onCurrentRowChanged(int row)
{
    if (row >= 0 && m_grid->currentIndex().row() != row) {
        m_syncing = true;
        m_grid->setCurrentIndex(m_model->index(row, qMax(0, m_grid->currentIndex().column())));
        m_grid->scrollTo(m_model->index(row, 0));
        m_syncing = false;
    }
    const Query &q = m_register->query();
    const bool has = q.isOpen() && row >= 0;
    // While the rest of the rows is on its way the position is not final, and the texts of a
    // record not yet read come with the last rows: the window does not wait for the server.
    m_panelWaiting = m_register->rowsArriving();
    if (m_panelWaiting && !m_register->knowsCurrentDetails()) {
        m_panelHeader->clear();
        m_memo->clear();
        return;
    }
    // The text and the attachments are not among the grid's columns: read by the record's key.
    QString heading, text, files[3];
    try {
        heading = m_register->currentText(u"hosszu"_s);
        text = m_register->currentText(u"hatarozat"_s);
        for (int slot = 0; slot < 3; ++slot)
            files[slot] =
                m_register->currentText(slot == 0 ? u"origfilenev"_s : u"origfilenev%1"_s.arg(slot + 1));
    } catch (const DbError &error) {
        ShowException(error, window());
    }
    m_panelHeader->setText(has ? heading : (q.isOpen() ? QString() : u"Határozat"_s));
    m_memo->setPlainText(text);
    if (!m_panelWaiting)
        emit recordChanged(RecordPositionText(q), files[0], files[1], files[2]);
}

void RegisterView::setPanelWidth(int width)
{
    const int total = m_splitter->width();
    m_splitter->setSizes({qMax(0, total - width - m_splitter->handleWidth()), width});
    recomputeColumnWidths();
}

bool RegisterView::isPanelShown() const
{
    return !m_panel->isHidden();
}

void RegisterView::setPanelShown(bool shown)
{
    if (shown == isPanelShown())
        return;
    m_panel->setVisible(shown);
    recomputeColumnWidths();
    emit panelShownChanged(shown);
}

void RegisterView::recomputeColumnWidths()
{
    const bool allCommittees = m_committeeTabs->currentIndex() == m_committeeTabs->count() - 1;
    const QList<int> widths = RegisterColumnWidths(m_grid->width(), allCommittees, isPanelShown());
    for (int i = 0; i < widths.size(); ++i) {
        m_grid->setColumnHidden(i, widths[i] <= 0);
        if (widths[i] > 0)
            m_grid->setColumnWidth(i, widths[i]);
    }
}

bool RegisterView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_grid && event->type() == QEvent::Resize)
        recomputeColumnWidths();
    if (event->type() == QEvent::KeyPress) {
        auto key = static_cast<QKeyEvent *>(event);
        if (watched == m_grid && StartsGridSearch(key)) {
            m_searchEdit->setFocus();
            m_searchEdit->setText(key->text().toLower());
            m_searchEdit->setCursorPosition(int(m_searchEdit->text().size()));
            return true;
        }
        // The last row is the last of the complete list: with rows still coming, the grid goes
        // there once they are in.
        if (watched == m_grid && key->key() == Qt::Key_End &&
            key->modifiers().testFlag(Qt::ControlModifier) && m_register->rowsArriving()) {
            m_lastRowWanted = true;
            return true;
        }
        if (watched == m_searchEdit && (key->key() == Qt::Key_PageUp || key->key() == Qt::Key_PageDown ||
                                        key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
            m_grid->setFocus();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
