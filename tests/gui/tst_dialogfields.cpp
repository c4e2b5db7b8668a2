#include "gui/dialogfields.h"
#include "testutil.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

class TestDialogFields : public QObject
{
    Q_OBJECT

private slots:
    void keys_data();
    void keys();
    void focusColourGivesBackOwnPalette();
    void fontSize_data();
    void fontSize();
};

namespace {

// An editing dialog with one field of each kind the program's dialogs use, in tab order.
struct EditDialog
{
    QDialog dialog;
    QLineEdit *first = new QLineEdit(&dialog);
    QComboBox *combo = new QComboBox(&dialog);
    QDateEdit *date = new QDateEdit(&dialog);
    QCheckBox *check = new QCheckBox(u"Jelölő"_s, &dialog);
    QLineEdit *locked = new QLineEdit(&dialog);
    QPlainTextEdit *text = new QPlainTextEdit(&dialog);
    QPushButton *other = new QPushButton(u"Másik"_s, &dialog);
    int okCount = 0;
    int otherCount = 0;

    EditDialog()
    {
        first->setObjectName(u"first"_s);
        combo->setObjectName(u"combo"_s);
        combo->setEditable(true);
        combo->lineEdit()->setObjectName(u"comboEdit"_s);
        date->setObjectName(u"date"_s);
        check->setObjectName(u"check"_s);
        locked->setObjectName(u"locked"_s);
        text->setObjectName(u"text"_s);
        other->setObjectName(u"other"_s);
        other->setAutoDefault(false);
        auto *layout = new QVBoxLayout(&dialog);
        for (QWidget *w : std::initializer_list<QWidget *>{first, combo, date, check, locked, text, other})
            layout->addWidget(w);
        QObject::connect(other, &QPushButton::clicked, &dialog, [this] { ++otherCount; });

        auto *keys = new FieldKeys(&dialog, [this] { ++okCount; });
        keys->setEnterPressesButtons(true);
        keys->setMultiLineText(text);
        keys->watchAll();
        keys->ignoreEnter({locked});
    }
};

} // namespace

void TestDialogFields::keys_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("focusAfter");
    QTest::addColumn<int>("okCount");

    const int none = Qt::NoModifier;
    const int ctrl = Qt::ControlModifier;
    QTest::newRow("Enter moves on") << u"first"_s << int(Qt::Key_Return) << none << u"combo"_s << 0;
    // The keypad's Enter comes with the keypad modifier; it must move on all the same.
    QTest::newRow("keypad Enter moves on")
        << u"first"_s << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << u"combo"_s << 0;
    QTest::newRow("Shift+Enter moves on")
        << u"first"_s << int(Qt::Key_Return) << int(Qt::ShiftModifier) << u"combo"_s << 0;
    // The edit inside a combo box hands its focus to the box; Enter must not land there again.
    QTest::newRow("Enter leaves a combo box") << u"combo"_s << int(Qt::Key_Return) << none << u"date"_s << 0;
    QTest::newRow("Enter in a combo box's edit")
        << u"comboEdit"_s << int(Qt::Key_Return) << none << u"date"_s << 0;
    QTest::newRow("Enter leaves a date box") << u"date"_s << int(Qt::Key_Return) << none << u"check"_s << 0;
    QTest::newRow("Enter on a check box moves on")
        << u"check"_s << int(Qt::Key_Return) << none << u"locked"_s << 0;
    QTest::newRow("Ctrl+Enter is OK") << u"first"_s << int(Qt::Key_Return) << ctrl << u"first"_s << 1;
    QTest::newRow("Ctrl+keypad Enter is OK")
        << u"date"_s << int(Qt::Key_Enter) << (ctrl | int(Qt::KeypadModifier)) << u"date"_s << 1;
    QTest::newRow("Ctrl+Enter in the text is OK")
        << u"text"_s << int(Qt::Key_Return) << ctrl << u"text"_s << 1;
    QTest::newRow("Enter in the text stays") << u"text"_s << int(Qt::Key_Return) << none << u"text"_s << 0;
    QTest::newRow("Enter in an ignored field")
        << u"locked"_s << int(Qt::Key_Return) << none << u"locked"_s << 0;
    QTest::newRow("Ctrl+Enter in an ignored field")
        << u"locked"_s << int(Qt::Key_Return) << ctrl << u"locked"_s << 0;
    QTest::newRow("Enter on a button presses it")
        << u"other"_s << int(Qt::Key_Return) << none << u"other"_s << 0;
}

void TestDialogFields::keys()
{
    QFETCH(QString, target);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, focusAfter);
    QFETCH(int, okCount);

    EditDialog d;
    d.dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d.dialog));
    REQUIRE_CHILD(receiver, QWidget, &d.dialog, target);
    QVERIFY(receiver);
    receiver->setFocus();
    QTest::keyClick(receiver, Qt::Key(key), Qt::KeyboardModifiers(modifiers));

    QVERIFY(d.dialog.focusWidget());
    QCOMPARE(d.dialog.focusWidget()->objectName(), focusAfter);
    QCOMPARE(d.okCount, okCount);
    QCOMPARE(d.otherCount, target == u"other"_s ? 1 : 0);
    // The text keeps Enter as a line break, and only the plain one.
    QCOMPARE(d.text->toPlainText(), target == u"text"_s && modifiers == Qt::NoModifier ? u"\n"_s : QString());
}

void TestDialogFields::focusColourGivesBackOwnPalette()
{
    QDialog dialog;
    auto *first = new QLineEdit(&dialog);
    auto *second = new QLineEdit(&dialog);
    new QVBoxLayout(&dialog);
    dialog.layout()->addWidget(first);
    dialog.layout()->addWidget(second);
    PaintFocusedFields({first, second});
    // A colour the dialog gives the field after the painter is installed comes back too.
    const QColor own(0xFF, 0xFF, 0xE0);
    QPalette p = first->palette();
    p.setColor(QPalette::Base, own);
    first->setPalette(p);

    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    first->setFocus();
    QTRY_VERIFY(first->hasFocus());
    QCOMPARE(first->palette().color(QPalette::Base), QColor(0xA6, 0xCA, 0xF0));
    QCOMPARE(second->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));

    second->setFocus();
    QTRY_VERIFY(second->hasFocus());
    QCOMPARE(first->palette().color(QPalette::Base), own);
    QCOMPARE(second->palette().color(QPalette::Base), QColor(0xA6, 0xCA, 0xF0));
    first->setFocus();
    QTRY_VERIFY(first->hasFocus());
    QCOMPARE(second->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));

    // An editable combo box shows the colour in its edit.
    auto *combo = new QComboBox(&dialog);
    combo->setEditable(true);
    dialog.layout()->addWidget(combo);
    PaintFocusedField(combo);
    combo->setFocus();
    QTRY_VERIFY(combo->hasFocus());
    QCOMPARE(combo->lineEdit()->palette().color(QPalette::Base), QColor(0xA6, 0xCA, 0xF0));
    first->setFocus();
    QTRY_VERIFY(first->hasFocus());
    QCOMPARE(combo->lineEdit()->palette().color(QPalette::Base),
             QApplication::palette().color(QPalette::Base));
}

void TestDialogFields::fontSize_data()
{
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("expected");
    QTest::newRow("larger") << 11 << 11;
    QTest::newRow("smaller") << 8 << 8;
    QTest::newRow("0 keeps the size it has") << 0 << 13;
    QTest::newRow("negative keeps the size it has") << -1 << 13;
}

void TestDialogFields::fontSize()
{
    QFETCH(int, requested);
    QFETCH(int, expected);
    QDialog dialog;
    QFont f = dialog.font();
    f.setPointSize(13);
    dialog.setFont(f);
    auto *field = new QLineEdit(&dialog);
    ApplyFontSize(&dialog, requested);
    QCOMPARE(dialog.font().pointSize(), expected);
    QCOMPARE(field->font().pointSize(), expected);
}

QTEST_MAIN(TestDialogFields)
#include "tst_dialogfields.moc"
