#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QActionGroup;
class QWidget;

// The main window's action list. Every action exists from the start with its caption, hint
// (status tip and tool tip), category and shortcut; an action whose work is done elsewhere
// stays disabled until that code hands its handler to bind().
//
// The four administrator actions (aFelhasznalo, aSQL, aAdatbazisok, aBeallit) are enabled
// for every user once bound; without the administrator right they refuse with an error box
// and do nothing else.
class MainActions : public QObject
{
    Q_OBJECT
public:
    // The owner receives the actions (so their shortcuts work anywhere in it) and parents the
    // refusal box.
    explicit MainActions(QWidget *owner);

    QAction *aFrissit;
    QAction *aUj;
    QAction *aSzerkeszt;
    QAction *aTorol;
    QAction *aNyomtat;
    QAction *aExcel;
    QAction *aBezar;
    QAction *aSzur0;
    QAction *aSzur1;
    QAction *aMegnez;
    QAction *aMegnez2;
    QAction *aMegnez3;
    QAction *aStatusz;
    QAction *aBetuNovel;
    QAction *aBetuCsokkent;
    QAction *aHatarozat;
    QAction *aBizottsag;
    QAction *aTargy;
    QAction *aLista;
    QAction *aFelhasznalo;
    QAction *aSQL;
    QAction *aAdatbazisok;
    QAction *aBeallit;
    QAction *aSugo;
    QAction *aHonlap;
    QAction *aLevel;
    QAction *aNevjegy;

    // aSzur0 and aSzur1: exclusive, aSzur0 checked at start.
    QActionGroup *szuresGroup;

    // The action with this object name ("aUj"), or nullptr.
    QAction *byName(const QString &name) const;
    // All actions in the order of the list above.
    QList<QAction *> all() const;
    // The category an action is listed under ("Iktatókönyv", "Nézet"...; empty for none).
    static QString category(const QAction *action);

    static bool needsAdminRight(const QAction *action);

    // Runs handler whenever the action is triggered and enables the action. For the
    // administrator actions the right is checked first.
    void bind(QAction *action, std::function<void()> handler);

    // Text of the refusal shown to a user without the administrator right.
    static QString noRightText();

private:
    QAction *make(const char *name, const QString &category, const QString &caption, const QString &hint,
                  const QKeySequence &shortcut);

    QWidget *m_owner;
    QList<QAction *> m_all;
};
