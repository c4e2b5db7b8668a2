#pragma once

#include <QFile>
#include <QString>
#include <memory>

class QTemporaryFile;

// A ZIP archive of one entry. The entry's bytes are first written to a file of their own beside
// the archive (through append() or device()), then deflated at the highest level into the archive
// by finish(). Knowing the entry's size before packing is what keeps the archive free of ZIP64
// records, which older unzip programs do not read; packing runs on a thread of its own, so a
// window keeps painting meanwhile.
//
// Both files are the owner's alone (they hold a backup); the archive is built under a temporary
// name and renamed into place only when finish() succeeds. An archive abandoned (or destroyed
// unfinished) leaves an older file at `zipPath` untouched and no temporary file behind. The entry,
// too, unpacks readable by its owner alone.
class ArchiveStream
{
public:
    ArchiveStream(const QString &zipPath, const QString &entryName);
    ~ArchiveStream();
    ArchiveStream(const ArchiveStream &) = delete;
    ArchiveStream &operator=(const ArchiveStream &) = delete;

    // Adds bytes to the entry. False once the archive has failed: further bytes are dropped, and
    // the reason waits in errorText().
    bool append(const char *data, qsizetype size);
    // The entry's file, open for writing, for a writer that wants a device (null when it could
    // not be created). A failed write there fails the archive at finish().
    QFileDevice *device();
    // Ends the entry and packs it; the archive is then complete and in place. False on failure.
    bool finish();
    // Drops the archive: an older file stays as it was.
    void abandon();
    // After a failed finish(): keeps the entry's bytes as a file, at `path` unless a file of that
    // name is there already (then under its temporary name), and gives where it is; empty when
    // the entry is not whole.
    QString keepEntry(const QString &path);

    bool failed() const { return !m_error.isEmpty(); }
    QString errorText() const { return m_error; }

private:
    bool pack();
    bool putInPlace(const QString &building);
    void fail(const QString &text);

    QString m_target; // where the finished archive goes
    QString m_entryName;
    std::unique_ptr<QTemporaryFile> m_entry; // the entry's bytes until packed
    bool m_entryWhole = false;               // all bytes reached the entry's file
    QString m_error;
};
