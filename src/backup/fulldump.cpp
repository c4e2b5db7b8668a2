#include "fulldump.h"

#include "common/cp1250.h"
#include "common/fileerror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

QString FindDumpProgram(const QString &configured)
{
    if (!configured.trimmed().isEmpty())
        return configured.trimmed();
    for (const QString &name : {u"mariadb-dump"_s, u"mysqldump"_s}) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

QByteArray DumpOptionsFileText(const QString &password)
{
    // The option file reader takes a double-quoted value with backslash escapes, so every byte of
    // the password (spaces, '#', quotes) arrives as typed.
    QByteArray quoted;
    for (const char c : ToCp1250(password)) {
        switch (c) {
        case '\\': quoted += "\\\\"; break;
        case '"': quoted += "\\\""; break;
        case '\n': quoted += "\\n"; break;
        case '\r': quoted += "\\r"; break;
        case '\t': quoted += "\\t"; break;
        default: quoted += c;
        }
    }
    return "[client]\npassword=\"" + quoted + "\"\n";
}

QStringList FullDumpArguments(const QString &optionsFile, const ConnectionParams &params,
                              const QString &resultFile)
{
    return {u"--defaults-extra-file="_s + optionsFile,
            u"-c"_s,
            u"-C"_s,
            u"--force"_s,
            u"--single-transaction"_s,
            u"--default-character-set=latin2"_s,
            u"--host="_s + params.host,
            u"--port="_s + QString::number(params.port),
            u"--user="_s + params.user,
            u"--result-file="_s + resultFile,
            u"--databases"_s,
            params.database};
}

namespace fulldump {

const QString OptionsPrefix = u"orvanth-dump-"_s;

// A folder that is the user's own and that no one else may enter.
bool isPrivateFolder(const QString &path)
{
    struct stat info = {};
    return QDir::isAbsolutePath(path) && lstat(QFile::encodeName(path).constData(), &info) == 0 &&
           S_ISDIR(info.st_mode) && info.st_uid == geteuid() && (info.st_mode & 077) == 0;
}

bool processRunning(qint64 pid)
{
    return pid > 0 && (kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

// The options file handed to the dump program: a named pipe that gives the text to the program
// that opens it and disappears then; whatever happens, it is gone when this object is.
class OptionsPipe
{
public:
    explicit OptionsPipe(QByteArray text) : m_text(std::move(text)) {}
    ~OptionsPipe()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_path.isEmpty())
            ::unlink(QFile::encodeName(m_path).constData());
    }
    OptionsPipe(const OptionsPipe &) = delete;
    OptionsPipe &operator=(const OptionsPipe &) = delete;

    // Makes the pipe; the reason in `error` when it cannot be made.
    bool create(QString *error)
    {
        const QString folder = DumpOptionsFolder();
        if (folder.isEmpty()) {
            *error =
                u"Nincs olyan mappa, amelyet csak ön láthat: a jelszó nem adható át a mentőprogramnak."_s;
            return false;
        }
        for (int attempt = 0; attempt < 16; ++attempt) {
            const QString path =
                QDir(folder).filePath(u"%1%2-%3.cnf"_s.arg(OptionsPrefix)
                                          .arg(QCoreApplication::applicationPid())
                                          .arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0')));
            if (::mkfifo(QFile::encodeName(path).constData(), S_IRUSR | S_IWUSR) == 0) {
                m_path = path;
                return true;
            }
            if (errno != EEXIST)
                break;
        }
        *error = u"Az átmeneti beállítási állomány nem hozható létre: "_s + folder + u" ("_s +
                 SystemErrorText(errno) + u')';
        return false;
    }
    const QString &path() const { return m_path; }

    // Passes the text on once the program has opened the pipe; never waits for it.
    void deliver()
    {
        if (m_delivered || m_path.isEmpty())
            return;
        if (m_fd < 0) {
            m_fd = ::open(QFile::encodeName(m_path).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (m_fd < 0)
                return; // the program has not opened it yet
            // The program holds the pipe open: its name has served.
            ::unlink(QFile::encodeName(m_path).constData());
            m_path.clear();
        }
        while (m_written < m_text.size()) {
            const ssize_t n =
                ::write(m_fd, m_text.constData() + m_written, size_t(m_text.size() - m_written));
            if (n < 0 && (errno == EAGAIN || errno == EINTR))
                return; // the program reads on; the rest goes next time
            if (n < 0)
                break; // the program is gone
            m_written += n;
        }
        ::close(m_fd);
        m_fd = -1;
        m_delivered = true;
    }

private:
    QByteArray m_text;
    QString m_path;
    int m_fd = -1;
    qsizetype m_written = 0;
    bool m_delivered = false;
};

// Waits for the dump program, passing it the options and asking `keepGoing` about every 50 ms.
// False when it was stopped (and has been killed).
bool waitForDump(QProcess &dump, OptionsPipe &options, const std::function<bool()> &keepGoing)
{
    while (!dump.waitForFinished(50)) {
        options.deliver();
        if (keepGoing && !keepGoing()) {
            dump.kill();
            dump.waitForFinished();
            return false;
        }
    }
    return true;
}

// Why the finished dump program failed; empty when it ended well.
QString dumpFailure(QProcess &dump)
{
    const QString messages = QString::fromLocal8Bit(dump.readAllStandardError()).trimmed();
    if (dump.exitStatus() != QProcess::NormalExit)
        return QString(u"A mentőprogram rendellenesen leállt. "_s + messages).trimmed();
    if (dump.exitCode() != 0)
        return messages.isEmpty() ? u"A mentőprogram hibakóddal ért véget: %1"_s.arg(dump.exitCode())
                                  : messages;
    return {};
}

} // namespace fulldump

QString DumpOptionsFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (fulldump::isPrivateFolder(runtime))
        return runtime;
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!QDir::isAbsolutePath(cache))
        cache = QDir::homePath() + u"/.cache"_s;
    const QString folder = cache + u"/orvanth"_s;
    QDir().mkpath(cache);
    const QByteArray encoded = QFile::encodeName(folder);
    if (::mkdir(encoded.constData(), S_IRWXU) != 0 && errno == EEXIST) {
        // An older folder of ours may have been made with the umask's mode.
        struct stat info = {};
        if (lstat(encoded.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid())
            ::chmod(encoded.constData(), S_IRWXU);
    }
    return fulldump::isPrivateFolder(folder) ? folder : QString();
}

void RemoveLeftoverDumpOptions()
{
    const QString folder = DumpOptionsFolder();
    if (!folder.isEmpty()) {
        const QDir dir(folder);
        for (const QString &name :
             dir.entryList({fulldump::OptionsPrefix + u"*.cnf"_s}, QDir::AllEntries | QDir::System)) {
            // orvanth-dump-<process>-<random>.cnf: the file of a program still dumping stays.
            const qint64 pid = name.mid(fulldump::OptionsPrefix.size()).section(u'-', 0, 0).toLongLong();
            if (!fulldump::processRunning(pid))
                QFile::remove(dir.filePath(name));
        }
    }
    // Older versions left orvanth-dump-XXXXXX.cnf, the password in plain text, in the temporary
    // folder; only the user's own are touched.
    const QDir temp = QDir::temp();
    for (const QFileInfo &file :
         temp.entryInfoList({fulldump::OptionsPrefix + u"*.cnf"_s}, QDir::Files | QDir::Hidden)) {
        struct stat info = {};
        if (lstat(QFile::encodeName(file.filePath()).constData(), &info) == 0 && S_ISREG(info.st_mode) &&
            info.st_uid == geteuid())
            QFile::remove(file.filePath());
    }
}

DumpOutcome RunFullDump(const QString &program, const ConnectionParams &params, const QString &target,
                        const std::function<bool()> &keepGoing)
{
    DumpOutcome outcome;
    fulldump::OptionsPipe options(DumpOptionsFileText(params.password));
    if (!options.create(&outcome.errorText))
        return outcome;
    const QFileInfo targetInfo(target);
    QTemporaryFile result(targetInfo.dir().filePath(u"."_s + targetInfo.fileName() + u".XXXXXX"_s));
    errno = 0;
    if (!result.open()) {
        outcome.errorText = u"Az állomány nem hozható létre: "_s + targetInfo.dir().path() + u" ("_s +
                            WriteFailureReason(result, errno) + u')';
        return outcome;
    }
    result.close();

    QProcess dump;
    dump.setProgram(program);
    dump.setArguments(FullDumpArguments(options.path(), params, result.fileName()));
    dump.setStandardOutputFile(QProcess::nullDevice());
    dump.start();
    if (!dump.waitForStarted()) {
        outcome.errorText =
            u"A mentőprogram nem indítható: "_s + program + u" ("_s + dump.errorString() + u')';
        return outcome;
    }
    if (!fulldump::waitForDump(dump, options, keepGoing)) {
        outcome.status = DumpOutcome::Status::Stopped;
        return outcome;
    }
    outcome.errorText = fulldump::dumpFailure(dump);
    if (!outcome.errorText.isEmpty())
        return outcome;
    // rename() replaces an older file in one step.
    if (std::rename(QFile::encodeName(result.fileName()).constData(),
                    QFile::encodeName(target).constData()) != 0) {
        outcome.errorText =
            u"Az állomány nem nevezhető át: "_s + target + u" ("_s + SystemErrorText(errno) + u')';
        return outcome;
    }
    result.setAutoRemove(false);
    outcome.status = DumpOutcome::Status::Done;
    return outcome;
}
