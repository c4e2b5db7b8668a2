#pragma once

#include "db/connection.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <csignal>
#include <sys/resource.h>

// What the backup tests share: a register whose data holds the bytes a backup must keep, the
// checksums that say two databases hold the same rows, and the command-line tools the results
// are checked with.

// The cp1250 bytes that a careless encoding loses: „ ” – and the five bytes cp1250 leaves
// undefined, with a quote, a backslash and a line break around them.
QByteArray AwkwardBytes();

// Two tables of the column kinds beyond the register's own, empty: the usual ones, and one
// of every column type the server has.
void CreateKindsTable(Connection &con);
// 250 register records (three INSERT statements), committees named with AwkwardBytes(), and the
// kinds tables with full rows and an all-NULL row.
void FillSample(Connection &con);

// CHECKSUM TABLE ... EXTENDED of every table.
QMap<QString, QString> TableChecksums(Connection &con);

// Every entry of the folder, hidden ones too, so that a temporary file left behind shows.
QStringList FolderEntries(const QString &folder);

// A local port on which nothing listens.
QString ClosedPort();

struct ToolRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};
// Runs a program with the given standard input and waits for it (at most a minute).
ToolRun RunTool(const QString &program, const QStringList &arguments, const QByteArray &input = {});
// What the headers of an archive's first entry say: the version needed to extract it and the
// ids of the extra fields, in the local header and in the central directory (-1 and nothing when
// a header is not found).
struct ZipEntryHeaders
{
    int localVersion = -1;
    int centralVersion = -1;
    QList<int> localExtras;
    QList<int> centralExtras;
};
ZipEntryHeaders ReadZipEntryHeaders(const QString &path);

// Reads an archive with Python's zipfile, a reader independent of libzip: it must hold exactly
// the one deflated entry `entry`, every CRC must check, and the entry's bytes come out on `out`.
ToolRun ReadZipWithPython(const QString &path, const QString &entry);

