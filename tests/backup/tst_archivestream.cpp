#include "backup/archivestream.h"
#include "backupsample.h"
#include "testutil.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Several megabytes of script-like text: far more than the stream queues at once, and words
// drawn at random so that the archive stays large enough to fill a small disk.
QByteArray sampleText()
{
    static const QByteArray text = [] {
        QRandomGenerator random(7);
        const QList<QByteArray> words{
            "INSERT", "IGNORE", "INTO", "iktato",     "VALUES", "Bizottság",   "\x84id\xE9z\x94",
            "'x'",    "\\\\",   "NULL", "2024-05-17", "\r\n",   "hat\xE1rozat"};
        QByteArray out;
        while (out.size() < 6 * 1024 * 1024) {
            out += words.at(random.bounded(int(words.size())));
            out += QByteArray::number(random.bounded(100000));
            out += random.bounded(8) == 0 ? ";\r\n" : ",";
        }
        return out;
    }();
    return text;
}

// Feeds the text in pieces of uneven sizes, some larger than a queued chunk.
bool appendInPieces(ArchiveStream &archive, const QByteArray &text)
{
    QRandomGenerator random(11);
    for (qsizetype at = 0; at < text.size();) {
        const qsizetype size = qMin<qsizetype>(text.size() - at, random.bounded(1, 400 * 1024));
        if (!archive.append(text.constData() + at, size))
            return false;
        at += size;
    }
    return true;
}

} // namespace

class TestArchiveStream : public QObject
{
    Q_OBJECT

private slots:
    void writesOneDeflatedEntry();
    void fullDiskLeavesOlderArchive_data();
    void fullDiskLeavesOlderArchive();
    void unfinishedLeavesOlderArchive_data();
    void unfinishedLeavesOlderArchive();
    void unwritableFolderIsReported();
};

void TestArchiveStream::writesOneDeflatedEntry()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"mentes.zip"_s);
    WriteTestFile(path, "régi archívum");
    {
        ArchiveStream archive(path, u"Mentés 2024.sql"_s);
        QVERIFY(appendInPieces(archive, sampleText()));
        QVERIFY2(archive.finish(), qPrintable(archive.errorText()));
        QVERIFY(archive.errorText().isEmpty());
    }
    QCOMPARE(FolderEntries(dir.path()), QStringList{u"mentes.zip"_s});
    const ToolRun tested = RunTool(u"unzip"_s, {u"-tq"_s, path});
    QVERIFY2(tested.exitCode == 0, tested.out.constData());
    const ToolRun verbose = RunTool(u"unzip"_s, {u"-v"_s, path});
    QVERIFY2(verbose.out.contains("Defl:X"), verbose.out.constData());
    const ToolRun python = ReadZipWithPython(path, u"Mentés 2024.sql"_s);
    QVERIFY2(python.exitCode == 0, python.err.constData());
    QVERIFY(python.out == sampleText());
    const ZipEntryHeaders headers = ReadZipEntryHeaders(path);
    QCOMPARE(headers.localVersion, 20);
    QCOMPARE(headers.centralVersion, 20);
    QVERIFY(!headers.localExtras.contains(1) && !headers.centralExtras.contains(1));
}

void TestArchiveStream::fullDiskLeavesOlderArchive_data()
{
    QTest::addColumn<int>("spareBytes"); // the disk holds the whole archive but this many bytes; -1: nothing
    QTest::newRow("nothing fits") << -1;
    QTest::newRow("half way") << 0;
    // Only the archive's directory at the end does not fit.
    QTest::newRow("all but the last byte") << 1;
}

void TestArchiveStream::fullDiskLeavesOlderArchive()
{
    QFETCH(int, spareBytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"mentes.zip"_s);
    qint64 archiveSize = 0;
    {
        ArchiveStream archive(path, u"mentes.sql"_s);
        QVERIFY(appendInPieces(archive, sampleText()));
        QVERIFY(archive.finish());
        archiveSize = QFileInfo(path).size();
    }
    const QByteArray older = "régi archívum, byte-ra ugyanaz marad";
    WriteTestFile(path, older);
    bool finished = true;
    QString reason;
    {
        FileSizeLimit full(spareBytes < 0 ? 0 : spareBytes == 0 ? archiveSize / 2 : archiveSize - spareBytes);
        ArchiveStream archive(path, u"mentes.sql"_s);
        appendInPieces(archive, sampleText());
        finished = archive.finish();
        reason = archive.errorText();
    }
    QVERIFY2(!finished, "an archive that did not fit was reported as written");
    QVERIFY(!reason.isEmpty());
    QCOMPARE(ReadTestFile(path), older);
    QCOMPARE(FolderEntries(dir.path()), QStringList{u"mentes.zip"_s});
}

void TestArchiveStream::unfinishedLeavesOlderArchive_data()
{
    QTest::addColumn<bool>("abandoned"); // false: destroyed unfinished, as when the writer throws
    QTest::newRow("abandoned") << true;
    QTest::newRow("destroyed unfinished") << false;
}

void TestArchiveStream::unfinishedLeavesOlderArchive()
{
    QFETCH(bool, abandoned);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"mentes.zip"_s);
    const QByteArray older = "régi archívum";
    WriteTestFile(path, older);
    {
        ArchiveStream archive(path, u"mentes.sql"_s);
        QVERIFY(appendInPieces(archive, sampleText()));
        if (abandoned) {
            archive.abandon();
            QVERIFY(!archive.finish());
        }
    }
    QCOMPARE(ReadTestFile(path), older);
    QCOMPARE(FolderEntries(dir.path()), QStringList{u"mentes.zip"_s});
}

void TestArchiveStream::unwritableFolderIsReported()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"nincs/mentes.zip"_s);
    ArchiveStream archive(path, u"mentes.sql"_s);
    appendInPieces(archive, sampleText().left(1024 * 1024));
    QVERIFY(!archive.finish());
    QVERIFY(!archive.errorText().isEmpty());
    QVERIFY(FolderEntries(dir.path()).isEmpty());
}

QTEST_GUILESS_MAIN(TestArchiveStream)
#include "tst_archivestream.moc"
