// Awkward text pasted into every field that reaches the database: each input must come back from
// the database exactly as the field held it, or be refused with a message that names what is
// wrong while the window stays open with the text. No server error may reach the user.
#include "common/cp1250.h"
#include "db/connection.h"
#include "db/dbroutines.h"
#include "gui/messagebox.h"
#include "masterdata/frm_torzsadat.h"
#include "masterdata/frm_torzsme.h"
#include "modaldialogs.h"
#include "register/frm_szerkeszt.h"
#include "register/perioddialogs.h"
#include "register/registerquery.h"
#include "register/registerview.h"
#include "register/resolutioneditor.h"
#include "register/resolutionsave.h"
#include "testdatabase.h"
#include "testutil.h"
#include "users/frm_felhasznaloszerkeszt.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <Qsci/qsciscintilla.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// The inputs every field is tried with.
struct CorpusInput
{
    const char *name;
    QString text;
};

QList<CorpusInput> corpus()
{
    QString big;
    while (big.size() < 64 * 1024)
        big += u"Árvíztűrő tükörfúrógép 0123456789 "_s;
    big.truncate(64 * 1024);
    return {
        {"Hungarian accents", u"őűŐŰáé"_s},
        {"single quote", u"O'Brien ''"_s},
        {"double quote", u"a \"b\" c"_s},
        {"backslashes", u"C:\\temp\\new \\' \\\\"_s},
        {"backslash before line break", u"vége\\\r\nkövetkező\\"_s},
        {"escape look-alike", u"szó\\r\\nszó"_s},
        {"CR", u"első\rmásodik"_s},
        {"LF", u"első\nmásodik"_s},
        {"CR LF", u"első\r\nmásodik"_s},
        {"NUL", QString::fromUtf16(u"előtte\0utána", 12)},
        {"percent", u"100%"_s},
        {"underscore", u"a_b"_s},
        {"64 KB", big},
        {"emoji", u"Jó 😀 napot"_s},
        {"Cyrillic", u"Привет"_s},
        {"injection", u"'; DROP TABLE iktato; --"_s},
        {"leading and trailing blanks", u"  szóköz  "_s},
    };
}

// The row names of a field's table: "field: input".
void addCorpusRows(const char *field)
{
    for (const CorpusInput &input : corpus())
        QTest::addRow("%s: %s", field, input.name) << input.text;
}

// Replaces the field's text by pasting, as text copied from anywhere arrives.
void pasteInto(QWidget *field, const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
}

// The resolution text's lines end in CR LF, as the register's: a pasted text takes them.
QString pastedText(QString text)
{
    text.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    return text.replace(u"\n"_s, u"\r\n"_s);
}

// A single-line field keeps its column's length, so a longer paste is cut at entry: what the
// field shows is then what is stored.
QString heldBy(int maxLength, const QString &text)
{
    return text.left(maxLength);
}

// The refusal of text the database cannot hold: one box that names every such character.
void verifyRefusal(const MessageBoxRecorder &boxes, const QString &input)
{
    QCOMPARE(boxes.count(), 1);
    const QString text = boxes.texts().constFirst();
    QVERIFY2(text.contains(u"nem tárolhatók"_s), qPrintable(text));
    const QString bad = UnmappableCp1250Chars(input);
    QVERIFY(!bad.isEmpty());
    QVERIFY2(text.contains(bad), qPrintable(text));
}

// The stored bytes of one value as the independent client sees them, hex-encoded.
QByteArray storedHex(const TestDatabase &db, const QString &sql)
{
    return db.client(ToCp1250(sql)).trimmed();
}

QByteArray expectedHex(const QString &text)
{
    return ToCp1250(text).toHex().toUpper();
}

} // namespace

class TestBadInput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void resolutionEditor_data();
    void resolutionEditor();
    void storedTextSurvivesAnEdit_data();
    void storedTextSurvivesAnEdit();
    void longerThanItsColumn_data();
    void longerThanItsColumn();
    void committee_data();
    void committee();
    void subjectCatalogue_data();
    void subjectCatalogue();
    void user_data();
    void user();
    void searchBox_data();
    void searchBox();
    void periodDialog_data();
    void periodDialog();

private:
    std::unique_ptr<ScopedDataFolder> m_folder;
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Connection> m_con;
};

void TestBadInput::initTestCase()
{
    REQUIRE_TEST_SERVER();
    m_db = std::make_unique<TestDatabase>();
}

void TestBadInput::init()
{
    m_folder = std::make_unique<ScopedDataFolder>();
    REQUIRE_SQL(
        m_db->client("DELETE FROM iktato; DELETE FROM targy; DELETE FROM csoport; DELETE FROM felhasznalo;"));
    REQUIRE_SQL(m_db->client(
        ToCp1250(u"INSERT INTO csoport (csoport, csoport_nev) VALUES (1, 'Pénzügyi Bizottság');"
                 u"INSERT INTO felhasznalo VALUES (1, 'anna', 'Kiss Anna', MD5('x'), 'I', 'I');"_s)));
    m_con = std::make_unique<Connection>(m_db->params());
    m_con->open();
}

void TestBadInput::cleanup()
{
    VerifyNoDialogLeftOpen();
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    m_con.reset();
    m_folder.reset();
}

void TestBadInput::resolutionEditor_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("input");
    for (const char *field : {"targy", "hatarozat", "felelos"}) {
        for (const CorpusInput &input : corpus())
            QTest::addRow("%s: %s", field, input.name) << QString::fromLatin1(field) << input.text;
    }
}

// The resolution editor: a new record with the input in one field, then the record opened again.
void TestBadInput::resolutionEditor()
{
    QFETCH(QString, field);
    QFETCH(QString, input);
    const bool storable = UnmappableCp1250Chars(input).isEmpty();
    // The text editor's paste would cut a text at its NUL: it takes no such text.
    const bool refusedAtPaste = field == u"hatarozat"_s && input.contains(QChar(0));
    QTemporaryDir store;
    MessageBoxRecorder boxes;
    Resolution held;
    held.year = 2025; // the date field holds month and day only
    bool stayedOpen = false;
    QString keptText;
    const auto fieldOf = [&field](Tfrm_Szerkeszt *f) -> QWidget * {
        if (field == u"targy"_s) {
            auto *box = RequireChild<QComboBox>(f, u"DBComboBox1"_s);
            return box ? box->lineEdit() : nullptr;
        }
        if (field == u"hatarozat"_s)
            return RequireChild<QsciScintilla>(f, u"SynEdit1"_s);
        return RequireChild<QLineEdit>(f, u"c4"_s);
    };
    ModalAnswer editor = AnswerModal([&](QDialog *d) {
        auto f = qobject_cast<Tfrm_Szerkeszt *>(d);
        QVERIFY(f);
        if (field == u"felelos"_s) {
            REQUIRE_CHILD(dbCheckBox1, QCheckBox, f, u"DBCheckBox1"_s);
            dbCheckBox1->setChecked(true);
        }
        QWidget *target = fieldOf(f);
        if (!target)
            return;
        pasteInto(target, input);
        QString error;
        QVERIFY2(f->collect(held, &error), qPrintable(error));
        if (refusedAtPaste) {
            f->reject();
            return;
        }
        REQUIRE_CHILD(btnOK, QPushButton, f, u"btnOK"_s);
        btnOK->click();
        stayedOpen = f->isVisible();
        if (stayedOpen) {
            Resolution after = held;
            QVERIFY(f->collect(after, &error));
            keptText = field == u"targy"_s       ? after.subject
                       : field == u"hatarozat"_s ? after.text
                                                 : after.responsible;
            f->reject();
        }
    });
    const int id = EditResolution(*m_con, -1, 1, QDate(2025, 3, 4), store.path());
    QVERIFY(editor.verify());
    const QString heldText = field == u"targy"_s       ? held.subject
                             : field == u"hatarozat"_s ? held.text
                                                       : held.responsible;

    if (refusedAtPaste) {
        QCOMPARE(id, -1);
        QCOMPARE(held.text, QString());
        QCOMPARE(boxes.count(), 1);
        QVERIFY2(boxes.texts().constFirst().contains(u"(NUL)"_s), qPrintable(boxes.texts().constFirst()));
        return;
    }
    if (!storable) {
        QCOMPARE(id, -1);
        QVERIFY(stayedOpen);
        QCOMPARE(keptText, heldText);
        QCOMPARE(heldText, input);
        verifyRefusal(boxes, input);
        QCOMPARE(storedHex(*m_db, u"SELECT COUNT(*) FROM iktato"_s), "0");
        return;
    }
    QCOMPARE(boxes.texts(), QStringList());
    QVERIFY(id > 0);
    // The subject and the responsible are single lines of their column's length; the text takes
    // whatever was pasted.
    if (field == u"targy"_s)
        QCOMPARE(heldText, heldBy(255, input));
    else if (field == u"felelos"_s)
        QCOMPARE(heldText, heldBy(1024, input));
    else
        QCOMPARE(heldText, pastedText(input));
    QCOMPARE(storedHex(*m_db, u"SELECT HEX(%1) FROM iktato WHERE iktato = %2"_s.arg(field).arg(id)),
             expectedHex(heldText));
    if (field == u"targy"_s)
        QCOMPARE(storedHex(*m_db, u"SELECT HEX(targy) FROM targy WHERE targy <> ''"_s),
                 expectedHex(heldText));

    // Opened again and saved untouched: the window shows the stored text and writes it back as is.
    Resolution shown = held;
    ModalAnswer again = AnswerModal([&](QDialog *d) {
        auto f = qobject_cast<Tfrm_Szerkeszt *>(d);
        QVERIFY(f);
        shown.id = id;
        QString error;
        QVERIFY(f->collect(shown, &error));
        REQUIRE_CHILD(btnOK, QPushButton, f, u"btnOK"_s);
        btnOK->click();
    });
    QCOMPARE(EditResolution(*m_con, id, 1, QDate(), store.path()), id);
    QVERIFY(again.verify());
    QCOMPARE(field == u"targy"_s       ? shown.subject
             : field == u"hatarozat"_s ? shown.text
                                       : shown.responsible,
             heldText);
    QCOMPARE(boxes.texts(), QStringList());
    QCOMPARE(storedHex(*m_db, u"SELECT HEX(%1) FROM iktato WHERE iktato = %2"_s.arg(field).arg(id)),
             expectedHex(heldText));
}

void TestBadInput::storedTextSurvivesAnEdit_data()
{
    QTest::addColumn<QString>("input");
    for (const CorpusInput &input : corpus()) {
        if (UnmappableCp1250Chars(input.text).isEmpty())
            QTest::addRow("%s", input.name) << input.text;
    }
}

// A text written by another workstation, opened in the editor and saved with only the subject
// changed, stays as it was.
void TestBadInput::storedTextSurvivesAnEdit()
{
    QFETCH(QString, input);
    QTemporaryDir store;
    REQUIRE_SQL(m_db->client(
        "INSERT INTO iktato (iktato, ev, csoport, az, datum, targy, hatarozat) VALUES (1, 2025, 1, 1, "
        "'2025-03-04', 'regi', X'" +
        ToCp1250(input).toHex() + "');"));
    MessageBoxRecorder boxes;
    ModalAnswer editor = AnswerModal([&](QDialog *d) {
        if (input.contains(QChar(0)))
            SaveShot(d, u"editor-text-with-nul"_s);
        REQUIRE_CHILD(dbComboBox1, QComboBox, d, u"DBComboBox1"_s);
        pasteInto(dbComboBox1->lineEdit(), u"új tárgy"_s);
        REQUIRE_CHILD(btnOK, QPushButton, d, u"btnOK"_s);
        btnOK->click();
    });
    QCOMPARE(EditResolution(*m_con, 1, 1, QDate(), store.path()), 1);
    QVERIFY(editor.verify());
    QCOMPARE(boxes.texts(), QStringList());
    QCOMPARE(storedHex(*m_db, u"SELECT HEX(targy) FROM iktato WHERE iktato = 1"_s),
             expectedHex(u"új tárgy"_s));
    QCOMPARE(storedHex(*m_db, u"SELECT HEX(hatarozat) FROM iktato WHERE iktato = 1"_s), expectedHex(input));
}

void TestBadInput::longerThanItsColumn_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("error");
    QTest::newRow("subject at its limit") << u"targy"_s << 255 << QString();
    QTest::newRow("subject one over")
        << u"targy"_s << 256
        << u"A(z) „Tárgy” mező legfeljebb 255 karakter lehet, a megadott szöveg 256 karakter."_s;
    QTest::newRow("responsible at its limit") << u"felelos"_s << 1024 << QString();
    QTest::newRow("responsible one over")
        << u"felelos"_s << 1025
        << u"A(z) „Felelősök” mező legfeljebb 1024 karakter lehet, a megadott szöveg 1025 karakter."_s;
}

// A record filled without the editor's fields, which take no more than the column: the save
// refuses a longer text itself, so neither the server's "Data too long" nor, outside strict mode,
// a silently cut text can come of it.
void TestBadInput::longerThanItsColumn()
{
    QFETCH(QString, field);
    QFETCH(int, length);
    QFETCH(QString, error);
    QTemporaryDir store;
    const Resolution loaded = NewResolutionRecord(*m_con, 1, QDate(2025, 3, 4));
    Resolution edited = loaded;
    const QString text = QString(length, u'ő');
    (field == u"targy"_s ? edited.subject : edited.responsible) = text;
    edited.hasDeadline = field == u"felelos"_s;
    edited.deadline = QDate(2025, 4, 1);
    const SaveResult saved = SaveResolution(*m_con, loaded, edited, store.path());
    QCOMPARE(saved.error, error);
    QCOMPARE(saved.ok, error.isEmpty());
    const QByteArray rows = storedHex(*m_db, u"SELECT HEX(%1) FROM iktato"_s.arg(field));
    QCOMPARE(rows, error.isEmpty() ? expectedHex(text) : QByteArray());
}

// The two master-data row editors share one shape: a name field, OK, and what the row gets.
struct RowEditorRun
{
    QString held; // what the field held when OK was pressed
    bool stayedOpen = false;
    QString keptText; // the field's text after a refused OK
};

// Answers a row editor: pastes the input into the named field and presses OK, noting what the field
// held, whether the editor stayed open and what it kept; a refused editor is then closed.
ModalAnswer answerRowEditor(RowEditorRun &run, const char *editName, const QString &input)
{
    return AnswerModal([&run, editName, input](QDialog *d) {
        REQUIRE_CHILD(edit, QLineEdit, d, QString::fromLatin1(editName));
        pasteInto(edit, input);
        run.held = edit->text();
        REQUIRE_CHILD(btnOK, QPushButton, d, u"btnOK"_s);
        btnOK->click();
        run.stayedOpen = d->isVisible();
        run.keptText = edit->text();
        if (run.stayedOpen)
            d->reject();
    });
}

void TestBadInput::committee_data()
{
    QTest::addColumn<QString>("input");
    addCorpusRows("csoport_nev");
}

void TestBadInput::committee()
{
    QFETCH(QString, input);
    const bool storable = UnmappableCp1250Chars(input).isEmpty();
    MessageBoxRecorder boxes;
    RowEditorRun run;
    ModalAnswer editor = answerRowEditor(run, "DBEdit1", input);
    const int id = EditMasterDataRow(*m_con, -1, u"csoport"_s, u"Bizottság"_s, true);
    QVERIFY(editor.verify());
    if (!storable) {
        QCOMPARE(id, -1);
        QVERIFY(run.stayedOpen);
        QCOMPARE(run.keptText, input);
        verifyRefusal(boxes, input);
        QCOMPARE(storedHex(*m_db, u"SELECT COUNT(*) FROM csoport"_s), "1");
        return;
    }
    QCOMPARE(boxes.texts(), QStringList());
    QVERIFY(id > 1);
    QCOMPARE(run.held, heldBy(50, input));
    QCOMPARE(storedHex(*m_db, u"SELECT HEX(csoport_nev) FROM csoport WHERE csoport = %1"_s.arg(id)),
             expectedHex(run.held));
    QCOMPARE(LookupName(*m_con, id, u"csoport"_s, QString()), run.held);
}

void TestBadInput::subjectCatalogue_data()
{
    QTest::addColumn<QString>("input");
    addCorpusRows("targy");
}

void TestBadInput::subjectCatalogue()
{
    QFETCH(QString, input);
    const bool storable = UnmappableCp1250Chars(input).isEmpty();
    MessageBoxRecorder boxes;
    RowEditorRun run;
    ModalAnswer editor = answerRowEditor(run, "DBEdit1", input);
    const QString saved = EditSubject(*m_con, QString());
    QVERIFY(editor.verify());
    if (!storable) {
        QCOMPARE(saved, QString());
        QVERIFY(run.stayedOpen);
        QCOMPARE(run.keptText, input);
        verifyRefusal(boxes, input);
        QCOMPARE(storedHex(*m_db, u"SELECT COUNT(*) FROM targy"_s), "0");
        return;
    }
    QCOMPARE(boxes.texts(), QStringList());
    QCOMPARE(run.held, heldBy(255, input));
    QCOMPARE(saved, run.held);
    QCOMPARE(storedHex(*m_db, u"SELECT HEX(targy) FROM targy"_s), expectedHex(run.held));
    QCOMPARE(SubjectCatalogue(*m_con), QStringList{run.held});
}

void TestBadInput::user_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("input");
    for (const char *field : {"felhasznalo", "felhasznalo_nev"}) {
        for (const CorpusInput &input : corpus())
            QTest::addRow("%s: %s", field, input.name) << QString::fromLatin1(field) << input.text;
    }
}

// The user editor on an existing user (a new one would first need a password).
void TestBadInput::user()
{
    QFETCH(QString, field);
    QFETCH(QString, input);
    const bool storable = UnmappableCp1250Chars(input).isEmpty();
    MessageBoxRecorder boxes;
    RowEditorRun run;
    ModalAnswer editor = answerRowEditor(run, field == u"felhasznalo"_s ? "DBEdit1" : "DBEdit3", input);
    const int id = EditUser(*m_con, false, 1);
    QVERIFY(editor.verify());
    const QString sql = u"SELECT HEX(%1) FROM felhasznalo WHERE felhkod = 1"_s.arg(field);
    if (!storable) {
        QCOMPARE(id, -1);
        QVERIFY(run.stayedOpen);
        QCOMPARE(run.keptText, input);
        verifyRefusal(boxes, input);
        QCOMPARE(storedHex(*m_db, sql), expectedHex(field == u"felhasznalo"_s ? u"anna"_s : u"Kiss Anna"_s));
        return;
    }
    QCOMPARE(boxes.texts(), QStringList());
    QCOMPARE(id, 1);
    QCOMPARE(run.held, heldBy(20, input));
    QCOMPARE(storedHex(*m_db, sql), expectedHex(run.held));
    QCOMPARE(QueryText(*m_con, u"SELECT %1 FROM felhasznalo WHERE felhkod = 1"_s.arg(field), {}), run.held);
}

void TestBadInput::searchBox_data()
{
    QTest::addColumn<QString>("input");
    addCorpusRows("search");
}

// The register's search box: a record holding the input in its text is found, no error shows, and
// the query never breaks, whatever is typed.
void TestBadInput::searchBox()
{
    QFETCH(QString, input);
    const bool storable = UnmappableCp1250Chars(input).isEmpty();
    if (storable) {
        REQUIRE_SQL(m_db->client(
            "INSERT INTO iktato (iktato, ev, csoport, az, datum, targy, hatarozat) VALUES (1, 2025, 1, 1, "
            "'2025-03-04', 'talalt', X'" +
            ToCp1250(u"előtte " + input + u" utána"_s).toHex() + "');"));
    }
    REQUIRE_SQL(m_db->client(
        ToCp1250(u"INSERT INTO iktato (iktato, ev, csoport, az, datum, targy, hatarozat) VALUES (2, 2025, "
                 u"1, 2, '2025-03-05', 'másik', 'semmi közös');"_s)));
    MessageBoxRecorder boxes;
    QWidget window;
    auto view = new RegisterView(m_con.get());
    auto layout = new QVBoxLayout(&window);
    layout->addWidget(view->searchEdit());
    layout->addWidget(view);
    window.show();
    view->start();
    QTRY_VERIFY_WITH_TIMEOUT(!view->isBusy(), 20000);
    pasteInto(view->searchEdit(), input);
    QTRY_VERIFY_WITH_TIMEOUT(!view->isBusy(), 20000);
    QCOMPARE(boxes.texts(), QStringList());
    const Query &q = view->registerQuery().query();
    QVERIFY(q.isOpen());
    QStringList ids;
    for (int r = 0; r < q.rowCount(); ++r)
        ids.append(q.result().text(r, q.fieldIndex(u"iktato"_s)));
    QCOMPARE(ids, storable ? QStringList{u"1"_s} : QStringList());
    QCOMPARE(storedHex(*m_db, u"SELECT COUNT(*) FROM iktato"_s), storable ? "2" : "1");
}

void TestBadInput::periodDialog_data()
{
    QTest::addColumn<QString>("input");
    addCorpusRows("period");
}

// The period dialog's date fields take only dates: anything else leaves the date as it was.
void TestBadInput::periodDialog()
{
    QFETCH(QString, input);
    MessageBoxRecorder boxes;
    ModalAnswer dialog = AnswerModal([&](QDialog *d) {
        for (const char *name : {"eAlso", "eFelso"}) {
            REQUIRE_CHILD(picker, QDateEdit, d, QString::fromLatin1(name));
            pasteInto(picker, input);
        }
        REQUIRE_CHILD(button1, QPushButton, d, u"Button1"_s);
        button1->click();
    });
    QDate from(2025, 1, 1);
    QDate to(2025, 12, 31);
    QVERIFY(PickPeriod(from, to));
    QVERIFY(dialog.verify());
    // None of the inputs is a date: the fields keep the dates they had.
    QCOMPARE(from, QDate(2025, 1, 1));
    QCOMPARE(to, QDate(2025, 12, 31));
    QCOMPARE(boxes.texts(), QStringList());
}

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
