#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class QSaveFile;

// The notices web service's base address (scheme, host and folder, ending in "/"), in front of
// request paths such as "verziokovetes.php?prg=1". Built in (ORVANTH_NOTICES_URL at configure
// time, empty by default: such a build asks no web service at all); the environment variable
// ORVANTH_NOTICES_URL or SetNoticesBaseUrl (tests) override it.
QString NoticesBaseUrl();
void SetNoticesBaseUrl(const QString &url);

// Fetches an address into a local file without waiting for it: the caller's event loop runs on
// while the transfer goes on, and finished() tells the outcome. The file is replaced only when
// the whole reply has arrived with a success status; on any failure (no server, an HTTP error
// status, a time-out, a file that cannot be written) an existing file is left as it was.
class FileDownload : public QObject
{
    Q_OBJECT
public:
    explicit FileDownload(QObject *parent = nullptr);
    ~FileDownload() override;

    // False, and no finished(), when the address is not a usable URL or the file cannot be
    // opened for writing; otherwise finished() follows exactly once.
    bool start(const QString &url, const QString &localFile, int timeoutMs = 30000);
    bool isRunning() const { return m_reply != nullptr; }

signals:
    void finished(bool ok);

private:
    void onReadyRead();
    void onFinished();

    std::unique_ptr<QNetworkAccessManager> m_manager;
    std::unique_ptr<QSaveFile> m_file;
    QNetworkReply *m_reply = nullptr;
    bool m_written = true;
};

// Fetches `url` into `localFile` and waits for the transfer (user input is held back meanwhile,
// so nothing re-enters). True only when the server answered with success and the whole reply
// is in the file; otherwise false, as FileDownload. Reports nothing itself.
bool DownloadToFile(const QString &url, const QString &localFile, int timeoutMs = 30000);
