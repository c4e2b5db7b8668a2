#pragma once

#include "db/connection.h"

#include <QString>
#include <QStringList>
#include <functional>

// The full backup through the server's dump program (mariadb-dump or mysqldump), run directly,
// without a shell or a command file. The password reaches the program only through its options
// file: a named pipe in a folder the user alone can enter, so the password is never stored on a
// disk, and the pipe is removed as soon as the program has read it. The dump is written under a
// temporary name and put in place only when the program ended well.

// The program to run: `configured` when given, else mariadb-dump, else mysqldump from the PATH;
// empty when none is found.
QString FindDumpProgram(const QString &configured);

// Where the options file goes: $XDG_RUNTIME_DIR when it is the user's own and closed to others,
// else the folder "orvanth" of the user's cache folder (made so); empty when neither can be had.
QString DumpOptionsFolder();

// Removes options files that a program killed during a dump left behind: those of processes no
// longer running in DumpOptionsFolder(), and the user's own of older versions, which kept the
// password in a plain file in the temporary folder. Run at start-up.
void RemoveLeftoverDumpOptions();

// The options file's text (client group) holding the password, quoted for the option file
// reader. Bytes in code page 1250, as the server compares them on a latin2 connection.
QByteArray DumpOptionsFileText(const QString &password);

// The arguments after the program: the options file first (the dump program accepts it only
// there), then the dump's own options, the connection and the database.
QStringList FullDumpArguments(const QString &optionsFile, const ConnectionParams &params,
                              const QString &resultFile);

struct DumpOutcome
{
    enum class Status { Done, Failed, Stopped };
    Status status = Status::Failed;
    QString errorText; // the dump program's own messages (or why it could not start)
};

// Runs the dump of `params.database` into `target`. `keepGoing` is called about every 50 ms while
// the program runs (the place to let the window paint); returning false stops it. On anything
// but success no file is left at `target` beyond an older one, which stays untouched.
DumpOutcome RunFullDump(const QString &program, const ConnectionParams &params, const QString &target,
                        const std::function<bool()> &keepGoing = {});
