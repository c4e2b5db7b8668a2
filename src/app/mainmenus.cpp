#include "app/mainmenus.h"

#include "app/mainactions.h"
#include "gui/icons.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <optional>

using namespace Qt::StringLiterals;

namespace mainmenus {

// An empty entry in a list of actions stands for a separator.
using Entries = std::initializer_list<std::optional<MainAction>>;
constexpr std::optional<MainAction> Separator;

void AddSeparator(QWidget *target)
{
    if (auto menu = qobject_cast<QMenu *>(target))
        menu->addSeparator();
    else if (auto bar = qobject_cast<QToolBar *>(target))
        bar->addSeparator();
}

// A hidden action (a maker's address the build did not set) is left out, and so is a separator
// it would leave doubled: a tool bar, unlike a menu, would show both.
void AddAll(QWidget *target, const MainActions &actions, Entries entries)
{
    bool pendingSeparator = false;
    for (const std::optional<MainAction> &entry : entries) {
        if (!entry) {
            pendingSeparator = true;
            continue;
        }
        QAction *action = actions.action(*entry);
        if (!action->isVisible())
            continue;
        if (pendingSeparator)
            AddSeparator(target);
        pendingSeparator = false;
        target->addAction(action);
    }
    // A closing separator parts these actions from what the caller adds next.
    if (pendingSeparator)
        AddSeparator(target);
}

QToolButton *DropDownButton(const QString &name, const QString &caption, IconId icon,
                            const MainActions &actions, Entries entries, QWidget *parent)
{
    auto button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setToolTip(caption);
    button->setStatusTip(caption);
    button->setIcon(MakeIcon(icon));
    auto menu = new QMenu(button);
    AddAll(menu, actions, entries);
    button->setMenu(menu);
    button->setPopupMode(QToolButton::InstantPopup);
    // A button added as a widget does not follow the bar's style by itself.
    if (auto bar = qobject_cast<QToolBar *>(parent)) {
        button->setToolButtonStyle(bar->toolButtonStyle());
        button->setIconSize(bar->iconSize());
    }
    return button;
}

} // namespace mainmenus

void BuildMainMenu(QMenuBar *bar, const MainActions &actions)
{
    using enum MainAction;
    mainmenus::AddAll(bar->addMenu(u"Orvant"_s), actions,
                      {Refresh, mainmenus::Separator, New, Edit, Delete, mainmenus::Separator, Print,
                       mainmenus::Separator, Export, mainmenus::Separator, NoFilter, PeriodFilter,
                       mainmenus::Separator, Close});
    mainmenus::AddAll(bar->addMenu(u"Nézet"_s), actions,
                      {FontBigger, FontSmaller, mainmenus::Separator, ResolutionPanel});
    mainmenus::AddAll(bar->addMenu(u"Törzsadatok"_s), actions, {Committees, Subjects});
    mainmenus::AddAll(bar->addMenu(u"Nyomtatások"_s), actions, {Print, PrintList});
    mainmenus::AddAll(bar->addMenu(u"Rendszer"_s), actions,
                      {Users, SqlConsole, mainmenus::Separator, Databases, mainmenus::Separator, Settings});
    mainmenus::AddAll(bar->addMenu(u"Súgó"_s), actions,
                      {Help, mainmenus::Separator, HomePage, Mail, mainmenus::Separator, About});
}

QToolBar *BuildMainToolBar(const MainActions &actions, QWidget *parent)
{
    using enum MainAction;
    auto bar = new QToolBar(u"Eszköztár"_s, parent);
    bar->setObjectName(u"ToolBar1"_s);
    bar->setMovable(false);
    bar->setIconSize(QSize(20, 20));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    mainmenus::AddAll(bar, actions,
                      {Refresh, mainmenus::Separator, FontBigger, FontSmaller, mainmenus::Separator, Settings,
                       mainmenus::Separator, Users, SqlConsole, mainmenus::Separator, Help,
                       mainmenus::Separator, HomePage, Mail, mainmenus::Separator, Close});
    return bar;
}

QToolBar *BuildRegisterToolBar(const MainActions &actions, QWidget *parent)
{
    using enum MainAction;
    auto bar = new QToolBar(u"Műveletek"_s, parent);
    bar->setObjectName(u"ToolBar2"_s);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(20, 20));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);

    bar->addWidget(mainmenus::DropDownButton(u"btnSzures"_s, u"Szűrés"_s, IconId::Filter, actions,
                                             {NoFilter, PeriodFilter}, bar));
    bar->addSeparator();
    mainmenus::AddAll(bar, actions, {New, Edit, Delete, mainmenus::Separator, Print, mainmenus::Separator});
    bar->addWidget(mainmenus::DropDownButton(u"btnMegnez"_s, u"Megnéz"_s, IconId::View, actions,
                                             {ViewFile1, ViewFile2, ViewFile3}, bar));
    bar->addSeparator();
    bar->addAction(actions.action(Status));

    // The buttons are at least 54 by 38 pixels, as the users know them; longer captions widen them.
    for (QAction *action : bar->actions()) {
        if (auto button = qobject_cast<QToolButton *>(bar->widgetForAction(action)))
            button->setMinimumSize(54, 38);
    }
    return bar;
}

QMenu *BuildGridPopup(const MainActions &actions, QWidget *parent)
{
    using enum MainAction;
    auto menu = new QMenu(parent);
    menu->setObjectName(u"PopupMenu1"_s);
    mainmenus::AddAll(menu, actions,
                      {Status, ViewFile1, mainmenus::Separator, New, Edit, Delete, mainmenus::Separator,
                       Print, Export, mainmenus::Separator, Close});
    return menu;
}
