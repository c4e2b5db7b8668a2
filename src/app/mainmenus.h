#pragma once

class MainActions;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

// The menus and tool bars of the main window, built from its action list.
void BuildMainMenu(QMenuBar *bar, const MainActions &actions);
// Small icons with hints, no captions (object name "ToolBar1").
QToolBar *BuildMainToolBar(const MainActions &actions, QWidget *parent);
// The register's large buttons with captions (object name "ToolBar2"); "Szűrés" and "Megnéz"
// are drop-down buttons (object names "btnSzures" and "btnMegnez").
QToolBar *BuildRegisterToolBar(const MainActions &actions, QWidget *parent);
// The register grid's right-button menu.
QMenu *BuildGridPopup(const MainActions &actions, QWidget *parent);
