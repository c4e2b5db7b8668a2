#include "testutil.h"

#include "common/paths.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QProcess>
#include <QTest>
#include <QWindow>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/mount.h>
#include <unistd.h>

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

void FailMissingChild(const QObject *parent, const QString &name, const char *className,
                      std::source_location where)
{
    QString owner = u"null"_s;
    if (parent) {
        owner = QString::fromLatin1(parent->metaObject()->className());
        if (!parent->objectName().isEmpty())
            owner += u" \""_s + parent->objectName() + u'"';
    }
    const QString message = u"No %1 \"%2\" in %3"_s.arg(QLatin1StringView(className), name, owner);
    QTest::qFail(message.toUtf8().constData(), where.file_name(), int(where.line()));
}

Unchangeable::Unchangeable(QString path) : m_path(std::move(path))
{
    if (geteuid() == 0) {
        m_ok = QProcess::execute(u"chattr"_s, {u"+i"_s, m_path}) == 0;
        m_attribute = true;
    } else {
        m_permissions = QFile::permissions(m_path);
        m_ok = QFile::setPermissions(m_path,
                                     QFile::ReadOwner | QFile::ReadUser | QFile::ExeOwner | QFile::ExeUser);
    }
}

Unchangeable::~Unchangeable()
{
    if (m_attribute)
        QProcess::execute(u"chattr"_s, {u"-i"_s, m_path});
    else
        QFile::setPermissions(m_path, m_permissions);
}
