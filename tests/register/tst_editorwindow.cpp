// The editor window driven as a user would: EditResolution opens it modally and the test types.
#include "db/connection.h"
#include "db/dbroutines.h"
#include "editorfields.h"
#include "gui/messagebox.h"
#include "modaldialogs.h"
#include "register/editcollision.h"
#include "register/frm_szerkeszt.h"
#include "register/resolutioneditor.h"
#include "testdatabase.h"
#include "testutil.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <Qsci/qsciscintilla.h>
#include <memory>

using namespace Qt::StringLiterals;
using namespace editorfields;

namespace {
Tfrm_Szerkeszt *editorOf(QWidget *w)
{
    auto form = qobject_cast<Tfrm_Szerkeszt *>(w);
    if (form) {
        QApplication::setActiveWindow(form);
        form->activateWindow();
    }
    return form;
}

// QTest::keyClicks knows only ASCII; Hungarian letters go as key events carrying their text.
void typeText(QWidget *w, const QString &text)
{
    for (const QChar ch : text) {
        const auto key = Qt::Key(ch.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Press, w, key, QString(ch), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, w, key, QString(ch), Qt::NoModifier);
    }
}

// Types into the resolution text, "\n" as the Enter key.
void typeLines(QsciScintilla *editor, const QString &text)
{
    editor->setFocus();
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(editor, Qt::Key_Return);
        typeText(editor, lines[i]);
    }
}

void typeInto(Tfrm_Szerkeszt *f, const QString &date, const QString &subject, const QString &text)
{
    dateEdit(f)->setText(date);
    subjectCombo(f)->setEditText(subject);
    textEditor(f)->clear();
    typeLines(textEditor(f), text);
}
} // namespace

class TestEditorWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void newRecordWithTypedDate();
    void cancelledNewRecordWritesNothing();
    void impossibleDateKeepsEverythingTyped_data();
    void impossibleDateKeepsEverythingTyped();
    void failedSaveKeepsEditorOpen();
    void collisionTellsTheNumberItGot();
    void existingRecordIsShownAndSaved();
    void deletedRecordIsNotOpened();
    void anotherWorkstationsEdit_data();
    void anotherWorkstationsEdit();
    void keys();
    void untouchedTextIsKeptExactly_data();
    void untouchedTextIsKeptExactly();
    void escapeCancels_data();
    void escapeCancels();
    void accentedCapitalsAreWhole();
    void screenshots();

private:
    int run(int recordId, QDate date, std::function<void(Tfrm_Szerkeszt *)> answer);

    std::unique_ptr<ScopedDataFolder> m_folder;
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Connection> m_con;
    std::unique_ptr<QTemporaryDir> m_store;
};

void TestEditorWindow::initTestCase()
{
    REQUIRE_TEST_SERVER();
}

void TestEditorWindow::init()
{
    m_folder = std::make_unique<ScopedDataFolder>();
    m_db = std::make_unique<TestDatabase>();
    m_con = std::make_unique<Connection>(m_db->params());
    m_con->open();
    m_store = std::make_unique<QTemporaryDir>();
    m_con->exec(u"INSERT INTO csoport (csoport, csoport_nev) VALUES (1, 'Pénzügyi Bizottság')"_s);
    m_con->exec(u"INSERT INTO targy (targy) VALUES ('Beszámoló'), ('Árajánlat')"_s);
}

void TestEditorWindow::cleanup()
{
    VerifyNoDialogLeftOpen();
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    m_con.reset();
    m_db.reset();
    m_store.reset();
    m_folder.reset();
}

int TestEditorWindow::run(int recordId, QDate date, std::function<void(Tfrm_Szerkeszt *)> answer)
{
    const ModalAnswer editor = AnswerModal([&](QWidget *w) {
        Tfrm_Szerkeszt *form = editorOf(w);
        if (!form) {
            w->close();
            return;
        }
        REQUIRE_EDITOR_FIELDS(form);
        answer(form);
        if (form->isVisible()) // the answer left it open: cancel
            form->reject();
    });
    return EditResolution(*m_con, recordId, 1, date, m_store->path());
}

void TestEditorWindow::newRecordWithTypedDate()
{
    MessageBoxRecorder boxes;
    QString heading, year, number, shownDate;
    bool deadlineVisible = true;
    QStringList subjects;
    const int id = run(-1, QDate(2025, 1, 2), [&](Tfrm_Szerkeszt *f) {
        heading = headingLabel(f)->text();
        year = yearEdit(f)->text();
        number = numberEdit(f)->text();
        shownDate = dateEdit(f)->displayText();
        deadlineVisible = deadlineEdit(f)->isVisibleTo(f);
        for (int i = 0; i < subjectCombo(f)->count(); ++i)
            subjects.append(subjectCombo(f)->itemText(i));
        typeInto(f, u"12.31"_s, u"Beszámoló"_s, u"első\nmásodik"_s);
        okButton(f)->click();
    });
    QCOMPARE(heading, u"Pénzügyi Bizottság"_s);
    QCOMPARE(year, u"2025"_s);
    QCOMPARE(number, u"1"_s);
    QCOMPARE(shownDate, u"01.02"_s);
    QVERIFY(!deadlineVisible);
    QCOMPARE(subjects, (QStringList{u"Árajánlat"_s, u"Beszámoló"_s}));
    QVERIFY(id > 0);
    QCOMPARE(boxes.count(), 0);
    QCOMPARE(
        QueryText(
            *m_con,
            u"SELECT CONCAT_WS('|', ev, csoport, az, datum, targy, hatarozat, van_hatid) FROM iktato WHERE iktato = %1"_s
                .arg(id),
            {}),
        u"2025|1|1|2025-12-31|Beszámoló|első\r\nmásodik|N"_s);
}

void TestEditorWindow::cancelledNewRecordWritesNothing()
{
    MessageBoxRecorder boxes;
    const int id = run(-1, QDate(2025, 1, 2), [](Tfrm_Szerkeszt *f) {
        // An impossible date typed before cancelling is not complained about either.
        typeInto(f, u"13.45"_s, u"Új tárgy"_s, u"szöveg"_s);
        deadlineCheck(f)->setChecked(true);
        f->reject();
    });
    QCOMPARE(id, -1);
    QCOMPARE(boxes.count(), 0);
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM iktato"_s, -1), 0);
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM targy"_s, -1), 2);
    QCOMPARE(NextResolutionNumber(*m_con, 2025, 1), 1);
}

void TestEditorWindow::impossibleDateKeepsEverythingTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");

    QTest::newRow("month 13") << u"13.01"_s << u"Érvénytelen dátum: nincs 13. hónap."_s;
    QTest::newRow("30 February") << u"02.30"_s << u"Érvénytelen dátum: 2025.02.30. nem létező nap."_s;
    QTest::newRow("month half-typed") << u"1_.05"_s << u"Érvénytelen dátum: \"1_.05\"."_s;
    QTest::newRow("blank") << QString()
                           << u"A dátum hiányos: a hónapot és a napot is meg kell adni (hh.nn)."_s;
}

void TestEditorWindow::impossibleDateKeepsEverythingTyped()
{
    QFETCH(QString, typed);
    QFETCH(QString, message);

    MessageBoxRecorder boxes;
    bool openAfterError = false;
    QString subjectAfter, textAfter;
    int rowsAfterError = -1;
    const int id = run(-1, QDate(2025, 1, 2), [&](Tfrm_Szerkeszt *f) {
        typeInto(f, typed, u"Tárgy marad"_s, u"szöveg\nmarad"_s);
        deadlineCheck(f)->setChecked(true);
        responsibleEdit(f)->setText(u"Nagy Ádám"_s);
        okButton(f)->click();
        openAfterError = f->isVisible();
        subjectAfter = subjectCombo(f)->currentText();
        textAfter = textEditor(f)->text();
        rowsAfterError = QueryInt(*m_con, u"SELECT COUNT(*) FROM iktato"_s, -1);
        dateEdit(f)->setText(u"02.28"_s);
        okButton(f)->click();
    });
    QCOMPARE(boxes.texts(), QStringList{message});
    QCOMPARE(boxes.boxes().first().kind, MessageBoxRecorder::Kind::Error);
    QVERIFY(openAfterError);
    QCOMPARE(subjectAfter, u"Tárgy marad"_s);
    QCOMPARE(textAfter, u"szöveg\r\nmarad"_s);
    QCOMPARE(rowsAfterError, 0);
    QVERIFY(id > 0);
    QCOMPARE(QueryText(*m_con, u"SELECT CONCAT_WS('|', datum, targy, felelos, statusz) FROM iktato"_s, {}),
             u"2025-02-28|Tárgy marad|Nagy Ádám|1"_s);
}

void TestEditorWindow::failedSaveKeepsEditorOpen()
{
    REQUIRE_SQL(m_db->client("CREATE TRIGGER targy_zarva BEFORE INSERT ON targy FOR EACH ROW "
                             "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'katalogus zarva';"));
    MessageBoxRecorder boxes;
    bool openAfterError = false;
    int rowsAfterError = -1;
    const int id = run(-1, QDate(2025, 1, 2), [&](Tfrm_Szerkeszt *f) {
        typeInto(f, u"03.04"_s, u"Új tárgy"_s, u"szöveg"_s);
        okButton(f)->click();
        openAfterError = f->isVisible();
        rowsAfterError = QueryInt(*m_con, u"SELECT COUNT(*) FROM iktato"_s, -1);
        REQUIRE_SQL(m_db->client("DROP TRIGGER targy_zarva;"));
        okButton(f)->click();
    });
    QCOMPARE(boxes.texts(), QStringList{u"Hiba: katalogus zarva"_s});
    QVERIFY(openAfterError);
    QCOMPARE(rowsAfterError, 0);
    QVERIFY(id > 0);
    QCOMPARE(QueryText(*m_con, u"SELECT CONCAT_WS('|', az, targy, hatarozat) FROM iktato"_s, {}),
             u"1|Új tárgy|szöveg"_s);
}

void TestEditorWindow::collisionTellsTheNumberItGot()
{
    MessageBoxRecorder boxes;
    const int id = run(-1, QDate(2025, 1, 2), [&](Tfrm_Szerkeszt *f) {
        // Another workstation saves number 1 while this editor is open.
        REQUIRE_SQL(
            m_db->client("INSERT INTO iktato (ev, csoport, az, datum) VALUES (2025, 1, 1, '2025-01-02');"));
        typeInto(f, u"01.02"_s, u"Második"_s, QString());
        okButton(f)->click();
    });
    QCOMPARE(
        boxes.texts(),
        QStringList{
            u"A(z) 1. határozatszámot közben egy másik munkaállomás kiosztotta, ezért a határozat a(z) 2. számot kapta."_s});
    QCOMPARE(
        QueryText(*m_con, u"SELECT CONCAT_WS('|', az, targy) FROM iktato WHERE iktato = %1"_s.arg(id), {}),
        u"2|Második"_s);
}

void TestEditorWindow::existingRecordIsShownAndSaved()
{
    m_con->exec(
        u"INSERT INTO iktato SET iktato = 77, ev = 2024, csoport = 1, az = 9, datum = '2024-03-05', "
        "targy = 'Beszámoló', hatarozat = 'a\\r\\nb', van_hatid = 'I', dat_hatid = '2024-06-30', "
        "felelos = 'Polgármester', statusz = 2, filenev = '0000077-1.pdf', origfilenev = 'jegyzőkönyv.pdf'"_s);
    MessageBoxRecorder boxes;
    QString shownDate, text, attachment, responsible;
    QDate deadline;
    bool deadlineVisible = false;
    const int id = run(77, QDate(2030, 1, 1), [&](Tfrm_Szerkeszt *f) {
        shownDate = dateEdit(f)->displayText();
        text = textEditor(f)->text();
        attachment = attachmentEdit(f, 0)->text();
        responsible = responsibleEdit(f)->text();
        deadline = deadlineEdit(f)->date();
        deadlineVisible = deadlineEdit(f)->isVisibleTo(f);
        deadlineCheck(f)->setChecked(false); // the deadline goes, the finished status stays
        okButton(f)->click();
    });
    QCOMPARE(id, 77);
    QCOMPARE(shownDate, u"03.05"_s);
    QCOMPARE(text, u"a\r\nb"_s);
    QCOMPARE(attachment, u"jegyzőkönyv.pdf"_s);
    QCOMPARE(responsible, u"Polgármester"_s);
    QCOMPARE(deadline, QDate(2024, 6, 30));
    QVERIFY(deadlineVisible);
    QCOMPARE(
        QueryText(
            *m_con,
            u"SELECT CONCAT_WS('|', ev, az, datum, van_hatid, IFNULL(dat_hatid, '-'), statusz, hatarozat, filenev) FROM iktato"_s,
            {}),
        u"2024|9|2024-03-05|N|-|2|a\r\nb|0000077-1.pdf"_s);
}

void TestEditorWindow::anotherWorkstationsEdit_data()
{
    QTest::addColumn<QString>("answer"); // in the collision window: theirs, mine, back (to editing)
    QTest::addColumn<QString>("stored");
    QTest::newRow("theirs chosen") << u"theirs"_s << u"Első. Az övék."_s;
    QTest::newRow("mine chosen") << u"mine"_s << u"Első. Enyém."_s;
    QTest::newRow("back to editing, both sentences") << u"back"_s << u"Első. Az övék. Enyém."_s;
}

// Two workstations edit one record: the second save shows the text as it was, theirs and mine,
// nothing typed is lost, and what only they changed (the subject) stays theirs.
void TestEditorWindow::anotherWorkstationsEdit()
{
    QFETCH(QString, answer);
    QFETCH(QString, stored);
    m_con->exec(u"INSERT INTO iktato SET iktato = 77, ev = 2024, csoport = 1, az = 9, datum = '2024-03-05', "
                "targy = 'Beszámoló', hatarozat = 'Első.'"_s);
    QGuiApplication::clipboard()->clear();
    MessageBoxRecorder boxes;
    QStringList shown;
    QString editorAfterBack, subjectAfterBack;
    const int id = run(77, {}, [&](Tfrm_Szerkeszt *f) {
        // Another workstation (the Windows program: no markers) saves first.
        REQUIRE_SQL(m_db->client(
            "UPDATE iktato SET hatarozat = 'Els\xF5. Az \xF6v\xE9k.', targy = 'M\xE1s t\xE1rgy';"));
        textEditor(f)->clear();
        typeLines(textEditor(f), u"Első. Enyém."_s);
        const ModalAnswer collision =
            AnswerModal(u"Ütközés: a határozatot más is módosította"_s, [&](QDialog *d) {
                for (const QPlainTextEdit *e : d->findChildren<QPlainTextEdit *>())
                    shown << e->toPlainText();
                SaveShot(d, u"editor-collision"_s);
                if (answer == u"back"_s) {
                    d->reject();
                    return;
                }
                auto choice = d->findChild<QRadioButton *>((answer == u"theirs"_s ? u"theirs"_s : u"mine"_s) +
                                                           QString::number(int(ResolutionField::Text)));
                QVERIFY(choice);
                choice->click();
                REQUIRE_CHILD(saveButton, QPushButton, d, u"saveButton"_s);
                saveButton->click();
            });
        okButton(f)->click();
        QVERIFY(collision.answered());
        if (answer == u"back"_s) {
            QVERIFY(f->isVisible());
            editorAfterBack = textEditor(f)->text();
            subjectAfterBack = subjectCombo(f)->currentText();
            textEditor(f)->clear();
            typeLines(textEditor(f), u"Első. Az övék. Enyém."_s);
            okButton(f)->click();
        }
    });
    QCOMPARE(id, 77);
    QCOMPARE(shown, (QStringList{u"Első."_s, u"Első. Az övék."_s, u"Első. Enyém."_s}));
    QCOMPARE(boxes.count(), 0);
    QCOMPARE(QueryText(*m_con, u"SELECT CONCAT_WS('|', targy, hatarozat) FROM iktato"_s, {}),
             u"Más tárgy|"_s + stored);
    if (answer == u"back"_s) {
        QCOMPARE(editorAfterBack, u"Első. Enyém."_s);
        QCOMPARE(subjectAfterBack, u"Más tárgy"_s);
    }
    if (answer == u"theirs"_s) // what was typed and set aside is at hand
        QVERIFY2(QGuiApplication::clipboard()->text().contains(u"Első. Enyém."_s),
                 qPrintable(QGuiApplication::clipboard()->text()));
}

void TestEditorWindow::deletedRecordIsNotOpened()
{
    m_con->exec(u"INSERT INTO iktato SET iktato = 5, ev = 2024, csoport = 1, az = 1, datum = '2024-03-05'"_s);
    MessageBoxRecorder boxes;
    // No editor may open: the routine returns before any window exists.
    QCOMPARE(EditResolution(*m_con, 6, 1, QDate(2024, 1, 1), m_store->path()), -1);
    QCOMPARE(boxes.texts(),
             QStringList{u"A határozat nem található: egy másik munkaállomás időközben törölte."_s});

    // Deleted while the editor was open: saying so, not re-creating it, and no other record.
    boxes.clear();
    bool openAfterError = false;
    const int id = run(5, {}, [&](Tfrm_Szerkeszt *f) {
        REQUIRE_SQL(m_db->client("DELETE FROM iktato WHERE iktato = 5;"));
        subjectCombo(f)->setEditText(u"változott"_s);
        okButton(f)->click();
        openAfterError = f->isVisible();
    });
    QCOMPARE(id, -1);
    QVERIFY(openAfterError);
    QCOMPARE(boxes.texts(),
             QStringList{u"A határozatot időközben egy másik munkaállomás törölte, nem menthető."_s});
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM iktato"_s, -1), 0);
}

void TestEditorWindow::keys()
{
    MessageBoxRecorder boxes;
    // The window is gone once the routine returns: where the focus went is noted inside.
    bool firstFocusInDate = false;
    bool enterInDateGoesToSubject = false;
    bool enterInSubjectGoesToText = false;
    QString subject, text;
    const int id = run(-1, QDate(2025, 1, 2), [&](Tfrm_Szerkeszt *f) {
        firstFocusInDate = f->focusWidget() == dateEdit(f);
        QTest::keyClicks(dateEdit(f), u"0607"_s);
        QTest::keyClick(dateEdit(f), Qt::Key_Return);
        enterInDateGoesToSubject = f->focusWidget() == subjectCombo(f);
        // Typed into the empty box, the first letter becomes a capital (Hungarian letters too).
        // Typed as a user does: the keys go to the combo box that has the focus.
        typeText(subjectCombo(f), u"ülés napja"_s);
        subject = subjectCombo(f)->currentText();
        QTest::keyClick(subjectCombo(f)->lineEdit(), Qt::Key_Enter);
        enterInSubjectGoesToText = f->focusWidget() == textEditor(f);
        textEditor(f)->setFocus();
        QTest::keyClicks(textEditor(f), u"egy"_s);
        QTest::keyClick(textEditor(f), Qt::Key_Return);
        typeText(textEditor(f), u"kettő"_s);
        text = textEditor(f)->text();
        QTest::keyClick(textEditor(f), Qt::Key_Return, Qt::ControlModifier);
    });
    QVERIFY(firstFocusInDate);
    QVERIFY(enterInDateGoesToSubject);
    QCOMPARE(subject, u"Ülés napja"_s);
    QVERIFY(enterInSubjectGoesToText);
    QCOMPARE(text, u"egy\r\nkettő"_s);
    QVERIFY2(id > 0, "Ctrl+Enter in the text closes with OK");
    QCOMPARE(QueryText(*m_con, u"SELECT CONCAT_WS('|', datum, targy, hatarozat) FROM iktato"_s, {}),
             u"2025-06-07|Ülés napja|egy\r\nkettő"_s);
}

void TestEditorWindow::untouchedTextIsKeptExactly_data()
{
    QTest::addColumn<QByteArray>("stored");  // as it is in the database
    QTest::addColumn<QString>("typedAtEnd"); // typed after the last character; "\n" is Enter
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("lone LF and CR, untouched")
        << QByteArray("egy\nkett\xF5\rh\xE1rom") << QString() << QByteArray("egy\nkett\xF5\rh\xE1rom");
    QTest::newRow("trailing breaks, untouched")
        << QByteArray("egy\r\n\r\n") << QString() << QByteArray("egy\r\n\r\n");
    QTest::newRow("lone LF kept, typed line ends in CR LF")
        << QByteArray("egy\nkett\xF5") << u"\nhárom\n"_s << QByteArray("egy\nkett\xF5\r\nh\xE1rom\r\n");
}

// The text reaches the database as it was and as it was typed: the editor changes no line
// break the user did not type, and keeps a trailing one the user did.
void TestEditorWindow::untouchedTextIsKeptExactly()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, typedAtEnd);
    QFETCH(QByteArray, expected);

    REQUIRE_SQL(m_db->client(
        "INSERT INTO iktato SET iktato = 5, ev = 2025, csoport = 1, az = 1, datum = '2025-03-01', "
        "hatarozat = UNHEX('" +
        stored.toHex() + "');"));
    MessageBoxRecorder boxes;
    const int id = run(5, {}, [&](Tfrm_Szerkeszt *f) {
        subjectCombo(f)->setEditText(u"Beszámoló"_s);
        if (!typedAtEnd.isEmpty()) {
            textEditor(f)->setFocus();
            QTest::keyClick(textEditor(f), Qt::Key_End, Qt::ControlModifier);
            typeLines(textEditor(f), typedAtEnd);
        }
        okButton(f)->click();
    });
    QCOMPARE(id, 5);
    QCOMPARE(boxes.count(), 0);
    QCOMPARE(m_db->client("SELECT HEX(hatarozat), targy FROM iktato;").trimmed(),
             expected.toHex().toUpper() + "\tBesz\xE1mol\xF3");
}

void TestEditorWindow::escapeCancels_data()
{
    QTest::addColumn<QString>("field"); // the field that has the focus

    QTest::newRow("date") << u"date"_s;
    QTest::newRow("subject") << u"subject"_s;
    QTest::newRow("resolution text") << u"text"_s;
    QTest::newRow("responsible persons") << u"responsible"_s;
}

// Esc is "Mégsem" from every field, the resolution text included: nothing is saved.
void TestEditorWindow::escapeCancels()
{
    QFETCH(QString, field);

    MessageBoxRecorder boxes;
    bool closedByEsc = false;
    const int id = run(-1, QDate(2025, 1, 2), [&](Tfrm_Szerkeszt *f) {
        typeInto(f, u"03.04"_s, u"Tárgy"_s, u"szöveg"_s);
        deadlineCheck(f)->setChecked(true);
        QWidget *target = responsibleEdit(f);
        if (field == u"date"_s)
            target = dateEdit(f);
        else if (field == u"subject"_s)
            target = subjectCombo(f)->lineEdit();
        else if (field == u"text"_s)
            target = textEditor(f);
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Escape);
        closedByEsc = !f->isVisible() && f->result() == QDialog::Rejected;
    });
    QVERIFY(closedByEsc);
    QCOMPARE(id, -1);
    QCOMPARE(boxes.count(), 0);
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM iktato"_s, -1), 0);
}

namespace {
// Pixels darker than the paper, in the given rows of an image.
int inkIn(const QImage &image, int top, int bottom)
{
    int ink = 0;
    for (int y = std::max(top, 0); y < std::min(bottom, image.height()); ++y) {
        for (int x = 0; x < image.width(); ++x)
            ink += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    }
    return ink;
}
} // namespace

// The accents of capital letters (the double acute of Ő and Ű above all) reach above the font's
// ascent; the text editor must give them room instead of cutting them off at the top of the
// line. Compared with the same letters drawn freely in the editor's font.
void TestEditorWindow::accentedCapitalsAreWhole()
{
    Tfrm_Szerkeszt form;
    REQUIRE_EDITOR_FIELDS(&form);
    form.resize(722, 709);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QsciScintilla *editor = textEditor(&form);
    const auto inkOfLine = [editor](const QString &line) {
        editor->setText(line + u"\r\n"_s);
        editor->setCaretLineVisible(false);
        editor->setFocus(); // the caret sits on the second, empty line
        editor->setCursorPosition(1, 0);
        QCoreApplication::processEvents(); // grab() paints at once; queued updates go first
        const QImage shot = editor->viewport()->grab().toImage();
        const int lineHeight = int(editor->SendScintilla(QsciScintilla::SCI_TEXTHEIGHT, 0));
        return inkIn(shot, 0, lineHeight);
    };
    const int plain = inkOfLine(u"OUAE"_s);
    const int accented = inkOfLine(u"ŐŰÁÉ"_s);

    const QFont font = editor->font();
    QImage free(400, 200, QImage::Format_RGB32);
    free.fill(Qt::white);
    const auto freeInk = [&](const QString &text) {
        free.fill(Qt::white);
        QPainter p(&free);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(20, 100, text);
        p.end();
        return inkIn(free, 0, free.height());
    };
    const int accentsDrawnFreely = freeInk(u"ŐŰÁÉ"_s) - freeInk(u"OUAE"_s);
    QVERIFY(accentsDrawnFreely > 0);
    editor->setText(u"ŐSZI ŰRLAP ÁRVÍZTŰRŐ TÜKÖRFÚRÓGÉP\r\nŐŰÁÉ őűáé\r\nÓÖÜÍ"_s);
    SaveShot(editor, u"editor_accents"_s);
    // Anti-aliasing differs a little between the two ways of drawing; a cut accent loses half.
    QVERIFY2(accented - plain >= accentsDrawnFreely * 8 / 10,
             qPrintable(u"accents in the editor: %1 pixels, drawn freely: %2"_s.arg(accented - plain)
                            .arg(accentsDrawnFreely)));
}

void TestEditorWindow::screenshots()
{
    m_con->exec(
        u"INSERT INTO iktato SET iktato = 1234, ev = 2025, csoport = 1, az = 12, datum = '2025-04-17', "
        "targy = 'Árajánlat', hatarozat = 'A bizottság az árajánlatot elfogadja.\\r\\nHatáridő: azonnal.', "
        "van_hatid = 'I', dat_hatid = '2025-05-31', felelos = 'Polgármester, jegyző', statusz = 1, "
        "filenev = '0001234-1.pdf', origfilenev = 'árajánlat.pdf'"_s);
    run(-1, QDate(2025, 4, 18), [&](Tfrm_Szerkeszt *f) { SaveShot(f, u"editor_new"_s); });
    run(1234, {}, [&](Tfrm_Szerkeszt *f) { SaveShot(f, u"editor_existing_deadline"_s); });
    run(1234, {}, [&](Tfrm_Szerkeszt *f) {
        deadlineCheck(f)->setChecked(false);
        SaveShot(f, u"editor_existing_no_deadline"_s);
        textEditor(f)->setFocus();
        textEditor(f)->setCursorPosition(1, 3);
        SaveShot(f, u"editor_text_focused"_s);
    });
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM iktato"_s, -1), 1);
}

QTEST_MAIN(TestEditorWindow)
#include "tst_editorwindow.moc"
