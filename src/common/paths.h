#pragma once

#include <QString>

// Process-wide paths. InitPaths() works them out once at start,
// before any window exists; afterwards they are read-only. Tests call InitPaths() again after
// pointing XDG_CONFIG_HOME (and so CommonAppDataPath()) at a temporary folder.
//
// programFolder: empty for the folder of the running executable; a test may name another one.
void InitPaths(const QString &programFolder = QString());

// The folder of the executable, without a trailing "/". Its letter case is kept: lower-casing
// it would name another folder on a case-sensitive file system.
QString ProgramFolder();

// The folder shared by the users of this workstation for application data (the generic
// configuration location, so XDG_CONFIG_HOME moves it); empty when it cannot be named.
QString CommonAppDataPath();

// The user's documents folder, made when it is missing; the home folder when it cannot be.
QString DocumentsPath();

// The folder that holds the settings file: the program folder when OrvantH.ini is there,
// otherwise CommonAppDataPath() + "/OrvantH", or the program folder when that cannot be named.
// It is not created here.
QString DataFolder();

// DataFolder() + "/OrvantH.ini".
QString SettingsFilePath();

// The rule that picks the data folder, apart from the file system state it reads.
QString ChooseDataFolder(const QString &programFolder, bool iniInProgramFolder, const QString &commonAppData);
