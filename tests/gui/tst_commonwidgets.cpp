#include "gui/inputquery.h"
#include "gui/sortcolumn.h"
#include "gui/windowshortcuts.h"
#include "modaldialogs.h"
#include "testutil.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <Qsci/qsciscintilla.h>
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
    void fieldEditingKeys_data();
    void fieldEditingKeys();
    void windowShortcutsWinInTextFields_data();
    void windowShortcutsWinInTextFields();
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
    VerifyNoDialogLeftOpen();
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
        REQUIRE_CHILD(label, QLabel, dialog, QString());
        REQUIRE_CHILD(edit, QLineEdit, dialog, QString());
        labelRect = label->geometry();
        editRect = edit->geometry();
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

void TestCommonWidgets::fieldEditingKeys_data()
{
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<bool>("kept");
    QTest::newRow("Ctrl+E") << (Qt::CTRL | Qt::Key_E) << false;
    QTest::newRow("Ctrl+K") << (Qt::CTRL | Qt::Key_K) << false;
    QTest::newRow("Ctrl+Del") << (Qt::CTRL | Qt::Key_Delete) << false;
    QTest::newRow("Ctrl+P") << (Qt::CTRL | Qt::Key_P) << false;
    QTest::newRow("Alt+F") << (Qt::ALT | Qt::Key_F) << false;
    QTest::newRow("Ctrl+Shift+E") << (Qt::CTRL | Qt::SHIFT | Qt::Key_E) << false;
    QTest::newRow("Ctrl+C") << (Qt::CTRL | Qt::Key_C) << true;
    QTest::newRow("Ctrl+V") << (Qt::CTRL | Qt::Key_V) << true;
    QTest::newRow("Ctrl+X") << (Qt::CTRL | Qt::Key_X) << true;
    QTest::newRow("Ctrl+Z") << (Qt::CTRL | Qt::Key_Z) << true;
    QTest::newRow("Ctrl+Shift+Z") << (Qt::CTRL | Qt::SHIFT | Qt::Key_Z) << true;
    QTest::newRow("Ctrl+A") << (Qt::CTRL | Qt::Key_A) << true;
    QTest::newRow("Ctrl+Shift+Left") << (Qt::CTRL | Qt::SHIFT | Qt::Key_Left) << true;
    QTest::newRow("Ctrl+End") << (Qt::CTRL | Qt::Key_End) << true;
    QTest::newRow("Home") << QKeyCombination(Qt::Key_Home) << true;
    QTest::newRow("Shift+End") << (Qt::SHIFT | Qt::Key_End) << true;
    QTest::newRow("Delete") << QKeyCombination(Qt::Key_Delete) << true;
    QTest::newRow("a letter") << QKeyCombination(Qt::Key_E) << true;
}

void TestCommonWidgets::fieldEditingKeys()
{
    QFETCH(QKeyCombination, key);
    QFETCH(bool, kept);
    QCOMPARE(IsFieldEditingKey(key), kept);
}

void TestCommonWidgets::windowShortcutsWinInTextFields_data()
{
    QTest::addColumn<QString>("field");
    for (const char *field : {"line edit", "plain text", "editable combo box", "date", "QScintilla"})
        QTest::newRow(field) << QString::fromLatin1(field);
}

// Each kind of text field the windows use, with the focus in it, on an X display: Ctrl+E and Ctrl+K reach the
// window's actions, while Ctrl+A stays the field's even when the window has an action on it.
void TestCommonWidgets::windowShortcutsWinInTextFields()
{
    // Offscreen, text fields use no Linux desktop's key bindings and never claim these keys.
    if (QGuiApplication::platformName() != u"xcb"_s)
        QSKIP("needs an X display: runs as tst_commonwidgets_wm");
    QFETCH(QString, field);
    WindowShortcutsFirst filter;
    qApp->installEventFilter(&filter);
    QMainWindow window;
    auto page = new QWidget;
    auto layout = new QVBoxLayout(page);
    QWidget *focused = nullptr;
    if (field == u"line edit"_s)
        focused = new QLineEdit(u"szöveg"_s);
    else if (field == u"plain text"_s)
        focused = new QPlainTextEdit(u"szöveg"_s);
    else if (field == u"date"_s)
        focused = new QDateEdit(QDate(2025, 1, 2));
    else if (field == u"QScintilla"_s)
        focused = new QsciScintilla;
    else {
        auto combo = new QComboBox;
        combo->setEditable(true);
        focused = combo;
    }
    layout->addWidget(focused);
    window.setCentralWidget(page);
    QMap<QString, int> triggered;
    for (const QString &keys : {u"Ctrl+E"_s, u"Ctrl+K"_s, u"Ctrl+A"_s}) {
        auto action = new QAction(keys, &window);
        action->setShortcut(QKeySequence(keys));
        window.addAction(action);
        connect(action, &QAction::triggered, &window, [&triggered, keys] { ++triggered[keys]; });
    }
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    focused->setFocus();
    QWidget *receiver = QApplication::focusWidget();
    QVERIFY(receiver);
    QTest::keyClick(receiver, Qt::Key_E, Qt::ControlModifier);
    QTest::keyClick(receiver, Qt::Key_K, Qt::ControlModifier);
    QTest::keyClick(receiver, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(triggered.value(u"Ctrl+E"_s), 1);
    QCOMPARE(triggered.value(u"Ctrl+K"_s), 1);
    // Fields that select all with Ctrl+A keep it; the others never wanted it.
    if (field == u"line edit"_s || field == u"plain text"_s || field == u"editable combo box"_s)
        QCOMPARE(triggered.value(u"Ctrl+A"_s), 0);
    qApp->removeEventFilter(&filter);
}

QTEST_MAIN(TestCommonWidgets)
#include "tst_commonwidgets.moc"
