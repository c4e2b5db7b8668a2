#include "common/sqltext.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The console and ExecSql send \r\n typed as four characters as a real line break; the other
// escapes of the text must reach the server as they were typed.
class TestUnescape : public QObject
{
    Q_OBJECT

private slots:
    void unescapeCrLf_data();
    void unescapeCrLf();
};

void TestUnescape::unescapeCrLf_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("NULL") << QVariant() << QString();
    QTest::newRow("no escape") << QVariant(u"SELECT 1"_s) << u"SELECT 1"_s;
    QTest::newRow("one pair") << QVariant(u"'a\\r\\nb'"_s) << u"'a\r\nb'"_s;
    QTest::newRow("any letter case") << QVariant(u"a\\R\\Nb\\r\\Nc"_s) << u"a\r\nb\r\nc"_s;
    QTest::newRow("two pairs in a row") << QVariant(u"\\r\\n\\r\\n"_s) << u"\r\n\r\n"_s;
    // A backslash, then r, then a line break: the doubled backslash is the stored one.
    QTest::newRow("escaped backslash before r") << QVariant(u"'\\\\r\\n'"_s) << u"'\\\\r\\n'"_s;
    QTest::newRow("escaped backslash before the pair") << QVariant(u"'\\\\\\r\\n'"_s) << u"'\\\\\r\n'"_s;
    QTest::newRow("escaped quote before the pair") << QVariant(u"'\\'\\r\\n'"_s) << u"'\\'\r\n'"_s;
    QTest::newRow("only half a pair") << QVariant(u"a\\rb\\n"_s) << u"a\\rb\\n"_s;
    QTest::newRow("pair cut at the end") << QVariant(u"a\\r\\"_s) << u"a\\r\\"_s;
    QTest::newRow("lone backslash at the end") << QVariant(u"a\\"_s) << u"a\\"_s;
}

void TestUnescape::unescapeCrLf()
{
    QFETCH(QVariant, value);
    QFETCH(QString, expected);
    QCOMPARE(UnescapeCrLf(value), expected);
}

QTEST_GUILESS_MAIN(TestUnescape)
#include "tst_unescape.moc"
