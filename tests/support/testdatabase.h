#pragma once

#include "db/connection.h"

#include <QByteArray>
#include <QString>
#include <QTest>
#include <source_location>

// The private MariaDB server that CTest starts for the run (scripts/mariadb.sh).
class TestServer
{
public:
    static bool isAvailable();
    static QString folder();
    static int port();
    static QString socket();
    // Runs SQL through the real `mariadb` command-line client as root on a latin2 connection:
    // the bytes reach the server exactly as given, as from another workstation. A null charset
    // leaves the client at its own default character set.
    // `error` receives what the client wrote to its standard error.
    static QByteArray client(const QByteArray &sql, const QString &database = {}, bool *ok = nullptr,
                             const char *charset = "latin2", QByteArray *error = nullptr);
};

// A fresh database for one test, created from sql/schema.sql (or empty), dropped afterwards.
class TestDatabase
{
public:
    enum class Content { Schema, Empty };
    explicit TestDatabase(Content content = Content::Schema);
    ~TestDatabase();
    TestDatabase(const TestDatabase &) = delete;
    TestDatabase &operator=(const TestDatabase &) = delete;

    const QString &name() const { return m_name; }
    ConnectionParams params() const;
    // Runs SQL in this database through the command-line client and gives what it printed. An
    // error fails the running test at the caller's line with the server's message, but the caller
    // goes on: wrap a statement in REQUIRE_SQL() to leave the test function there. SQL that is
    // meant to fail goes through TestServer::client() with its `ok`.
    // The bytes go as latin2 (cp1250 text, as from a workstation); give "utf8mb4" for SQL written
    // as UTF-8 in the test's source.
    QByteArray client(const QByteArray &sql, const char *charset = "latin2",
                      std::source_location where = std::source_location::current()) const;
    // Loads a UTF-8 SQL file (schema, demo data) into this database through the command-line
    // client, on a utf8mb4 connection as the scripts do (null: the client's default).
    void load(const QString &path, const char *charset = "utf8mb4") const;

private:
    QString m_name;
};

// Path of a file in the source tree (sql/schema.sql...).
QString SourcePath(const QString &relative);

// A test binary started by hand, without CTest, has no server and skips its database tests.
// Under CTest the server was promised (ORVANTH_TEST_MARIADB_DIR is set): a server that is gone
// fails the test instead of skipping it silently.
#define REQUIRE_TEST_SERVER()                                                                                \
    do {                                                                                                     \
        if (!TestServer::isAvailable()) {                                                                    \
            if (!TestServer::folder().isEmpty())                                                             \
                QFAIL("The private MariaDB server promised by ORVANTH_TEST_MARIADB_DIR is not running");     \
            QSKIP("No private MariaDB server: run the tests through ctest");                                 \
        }                                                                                                    \
    } while (false)

// Runs a TestDatabase::client() statement and leaves the (void) function when the test has failed,
// so that nothing goes on against a database that is not as the test built it:
//     REQUIRE_SQL(m_db->client("INSERT INTO csoport ..."));
#define REQUIRE_SQL(call)                                                                                    \
    do {                                                                                                     \
        (void)(call);                                                                                        \
        if (QTest::currentTestFailed())                                                                      \
            return;                                                                                          \
    } while (false)
