#include "app/mainactions.h"

#include "app/beall.h"
#include "gui/icons.h"
#include "gui/messagebox.h"

#include <QAction>
#include <QActionGroup>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace {
const char *const CategoryProperty = "orvanthCategory";
const char *const AdminProperty = "orvanthNeedsAdmin";
} // namespace

MainActions::MainActions(QWidget *owner) : QObject(owner), m_owner(owner)
{
    const QString book = u"Iktatókönyv"_s;
    const QString filter = u"Szűrés"_s;
    const QString view = u"Nézet"_s;
    const QString master = u"Törzsadatok"_s;
    const QString prints = u"Nyomtatások"_s;
    const QString system = u"Rendszer"_s;
    const QString help = u"Súgó"_s;
    const QKeySequence none;

    aFrissit = make("aFrissit", book, u"Frissít"_s, u"Frissít"_s, Qt::Key_F5);
    aUj = make("aUj", book, u"Új"_s, u"Új"_s, Qt::Key_Insert);
    aSzerkeszt = make("aSzerkeszt", book, u"Szerkeszt"_s, u"Szerkeszt"_s, Qt::Key_F2);
    aTorol = make("aTorol", book, u"Töröl"_s, u"Töröl"_s, Qt::CTRL | Qt::Key_Delete);
    aNyomtat = make("aNyomtat", prints, u"Nyomtat"_s, u"Nyomtat"_s, Qt::CTRL | Qt::Key_P);
    aExcel = make("aExcel", book, u"Excelbe..."_s, u"Excelbe"_s, Qt::CTRL | Qt::Key_E);
    aBezar = make("aBezar", book, u"Bezár"_s, u"Bezár"_s, none);
    aSzur0 = make("aSzur0", filter, u"Nincs szűrés"_s, u"Nincs szűrés"_s, none);
    aSzur1 = make("aSzur1", filter, u"Időszak"_s, u"Időszak"_s, none);
    aMegnez = make("aMegnez", book, u"Megnéz"_s, u"Megnéz"_s, Qt::Key_F7);
    aMegnez2 = make("aMegnez2", book, u"2. file"_s, u"Megnéz (2. file)"_s, Qt::Key_F8);
    aMegnez3 = make("aMegnez3", book, u"3. file"_s, u"3. file"_s, Qt::Key_F9);
    aStatusz = make("aStatusz", QString(), u"Státusz"_s, u"Státusz beállítás"_s, Qt::Key_F3);
    aBetuNovel = make("aBetuNovel", view, u"Betűméret növelés"_s, u"Betűméret növelés"_s, Qt::Key_F11);
    aBetuCsokkent =
        make("aBetuCsokkent", view, u"Betűméret csökkentése"_s, u"Betűméret csökkentése"_s, Qt::Key_F12);
    aHatarozat = make("aHatarozat", view, u"Határozat"_s, u"Határozat"_s, Qt::Key_F6);
    aBizottsag = make("aBizottsag", master, u"Bizottságok"_s, u"Bizottságok"_s, none);
    aTargy = make("aTargy", master, u"Tárgy katalógus"_s, u"Tárgy katalógus"_s, none);
    aLista = make("aLista", prints, u"Lista nyomtatás"_s, u"Lista nyomtatás"_s, none);
    aFelhasznalo = make("aFelhasznalo", system, u"Felhasználók"_s, u"Felhasználók"_s, none);
    aSQL = make("aSQL", system, u"Szabad lekérdezés"_s, u"Szabad lekérdezés"_s, none);
    aAdatbazisok = make("aAdatbazisok", system, u"Adatbázisok"_s, u"Adatbázisok"_s, none);
    aBeallit = make("aBeallit", system, u"Beállítások"_s, u"Beállítások"_s, none);
    aSugo = make("aSugo", help, u"Súgó"_s, u"Súgó"_s, Qt::Key_F1);
    aHonlap = make("aHonlap", help, u"Brennik honlapja"_s, u"Brennik honlapja"_s, none);
    aLevel = make("aLevel", help, u"Levélküldés Brenniknek"_s, u"Levélküldés Brenniknek"_s, none);
    aNevjegy = make("aNevjegy", help, u"Névjegy"_s, u"Névjegy"_s, none);

    const std::pair<QAction *, IconId> icons[] = {
        {aFrissit, IconId::Refresh},
        {aUj, IconId::New},
        {aSzerkeszt, IconId::Edit},
        {aTorol, IconId::Delete},
        {aNyomtat, IconId::Print},
        {aExcel, IconId::Export},
        {aBezar, IconId::Close},
        {aMegnez, IconId::View},
        {aStatusz, IconId::Status},
        {aBetuNovel, IconId::FontBigger},
        {aBetuCsokkent, IconId::FontSmaller},
        {aHatarozat, IconId::Panel},
        {aBizottsag, IconId::Committees},
        {aTargy, IconId::Subjects},
        {aLista, IconId::PrintList},
        {aFelhasznalo, IconId::Users},
        {aSQL, IconId::Sql},
        {aAdatbazisok, IconId::Databases},
        {aBeallit, IconId::Settings},
        {aSugo, IconId::Help},
        {aHonlap, IconId::HomePage},
        {aLevel, IconId::Mail},
        {aNevjegy, IconId::About},
    };
    for (const auto &[action, icon] : icons)
        action->setIcon(MakeIcon(icon));

    szuresGroup = new QActionGroup(this);
    szuresGroup->setExclusive(true);
    for (QAction *a : {aSzur0, aSzur1}) {
        a->setCheckable(true);
        szuresGroup->addAction(a);
    }
    aSzur0->setChecked(true);

    // The resolution panel is shown at start.
    aHatarozat->setCheckable(true);
    aHatarozat->setChecked(true);

    for (QAction *a : {aFelhasznalo, aSQL, aAdatbazisok, aBeallit})
        a->setProperty(AdminProperty, true);

    owner->addActions(m_all);
}

QAction *MainActions::make(const char *name, const QString &category, const QString &caption,
                           const QString &hint, const QKeySequence &shortcut)
{
    auto a = new QAction(caption, this);
    a->setObjectName(QString::fromLatin1(name));
    a->setProperty(CategoryProperty, category);
    a->setToolTip(hint);
    a->setStatusTip(hint);
    a->setShortcut(shortcut);
    a->setEnabled(false);
    m_all.append(a);
    return a;
}

QAction *MainActions::byName(const QString &name) const
{
    for (QAction *a : m_all) {
        if (a->objectName() == name)
            return a;
    }
    return nullptr;
}

QList<QAction *> MainActions::all() const
{
    return m_all;
}

QString MainActions::category(const QAction *action)
{
    return action->property(CategoryProperty).toString();
}

bool MainActions::needsAdminRight(const QAction *action)
{
    return action->property(AdminProperty).toBool();
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
