#include "testutil.h"

#include "common/paths.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QTest>
#include <QWindow>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/mount.h>

using namespace Qt::StringLiterals;

QRect ShownOuterGeometry(const QWidget *window)
{
    const QWindow *handle = window->windowHandle();
    return window->geometry().marginsAdded(handle ? handle->frameMargins() : QMargins());
}

UrlCatcher::UrlCatcher(QString scheme) : m_scheme(std::move(scheme))
{
    QDesktopServices::setUrlHandler(m_scheme, this, "open");
}

UrlCatcher::~UrlCatcher()
{
    QDesktopServices::unsetUrlHandler(m_scheme);
}

ScopedDataFolder::ScopedDataFolder()
    : m_oldConfigHome(qgetenv("XDG_CONFIG_HOME")),
      m_hadConfigHome(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path()));
    InitPaths();
}

ScopedDataFolder::~ScopedDataFolder()
{
    if (m_hadConfigHome)
        qputenv("XDG_CONFIG_HOME", m_oldConfigHome);
    else
        qunsetenv("XDG_CONFIG_HOME");
    InitPaths();
}

QString ScopedDataFolder::dataFolder() const
{
    return QDir(m_dir.path()).filePath(u"OrvantH"_s);
}

void SaveShot(QWidget *widget, const QString &name)
{
    const QString folder = qEnvironmentVariable("ORVANTH_SHOTS");
    if (folder.isEmpty())
        return;
    QVERIFY2(QDir().mkpath(folder), qPrintable(folder));
    // The picture shows the window settled: layouts and repaints that are still queued run first.
    QCoreApplication::processEvents();
    const QString path = QDir(folder).filePath(name + u".png"_s);
    QVERIFY2(widget->grab().save(path), qPrintable(path));
}

void WriteTestFile(const QString &path, const QByteArray &content)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(f.write(content), content.size());
}

QByteArray ReadTestFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void TypeText(QWidget *widget, const QString &text)
{
    for (const QChar ch : text) {
        const auto key = Qt::Key(ch.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Press, widget, key, QString(ch), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, key, QString(ch), Qt::NoModifier);
    }
}

FileSizeLimit::FileSizeLimit(qint64 bytes)
{
    getrlimit(RLIMIT_FSIZE, &m_previous);
    m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = m_previous;
    limited.rlim_cur = rlim_t(bytes);
    if (setrlimit(RLIMIT_FSIZE, &limited) != 0)
        qFatal("setrlimit(RLIMIT_FSIZE) failed");
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &m_previous);
    std::signal(SIGXFSZ, m_previousHandler);
}

void FileSizeLimit::applyInChild(qint64 bytes)
{
    // Only async-signal-safe calls here: the child has not exec'd yet.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited;
    getrlimit(RLIMIT_FSIZE, &limited);
    limited.rlim_cur = rlim_t(bytes);
    setrlimit(RLIMIT_FSIZE, &limited);
}

SmallDisk::SmallDisk(qint64 bytes)
{
    const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0700";
    if (::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, options.constData()) == 0)
        m_mounted = true;
    else
        m_reason = QStringLiteral("a small file system cannot be mounted here (%1); it takes root")
                       .arg(QString::fromLocal8Bit(std::strerror(errno)));
}

SmallDisk::~SmallDisk()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}
