// Attachment slots: stored names, choosing and removing in the editor, viewing through tmp.
#include "db/connection.h"
#include "db/dbroutines.h"
#include "editorfields.h"
#include "gui/messagebox.h"
#include "modaldialogs.h"
#include "register/attachments.h"
#include "register/frm_szerkeszt.h"
#include "register/resolutioneditor.h"
#include "register/resolutionsave.h"
#include "testdatabase.h"
#include "testutil.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <Qsci/qsciscintilla.h>
#include <memory>

using namespace Qt::StringLiterals;
using namespace editorfields;

class TestAttachments : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void storedName_data();
    void storedName();
    void bareFileName_data();
    void bareFileName();
    void attachToExistingRecord();
    void attachToNewRecordUsesItsId();
    void cancelKeepsRecordAndStoredFile();
    void failedSaveKeepsStoredDocument_data();
    void failedSaveKeepsStoredDocument();
    void removeEmptiesSlotAndKeepsFile();
    void missingStoreIsReported();
    void storeThatIsNoAbsolutePath_data();
    void storeThatIsNoAbsolutePath();
    void view_data();
    void view();
    void viewWithNoProgramIsReported();

private:
    int runEditor(int recordId, std::function<void(Tfrm_Szerkeszt *)> answer);

    std::unique_ptr<ScopedDataFolder> m_folder;
    std::unique_ptr<QTemporaryDir> m_dir; // holds the source files and, in "store", the document store
    QString m_store;
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Connection> m_con;
};

void TestAttachments::init()
{
    m_folder = std::make_unique<ScopedDataFolder>();
    m_dir = std::make_unique<QTemporaryDir>();
    m_store = m_dir->filePath(u"store"_s);
    QDir().mkpath(m_store);
    if (TestServer::isAvailable()) {
        m_db = std::make_unique<TestDatabase>();
        m_con = std::make_unique<Connection>(m_db->params());
        m_con->open();
        m_con->exec(u"INSERT INTO csoport (csoport, csoport_nev) VALUES (1, 'Pénzügyi')"_s);
    }
}

void TestAttachments::cleanup()
{
    VerifyNoDialogLeftOpen();
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    m_con.reset();
    m_db.reset();
    m_dir.reset();
    m_folder.reset();
}

int TestAttachments::runEditor(int recordId, std::function<void(Tfrm_Szerkeszt *)> answer)
{
    const ModalAnswer editor = AnswerModal([answer](QWidget *w) {
        auto f = qobject_cast<Tfrm_Szerkeszt *>(w);
        if (f && editorfields::hasAllFields(f))
            answer(f);
        if (w->isVisible())
            w->close();
    });
    return EditResolution(*m_con, recordId, 1, QDate(2025, 3, 3), m_store);
}

void TestAttachments::storedName_data()
{
    QTest::addColumn<qint64>("id");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("stored");

    QTest::newRow("seven digits") << qint64(1234567) << 3 << u"levél.docx"_s << u"1234567-3.docx"_s;
    QTest::newRow("eight digits") << qint64(12345678) << 3 << u"levél.docx"_s << u"12345678-3.docx"_s;
    QTest::newRow("padded, extension as typed")
        << qint64(42) << 2 << u"Jegyzőkönyv.PDF"_s << u"0000042-2.PDF"_s;
    QTest::newRow("no extension") << qint64(7) << 1 << u"README"_s << u"0000007-1"_s;
    QTest::newRow("last dot only") << qint64(7) << 1 << u"a.b.tar.gz"_s << u"0000007-1.gz"_s;
    QTest::newRow("dot in the folder only") << qint64(7) << 1 << u"/home/x.y/README"_s << u"0000007-1"_s;
}

void TestAttachments::storedName()
{
    QFETCH(qint64, id);
    QFETCH(int, slot);
    QFETCH(QString, source);
    QFETCH(QString, stored);
    QCOMPARE(StoredAttachmentName(id, slot, source), stored);
}

void TestAttachments::bareFileName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("bare");

    QTest::newRow("plain") << u"levél.docx"_s << u"levél.docx"_s;
    QTest::newRow("up two") << u"../../x"_s << u"x"_s;
    QTest::newRow("windows folders") << u"..\\..\\Windows\\win.ini"_s << u"win.ini"_s;
    QTest::newRow("absolute") << u"/etc/passwd"_s << u"passwd"_s;
    QTest::newRow("dot-dot alone") << u".."_s << QString();
    QTest::newRow("folder only") << u"a/b/"_s << QString();
}

void TestAttachments::bareFileName()
{
    QFETCH(QString, name);
    QFETCH(QString, bare);
    QCOMPARE(BareFileName(name), bare);
}

void TestAttachments::attachToExistingRecord()
{
    REQUIRE_TEST_SERVER();
    m_con->exec(
        u"INSERT INTO iktato SET iktato = 1234567, ev = 2025, csoport = 1, az = 1, datum = '2025-03-03'"_s);
    const QString source = m_dir->filePath(u"levél.docx"_s);
    WriteTestFile(source, "tartalom");
    AttachmentSeam seam;
    seam.chooser = [source] { return source; };
    QString shown;
    const int id = runEditor(1234567, [&](Tfrm_Szerkeszt *f) {
        chooseButton(f, 2)->click();
        shown = attachmentEdit(f, 2)->text();
        okButton(f)->click();
    });
    QCOMPARE(id, 1234567);
    QCOMPARE(shown, u"levél.docx"_s);
    QCOMPARE(QueryText(*m_con, u"SELECT CONCAT_WS('|', filenev3, origfilenev3) FROM iktato"_s, {}),
             u"1234567-3.docx|levél.docx"_s);
    QCOMPARE(ReadTestFile(m_store + u"/1234567-3.docx"_s), QByteArray("tartalom"));
    QCOMPARE(QDir(m_store).entryList(QDir::Files), QStringList{u"1234567-3.docx"_s});
}

void TestAttachments::attachToNewRecordUsesItsId()
{
    REQUIRE_TEST_SERVER();
    // An earlier record with the next id pending in the store must not be touched or shared.
    m_con->exec(u"INSERT INTO iktato SET iktato = 40, ev = 2025, csoport = 1, az = 1, datum = '2025-03-03', "
                "filenev = '0000040-1.txt', origfilenev = 'a.txt'"_s);
    WriteTestFile(m_store + u"/0000040-1.txt"_s, "negyvenes");
    const QString a = m_dir->filePath(u"a.txt"_s);
    const QString b = m_dir->filePath(u"b.pdf"_s);
    WriteTestFile(a, "új a");
    WriteTestFile(b, "új b");
    AttachmentSeam seam;
    QString next = a;
    seam.chooser = [&next] { return next; };
    const int id = runEditor(-1, [&](Tfrm_Szerkeszt *f) {
        chooseButton(f, 0)->click();
        next = b;
        chooseButton(f, 1)->click();
        dateEdit(f)->setText(u"03.04"_s);
        okButton(f)->click();
    });
    QCOMPARE(id, 41);
    QCOMPARE(
        QueryText(
            *m_con,
            u"SELECT CONCAT_WS('|', filenev, origfilenev, filenev2, origfilenev2) FROM iktato WHERE iktato = 41"_s,
            {}),
        u"0000041-1.txt|a.txt|0000041-2.pdf|b.pdf"_s);
    QCOMPARE(ReadTestFile(m_store + u"/0000041-1.txt"_s), "új a");
    QCOMPARE(ReadTestFile(m_store + u"/0000041-2.pdf"_s), "új b");
    QCOMPARE(ReadTestFile(m_store + u"/0000040-1.txt"_s), QByteArray("negyvenes"));
}

void TestAttachments::cancelKeepsRecordAndStoredFile()
{
    REQUIRE_TEST_SERVER();
    m_con->exec(u"INSERT INTO iktato SET iktato = 42, ev = 2025, csoport = 1, az = 1, datum = '2025-03-03', "
                "filenev = '0000042-1.pdf', origfilenev = 'régi.pdf'"_s);
    WriteTestFile(m_store + u"/0000042-1.pdf"_s, "régi");
    const QString chosen = m_dir->filePath(u"új.pdf"_s);
    WriteTestFile(chosen, "új");
    AttachmentSeam seam;
    seam.chooser = [chosen] { return chosen; };

    QCOMPARE(runEditor(42,
                       [](Tfrm_Szerkeszt *f) {
                           chooseButton(f, 0)->click();
                           f->reject();
                       }),
             -1);
    QCOMPARE(runEditor(-1,
                       [](Tfrm_Szerkeszt *f) {
                           chooseButton(f, 0)->click();
                           f->reject();
                       }),
             -1);
    QCOMPARE(QueryText(*m_con, u"SELECT CONCAT_WS('|', filenev, origfilenev) FROM iktato"_s, {}),
             u"0000042-1.pdf|régi.pdf"_s);
    // The file the record names still holds what it held; nothing else entered the store.
    QCOMPARE(ReadTestFile(m_store + u"/0000042-1.pdf"_s), "régi");
    QCOMPARE(QDir(m_store).entryList(QDir::Files), QStringList{u"0000042-1.pdf"_s});
}

void TestAttachments::failedSaveKeepsStoredDocument_data()
{
    QTest::addColumn<bool>("correctedAndSaved"); // else cancelled after the error

    QTest::newRow("cancelled") << false;
    QTest::newRow("corrected and saved") << true;
}

// A new file for a slot that already holds one, and a text the database cannot hold (pasted
// from a word processor): the save fails, and the stored document is still the one the record
// names. Corrected, the save puts the new file in its place.
void TestAttachments::failedSaveKeepsStoredDocument()
{
    REQUIRE_TEST_SERVER();
    QFETCH(bool, correctedAndSaved);

    m_con->exec(u"INSERT INTO iktato SET iktato = 42, ev = 2025, csoport = 1, az = 1, datum = '2025-03-03', "
                "filenev = '0000042-1.pdf', origfilenev = 'régi.pdf'"_s);
    WriteTestFile(m_store + u"/0000042-1.pdf"_s, "régi jegyzőkönyv");
    const QString chosen = m_dir->filePath(u"új.pdf"_s);
    WriteTestFile(chosen, "új jegyzőkönyv");
    AttachmentSeam seam;
    seam.chooser = [chosen] { return chosen; };
    MessageBoxRecorder boxes;
    bool openAfterError = false;
    QByteArray storedAfterError;
    const int id = runEditor(42, [&](Tfrm_Szerkeszt *f) {
        chooseButton(f, 0)->click();
        textEditor(f)->setText(u"Szavazás: igen ≥ 2/3"_s);
        okButton(f)->click();
        openAfterError = f->isVisible();
        storedAfterError = ReadTestFile(m_store + u"/0000042-1.pdf"_s);
        if (correctedAndSaved) {
            textEditor(f)->setText(u"Szavazás: igen legalább 2/3"_s);
            okButton(f)->click();
        } else {
            cancelButton(f)->click();
        }
    });
    QVERIFY(openAfterError);
    QCOMPARE(storedAfterError, "régi jegyzőkönyv");
    QCOMPARE(boxes.texts(), QStringList{u"Hiba: A következő karakterek nem tárolhatók az adatbázisban: ≥"_s});
    QCOMPARE(id, correctedAndSaved ? 42 : -1);
    QCOMPARE(QueryText(*m_con, u"SELECT CONCAT_WS('|', filenev, origfilenev) FROM iktato"_s, {}),
             correctedAndSaved ? u"0000042-1.pdf|új.pdf"_s : u"0000042-1.pdf|régi.pdf"_s);
    QCOMPARE(ReadTestFile(m_store + u"/0000042-1.pdf"_s),
             correctedAndSaved ? "új jegyzőkönyv" : "régi jegyzőkönyv");
    QCOMPARE(QDir(m_store).entryList(QDir::Files | QDir::Hidden), QStringList{u"0000042-1.pdf"_s});
}

void TestAttachments::removeEmptiesSlotAndKeepsFile()
{
    REQUIRE_TEST_SERVER();
    m_con->exec(u"INSERT INTO iktato SET iktato = 42, ev = 2025, csoport = 1, az = 1, datum = '2025-03-03', "
                "filenev2 = '0000042-2.pdf', origfilenev2 = 'régi.pdf'"_s);
    WriteTestFile(m_store + u"/0000042-2.pdf"_s, "régi");
    QString shown = u"?"_s;
    QCOMPARE(runEditor(42,
                       [&](Tfrm_Szerkeszt *f) {
                           removeButton(f, 1)->click();
                           shown = attachmentEdit(f, 1)->text();
                           okButton(f)->click();
                       }),
             42);
    QCOMPARE(shown, QString());
    QCOMPARE(QueryText(*m_con, u"SELECT CONCAT('[', filenev2, '|', origfilenev2, ']') FROM iktato"_s, {}),
             u"[|]"_s);
    QCOMPARE(ReadTestFile(m_store + u"/0000042-2.pdf"_s), "régi");

    MessageBoxRecorder boxes;
    AttachmentSeam seam;
    QVERIFY(!ViewAttachment(m_store, QueryText(*m_con, u"SELECT filenev2 FROM iktato"_s, {}),
                            QueryText(*m_con, u"SELECT origfilenev2 FROM iktato"_s, {})));
    QCOMPARE(boxes.texts(), QStringList{u"Nincs melléklet létrehozva"_s});
    QVERIFY(seam.opened.isEmpty());
}

void TestAttachments::missingStoreIsReported()
{
    REQUIRE_TEST_SERVER();
    // A store below a plain file can never be created.
    WriteTestFile(m_dir->filePath(u"fájl"_s), "x");
    const QString impossible = m_dir->filePath(u"fájl/tár"_s);
    MessageBoxRecorder boxes;
    AttachmentSeam seam;
    int asked = 0;
    seam.chooser = [&asked] {
        ++asked;
        return QString();
    };
    QString shown = u"?"_s;
    const ModalAnswer editor = AnswerModal([&](QWidget *w) {
        auto f = qobject_cast<Tfrm_Szerkeszt *>(w);
        QVERIFY(f);
        REQUIRE_EDITOR_FIELDS(f);
        chooseButton(f, 0)->click();
        shown = attachmentEdit(f, 0)->text();
        f->reject();
    });
    QCOMPARE(EditResolution(*m_con, -1, 1, QDate(2025, 3, 3), impossible), -1);
    QCOMPARE(boxes.texts(), QStringList{u"Nem létező mentés útvonal: \""_s + impossible + u'"'});
    QCOMPARE(asked, 0);
    QCOMPARE(shown, QString());

    // A store that is missing but can be made is made, parents included.
    const QString fresh = m_dir->filePath(u"új/tár"_s);
    boxes.clear();
    QVERIFY(EnsureDocumentStore(fresh));
    QVERIFY(QFileInfo(fresh).isDir());
    QCOMPARE(boxes.count(), 0);
}

void TestAttachments::storeThatIsNoAbsolutePath_data()
{
    QTest::addColumn<QString>("store");
    QTest::addColumn<QStringList>("message"); // what every refusal names
    QTest::newRow("Windows drive") << u"H:\\Dok\\Hatarozatok"_s
                                   << QStringList{u"\"H:\\Dok\\Hatarozatok\""_s, u"Windows"_s};
    QTest::newRow("Windows share") << u"\\\\szerver\\dok"_s
                                   << QStringList{u"\"\\\\szerver\\dok\""_s, u"Windows"_s};
    QTest::newRow("relative") << u"Dok/Hatarozatok"_s << QStringList{u"\"Dok/Hatarozatok\""_s};
    QTest::newRow("empty") << QString() << QStringList{u"Nem létező mentés útvonal: \"\""_s};
}

// A store path that is not absolute here (set on a Windows workstation, say) would put the
// documents under whatever folder the program was started in, where a copy started elsewhere
// never finds them: attaching, viewing and saving refuse it and create nothing.
void TestAttachments::storeThatIsNoAbsolutePath()
{
    REQUIRE_TEST_SERVER();
    QFETCH(QString, store);
    QFETCH(QStringList, message);
    const QString started = m_dir->filePath(u"indulo"_s);
    QVERIFY(QDir().mkpath(started));
    WriteTestFile(started + u"/0000042-1.pdf"_s, "a program mappájában");
    const QString chosen = m_dir->filePath(u"forrás.pdf"_s);
    WriteTestFile(chosen, "melléklet");
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(started));
    const auto restore = qScopeGuard([&] { QDir::setCurrent(before); });
    const auto shows = [&](const QString &text) {
        for (const QString &part : message) {
            if (!text.contains(part))
                return false;
        }
        return true;
    };

    MessageBoxRecorder boxes;
    AttachmentSeam seam;
    int asked = 0;
    seam.chooser = [&] {
        ++asked;
        return chosen;
    };
    const ModalAnswer editor = AnswerModal([&](QWidget *w) {
        auto f = qobject_cast<Tfrm_Szerkeszt *>(w);
        QVERIFY(f);
        REQUIRE_EDITOR_FIELDS(f);
        chooseButton(f, 0)->click();
        f->reject();
    });
    QCOMPARE(EditResolution(*m_con, -1, 1, QDate(2025, 3, 3), store), -1);
    QCOMPARE(asked, 0);
    QCOMPARE(boxes.count(), 1);
    QVERIFY2(shows(boxes.texts().constFirst()), qPrintable(boxes.texts().constFirst()));

    boxes.clear();
    QVERIFY(!ViewAttachment(store, u"0000042-1.pdf"_s, u"jegyzőkönyv.pdf"_s));
    QCOMPARE(boxes.count(), 1);
    QVERIFY2(shows(boxes.texts().constFirst()), qPrintable(boxes.texts().constFirst()));
    QVERIFY(seam.opened.isEmpty());

    const Resolution loaded = NewResolutionRecord(*m_con, 1, QDate(2025, 3, 3));
    Resolution edited = loaded;
    edited.subject = u"Tárgy"_s;
    edited.attachments[0].chosenPath = chosen;
    edited.attachments[0].sourceName = u"forrás.pdf"_s;
    const SaveResult saved = SaveResolution(*m_con, loaded, edited, store);
    QVERIFY(!saved.ok);
    QVERIFY2(shows(saved.error), qPrintable(saved.error));
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM iktato"_s, -1), 0);

    QCOMPARE(QDir(started).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{u"0000042-1.pdf"_s});
}

void TestAttachments::view_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("message");  // empty: the copy is opened
    QTest::addColumn<QString>("copyName"); // name of the copy in tmp

    QTest::newRow("opened under its source name")
        << u"0000042-1.pdf"_s << u"Jegyzőkönyv.pdf"_s << QString() << u"Jegyzőkönyv.pdf"_s;
    QTest::newRow("empty slot") << QString() << QString() << u"Nincs melléklet létrehozva"_s << QString();
    QTest::newRow("stored file deleted")
        << u"0000099-1.pdf"_s << u"x.pdf"_s << u"Nem létező állomány"_s << QString();
    QTest::newRow("source name climbing out") << u"0000042-1.pdf"_s << u"../../x"_s << QString() << u"x"_s;
    QTest::newRow("source name with windows folders")
        << u"0000042-1.pdf"_s << u"..\\..\\y.pdf"_s << QString() << u"y.pdf"_s;
    QTest::newRow("source name no file name")
        << u"0000042-1.pdf"_s << u".."_s << QString() << u"0000042-1.pdf"_s;
    QTest::newRow("stored name climbing out")
        << u"../fájl"_s << u"x.pdf"_s << u"Nem létező állomány"_s << QString();
}

void TestAttachments::view()
{
    QFETCH(QString, stored);
    QFETCH(QString, source);
    QFETCH(QString, message);
    QFETCH(QString, copyName);

    WriteTestFile(m_store + u"/0000042-1.pdf"_s, "tárolt");
    WriteTestFile(m_dir->filePath(u"fájl"_s), "a tárolón kívül");
    const QStringList outsideBefore = QDir(m_dir->path()).entryList(QDir::Files);
    MessageBoxRecorder boxes;
    AttachmentSeam seam;
    const bool opened = ViewAttachment(m_store, stored, source);

    QCOMPARE(opened, message.isEmpty());
    QCOMPARE(boxes.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    if (message.isEmpty()) {
        const QString copy = m_store + u"/tmp/"_s + copyName;
        QCOMPARE(seam.opened, QList<QUrl>{QUrl::fromLocalFile(copy)});
        QCOMPARE(ReadTestFile(copy), "tárolt");
        QCOMPARE(QDir(m_store + u"/tmp"_s).entryList(QDir::Files), QStringList{copyName});
    } else {
        QVERIFY(seam.opened.isEmpty());
    }
    // Nothing was written beside the store or above it.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), outsideBefore);
    QCOMPARE(QDir(m_store).entryList(QDir::Files), QStringList{u"0000042-1.pdf"_s});
}

// No program is associated with the file's type (here: the platform opens nothing at all): the
// clerk is told, instead of nothing happening.
void TestAttachments::viewWithNoProgramIsReported()
{
    if (QGuiApplication::platformName() != u"offscreen"_s)
        QSKIP("only the offscreen platform is known to open nothing");
    WriteTestFile(m_store + u"/0000042-1.xyz"_s, "tárolt");
    MessageBoxRecorder boxes;
    QVERIFY(!ViewAttachment(m_store, u"0000042-1.xyz"_s, u"Jegyzőkönyv.xyz"_s));
    QCOMPARE(
        boxes.texts(),
        QStringList{
            u"A(z) \"Jegyzőkönyv.xyz\" állomány nem nyitható meg: nincs program társítva a típusához."_s});
    QCOMPARE(boxes.boxes().first().kind, MessageBoxRecorder::Kind::Error);
    // The copy was made all the same; another try, once a program is set up, opens it.
    QCOMPARE(ReadTestFile(m_store + u"/tmp/Jegyzőkönyv.xyz"_s), "tárolt");
}

QTEST_MAIN(TestAttachments)
#include "tst_attachments.moc"
