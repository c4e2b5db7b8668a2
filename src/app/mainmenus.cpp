#include "app/mainmenus.h"

#include "gui/icons.h"
#include "app/mainactions.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// nullptr in a list stands for a separator.
void AddAll(QWidget *target, std::initializer_list<QAction *> actions)
{
    for (QAction *a : actions) {
        if (a)
            target->addAction(a);
        else if (auto menu = qobject_cast<QMenu *>(target))
            menu->addSeparator();
        else if (auto bar = qobject_cast<QToolBar *>(target))
            bar->addSeparator();
    }
}

QToolButton *DropDownButton(const QString &name, const QString &caption, IconId icon,
                            std::initializer_list<QAction *> items, QWidget *parent)
{
    auto button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setToolTip(caption);
    button->setStatusTip(caption);
    button->setIcon(MakeIcon(icon));
    auto menu = new QMenu(button);
    AddAll(menu, items);
    button->setMenu(menu);
    button->setPopupMode(QToolButton::InstantPopup);
    // A button added as a widget does not follow the bar's style by itself.
    if (auto bar = qobject_cast<QToolBar *>(parent)) {
        button->setToolButtonStyle(bar->toolButtonStyle());
        button->setIconSize(bar->iconSize());
    }
    return button;
}

} // namespace

void BuildMainMenu(QMenuBar *bar, const MainActions &a)
{
    AddAll(bar->addMenu(u"Orvant"_s),
           {a.aFrissit, nullptr, a.aUj, a.aSzerkeszt, a.aTorol, nullptr, a.aNyomtat, nullptr, a.aExcel,
            nullptr, a.aSzur0, a.aSzur1, nullptr, a.aBezar});
    AddAll(bar->addMenu(u"Nézet"_s), {a.aBetuNovel, a.aBetuCsokkent, nullptr, a.aHatarozat});
    AddAll(bar->addMenu(u"Törzsadatok"_s), {a.aBizottsag, a.aTargy});
    AddAll(bar->addMenu(u"Nyomtatások"_s), {a.aNyomtat, a.aLista});
    AddAll(bar->addMenu(u"Rendszer"_s),
           {a.aFelhasznalo, a.aSQL, nullptr, a.aAdatbazisok, nullptr, a.aBeallit});
    AddAll(bar->addMenu(u"Súgó"_s), {a.aSugo, nullptr, a.aHonlap, a.aLevel, nullptr, a.aNevjegy});
}

QToolBar *BuildToolBar1(const MainActions &a, QWidget *parent)
{
    auto bar = new QToolBar(u"Eszköztár"_s, parent);
    bar->setObjectName(u"ToolBar1"_s);
    bar->setMovable(false);
    bar->setIconSize(QSize(20, 20));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    AddAll(bar, {a.aFrissit, nullptr, a.aBetuNovel, a.aBetuCsokkent, nullptr, a.aBeallit, nullptr,
                 a.aFelhasznalo, a.aSQL, nullptr, a.aSugo, nullptr, a.aHonlap, a.aLevel, nullptr, a.aBezar});
    return bar;
}

QToolBar *BuildToolBar2(const MainActions &a, QWidget *parent)
{
    auto bar = new QToolBar(u"Műveletek"_s, parent);
    bar->setObjectName(u"ToolBar2"_s);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(20, 20));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);

    bar->addWidget(DropDownButton(u"btnSzures"_s, u"Szűrés"_s, IconId::Filter, {a.aSzur0, a.aSzur1}, bar));
    bar->addSeparator();
    AddAll(bar, {a.aUj, a.aSzerkeszt, a.aTorol, nullptr, a.aNyomtat, nullptr});
    bar->addWidget(
        DropDownButton(u"btnMegnez"_s, u"Megnéz"_s, IconId::View, {a.aMegnez, a.aMegnez2, a.aMegnez3}, bar));
    bar->addSeparator();
    bar->addAction(a.aStatusz);

    // The buttons are at least 54 by 38 pixels, as the users know them; longer captions widen them.
    for (QAction *action : bar->actions()) {
        if (auto button = qobject_cast<QToolButton *>(bar->widgetForAction(action)))
            button->setMinimumSize(54, 38);
    }
    return bar;
}

QMenu *BuildGridPopup(const MainActions &a, QWidget *parent)
{
    auto menu = new QMenu(parent);
    menu->setObjectName(u"PopupMenu1"_s);
    AddAll(menu, {a.aStatusz, a.aMegnez, nullptr, a.aUj, a.aSzerkeszt, a.aTorol, nullptr, a.aNyomtat,
                  a.aExcel, nullptr, a.aBezar});
    return menu;
}
