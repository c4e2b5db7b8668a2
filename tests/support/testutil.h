#pragma once

#include <QFileDevice>
#include <QList>
#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QWidget>
#include <memory>
#include <source_location>
#include <sys/resource.h>

// Takes the URLs of a scheme (local files by default) that the program hands to the desktop
// while it lives, so that no real program starts.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    explicit UrlCatcher(QString scheme = QStringLiteral("file"));
    ~UrlCatcher() override;
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls.append(url); }

private:
    QString m_scheme;
};

// A temporary data folder for one test: XDG_CONFIG_HOME points into it, so the program's
// settings file and Html folder land there and vanish with it. The process-wide paths are
// worked out again on entry and on exit.
class ScopedDataFolder
{
public:
    ScopedDataFolder();
    ~ScopedDataFolder();
    QString path() const { return m_dir.path(); }
    // The folder that holds OrvantH.ini under this configuration home.
    QString dataFolder() const;

private:
    QTemporaryDir m_dir;
    QByteArray m_oldConfigHome;
    bool m_hadConfigHome;
};

// The outer rectangle of a shown window as the window system reports it: the client area and the
// frame the window manager put around it. (QWidget::frameGeometry() can lag behind the window
// manager under X11.) Equal to the client area while the window has no frame.
QRect ShownOuterGeometry(const QWidget *window);

// Saves a picture of the widget as `name`.png into the folder that ORVANTH_SHOTS names, so that a
// person can look at what the tests show; does nothing when ORVANTH_SHOTS is not set.
void SaveShot(QWidget *widget, const QString &name);

// Types `text` into the widget key by key. QTest::keyClicks knows only ASCII; Hungarian letters
// go as key events carrying their text.
void TypeText(QWidget *widget, const QString &text);

// Writes `content` to `path`, failing the test when it cannot.
void WriteTestFile(const QString &path, const QByteArray &content);
// The bytes of `path`; "<missing>" when it cannot be read, so that a comparison says why.
QByteArray ReadTestFile(const QString &path);

// A disk that fills up: while it lives, no file this process writes grows beyond `bytes`, and a
// write past that fails with EFBIG instead of killing the process with SIGXFSZ. The limit and the
// signal's handling are restored afterwards.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    // The same for a child process, to be called between fork and exec.
    static void applyInChild(qint64 bytes);

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = nullptr;
};

// A real disk that fills up: a small memory file system mounted on a temporary folder for the
// test's lifetime, so that writes fail with ENOSPC as on a full disk. Mounting takes the
// privileges of root; without them mounted() is false and the test skips with skipReason().
class SmallDisk
{
public:
    explicit SmallDisk(qint64 bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;
    bool mounted() const { return m_mounted; }
    QString skipReason() const { return m_reason; }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_reason;
};

// A file or folder that nobody may change: the immutable attribute when running as root (whom
// permissions do not stop), read-only permissions otherwise. Undone when it goes.
class Unchangeable
{
public:
    explicit Unchangeable(QString path);
    ~Unchangeable();
    Unchangeable(const Unchangeable &) = delete;
    Unchangeable &operator=(const Unchangeable &) = delete;
    bool ok() const { return m_ok; }

private:
    QString m_path;
    bool m_ok = false;
    bool m_attribute = false;
    QFileDevice::Permissions m_permissions;
};

// Fails the running test: `parent` has no child `name` of the given class.
void FailMissingChild(const QObject *parent, const QString &name, const char *className,
                      std::source_location where);

// The child of `parent` called `name`, of type T (searched recursively, as findChild does). A
// missing one - a renamed objectName, a window that was not built - fails the running test with
// the name and gives null; use REQUIRE_CHILD to leave the function there, so that nothing goes on
// to dereference it.
template <typename T>
T *RequireChild(const QObject *parent, const QString &name,
                std::source_location where = std::source_location::current())
{
    T *child = parent ? parent->findChild<T *>(name) : nullptr;
    if (!child)
        FailMissingChild(parent, name, T::staticMetaObject.className(), where);
    return child;
}

template <typename T, typename Owner>
T *RequireChild(const std::unique_ptr<Owner> &parent, const QString &name,
                std::source_location where = std::source_location::current())
{
    return RequireChild<T>(parent.get(), name, where);
}

// Declares `Type *var`, the child `name` of `parent`, and returns from the (void) function - a
// test function or a dialog's answer - when there is none; the test has failed with its name.
#define REQUIRE_CHILD(var, Type, parent, name)                                                               \
    Type *var = RequireChild<Type>((parent), (name));                                                        \
    if (!var)                                                                                                \
    return
