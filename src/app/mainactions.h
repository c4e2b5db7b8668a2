#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <functional>

class QAction;
class QActionGroup;
class QWidget;

// The main window's actions. Each keeps its original name ("aUj") as its objectName.
enum class MainAction {
    Refresh,         // aFrissit
    New,             // aUj
    Edit,            // aSzerkeszt
    Delete,          // aTorol
    Print,           // aNyomtat
    Export,          // aExcel
    Close,           // aBezar
    NoFilter,        // aSzur0
    PeriodFilter,    // aSzur1
    ViewFile1,       // aMegnez
    ViewFile2,       // aMegnez2
    ViewFile3,       // aMegnez3
    Status,          // aStatusz
    FontBigger,      // aBetuNovel
    FontSmaller,     // aBetuCsokkent
    ResolutionPanel, // aHatarozat
    Committees,      // aBizottsag
    Subjects,        // aTargy
    PrintList,       // aLista
    Users,           // aFelhasznalo
    SqlConsole,      // aSQL
    Databases,       // aAdatbazisok
    Settings,        // aBeallit
    Help,            // aSugo
    HomePage,        // aHonlap
    Mail,            // aLevel
    About,           // aNevjegy
    Count
};

// The main window's action list. Every action exists from the start with its caption, hint
// (status tip and tool tip), category and shortcut; an action whose work is done elsewhere
// stays disabled until that code hands its handler to bind().
//
// The four administrator actions (Users, SqlConsole, Databases, Settings) are enabled for every
// user once bound; without the administrator right they refuse with an error box and do
// nothing else.
class MainActions : public QObject
{
    Q_OBJECT
public:
    // The owner receives the actions (so their shortcuts work anywhere in it) and parents the
    // refusal box.
    explicit MainActions(QWidget *owner);

    QAction *action(MainAction id) const { return m_actions[std::size_t(id)]; }
    // NoFilter and PeriodFilter: exclusive, NoFilter checked at start.
    QActionGroup *periodGroup() const { return m_periodGroup; }

    // The action with this object name ("aUj"), or nullptr.
    QAction *byName(const QString &name) const;
    // All actions in the order of MainAction.
    QList<QAction *> all() const;
    // The category an action is listed under ("Iktatókönyv", "Nézet"...; empty for none).
    static QString category(const QAction *action);

    static bool needsAdminRight(const QAction *action);

    // Runs handler whenever the action is triggered and enables the action. For the
    // administrator actions the right is checked first.
    void bind(QAction *action, std::function<void()> handler);
    void bind(MainAction id, std::function<void()> handler) { bind(action(id), std::move(handler)); }

    // Text of the refusal shown to a user without the administrator right.
    static QString noRightText();

private:
    QWidget *m_owner;
    std::array<QAction *, std::size_t(MainAction::Count)> m_actions{};
    QActionGroup *m_periodGroup = nullptr;
};
