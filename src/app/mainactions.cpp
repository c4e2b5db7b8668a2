#include "app/mainactions.h"

#include "app/beall.h"
#include "gui/icons.h"
#include "gui/messagebox.h"

#include <QAction>
#include <QActionGroup>
#include <QWidget>
#include <optional>

using namespace Qt::StringLiterals;

namespace mainactions {

const char *const CategoryProperty = "orvanthCategory";
const char *const AdminProperty = "orvanthNeedsAdmin";

constexpr const char16_t *Book = u"Iktatókönyv";
constexpr const char16_t *Filter = u"Szűrés";
constexpr const char16_t *View = u"Nézet";
constexpr const char16_t *Master = u"Törzsadatok";
constexpr const char16_t *Prints = u"Nyomtatások";
constexpr const char16_t *System = u"Rendszer";
constexpr const char16_t *HelpMenu = u"Súgó";

constexpr QKeyCombination NoKey(Qt::Key(0));

struct ActionRow
{
    MainAction id;
    const char *name;
    const char16_t *category; // nullptr: none
    const char16_t *caption;
    const char16_t *hint; // nullptr: the caption
    QKeyCombination shortcut;
    std::optional<IconId> icon;
    bool adminOnly = false;
};

// In the order of MainAction.
constexpr ActionRow Rows[] = {
    {MainAction::Refresh, "aFrissit", Book, u"Frissít", nullptr, Qt::Key_F5, IconId::Refresh},
    {MainAction::New, "aUj", Book, u"Új", nullptr, Qt::Key_Insert, IconId::New},
    {MainAction::Edit, "aSzerkeszt", Book, u"Szerkeszt", nullptr, Qt::Key_F2, IconId::Edit},
    {MainAction::Delete, "aTorol", Book, u"Töröl", nullptr, Qt::CTRL | Qt::Key_Delete, IconId::Delete},
    {MainAction::Print, "aNyomtat", Prints, u"Nyomtat", nullptr, Qt::CTRL | Qt::Key_P, IconId::Print},
    {MainAction::Export, "aExcel", Book, u"Excelbe...", u"Excelbe", Qt::CTRL | Qt::Key_E, IconId::Export},
    {MainAction::Close, "aBezar", Book, u"Bezár", nullptr, NoKey, IconId::Close},
    {MainAction::NoFilter, "aSzur0", Filter, u"Nincs szűrés", nullptr, NoKey, std::nullopt},
    {MainAction::PeriodFilter, "aSzur1", Filter, u"Időszak", nullptr, NoKey, std::nullopt},
    {MainAction::ViewFile1, "aMegnez", Book, u"Megnéz", nullptr, Qt::Key_F7, IconId::View},
    {MainAction::ViewFile2, "aMegnez2", Book, u"2. file", u"Megnéz (2. file)", Qt::Key_F8, std::nullopt},
    {MainAction::ViewFile3, "aMegnez3", Book, u"3. file", nullptr, Qt::Key_F9, std::nullopt},
    {MainAction::Status, "aStatusz", nullptr, u"Státusz", u"Státusz beállítás", Qt::Key_F3, IconId::Status},
    {MainAction::FontBigger, "aBetuNovel", View, u"Betűméret növelés", nullptr, Qt::Key_F11,
     IconId::FontBigger},
    {MainAction::FontSmaller, "aBetuCsokkent", View, u"Betűméret csökkentése", nullptr, Qt::Key_F12,
     IconId::FontSmaller},
    {MainAction::ResolutionPanel, "aHatarozat", View, u"Határozat", nullptr, Qt::Key_F6, IconId::Panel},
    {MainAction::Committees, "aBizottsag", Master, u"Bizottságok", nullptr, NoKey, IconId::Committees},
    {MainAction::Subjects, "aTargy", Master, u"Tárgy katalógus", nullptr, NoKey, IconId::Subjects},
    {MainAction::PrintList, "aLista", Prints, u"Lista nyomtatás", nullptr, NoKey, IconId::PrintList},
    {MainAction::Users, "aFelhasznalo", System, u"Felhasználók", nullptr, NoKey, IconId::Users, true},
    {MainAction::SqlConsole, "aSQL", System, u"Szabad lekérdezés", nullptr, NoKey, IconId::Sql, true},
    {MainAction::Databases, "aAdatbazisok", System, u"Adatbázisok", nullptr, NoKey, IconId::Databases, true},
    {MainAction::Settings, "aBeallit", System, u"Beállítások", nullptr, NoKey, IconId::Settings, true},
    {MainAction::Help, "aSugo", HelpMenu, u"Súgó", nullptr, Qt::Key_F1, IconId::Help},
    {MainAction::HomePage, "aHonlap", HelpMenu, u"Brennik honlapja", nullptr, NoKey, IconId::HomePage},
    {MainAction::Mail, "aLevel", HelpMenu, u"Levélküldés Brenniknek", nullptr, NoKey, IconId::Mail},
    {MainAction::About, "aNevjegy", HelpMenu, u"Névjegy", nullptr, NoKey, IconId::About},
};

constexpr bool rowsInOrder()
{
    for (int i = 0; i < int(std::size(Rows)); ++i) {
        if (int(Rows[i].id) != i)
            return false;
    }
    return int(std::size(Rows)) == int(MainAction::Count);
}
static_assert(rowsInOrder(), "one row per action, in the order of MainAction");

QString textOrEmpty(const char16_t *text)
{
    return text ? QString::fromUtf16(text) : QString();
}

} // namespace mainactions

MainActions::MainActions(QWidget *owner) : QObject(owner), m_owner(owner)
{
    for (const mainactions::ActionRow &row : mainactions::Rows) {
        auto a = new QAction(QString::fromUtf16(row.caption), this);
        a->setObjectName(QString::fromLatin1(row.name));
        a->setProperty(mainactions::CategoryProperty, mainactions::textOrEmpty(row.category));
        const QString hint = QString::fromUtf16(row.hint ? row.hint : row.caption);
        a->setToolTip(hint);
        a->setStatusTip(hint);
        if (row.shortcut.key() != Qt::Key(0))
            a->setShortcut(row.shortcut);
        if (row.icon)
            a->setIcon(MakeIcon(*row.icon));
        if (row.adminOnly)
            a->setProperty(mainactions::AdminProperty, true);
        a->setEnabled(false);
        m_actions[std::size_t(row.id)] = a;
    }

    m_periodGroup = new QActionGroup(this);
    m_periodGroup->setExclusive(true);
    for (MainAction id : {MainAction::NoFilter, MainAction::PeriodFilter}) {
        action(id)->setCheckable(true);
        m_periodGroup->addAction(action(id));
    }
    action(MainAction::NoFilter)->setChecked(true);

    // The resolution panel is shown at start.
    action(MainAction::ResolutionPanel)->setCheckable(true);
    action(MainAction::ResolutionPanel)->setChecked(true);

    owner->addActions(all());
}

QAction *MainActions::byName(const QString &name) const
{
    for (QAction *a : m_actions) {
        if (a->objectName() == name)
            return a;
    }
    return nullptr;
}

QList<QAction *> MainActions::all() const
{
    return QList<QAction *>(m_actions.begin(), m_actions.end());
}

QString MainActions::category(const QAction *action)
{
    return action->property(mainactions::CategoryProperty).toString();
}

bool MainActions::needsAdminRight(const QAction *action)
{
    return action->property(mainactions::AdminProperty).toBool();
}

QString MainActions::noRightText()
{
    return u"Nincs jogosultság a művelethez."_s;
}

void MainActions::bind(QAction *action, std::function<void()> handler)
{
    const bool adminOnly = needsAdminRight(action);
    connect(action, &QAction::triggered, this, [this, adminOnly, handler = std::move(handler)] {
        if (adminOnly && !Beall.adminRight) {
            ShowErrorBox(noRightText(), m_owner);
            return;
        }
        // An action that fails shows the error's text and the user goes on.
        try {
            handler();
        } catch (...) {
            ShowCurrentException(m_owner);
        }
    });
    action->setEnabled(true);
}
