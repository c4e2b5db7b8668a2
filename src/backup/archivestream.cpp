#include "archivestream.h"

#include "common/fileerror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QThread>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <future>
#include <sys/stat.h>
#include <thread>
#include <zip.h>

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace archivestream {

bool onGuiThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

// What libzip says went wrong, in the interface's words when the system gave the cause.
QString zipFailureText(const QString &path, zip_error_t *error)
{
    const int system = zip_error_system_type(error) == ZIP_ET_SYS ? zip_error_code_system(error) : 0;
    const QString reason =
        system != 0 ? SystemErrorText(system) : QString::fromLocal8Bit(zip_error_strerror(error));
    return u"Az állomány nem írható: "_s + path + u" ("_s + reason + u')';
}

// zip_close() deflates and writes the whole entry: on the window's thread it runs on a thread of
// its own while the window keeps painting.
bool closeArchive(zip_t *archive)
{
    if (!onGuiThread())
        return zip_close(archive) == 0;
    std::packaged_task<int()> task([archive] { return zip_close(archive); });
    std::future<int> result = task.get_future();
    std::thread worker(std::move(task));
    while (result.wait_for(50ms) == std::future_status::timeout)
        QCoreApplication::processEvents();
    worker.join();
    return result.get() == 0;
}

} // namespace archivestream

ArchiveStream::ArchiveStream(const QString &zipPath, const QString &entryName)
    : m_target(zipPath), m_entryName(entryName)
{
    const QDir folder = QFileInfo(zipPath).dir();
    m_entry = std::make_unique<QTemporaryFile>(folder.filePath(u"."_s + entryName + u".XXXXXX"_s));
    // QTemporaryFile creates the file readable and writable by the owner alone.
    errno = 0;
    if (!m_entry->open()) {
        fail(u"Az állomány nem hozható létre: "_s + folder.path() + u" ("_s +
             WriteFailureReason(*m_entry, errno) + u')');
        m_entry.reset();
    }
}

ArchiveStream::~ArchiveStream() = default;

void ArchiveStream::fail(const QString &text)
{
    if (m_error.isEmpty())
        m_error = text.isEmpty() ? u"?"_s : text;
}

bool ArchiveStream::append(const char *data, qsizetype size)
{
    if (!m_entry || failed())
        return false;
    errno = 0;
    if (m_entry->write(data, size) != size) {
        fail(WriteFailedText(*m_entry, errno, m_target));
        return false;
    }
    return true;
}

QFileDevice *ArchiveStream::device()
{
    return m_entry.get();
}

bool ArchiveStream::finish()
{
    if (!m_entry || failed())
        return false;
    errno = 0;
    if (!m_entry->flush() || m_entry->error() != QFileDevice::NoError) {
        fail(WriteFailedText(*m_entry, errno, m_target));
        return false;
    }
    m_entry->close();
    m_entryWhole = true;
    if (!pack())
        return false;
    m_entry.reset();
    return true;
}

bool ArchiveStream::pack()
{
    const QFileInfo target(m_target);
    // libzip gives a new archive the mode that the umask allows (and an older one's mode to its
    // replacement), so it writes over a file made owner-only here, whose mode it keeps.
    QTemporaryFile building(target.dir().filePath(u"."_s + target.fileName() + u".XXXXXX"_s));
    errno = 0;
    if (!building.open()) {
        fail(u"Az állomány nem hozható létre: "_s + target.dir().path() + u" ("_s +
             WriteFailureReason(building, errno) + u')');
        return false;
    }
    building.close();
    int code = 0;
    zip_t *archive =
        zip_open(QFile::encodeName(building.fileName()).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        fail(archivestream::zipFailureText(m_target, &error));
        zip_error_fini(&error);
        return false;
    }
    // A file source tells libzip the entry's size before it writes the entry's header: with the
    // size known, it writes no ZIP64 record below 4 GB.
    zip_source_t *source =
        zip_source_file(archive, QFile::encodeName(m_entry->fileName()).constData(), 0, -1);
    const zip_int64_t index =
        source ? zip_file_add(archive, m_entryName.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) : -1;
    if (source && index < 0)
        zip_source_free(source);
    // unzip gives the script the mode stored here; without one it would be readable by everyone.
    if (index < 0 || zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_DEFLATE, 9) != 0 ||
        zip_file_set_external_attributes(archive, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX,
                                         zip_uint32_t(S_IFREG | S_IRUSR | S_IWUSR) << 16) != 0 ||
        !archivestream::closeArchive(archive)) {
        // A failed zip_close leaves the archive open; discarding it removes libzip's own file.
        fail(archivestream::zipFailureText(m_target, zip_get_error(archive)));
        zip_discard(archive);
        return false;
    }
    if (!putInPlace(building.fileName()))
        return false;
    building.setAutoRemove(false);
    return true;
}

bool ArchiveStream::putInPlace(const QString &building)
{
    // rename() replaces an older archive in one step.
    if (std::rename(QFile::encodeName(building).constData(), QFile::encodeName(m_target).constData()) != 0) {
        fail(u"Az állomány nem nevezhető át: "_s + m_target + u" ("_s + SystemErrorText(errno) + u')');
        return false;
    }
    return true;
}

void ArchiveStream::abandon()
{
    m_entry.reset();
    m_entryWhole = false;
    fail(u"Az archívum félbemaradt."_s);
}

QString ArchiveStream::keepEntry(const QString &path)
{
    if (!m_entry || !m_entryWhole)
        return {};
    m_entry->setAutoRemove(false);
    QString kept = m_entry->fileName();
    if (!QFileInfo::exists(path) && QFile::rename(kept, path))
        kept = path;
    m_entry.reset();
    return kept;
}
