#include "archivestream.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QThread>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <sys/stat.h>
#include <zip.h>

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

// Chunks of this size go to the deflating thread; with at most MaxQueued of them waiting, the
// stream holds a couple of megabytes however large the entry grows.
constexpr qsizetype ChunkBytes = 256 * 1024;
constexpr std::size_t MaxQueued = 8;

bool onGuiThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

QString zipErrorText(zip_error_t *error)
{
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

} // namespace

// The entry's data as libzip reads it, on the deflating thread.
struct ArchiveSource
{
    static zip_int64_t callback(void *state, void *data, zip_uint64_t length, zip_source_cmd_t command)
    {
        auto *stream = static_cast<ArchiveStream *>(state);
        switch (command) {
        case ZIP_SOURCE_OPEN:
        case ZIP_SOURCE_CLOSE:
        case ZIP_SOURCE_FREE: return 0;
        case ZIP_SOURCE_READ: return stream->read(static_cast<char *>(data), length);
        case ZIP_SOURCE_STAT: {
            if (length < sizeof(zip_stat_t))
                return -1;
            // The size is not known in advance: libzip then writes the sizes after the data.
            auto *stat = static_cast<zip_stat_t *>(data);
            zip_stat_init(stat);
            stat->mtime = std::time(nullptr);
            stat->valid |= ZIP_STAT_MTIME;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_ERROR: {
            // The only failure of this source: the stream was abandoned.
            zip_error_t error;
            zip_error_init_with_code(&error, ZIP_ER_CANCELLED);
            const zip_int64_t size = zip_error_to_data(&error, data, length);
            zip_error_fini(&error);
            return size;
        }
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                                  ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE,
                                                  zip_source_cmd_t(-1));
        default: return -1;
        }
    }
};

ArchiveStream::ArchiveStream(const QString &zipPath, const QString &entryName) : m_target(zipPath)
{
    // libzip gives a new archive the mode that the umask allows (and an older one's mode to its
    // replacement), so it writes over a file made owner-only here, whose mode it keeps.
    const QFileInfo target(zipPath);
    QTemporaryFile building(target.dir().filePath(u"."_s + target.fileName() + u".XXXXXX"_s));
    if (!building.open()) {
        fail(building.errorString());
        return;
    }
    building.setAutoRemove(false);
    m_building = building.fileName();
    building.close();
    int code = 0;
    m_archive = zip_open(QFile::encodeName(m_building).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!m_archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        fail(zipErrorText(&error));
        zip_error_fini(&error);
        return;
    }
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_function_create(&ArchiveSource::callback, this, &error);
    if (!source) {
        fail(zipErrorText(&error));
        zip_error_fini(&error);
        zip_discard(m_archive);
        m_archive = nullptr;
        return;
    }
    zip_error_fini(&error);
    const zip_int64_t index =
        zip_file_add(m_archive, entryName.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0)
        zip_source_free(source);
    // unzip gives the script the mode stored here; without one it would be readable by everyone.
    if (index < 0 || zip_set_file_compression(m_archive, zip_uint64_t(index), ZIP_CM_DEFLATE, 9) != 0 ||
        zip_file_set_external_attributes(m_archive, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX,
                                         zip_uint32_t(S_IFREG | S_IRUSR | S_IWUSR) << 16) != 0) {
        fail(zipErrorText(zip_get_error(m_archive)));
        zip_discard(m_archive);
        m_archive = nullptr;
        return;
    }
    m_pending.reserve(ChunkBytes + 64 * 1024);
    // zip_close reads the source to its end: it deflates while append() queues more.
    m_worker = std::thread([this] {
        const bool closed = zip_close(m_archive) == 0;
        const QString text = closed ? QString() : zipErrorText(zip_get_error(m_archive));
        std::lock_guard lock(m_mutex);
        m_workerDone = true;
        m_closed = closed;
        if (!closed && !m_abandoned && m_error.isEmpty())
            m_error = text;
        m_changed.notify_all();
    });
}

ArchiveStream::~ArchiveStream()
{
    abandon();
    if (!m_building.isEmpty())
        QFile::remove(m_building);
}

bool ArchiveStream::failed() const
{
    std::lock_guard lock(m_mutex);
    return !m_error.isEmpty();
}

QString ArchiveStream::errorText() const
{
    std::lock_guard lock(m_mutex);
    return m_error;
}

void ArchiveStream::fail(const QString &text)
{
    std::lock_guard lock(m_mutex);
    if (m_error.isEmpty())
        m_error = text.isEmpty() ? QStringLiteral("?") : text;
}

bool ArchiveStream::append(const char *data, qsizetype size)
{
    if (!m_archive || failed())
        return false;
    m_pending.append(data, size);
    if (m_pending.size() >= ChunkBytes)
        pushPending();
    return !failed();
}

void ArchiveStream::pushPending()
{
    if (m_pending.isEmpty())
        return;
    const bool gui = onGuiThread();
    std::unique_lock lock(m_mutex);
    while (m_queue.size() >= MaxQueued && !m_workerDone && !m_abandoned) {
        if (m_changed.wait_for(lock, 50ms) == std::cv_status::timeout && gui) {
            // The deflater is behind: let the window paint while it catches up.
            lock.unlock();
            QCoreApplication::processEvents();
            lock.lock();
        }
    }
    if (m_workerDone || m_abandoned) {
        m_pending.clear(); // the archive failed; its reason is in m_error
        return;
    }
    m_queue.push_back(std::move(m_pending));
    m_pending = QByteArray();
    m_pending.reserve(ChunkBytes + 64 * 1024);
    m_changed.notify_all();
}

qint64 ArchiveStream::read(char *data, quint64 length)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_queue.empty() || m_inputEnded || m_abandoned; });
    if (m_abandoned)
        return -1;
    if (m_queue.empty())
        return 0;
    const QByteArray &front = m_queue.front();
    const qsizetype size = qsizetype(qMin<quint64>(length, quint64(front.size() - m_readOffset)));
    std::memcpy(data, front.constData() + m_readOffset, size_t(size));
    m_readOffset += size;
    if (m_readOffset == front.size()) {
        m_queue.pop_front();
        m_readOffset = 0;
        m_changed.notify_all();
    }
    return size;
}

void ArchiveStream::stopWorker(bool complete)
{
    if (!m_archive)
        return;
    {
        std::lock_guard lock(m_mutex);
        if (complete)
            m_inputEnded = true;
        else
            m_abandoned = true;
        m_changed.notify_all();
    }
    if (onGuiThread()) {
        // The last chunks are still being deflated: the window keeps painting meanwhile.
        std::unique_lock lock(m_mutex);
        while (!m_workerDone) {
            if (m_changed.wait_for(lock, 50ms) == std::cv_status::timeout) {
                lock.unlock();
                QCoreApplication::processEvents();
                lock.lock();
            }
        }
    }
    m_worker.join();
    // A failed zip_close leaves the archive open; discarding it removes libzip's temporary file.
    if (!m_closed)
        zip_discard(m_archive);
    m_archive = nullptr;
}

bool ArchiveStream::finish()
{
    if (!m_archive)
        return false;
    pushPending();
    stopWorker(true);
    {
        std::lock_guard lock(m_mutex);
        if (!m_closed || !m_error.isEmpty())
            return false;
    }
    return putInPlace();
}

bool ArchiveStream::putInPlace()
{
    // rename() replaces an older archive in one step.
    if (std::rename(QFile::encodeName(m_building).constData(), QFile::encodeName(m_target).constData()) !=
        0) {
        fail(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    m_building.clear();
    return true;
}

void ArchiveStream::abandon()
{
    stopWorker(false);
}
