#pragma once

class MainActions;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

// The menus and tool bars of the main window, built from its action list.
void BuildMainMenu(QMenuBar *bar, const MainActions &a);
// Small icons with hints, no captions.
QToolBar *BuildToolBar1(const MainActions &a, QWidget *parent);
// Large buttons with captions; "Szűrés" and "Megnéz" are drop-down buttons
// (object names "btnSzures" and "btnMegnez").
QToolBar *BuildToolBar2(const MainActions &a, QWidget *parent);
// The register grid's right-button menu.
QMenu *BuildGridPopup(const MainActions &a, QWidget *parent);
