#include "frm_adatbazis.h"

#include "backup/backupcommands.h"
#include "common/paths.h"
#include "config/conprofile.h"
#include "config/inifile.h"
#include "config/settings.h"
#include "databaseupgrade.h"
#include "db/settingsrow.h"
#include "frm_adatbazis_szerkeszt.h"
#include "gui/dialogfields.h"
#include "gui/icons.h"
#include "gui/listgrid.h"
#include "gui/messagebox.h"
#include "gui/sortcolumn.h"
#include "profilecheck.h"
#include "profiletablemodel.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QScopeGuard>
#include <QStyle>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

using namespace Qt::StringLiterals;

namespace frm_adatbazis {

constexpr int WindowFontSize = 9;
constexpr QSize DesignSize{760, 440};

} // namespace frm_adatbazis

Tfrm_Adatbazis::Tfrm_Adatbazis(QList<ProfileRow> rows, const QString &dumpProgram, int editorFontSize,
                               QWidget *parent)
    : RememberedDialog(parent, Remember::Bounds), m_editorFontSize(editorFontSize),
      m_model(new ProfileTableModel(std::move(rows), this))
{
    setObjectName(u"frm_Adatbazis"_s);
    setWindowTitle(u"Tárhelyek"_s);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    ApplyFontSize(this, frm_adatbazis::WindowFontSize);

    buildActions();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildToolBar());
    buildGrid();
    layout->addWidget(m_grid, 1);
    layout->addWidget(buildFullBackupPanel(dumpProgram));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(u"ProgressBar1"_s);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    layout->addWidget(m_progress);

    resize(frm_adatbazis::DesignSize);
    m_model->sortBy(ProfileColumn::DisplayName);
    setCurrentRow(m_model->rows().isEmpty() ? -1 : 0);
}

void Tfrm_Adatbazis::buildActions()
{
    struct Spec
    {
        const char16_t *name;
        const char16_t *caption;
        QKeySequence key;
        QIcon icon;
        void (Tfrm_Adatbazis::*handler)();
    };
    const Spec specs[] = {
        {u"aUj", u"Új", QKeySequence(Qt::Key_Insert), MakeIcon(IconId::New), &Tfrm_Adatbazis::newProfile},
        {u"aSzerkeszt", u"Szerkeszt", QKeySequence(Qt::Key_F2), MakeIcon(IconId::Edit),
         &Tfrm_Adatbazis::editProfile},
        {u"aTorol", u"Töröl", QKeySequence(Qt::CTRL | Qt::Key_Delete), MakeIcon(IconId::Delete),
         &Tfrm_Adatbazis::deleteProfile},
        {u"aTeszt", u"Teszt", QKeySequence(Qt::CTRL | Qt::Key_T),
         style()->standardIcon(QStyle::SP_DriveNetIcon), &Tfrm_Adatbazis::testConnection},
        {u"aBackup", u"Biztonsági mentés készítés", QKeySequence(Qt::Key_F3),
         style()->standardIcon(QStyle::SP_DialogSaveButton), &Tfrm_Adatbazis::runBackup},
        {u"aMySQLDump", u"Teljes biztonsági mentés készítés", QKeySequence(Qt::Key_F6),
         MakeIcon(IconId::Panel), nullptr},
        {u"aTeljesMentes", u"Teljes mentés futtatása", QKeySequence(),
         style()->standardIcon(QStyle::SP_MediaPlay), &Tfrm_Adatbazis::runFullBackup},
        {u"aVisszaallitas", u"Visszaállítás", QKeySequence(), style()->standardIcon(QStyle::SP_BrowserReload),
         &Tfrm_Adatbazis::runRestore},
        {u"aBovites", u"Adatbázis bővítése", QKeySequence(), style()->standardIcon(QStyle::SP_ArrowUp),
         &Tfrm_Adatbazis::extendDatabase},
        {u"aBezar", u"Bezár", QKeySequence(Qt::Key_Escape), MakeIcon(IconId::Close), nullptr},
    };
    for (const Spec &s : specs) {
        auto *a = new QAction(s.icon, QString::fromUtf16(s.caption), this);
        a->setObjectName(QString::fromUtf16(s.name));
        a->setToolTip(a->text());
        if (!s.key.isEmpty())
            a->setShortcut(s.key);
        if (s.handler)
            connect(a, &QAction::triggered, this,
                    [this, handler = s.handler] { guarded([&] { (this->*handler)(); }); });
        addAction(a);
        m_actions.append(a);
    }
    connect(action(u"aMySQLDump"_s), &QAction::triggered, this,
            [this] { m_fullBackupPanel->setVisible(!m_fullBackupPanel->isVisible()); });
    connect(action(u"aBezar"_s), &QAction::triggered, this, &QDialog::reject);
}

QAction *Tfrm_Adatbazis::action(const QString &name) const
{
    for (QAction *a : m_actions) {
        if (a->objectName() == name)
            return a;
    }
    return nullptr;
}

QToolBar *Tfrm_Adatbazis::buildToolBar()
{
    auto *bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setIconSize(QSize(32, 32));
    bar->addAction(action(u"aUj"_s));
    bar->addAction(action(u"aSzerkeszt"_s));
    bar->addAction(action(u"aTorol"_s));
    bar->addSeparator();
    bar->addAction(action(u"aTeszt"_s));

    auto *backupMenu = new QMenu(this);
    backupMenu->addAction(action(u"aBackup"_s));
    backupMenu->addAction(action(u"aMySQLDump"_s));
    backupMenu->addSeparator();
    backupMenu->addAction(action(u"aVisszaallitas"_s));
    backupMenu->addSeparator();
    backupMenu->addAction(action(u"aBovites"_s));
    m_backupButton = new QToolButton(bar);
    m_backupButton->setObjectName(u"Mentes"_s);
    m_backupButton->setText(u"Mentés"_s);
    m_backupButton->setToolTip(u"Mentés"_s);
    m_backupButton->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    m_backupButton->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_backupButton->setMenu(backupMenu);
    m_backupButton->setPopupMode(QToolButton::InstantPopup);
    bar->addWidget(m_backupButton);
    bar->addSeparator();
    bar->addAction(action(u"aBezar"_s));
    return bar;
}

QFrame *Tfrm_Adatbazis::buildFullBackupPanel(const QString &dumpProgram)
{
    m_fullBackupPanel = new QFrame(this);
    m_fullBackupPanel->setObjectName(u"Panel2"_s);
    m_fullBackupPanel->setFrameShape(QFrame::StyledPanel);

    auto *title = new QLabel(u"Biztonsági mentés készítés"_s, m_fullBackupPanel);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto *hideButton = new QToolButton(m_fullBackupPanel);
    hideButton->setObjectName(u"SpeedButton2"_s);
    hideButton->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    hideButton->setToolTip(u"Elrejt"_s);
    hideButton->setAutoRaise(true);
    connect(hideButton, &QToolButton::clicked, m_fullBackupPanel, &QWidget::hide);

    auto *pathLabel = new QLabel(u"MySQLDump.exe program helye"_s, m_fullBackupPanel);
    m_dumpProgramEdit = new QLineEdit(dumpProgram, m_fullBackupPanel);
    m_dumpProgramEdit->setObjectName(u"Edit1"_s);
    m_dumpProgramEdit->setPlaceholderText(u"mariadb-dump vagy mysqldump a PATH-on"_s);
    pathLabel->setBuddy(m_dumpProgramEdit);
    PaintFocusedField(m_dumpProgramEdit);
    auto *browseButton = new QToolButton(m_fullBackupPanel);
    browseButton->setObjectName(u"SpeedButton1"_s);
    browseButton->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    browseButton->setToolTip(u"Tallózás"_s);
    connect(browseButton, &QToolButton::clicked, this,
            [this] { guarded([this] { onBrowseDumpProgram(); }); });
    auto *runButton = new QPushButton(u"Teljes mentés futtatása"_s, m_fullBackupPanel);
    runButton->setObjectName(u"Button1"_s);
    runButton->setAutoDefault(false);
    connect(runButton, &QPushButton::clicked, action(u"aTeljesMentes"_s), &QAction::trigger);

    auto *heading = new QHBoxLayout;
    heading->addWidget(title, 1);
    heading->addWidget(hideButton);
    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(m_dumpProgramEdit, 1);
    pathRow->addWidget(browseButton);
    pathRow->addSpacing(12);
    pathRow->addWidget(runButton);
    auto *panelLayout = new QVBoxLayout(m_fullBackupPanel);
    panelLayout->setContentsMargins(8, 4, 8, 8);
    panelLayout->addLayout(heading);
    panelLayout->addWidget(pathLabel);
    panelLayout->addLayout(pathRow);
    m_fullBackupPanel->hide();
    return m_fullBackupPanel;
}

void Tfrm_Adatbazis::buildGrid()
{
    m_popup = new QMenu(this);
    m_popup->setObjectName(u"PopupMenu1"_s);
    for (const char16_t *name : {u"aUj", u"aSzerkeszt", u"aTorol", u"aTeszt"})
        m_popup->addAction(action(QString::fromUtf16(name)));
    m_popup->addSeparator();
    for (const char16_t *name : {u"aBackup", u"aMySQLDump", u"aVisszaallitas", u"aBovites"})
        m_popup->addAction(action(QString::fromUtf16(name)));
    m_popup->addSeparator();
    m_popup->addAction(action(u"aBezar"_s));

    m_grid = NewListGrid(this, m_model, m_popup);
    m_grid->horizontalHeader()->setSectionsClickable(true);
    m_grid->installEventFilter(this);
    HighlightSortColumn(m_grid, 0);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &Tfrm_Adatbazis::sortByColumn);
    connect(m_grid, &QAbstractItemView::doubleClicked, action(u"aSzerkeszt"_s), &QAction::trigger);
}

const QList<ProfileRow> &Tfrm_Adatbazis::rows() const
{
    return m_model->rows();
}

QString Tfrm_Adatbazis::dumpProgram() const
{
    return m_dumpProgramEdit->text();
}

int Tfrm_Adatbazis::currentRow() const
{
    if (m_model->rows().isEmpty())
        return -1;
    const QModelIndex current = m_grid->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void Tfrm_Adatbazis::setCurrentRow(int row)
{
    if (row < 0 || row >= m_model->rowCount()) {
        m_grid->setCurrentIndex({});
        return;
    }
    const QModelIndex current = m_grid->currentIndex();
    const QModelIndex target = m_model->index(row, current.isValid() ? current.column() : 0);
    m_grid->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect |
                                                          QItemSelectionModel::Rows);
    m_grid->scrollTo(target);
}

QList<int> Tfrm_Adatbazis::ColumnWidths(int gridWidth)
{
    const double w = gridWidth - 44;
    const int share = int(std::lround(w * 0.15));
    return {int(std::lround(w * 0.30)), share, share, int(std::lround(w * 0.10)), share, share};
}

void Tfrm_Adatbazis::resizeColumns()
{
    const QList<int> widths = ColumnWidths(m_grid->width());
    for (int i = 0; i < widths.size(); ++i)
        m_grid->setColumnWidth(i, widths.at(i));
}

bool Tfrm_Adatbazis::checkRowSelected()
{
    if (currentRow() >= 0)
        return true;
    ShowErrorBox(u"Nincs sor kiválasztva."_s, this);
    return false;
}

void Tfrm_Adatbazis::guarded(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (...) {
        ShowCurrentException(this);
    }
}

void Tfrm_Adatbazis::newProfile()
{
    ProfileRow row;
    row.setPort(3306);
    if (EditProfileRow(row, m_editorFontSize, this))
        setCurrentRow(m_model->insertProfile(row));
}

void Tfrm_Adatbazis::editProfile()
{
    if (!checkRowSelected())
        return;
    const int index = currentRow();
    ProfileRow row = m_model->row(index);
    if (EditProfileRow(row, m_editorFontSize, this))
        setCurrentRow(m_model->setProfile(index, row));
}

void Tfrm_Adatbazis::deleteProfile()
{
    if (!checkRowSelected())
        return;
    const int index = currentRow();
    if (!ConfirmBox(u"Valóban töröljem az adatbázist a listából?"_s, this))
        return;
    m_model->removeProfile(index);
    setCurrentRow(qMin(index, m_model->rowCount() - 1));
}

void Tfrm_Adatbazis::testConnection()
{
    if (!checkRowSelected())
        return;
    const int index = currentRow();
    const ProfileRow row = m_model->row(index);
    // Read on the worker; the row changes only after the whole test went well.
    const auto version = std::make_shared<QString>();
    bool connected = false;
    {
        // While the server is asked, no action may change or remove the row being tested; the
        // window can still be closed.
        QList<QAction *> locked;
        for (QAction *a : std::as_const(m_actions)) {
            if (a->objectName() != u"aBezar"_s && a->isEnabled()) {
                a->setEnabled(false);
                locked.append(a);
            }
        }
        const auto unlock = qScopeGuard([&locked] {
            for (QAction *a : std::as_const(locked))
                a->setEnabled(true);
        });
        connected = TestProfileConnection(
            row.toProfile(), this, {m_grid, m_fullBackupPanel},
            [version](Connection &connection) { *version = SchemaVersion(connection); });
    }
    if (!connected)
        return;
    if (!version->isEmpty()) {
        ProfileRow tested = row;
        tested.version = *version;
        setCurrentRow(m_model->setProfile(index, tested));
    }
    ShowInfoBox(u"Kapcsolat vizsgálata sikeres"_s, this);
}

void Tfrm_Adatbazis::sortByColumn(int column)
{
    if (column < 0 || column > int(ProfileColumn::Version))
        return;
    setCurrentRow(m_model->sortBy(ProfileColumn(column), currentRow()));
    HighlightSortColumn(m_grid, column);
}

void Tfrm_Adatbazis::onBrowseDumpProgram()
{
    QFileDialog dialog(this, u"Adatbázis visszaállítás"_s);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(u"mariadb-dump, mysqldump (mariadb-dump mysqldump mysqldump.exe)"_s);
    const QFileInfo current(m_dumpProgramEdit->text());
    if (current.isAbsolute())
        dialog.setDirectory(current.absolutePath());
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        m_dumpProgramEdit->setText(QDir::toNativeSeparators(dialog.selectedFiles().constFirst()));
}

void Tfrm_Adatbazis::runBackup()
{
    if (!checkRowSelected())
        return;
    MakeBackup(this, m_model->row(currentRow()).toProfile(), m_progress);
}

void Tfrm_Adatbazis::runFullBackup()
{
    if (!checkRowSelected())
        return;
    MakeFullBackup(this, m_model->row(currentRow()).toProfile(), m_dumpProgramEdit->text());
}

void Tfrm_Adatbazis::runRestore()
{
    if (!checkRowSelected())
        return;
    RestoreBackup(this, m_model->row(currentRow()).toProfile());
}

void Tfrm_Adatbazis::extendDatabase()
{
    if (!checkRowSelected())
        return;
    ExtendDatabase(this, m_model->row(currentRow()).toProfile());
}

void Tfrm_Adatbazis::showEvent(QShowEvent *event)
{
    RememberedDialog::showEvent(event);
    resizeColumns();
}

bool Tfrm_Adatbazis::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_grid && event->type() == QEvent::Resize)
        resizeColumns();
    return QDialog::eventFilter(watched, event);
}

void ManageProfiles(IniFile &ini, int fontSize, QWidget *parent)
{
    Tfrm_Adatbazis window(LoadProfileRows(ini), ReadSettingString(Setting::MysqlDump, ini), fontSize, parent);
    window.exec();
    try {
        QDir().mkpath(QFileInfo(ini.path()).absolutePath());
        StoreProfileRows(ini, window.rows(), window.dumpProgram());
    } catch (const IniError &error) {
        ShowErrorBox(u"Hiba: "_s + error.message(), parent);
    }
}

void ManageProfiles(int fontSize, QWidget *parent)
{
    IniFile ini = SettingsFile();
    ManageProfiles(ini, fontSize, parent);
}
