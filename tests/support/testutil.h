#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>
#include <QWidget>
#include <sys/resource.h>

// A temporary data folder for one test: XDG_CONFIG_HOME points into it, so the program's
// settings file and Html folder land there and vanish with it. The process-wide paths are
// worked out again on entry and on exit.
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
