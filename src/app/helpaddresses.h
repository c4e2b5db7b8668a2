#pragma once

#include <QString>

class MainActions;
class QWidget;
struct MakerInfo;

// The user guide installed with the program (share/orvanth/help beside the program's bin
// folder, in the build tree too); empty when it is not there.
QString InstalledGuidePath();
// The same for a program in `programFolder`.
QString GuidePathBeside(const QString &programFolder);

// The home page and mail actions show only when the build gave their address.
void ShowMakerActions(MainActions &actions, const MakerInfo &maker);

// F1: the installed guide, else the documentation page; without either, says so.
void OpenHelp(QWidget *owner);
