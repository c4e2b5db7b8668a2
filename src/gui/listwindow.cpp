#include "listwindow.h"

#include "common/sqltext.h"
#include "db/dbroutines.h"
#include "db/query.h"
#include "gui/dialogfields.h"
#include "gui/gridsearch.h"
#include "gui/icons.h"
#include "gui/listgrid.h"
#include "gui/messagebox.h"
#include "gui/sortcolumn.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

ListWindow::ListWindow(Connection &connection, Config config, QWidget *parent)
    : RememberedDialog(parent, Remember::Bounds), m_connection(connection), m_config(std::move(config)),
      m_query(new Query(&connection, this)), m_model(new QueryTableModel(m_query, m_config.columns, this))
{
    setObjectName(m_config.objectName);
    setWindowTitle(m_config.caption);
    setSizeGripEnabled(false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    m_query->sql() = m_config.sql;
    buildActions();
    buildLayout();
    resize(m_config.defaultSize);

    connect(m_query, &Query::currentRowChanged, this, &ListWindow::onQueryRowChanged);
    connect(m_query, &Query::reset, this, &ListWindow::onQueryReset);
    updatePosition();
}

ListWindow::~ListWindow() = default;

void ListWindow::buildActions()
{
    struct Spec
    {
        const char16_t *name;
        const char16_t *caption;
        const char16_t *hint;
        QList<QKeySequence> keys;
        QIcon icon;
    };
    const Spec specs[ActionCount] = {
        {u"aUj", u"Új sor", u"Új sor", {QKeySequence(Qt::Key_Insert)}, MakeIcon(IconId::New)},
        {u"aSzerkeszt", u"Szerkeszt", u"Szerkeszt", {QKeySequence(Qt::Key_F2)}, MakeIcon(IconId::Edit)},
        {u"aTorol",
         u"Töröl",
         u"Sor törlése",
         {QKeySequence(Qt::CTRL | Qt::Key_Delete)},
         MakeIcon(IconId::Delete)},
        {u"aKeres",
         u"Kereső",
         u"Ugrás a keresőbe",
         {QKeySequence(Qt::CTRL | Qt::Key_F)},
         MakeIcon(IconId::View)},
        {u"aElfogad",
         u"Elfogad",
         u"Elfogad",
         {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)},
         style()->standardIcon(QStyle::SP_DialogApplyButton)},
        {u"aBezar", u"Bezár", u"Bezár", {QKeySequence(Qt::Key_Escape)}, MakeIcon(IconId::Close)},
    };
    for (int i = 0; i < ActionCount; ++i) {
        const Spec &s = specs[i];
        auto *a = new QAction(s.icon, QString::fromUtf16(s.caption), this);
        a->setObjectName(QString::fromUtf16(s.name));
        a->setToolTip(QString::fromUtf16(s.hint));
        a->setShortcuts(s.keys);
        addAction(a);
        m_actions[i] = a;
    }
    connect(m_actions[Search], &QAction::triggered, this, &ListWindow::focusSearchEdit);
    connect(m_actions[Accept], &QAction::triggered, this, &ListWindow::onAcceptTriggered);
    connect(m_actions[Close], &QAction::triggered, this, &QDialog::reject);
}

void ListWindow::buildLayout()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_toolBar = new QToolBar(this);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolBar->setIconSize(QSize(32, 32));
    m_toolBar->addAction(m_actions[New]);
    m_toolBar->addAction(m_actions[Edit]);
    m_toolBar->addAction(m_actions[Delete]);
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_actions[Accept]);
    m_toolBar->addAction(m_actions[Close]);
    layout->addWidget(m_toolBar);

    if (m_config.hasSearchEdit || !m_config.heading.isEmpty())
        layout->addWidget(buildHeadingPanel());
    buildGrid();
    layout->addWidget(m_grid, 1);
    buildStatusBar();
    layout->addWidget(m_statusBar);
}

QWidget *ListWindow::buildHeadingPanel()
{
    auto *panel = new QFrame(this);
    panel->setFrameShape(QFrame::StyledPanel);
    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(4, 4, 4, 4);
    if (m_config.hasSearchEdit) {
        m_searchEdit = new QLineEdit(panel);
        m_searchEdit->setObjectName(u"Edit1"_s);
        m_searchEdit->setMinimumWidth(160);
        m_searchEdit->installEventFilter(this);
        PaintFocusedField(m_searchEdit);
        connect(m_searchEdit, &QLineEdit::textChanged, this, &ListWindow::onSearchEditTextChanged);
        row->addWidget(m_searchEdit);
    }
    m_headingLabel = new QLabel(m_config.heading, panel);
    QFont f(u"Arial"_s);
    f.setBold(true);
    f.setPointSize(12);
    m_headingLabel->setFont(f);
    m_headingLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row->addWidget(m_headingLabel, 1);
    return panel;
}

void ListWindow::buildGrid()
{
    m_popup = new QMenu(this);
    for (StdAction a : m_config.popupActions)
        m_popup->addAction(m_actions[a]);
    m_grid = NewListGrid(this, m_model, m_popup);
    m_grid->horizontalHeader()->setSectionsClickable(m_config.titleClickSearches);
    m_grid->installEventFilter(this);
    if (m_config.highlightColumn >= 0)
        HighlightSortColumn(m_grid, m_config.highlightColumn);

    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &ListWindow::onGridCurrentChanged);
    connect(m_grid, &QAbstractItemView::doubleClicked, this, &ListWindow::onGridDoubleClicked);
    if (m_config.titleClickSearches)
        connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &ListWindow::focusSearchEdit);
}

void ListWindow::buildStatusBar()
{
    m_statusBar = new QStatusBar(this);
    m_positionLabel = new QLabel(m_statusBar);
    m_positionLabel->setMinimumWidth(120);
    m_statusBar->addWidget(m_positionLabel);
}

void ListWindow::setActionShown(StdAction which, bool shown)
{
    m_actions[which]->setVisible(shown);
    m_actions[which]->setEnabled(shown);
}

void ListWindow::onAction(StdAction which, std::function<void()> handler)
{
    connect(m_actions[which], &QAction::triggered, this, [this, handler = std::move(handler)] {
        try {
            handler();
        } catch (...) {
            ShowCurrentException(this);
        }
    });
}

bool ListWindow::checkChangeRight()
{
    if (m_changeRight)
        return true;
    ShowErrorBox(u"Nincs jogosultság a művelethez."_s, this);
    return false;
}

bool ListWindow::checkRowSelected()
{
    if (!isEmpty())
        return true;
    ShowErrorBox(u"Nincs sor kiválasztva."_s, this);
    return false;
}

bool ListWindow::confirmRowDelete()
{
    return ConfirmBox(u"Valóban töröljem a sort?"_s, u"Megerősítés"_s, this);
}

void ListWindow::setFontSize(int pointSize)
{
    if (pointSize <= 0)
        return;
    ApplyFontSize(this, pointSize);
    if (m_searchEdit)
        ApplyFontSize(m_searchEdit, pointSize);
    m_grid->verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 6);
}

void ListWindow::open()
{
    m_query->close();
    ReplaceWhere(m_query->sql(), m_config.baseCondition);
    m_query->open();
}

void ListWindow::reread()
{
    m_query->refresh();
}

bool ListWindow::isEmpty() const
{
    return m_query->isEmpty();
}

QVariant ListWindow::currentValue(const QString &field) const
{
    return m_query->value(field);
}

int ListWindow::currentId(int defaultValue) const
{
    const QVariant v = m_query->value(m_config.idField);
    return v.isNull() ? defaultValue : v.toInt();
}

bool ListWindow::locateId(int id)
{
    return m_query->locate(m_config.idField, QString::number(id));
}

bool ListWindow::locate(const QString &field, const QVariant &value)
{
    return m_query->locate(field, value);
}

void ListWindow::rereadAt(const QVariant &key)
{
    reread();
    m_query->locate(m_config.idField, key);
}

void ListWindow::runSearch(const QString &text)
{
    m_query->close();
    const QString terms = m_config.searchTerms ? m_config.searchTerms(text) : QString();
    ReplaceWhere(m_query->sql(), m_config.baseCondition + terms);
    m_query->open();
    if (!text.isEmpty() && !m_config.searchField.isEmpty())
        m_query->locate(m_config.searchField, text, Query::CaseInsensitive | Query::PartialKey);
}

void ListWindow::focusSearchEdit()
{
    if (m_searchEdit)
        m_searchEdit->setFocus(Qt::ShortcutFocusReason);
}

void ListWindow::onSearchEditTextChanged(const QString &text)
{
    try {
        runSearch(text);
    } catch (...) {
        ShowCurrentException(this);
    }
}

void ListWindow::onAcceptTriggered()
{
    if (isEmpty()) {
        ShowErrorBox(u"Nincs kiválasztott sor."_s, this);
        return;
    }
    accept();
}

void ListWindow::onGridDoubleClicked()
{
    m_actions[m_config.doubleClickAction]->trigger();
}

void ListWindow::onGridCurrentChanged(const QModelIndex &current)
{
    if (m_syncing || !current.isValid())
        return;
    m_query->setRecNo(current.row());
}

void ListWindow::onQueryRowChanged(int row)
{
    updatePosition();
    const QModelIndex current = m_grid->currentIndex();
    if (row < 0 || (current.isValid() && current.row() == row))
        return;
    m_syncing = true;
    const QModelIndex target = m_model->index(row, current.isValid() ? current.column() : 0);
    m_grid->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect |
                                                          QItemSelectionModel::Rows);
    m_grid->scrollTo(target);
    m_syncing = false;
}

void ListWindow::onQueryReset()
{
    resizeColumns();
}

void ListWindow::updatePosition()
{
    m_positionLabel->setText(RecordPositionText(*m_query));
}

void ListWindow::resizeColumns()
{
    int stretched = 0;
    for (const QueryTableModel::Column &c : m_config.columns)
        stretched += c.width == 0 ? 1 : 0;
    const int share = stretched ? qMax(20, (m_grid->width() - m_config.stretchMargin) / stretched) : 0;
    for (int i = 0; i < m_config.columns.size(); ++i) {
        const int w = m_config.columns.at(i).width;
        m_grid->setColumnWidth(i, w > 0 ? w : share);
    }
}

void ListWindow::showEvent(QShowEvent *event)
{
    RememberedDialog::showEvent(event);
    resizeColumns();
}

bool ListWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_grid) {
        if (event->type() == QEvent::KeyPress)
            return onGridKeyPressed(static_cast<QKeyEvent *>(event));
        if (event->type() == QEvent::Resize)
            resizeColumns();
    } else if (watched == m_searchEdit) {
        if (event->type() == QEvent::KeyPress)
            return onSearchEditKeyPressed(static_cast<QKeyEvent *>(event));
        if (event->type() == QEvent::FocusIn &&
            static_cast<QFocusEvent *>(event)->reason() != Qt::MouseFocusReason)
            m_searchEdit->selectAll();
    }
    return QDialog::eventFilter(watched, event);
}

bool ListWindow::onGridKeyPressed(QKeyEvent *event)
{
    if (!m_searchEdit || !StartsGridSearch(event))
        return false;
    const QString lower = event->text().toLower();
    m_searchEdit->setFocus(Qt::OtherFocusReason);
    try {
        if (m_searchEdit->text() == lower)
            runSearch(lower); // no textChanged for the same text, but the search still runs
        else
            m_searchEdit->setText(lower);
    } catch (...) {
        ShowCurrentException(this);
    }
    m_searchEdit->deselect();
    m_searchEdit->setCursorPosition(int(lower.size()));
    return true;
}

bool ListWindow::onSearchEditKeyPressed(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Up:
    case Qt::Key_Down: m_grid->setFocus(Qt::OtherFocusReason); return true;
    default: return false;
    }
}
