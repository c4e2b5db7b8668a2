#include "testdatabase.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

QString SourcePath(const QString &relative)
{
    QString root = qEnvironmentVariable("ORVANTH_SOURCE_DIR");
    if (root.isEmpty())
        root = QStringLiteral(ORVANTH_SOURCE_DIR);
    return QDir(root).filePath(relative);
}

QString TestServer::folder()
{
    return qEnvironmentVariable("ORVANTH_TEST_MARIADB_DIR");
}

bool TestServer::isAvailable()
{
    return !folder().isEmpty() && QFile::exists(folder() + u"/port"_s) && QFile::exists(socket());
}

int TestServer::port()
{
    QFile f(folder() + u"/port"_s);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    return f.readAll().trimmed().toInt();
}

QString TestServer::socket()
{
    return folder() + u"/mysqld.sock"_s;
}

QByteArray TestServer::client(const QByteArray &sql, const QString &database, bool *ok, const char *charset,
                              QByteArray *error)
{
    QProcess p;
    QStringList args{u"--no-defaults"_s, u"--socket="_s + socket(), u"-uroot"_s, u"--batch"_s,
                     u"--skip-column-names"_s};
    if (charset)
        args << u"--default-character-set="_s + QLatin1StringView(charset);
    if (!database.isEmpty())
        args << database;
    p.start(u"mariadb"_s, args);
    p.waitForStarted();
    p.write(sql);
    p.closeWriteChannel();
    // A client still running after a minute has not done its work: its exit code would read 0.
    const bool finished = p.waitForFinished(60000);
    if (!finished) {
        p.kill();
        p.waitForFinished();
    }
    const bool good = finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (ok)
        *ok = good;
    QByteArray errors = p.readAllStandardError();
    // A client that did not start or did not finish says nothing on its standard error.
    if (!good && errors.isEmpty())
        errors = p.errorString().toUtf8();
    if (!good)
        qWarning("mariadb client failed: %s", errors.constData());
    if (error)
        *error = errors;
    return p.readAllStandardOutput();
}

TestDatabase::TestDatabase(Content content)
{
    static QAtomicInt counter;
    m_name = u"t_%1_%2"_s.arg(QCoreApplication::applicationPid()).arg(counter.fetchAndAddRelaxed(1));
    bool ok = false;
    TestServer::client("DROP DATABASE IF EXISTS " + m_name.toLatin1() + "; CREATE DATABASE " +
                           m_name.toLatin1() + " DEFAULT CHARACTER SET latin2 COLLATE latin2_hungarian_ci;",
                       {}, &ok);
    if (!ok)
        qFatal("cannot create test database %s", qPrintable(m_name));
    if (content == Content::Schema)
        load(SourcePath(u"sql/schema.sql"_s));
}

TestDatabase::~TestDatabase()
{
    TestServer::client("DROP DATABASE IF EXISTS " + m_name.toLatin1() + ";");
}

ConnectionParams TestDatabase::params() const
{
    ConnectionParams p;
    p.database = m_name;
    p.host = u"127.0.0.1"_s;
    p.port = TestServer::port();
    p.user = u"root"_s;
    p.password.clear();
    return p;
}

QByteArray TestDatabase::client(const QByteArray &sql, const char *charset, std::source_location where) const
{
    bool ok = false;
    QByteArray error;
    const QByteArray out = TestServer::client(sql, m_name, &ok, charset, &error);
    if (!ok) {
        const QByteArray message = "SQL failed in " + m_name.toLatin1() + ": " + error.trimmed() +
                                   "\n   Statement: " + sql.left(300);
        QTest::qFail(message.constData(), where.file_name(), int(where.line()));
    }
    return out;
}

void TestDatabase::load(const QString &path, const char *charset) const
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    bool ok = false;
    // The SQL files of the source tree are UTF-8; the server turns their texts into latin2.
    TestServer::client(f.readAll(), m_name, &ok, charset);
    if (!ok)
        qFatal("cannot load %s into %s", qPrintable(path), qPrintable(m_name));
}
