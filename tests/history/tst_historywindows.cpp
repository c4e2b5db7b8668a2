#include "db/connection.h"
#include "db/dbroutines.h"
#include "gui/messagebox.h"
#include "history/changehistory.h"
#include "history/frm_valtozasok.h"
#include "history/frm_valtozasok_idoszak.h"
#include "modaldialogs.h"
#include "register/resolutionrecord.h"
#include "register/resolutionsave.h"
#include "schema/schemaupgrade.h"
#include "schema/sessionvariables.h"
#include "testdatabase.h"
#include "testutil.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTextBrowser>

using namespace Qt::StringLiterals;

// The history windows driven as a user would: the rows shown, an old value written back, a
// deleted record brought back.
class TestHistoryWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_SERVER(); }
    // The windows remember their place in the settings file of a data folder of their own.
    void init()
    {
        m_folder = std::make_unique<ScopedDataFolder>();
        QVERIFY(QDir().mkpath(m_folder->dataFolder()));
    }
    void cleanup() { m_folder.reset(); }
    void recordChangesShownAndReverted();
    void databaseWithoutHistorySaysSo();
    void periodListsDeletionAndBringsItBack();

private:
    std::unique_ptr<ScopedDataFolder> m_folder;
};

namespace {

struct Register
{
    TestDatabase db;
    Connection con{db.params()};
    int id = 0;

    Register()
    {
        db.client("INSERT INTO csoport (csoport_nev) VALUES ('B'); "
                  "INSERT INTO iktato (ev, csoport, az, datum, targy, hatarozat) "
                  "VALUES (2024, 1, 4, '2024-05-06', 'Első', 'Egy kettő három');",
                  "utf8mb4");
        con.open();
        id = QueryInt(con, u"SELECT MAX(iktato) FROM iktato"_s, -1);
    }
    bool extend() { return UpgradeDatabase(con).ok; }
    bool edit(const QString &subject, const QString &text)
    {
        const Resolution loaded = *LoadResolution(con, id);
        Resolution edited = loaded;
        edited.subject = subject;
        edited.text = text;
        return SaveResolution(con, loaded, edited, QString()).ok;
    }
};

} // namespace

void TestHistoryWindows::recordChangesShownAndReverted()
{
    Register reg;
    QVERIFY(reg.extend());
    SetHistoryUser(reg.con, 0);
    QVERIFY(reg.edit(u"Második"_s, u"Egy négy három"_s));

    MessageBoxRecorder boxes{true}; // "visszaáll?" Yes
    ModalAnswer window = AnswerModal(u"Változások"_s, [&](QDialog *d) {
        auto *form = static_cast<Tfrm_Valtozasok *>(d);
        QAbstractItemModelTester tester(form->grid()->model());
        // Newest first: the edit's two fields, then nothing older than them.
        QCOMPARE(form->grid()->model()->rowCount(), 2);
        QCOMPARE(form->grid()->model()->index(0, 2).data().toString(), u"Határozat"_s);
        // The text's difference: the word taken out and the one put in.
        const QString html = form->differenceView()->toHtml();
        QVERIFY2(html.contains(u"kettő"_s) && html.contains(u"négy"_s), qPrintable(html));
        QVERIFY(html.contains(u"line-through"_s));
        // The subject's old value goes back.
        form->grid()->setCurrentIndex(form->grid()->model()->index(1, 0));
        QCOMPARE(form->grid()->model()->index(1, 3).data().toString(), u"Első"_s);
        QVERIFY(form->revertButton()->isEnabled());
        form->revertButton()->click();
        // The write-back is a change of its own, at the top.
        QCOMPARE(form->grid()->model()->rowCount(), 3);
        QCOMPARE(form->grid()->model()->index(0, 4).data().toString(), u"Első"_s);
        d->reject();
    });
    QVERIFY(ShowRecordChanges(reg.con, reg.id, u"B 4/2024"_s, QString(), nullptr));
    QVERIFY(window.verify());
    QCOMPARE(boxes.unanswered(), 0);
    QVERIFY2(boxes.count() == 1, qPrintable(boxes.texts().join(u" | "_s).replace(u'\n', u' ')));
    QCOMPARE(LoadResolution(reg.con, reg.id)->subject, u"Első"_s);
    QCOMPARE(LoadResolution(reg.con, reg.id)->text, u"Egy négy három"_s);
}

void TestHistoryWindows::databaseWithoutHistorySaysSo()
{
    Register reg;
    MessageBoxRecorder boxes;
    QVERIFY(!ShowRecordChanges(reg.con, reg.id, QString(), QString(), nullptr));
    QCOMPARE(boxes.count(), 1);
    QVERIFY2(boxes.texts().first().contains(u"Adatbázis bővítése"_s), qPrintable(boxes.texts().first()));
}

void TestHistoryWindows::periodListsDeletionAndBringsItBack()
{
    Register reg;
    QVERIFY(reg.extend());
    QVERIFY(reg.edit(u"Második"_s, u"Szöveg"_s));
    reg.db.client(QByteArray("DELETE FROM iktato WHERE iktato = ") + QByteArray::number(reg.id));

    MessageBoxRecorder boxes{true}; // "visszahozza?" Yes
    // The period asked first, then its window.
    ModalAnswer period = AnswerModal(u"Változások időszaka"_s, [&](QDialog *asked) {
        AnswerModal([&](QDialog *d) {
            auto *form = dynamic_cast<Tfrm_ValtozasokIdoszak *>(d);
            QVERIFY(form);
            QTRY_VERIFY(!form->isLoading());
            QAbstractItemModelTester tester(form->grid()->model());
            QAbstractItemModel *model = form->grid()->model();
            // The deletion's rows come first, newest first; then the edit and the insert.
            QVERIFY(model->rowCount() >= 6);
            QCOMPARE(model->index(0, 2).data().toString(), u"törlés"_s);
            QVERIFY(model->index(0, 1).data().toString().contains(u"törölve"_s));
            QVERIFY(form->bringBackButton()->isEnabled());
            form->bringBackButton()->click();
            d->reject();
        });
        asked->accept();
    });
    QCOMPARE(ShowPeriodChanges(reg.con, nullptr), reg.id);
    QVERIFY(period.verify());
    QCOMPARE(boxes.unanswered(), 0);
    QCOMPARE(QueryText(reg.con, u"SELECT CONCAT(az, ' ', targy) FROM iktato WHERE iktato = %1"_s.arg(reg.id), {}),
             u"4 Második"_s);
}

QTEST_MAIN(TestHistoryWindows)
#include "tst_historywindows.moc"
