#include "common/cp1250.h"
#include "db/connection.h"
#include "db/dbroutines.h"
#include "gui/messagebox.h"
#include "modaldialogs.h"
#include "testdatabase.h"
#include "testutil.h"
#include "users/frm_felhasznalo.h"
#include "users/frm_felhasznaloszerkeszt.h"
#include "users/frm_inpstr.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

class TestUserList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_SERVER(); }
    void init();
    void cleanup();

    void showsUsersWithRightsAsPictures();
    void proportionalColumns_data();
    void proportionalColumns();
    void deleteAsksFirst();
    void newUserIsShownAndCurrent();
    void enterAndDoubleClickEdit();

private:
    std::unique_ptr<ScopedDataFolder> m_folder;
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Connection> m_con;
    std::unique_ptr<Tfrm_Felhasznalo> m_window;
};

void TestUserList::init()
{
    m_folder = std::make_unique<ScopedDataFolder>();
    QDir().mkpath(m_folder->dataFolder());
    m_db = std::make_unique<TestDatabase>();
    REQUIRE_SQL(m_db->client(
        ToCp1250(u"INSERT INTO felhasznalo VALUES (1, 'zoli', 'Zöld Zoltán', MD5('z'), 'N', 'I');\n"
                 u"INSERT INTO felhasznalo VALUES (2, 'anna', 'Kiss Anna', MD5('a'), 'I', 'N');\n"
                 u"INSERT INTO felhasznalo VALUES (3, 'cecil', NULL, MD5('c'), 'N', 'N');\n"_s)));
    m_con = std::make_unique<Connection>(m_db->params());
    m_con->open();
    m_window = std::make_unique<Tfrm_Felhasznalo>(*m_con);
    m_window->open();
}

void TestUserList::cleanup()
{
    VerifyNoDialogLeftOpen();
    m_window.reset();
    m_con.reset();
    m_db.reset();
    m_folder.reset();
}

void TestUserList::showsUsersWithRightsAsPictures()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QAbstractItemModel *model = m_window->grid()->model();
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(model->columnCount(), 4);
    const QStringList titles{u"Kód"_s, u"Felhasználó"_s, u"Rendszergazda"_s, u"Törzs.szerk."_s};
    for (int c = 0; c < 4; ++c)
        QCOMPARE(model->headerData(c, Qt::Horizontal).toString(), titles.at(c));
    // Ordered by code.
    QCOMPARE(model->index(0, 0).data().toString(), u"anna"_s);
    QCOMPARE(model->index(2, 0).data().toString(), u"zoli"_s);
    QCOMPARE(model->index(2, 1).data().toString(), u"Zöld Zoltán"_s);

    // The rights show no letter, only a picture: one for 'I', another for anything else.
    const auto picture = [&](int row, int column) {
        return model->index(row, column).data(Qt::DecorationRole).value<QPixmap>().toImage();
    };
    QCOMPARE(model->index(0, 2).data().toString(), QString());
    QVERIFY(!picture(0, 2).isNull());
    QCOMPARE(picture(0, 2), picture(2, 3));  // anna admin, zoli master data
    QVERIFY(picture(0, 2) != picture(0, 3)); // anna no master data
    QCOMPARE(picture(0, 3), picture(1, 2));
    QVERIFY(RightPicture(true).toImage() != RightPicture(false).toImage());

    QCOMPARE(m_window->positionLabel()->text(), u"3: 1"_s);
    m_window->grid()->setCurrentIndex(model->index(2, 0));
    QCOMPARE(m_window->positionLabel()->text(), u"3: 3"_s);
    QCOMPARE(m_window->currentId(), 1);
    SaveShot(m_window.get(), u"felhasznalo"_s);
}

void TestUserList::proportionalColumns_data()
{
    QTest::addColumn<int>("windowWidth");
    QTest::newRow("narrow") << 500;
    QTest::newRow("wide") << 900;
}

void TestUserList::proportionalColumns()
{
    QFETCH(int, windowWidth);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->resize(windowWidth, 400);
    QTRY_COMPARE(m_window->width(), windowWidth);
    QTableView *grid = m_window->grid();
    const int w = grid->width() - 194;
    QCOMPARE(grid->columnWidth(0), qRound(w * 0.33));
    QCOMPARE(grid->columnWidth(1), qRound(w * 0.67));
    QCOMPARE(grid->columnWidth(2), 77);
    QCOMPARE(grid->columnWidth(3), 77);
}

void TestUserList::deleteAsksFirst()
{
    m_window->locateId(1);
    {
        MessageBoxRecorder boxes{false};
        m_window->action(ListWindow::Delete)->trigger();
        QCOMPARE(boxes.texts(), QStringList{u"Valóban töröljem a sort?"_s});
        QCOMPARE(boxes.boxes().at(0).caption, u"Megerősítés"_s);
    }
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM felhasznalo;"_s, -1), 3);
    {
        MessageBoxRecorder boxes{true};
        m_window->action(ListWindow::Delete)->trigger();
        QCOMPARE(boxes.unanswered(), 0);
    }
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM felhasznalo WHERE felhkod = 1;"_s, -1), 0);
    QCOMPARE(m_window->grid()->model()->rowCount(), 2);
}

void TestUserList::newUserIsShownAndCurrent()
{
    MessageBoxRecorder boxes;
    const ModalAnswer editor = AnswerModal(u"Felhasználó adatainak szerkesztése"_s, [](QDialog *dialog) {
        auto *form = qobject_cast<Tfrm_FelhasznaloSzerkeszt *>(dialog);
        REQUIRE_CHILD(dbEdit1, QLineEdit, form, u"DBEdit1"_s);
        dbEdit1->setText(u"bence"_s);
        AnswerModal(u"Jelszó megadás"_s, [](QDialog *input) {
            REQUIRE_CHILD(edit1, QLineEdit, input, u"Edit1"_s);
            edit1->setText(u"b"_s);
            REQUIRE_CHILD(button1, QPushButton, input, u"Button1"_s);
            button1->click();
        });
        REQUIRE_CHILD(bitBtn1, QPushButton, form, u"BitBtn1"_s);
        bitBtn1->click();
        REQUIRE_CHILD(btnOK, QPushButton, form, u"btnOK"_s);
        btnOK->click();
    });
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    // Insert is the key of a new user.
    QTest::keyClick(m_window->grid(), Qt::Key_Insert);
    QCOMPARE(boxes.count(), 0);
    QCOMPARE(m_window->grid()->model()->rowCount(), 4);
    QCOMPARE(m_window->currentId(), 4);
    QCOMPARE(m_window->currentValue(u"felhasznalo"_s).toString(), u"bence"_s);
    QCOMPARE(m_window->positionLabel()->text(), u"4: 2"_s);
}

void TestUserList::enterAndDoubleClickEdit()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->locateId(3);
    QString shownCode;
    ModalAnswer editor = AnswerModal(u"Felhasználó adatainak szerkesztése"_s, [&](QDialog *dialog) {
        auto *form = qobject_cast<Tfrm_FelhasznaloSzerkeszt *>(dialog);
        REQUIRE_CHILD(dbEdit1, QLineEdit, form, u"DBEdit1"_s);
        shownCode = dbEdit1->text();
        REQUIRE_CHILD(dbEdit3, QLineEdit, form, u"DBEdit3"_s);
        dbEdit3->setText(u"Cecil Béla"_s);
        REQUIRE_CHILD(btnOK, QPushButton, form, u"btnOK"_s);
        btnOK->click();
    });
    QTest::keyClick(m_window->grid(), Qt::Key_Return);
    QCOMPARE(shownCode, u"cecil"_s);
    QCOMPARE(m_window->currentValue(u"felhasznalo_nev"_s).toString(), u"Cecil Béla"_s);

    shownCode.clear();
    editor = AnswerModal(u"Felhasználó adatainak szerkesztése"_s, [&](QDialog *dialog) {
        REQUIRE_CHILD(dbEdit1, QLineEdit, dialog, u"DBEdit1"_s);
        shownCode = dbEdit1->text();
        dialog->reject();
    });
    QTableView *grid = m_window->grid();
    const QRect cell = grid->visualRect(grid->model()->index(0, 1));
    // A double click is a press and release followed by a second press that is a double click.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(shownCode, u"anna"_s);
}

QTEST_MAIN(TestUserList)
#include "tst_userlist.moc"
