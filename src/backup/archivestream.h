#pragma once

#include <QByteArray>
#include <QString>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

struct zip;
struct zip_source;

// A ZIP archive of one entry, written as a stream: the bytes given to append() are deflated at
// the highest level by libzip on a thread of its own while the caller produces the next ones, so
// packing costs little more time than producing. Memory stays bounded: append() waits while a
// few chunks are queued (letting the window paint meanwhile when called on the GUI thread).
//
// The archive is built in a file of its own beside `zipPath`, readable by the owner alone (it
// holds a backup), and renamed into place only when finish() succeeds; an archive abandoned (or
// destroyed unfinished) leaves an older file at `zipPath` untouched and no temporary file
// behind. The entry, too, unpacks readable by its owner alone.
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
    // Ends the entry and waits until the archive is complete and in place. False on failure.
    bool finish();
    // Drops the archive: an older file stays as it was.
    void abandon();

    bool failed() const;
    QString errorText() const;

private:
    friend struct ArchiveSource; // libzip's reading end
    qint64 read(char *data, quint64 length);
    void pushPending();
    void stopWorker(bool complete);
    void fail(const QString &text);
    bool putInPlace();

    QString m_target;   // where the finished archive goes
    QString m_building; // the file libzip writes until then
    zip *m_archive = nullptr;
    std::thread m_worker;
    QByteArray m_pending; // bytes appended but not yet queued

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<QByteArray> m_queue;
    qsizetype m_readOffset = 0; // into m_queue.front()
    bool m_inputEnded = false;  // all bytes queued
    bool m_abandoned = false;   // the reader must fail, so that libzip drops the archive
    bool m_workerDone = false;  // zip_close returned
    bool m_closed = false;      // zip_close succeeded
    QString m_error;
};
