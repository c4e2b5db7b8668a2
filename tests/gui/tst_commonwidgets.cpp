#include "gui/inputquery.h"
#include "gui/sortcolumn.h"
#include "modaldialogs.h"
#include "testutil.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

using namespace Qt::StringLiterals;

class TestCommonWidgets : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void sortColumnIsPaintedYellow();
    void derivedDelegateIsKept();
    void maskedInputQuery_data();
    void maskedInputQuery();
    void maskedInputQueryLayout();
};

namespace {

QColor cellColour(QTableView &view, int row, int column)
{
    const QImage image = view.viewport()->grab().toImage();
    const QRect cell = view.visualRect(view.model()->index(row, column));
    // A point inside the cell, clear of the text and the grid lines.
    return image.pixelColor(cell.right() - 3, cell.bottom() - 3);
}

} // namespace

void TestCommonWidgets::cleanup()
{
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void TestCommonWidgets::sortColumnIsPaintedYellow()
{
    QStandardItemModel model(3, 3);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            model.setItem(r, c, new QStandardItem(u"x"_s));
    // A row coloured by the model (the register colours rows by status).
    const QColor rowColour(0xFF, 0xDD, 0xDD);
    for (int c = 0; c < 3; ++c)
        model.item(1, c)->setBackground(rowColour);

    QTableView view;
    view.setModel(&model);
    view.setSelectionMode(QAbstractItemView::NoSelection);
    view.setFocusPolicy(Qt::NoFocus); // no current-cell frame in the sampled cells
    view.resize(400, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QColor base = view.palette().color(QPalette::Base);
    QCOMPARE(HighlightedSortColumn(&view), -1);

    HighlightSortColumn(&view, 1);
    QCOMPARE(HighlightedSortColumn(&view), 1);
    QCOMPARE(cellColour(view, 0, 1), QColor(255, 255, 185));
    QCOMPARE(cellColour(view, 1, 1), QColor(255, 255, 185)); // the sort column wins over the row colour
    QCOMPARE(cellColour(view, 0, 0), base);
    QCOMPARE(cellColour(view, 1, 0), rowColour);

    HighlightSortColumn(&view, 2);
    QCOMPARE(cellColour(view, 0, 1), base);
    QCOMPARE(cellColour(view, 2, 2), QColor(255, 255, 185));

    SaveShot(&view, u"sortcolumn"_s);
}

void TestCommonWidgets::derivedDelegateIsKept()
{
    class RegisterDelegate : public SortColumnDelegate
    {
    public:
        using SortColumnDelegate::SortColumnDelegate;
    };
    QTableView view;
    auto *own = new RegisterDelegate(&view);
    view.setItemDelegate(own);
    HighlightSortColumn(&view, 0);
    QCOMPARE(view.itemDelegate(), own);
    QCOMPARE(own->sortColumn(), 0);
}

void TestCommonWidgets::maskedInputQuery_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("initial");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("pressOk");
    QTest::addColumn<bool>("expectedResult");
    QTest::addColumn<QString>("expectedText");

    QTest::newRow("OK replaces the selected text")
        << QString() << u"régi"_s << u"uj jelszo 2"_s << true << true << u"uj jelszo 2"_s;
    QTest::newRow("Mégsem keeps the text")
        << QString() << u"régi"_s << u"mas"_s << false << false << u"régi"_s;
    QTest::newRow("mask takes digits only")
        << u"9999;_"_s << QString() << u"12ab34"_s << true << true << u"1234"_s;
}

void TestCommonWidgets::maskedInputQuery()
{
    QFETCH(QString, mask);
    QFETCH(QString, initial);
    QFETCH(QString, typed);
    QFETCH(bool, pressOk);
    QFETCH(bool, expectedResult);
    QFETCH(QString, expectedText);

    QString selected;
    const ModalAnswer input = AnswerModal([&](QWidget *dialog) {
        auto *edit = dialog->findChild<QLineEdit *>();
        QVERIFY(edit);
        selected = edit->selectedText();
        QTest::keyClicks(edit, typed);
        if (pressOk) {
            QTest::keyClick(edit, Qt::Key_Return); // OK is the default button
        } else {
            for (auto *button : dialog->findChildren<QPushButton *>())
                if (button->text() == u"Mégsem"_s)
                    button->click();
        }
    });
    QString text = initial;
    QCOMPARE(MaskedInputQuery(u"Jelszó megadása"_s, u"Add meg az új jelszót"_s, mask, text), expectedResult);
    QCOMPARE(text, expectedText);
    if (mask.isEmpty())
        QCOMPARE(selected, initial);
}

void TestCommonWidgets::maskedInputQueryLayout()
{
    QRect labelRect, editRect, okRect, cancelRect;
    QSize client;
    QString title;
    const ModalAnswer input = AnswerModal([&](QWidget *dialog) {
        title = dialog->windowTitle();
        client = dialog->size();
        labelRect = dialog->findChild<QLabel *>()->geometry();
        editRect = dialog->findChild<QLineEdit *>()->geometry();
        for (auto *button : dialog->findChildren<QPushButton *>())
            (button->text() == u"OK"_s ? okRect : cancelRect) = button->geometry();
        SaveShot(dialog, u"maskedinputquery"_s);
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    QString text;
    const QString prompt =
        u"Add meg az új jelszót, amelyet a következő bejelentkezéskor kell majd használnod"_s;
    QVERIFY(!MaskedInputQuery(u"Jelszó megadása"_s, prompt, QString(), text));

    QCOMPARE(title, u"Jelszó megadása"_s);
    const QSize average = AverageCharSize(QFontMetrics(QApplication::font()));
    const auto hu = [&](int u) { return (u * average.width() + 2) / 4; };
    QCOMPARE(client.width(), hu(180));
    QCOMPARE(labelRect.left(), hu(8));
    QVERIFY(labelRect.height() > QFontMetrics(QApplication::font()).height()); // the long prompt wraps
    QCOMPARE(editRect.top(), labelRect.bottom() + 1 + 5);
    QCOMPARE(editRect.left(), labelRect.left());
    QCOMPARE(editRect.width(), hu(164));
    QCOMPARE(okRect.top(), editRect.bottom() + 1 + 15);
    QCOMPARE(okRect.left(), hu(38));
    QCOMPARE(cancelRect.left(), hu(92));
    QCOMPARE(client.height(), okRect.bottom() + 1 + 13);
}

QTEST_MAIN(TestCommonWidgets)
#include "tst_commonwidgets.moc"
