#include "app/beall.h"
#include "app/setup.h"
#include "gui/formgeometry.h"
#include "modaldialogs.h"
#include "register/frm_datumbe.h"
#include "register/frm_idoszak.h"
#include "register/perioddialogs.h"
#include "testutil.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QLayout>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Runs PickPeriod while `answer` works the dialog.
bool RunPickPeriod(QDate &from, QDate &to, const QString &caption, std::function<void(Tfrm_Idoszak *)> answer)
{
    const ModalAnswer periodDialog = AnswerModal([answer](QWidget *w) {
        auto dialog = qobject_cast<Tfrm_Idoszak *>(w);
        QVERIFY(dialog);
        answer(dialog);
        // Whatever the answer left open is closed, so a failing test cannot hang.
        if (dialog->isVisible())
            dialog->reject();
    });
    return PickPeriod(from, to, caption);
}

bool RunPickDate(QDate &date, const QString &caption, std::function<void(Tfrm_Datumbe *)> answer)
{
    const ModalAnswer dateDialog = AnswerModal([answer](QWidget *w) {
        auto dialog = qobject_cast<Tfrm_Datumbe *>(w);
        QVERIFY(dialog);
        answer(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    return PickDate(date, caption);
}

// Keys go to the control that has the focus, as they would when typed.
void Key(QWidget *window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *target = window->focusWidget() ? window->focusWidget() : window;
    QTest::keyClick(target, key, modifiers);
}

} // namespace

class TestPeriodDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        SetUpApplication(*qobject_cast<QApplication *>(qApp));
        // The settings file (window positions) goes into the temporary data folder.
        QVERIFY(QDir().mkpath(m_data.dataFolder()));
    }
    void cleanup()
    {
        VerifyNoDialogLeftOpen();
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }

    void presets_data();
    void presets();
    void presetButtons_data();
    void presetButtons();
    void periodOkReturnsDatesUnswapped();
    void periodCancelLeavesDates_data();
    void periodCancelLeavesDates();
    void captions_data();
    void captions();
    void periodEnterMovesOnCtrlEnterAccepts();
    void periodEnterPressesFocusedButton();
    void dateEnterAcceptsEscCancels_data();
    void dateEnterAcceptsEscCancels();
    void focusedPickerIsLightBlue();
    void positionRemembered_data();
    void positionRemembered();
    void screenshots();

private:
    ScopedDataFolder m_data;
};

void TestPeriodDialogs::presets_data()
{
    QTest::addColumn<int>("preset");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    const auto add = [](const char *name, PeriodPreset p, QDate today, QDate from, QDate to) {
        QTest::newRow(name) << int(p) << today << from << to;
    };
    add("today", PeriodPreset::Today, QDate(2024, 2, 29), QDate(2024, 2, 29), QDate(2024, 2, 29));
    add("week across new year, Wednesday", PeriodPreset::ThisWeek, QDate(2025, 12, 31), QDate(2025, 12, 29),
        QDate(2026, 1, 4));
    add("week across new year, Friday 1 Jan", PeriodPreset::ThisWeek, QDate(2027, 1, 1), QDate(2026, 12, 28),
        QDate(2027, 1, 3));
    add("week on its Monday", PeriodPreset::ThisWeek, QDate(2024, 3, 11), QDate(2024, 3, 11),
        QDate(2024, 3, 17));
    add("week on its Sunday", PeriodPreset::ThisWeek, QDate(2024, 3, 17), QDate(2024, 3, 11),
        QDate(2024, 3, 17));
    add("month February 2023", PeriodPreset::ThisMonth, QDate(2023, 2, 14), QDate(2023, 2, 1),
        QDate(2023, 2, 28));
    add("month on the 31st", PeriodPreset::ThisMonth, QDate(2024, 1, 31), QDate(2024, 1, 1),
        QDate(2024, 1, 31));
    add("last month, leap February", PeriodPreset::LastMonth, QDate(2024, 3, 15), QDate(2024, 2, 1),
        QDate(2024, 2, 29));
    add("last month across new year", PeriodPreset::LastMonth, QDate(2025, 1, 10), QDate(2024, 12, 1),
        QDate(2024, 12, 31));
    add("last month from the 31st", PeriodPreset::LastMonth, QDate(2024, 5, 31), QDate(2024, 4, 1),
        QDate(2024, 4, 30));
    add("this year", PeriodPreset::ThisYear, QDate(2024, 7, 4), QDate(2024, 1, 1), QDate(2024, 12, 31));
    add("last year", PeriodPreset::LastYear, QDate(2024, 1, 1), QDate(2023, 1, 1), QDate(2023, 12, 31));
}

void TestPeriodDialogs::presets()
{
    QFETCH(int, preset);
    QFETCH(QDate, today);
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    const Period p = PresetPeriod(PeriodPreset(preset), today);
    QCOMPARE(p.from, from);
    QCOMPARE(p.to, to);
}

void TestPeriodDialogs::presetButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("preset");
    QTest::newRow("Button7") << u"Button7"_s << u"Csak a mai nap"_s << int(PeriodPreset::Today);
    QTest::newRow("Button3") << u"Button3"_s << u"Ez a hét"_s << int(PeriodPreset::ThisWeek);
    QTest::newRow("Button4") << u"Button4"_s << u"Ez a hónap"_s << int(PeriodPreset::ThisMonth);
    QTest::newRow("Button5") << u"Button5"_s << u"Múlt hónap"_s << int(PeriodPreset::LastMonth);
    QTest::newRow("Button6") << u"Button6"_s << u"Idén"_s << int(PeriodPreset::ThisYear);
    QTest::newRow("Button8") << u"Button8"_s << u"Tavaly"_s << int(PeriodPreset::LastYear);
}

void TestPeriodDialogs::presetButtons()
{
    QFETCH(QString, button);
    QFETCH(QString, caption);
    QFETCH(int, preset);

    Tfrm_Idoszak dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    REQUIRE_CHILD(b, QPushButton, &dialog, button);
    QVERIFY(b);
    QCOMPARE(b->text(), caption);
    b->click();
    const Period expected = PresetPeriod(PeriodPreset(preset), QDate::currentDate());
    REQUIRE_CHILD(eAlso, QDateEdit, &dialog, QStringLiteral("eAlso"));
    QCOMPARE(eAlso->date(), expected.from);
    REQUIRE_CHILD(eFelso, QDateEdit, &dialog, QStringLiteral("eFelso"));
    QCOMPARE(eFelso->date(), expected.to);
    QVERIFY(dialog.isVisible()); // a preset only fills the pickers

    // Their order on the screen, top to bottom.
    QList<QPushButton *> order;
    for (const char16_t *name : {u"Button7", u"Button3", u"Button4", u"Button5", u"Button6", u"Button8"}) {
        REQUIRE_CHILD(presetButton, QPushButton, &dialog, QString::fromUtf16(name));
        order.append(presetButton);
    }
    for (qsizetype i = 1; i < order.size(); ++i)
        QVERIFY(order[i - 1]->y() < order[i]->y());
}

void TestPeriodDialogs::periodOkReturnsDatesUnswapped()
{
    QDate from(2024, 1, 1), to(2024, 1, 1);
    const bool ok = RunPickPeriod(from, to, QString(), [](Tfrm_Idoszak *d) {
        REQUIRE_CHILD(eAlso, QDateEdit, d, QStringLiteral("eAlso"));
        QCOMPARE(eAlso->date(), QDate(2024, 1, 1));
        eAlso->setDate(QDate(2024, 6, 30));
        REQUIRE_CHILD(eFelso, QDateEdit, d, QStringLiteral("eFelso"));
        eFelso->setDate(QDate(2024, 3, 1));
        REQUIRE_CHILD(button1, QPushButton, d, QStringLiteral("Button1"));
        button1->click();
    });
    QVERIFY(ok);
    QCOMPARE(from, QDate(2024, 6, 30));
    QCOMPARE(to, QDate(2024, 3, 1));
}

void TestPeriodDialogs::periodCancelLeavesDates_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("Mégsem") << 0;
    QTest::newRow("Esc") << 1;
    QTest::newRow("window closed") << 2;
}

void TestPeriodDialogs::periodCancelLeavesDates()
{
    QFETCH(int, how);
    QDate from(2020, 5, 6), to(2020, 7, 8);
    const bool ok = RunPickPeriod(from, to, QString(), [how](Tfrm_Idoszak *d) {
        REQUIRE_CHILD(button8, QPushButton, d, QStringLiteral("Button8"));
        button8->click();
        REQUIRE_CHILD(eFelso, QDateEdit, d, QStringLiteral("eFelso"));
        eFelso->setDate(QDate(2001, 1, 1));
        REQUIRE_CHILD(button2, QPushButton, d, QStringLiteral("Button2"));
        if (how == 0)
            button2->click();
        else if (how == 1)
            Key(d, Qt::Key_Escape);
        else
            d->close();
        QVERIFY(!d->isVisible());
    });
    QVERIFY(!ok);
    QCOMPARE(from, QDate(2020, 5, 6));
    QCOMPARE(to, QDate(2020, 7, 8));
}

void TestPeriodDialogs::captions_data()
{
    QTest::addColumn<bool>("period");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("expected");
    QTest::newRow("period, own caption") << true << QString() << u"Időszak megadása"_s;
    QTest::newRow("period, caller's caption") << true << u"Szűrés időszaka"_s << u"Szűrés időszaka"_s;
    QTest::newRow("date, own caption") << false << QString() << u"Dátum megadása"_s;
    QTest::newRow("date, caller's caption") << false << u"Határozat dátuma"_s << u"Határozat dátuma"_s;
}

void TestPeriodDialogs::captions()
{
    QFETCH(bool, period);
    QFETCH(QString, caption);
    QFETCH(QString, expected);
    QString seen;
    QDate a(2024, 1, 1), b(2024, 1, 2);
    if (period)
        RunPickPeriod(a, b, caption, [&seen](Tfrm_Idoszak *d) { seen = d->windowTitle(); });
    else
        RunPickDate(a, caption, [&seen](Tfrm_Datumbe *d) { seen = d->windowTitle(); });
    QCOMPARE(seen, expected);
}

void TestPeriodDialogs::periodEnterMovesOnCtrlEnterAccepts()
{
    QDate from(2024, 4, 1), to(2024, 4, 30);
    const bool ok = RunPickPeriod(from, to, QString(), [](Tfrm_Idoszak *d) {
        REQUIRE_CHILD(eAlso, QDateEdit, d, QStringLiteral("eAlso"));
        eAlso->setFocus();
        QTRY_VERIFY(eAlso->hasFocus());
        eAlso->setDate(QDate(2024, 4, 15));
        Key(d, Qt::Key_Return);
        QVERIFY(d->isVisible());
        QVERIFY(!eAlso->hasFocus());
        QCOMPARE(d->result(), int(QDialog::Rejected));

        Key(d, Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(!d->isVisible());
        QCOMPARE(d->result(), int(QDialog::Accepted));
    });
    QVERIFY(ok);
    QCOMPARE(from, QDate(2024, 4, 15));
    QCOMPARE(to, QDate(2024, 4, 30));
}

void TestPeriodDialogs::periodEnterPressesFocusedButton()
{
    QDate from(2000, 1, 1), to(2000, 1, 1);
    const QDate today = QDate::currentDate();
    const bool ok = RunPickPeriod(from, to, QString(), [today](Tfrm_Idoszak *d) {
        REQUIRE_CHILD(button6, QPushButton, d, QStringLiteral("Button6"));
        button6->setFocus();
        QTRY_VERIFY(button6->hasFocus());
        Key(d, Qt::Key_Return);
        QVERIFY(d->isVisible());
        REQUIRE_CHILD(eAlso, QDateEdit, d, QStringLiteral("eAlso"));
        QCOMPARE(eAlso->date(), QDate(today.year(), 1, 1));
        REQUIRE_CHILD(button1, QPushButton, d, QStringLiteral("Button1"));
        button1->setFocus();
        QTRY_VERIFY(button1->hasFocus());
        Key(d, Qt::Key_Return);
    });
    QVERIFY(ok);
    QCOMPARE(from, QDate(today.year(), 1, 1));
    QCOMPARE(to, QDate(today.year(), 12, 31));
}

void TestPeriodDialogs::dateEnterAcceptsEscCancels_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("Enter") << int(Qt::Key_Return) << true;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << true;
    QTest::newRow("Esc") << int(Qt::Key_Escape) << false;
}

void TestPeriodDialogs::dateEnterAcceptsEscCancels()
{
    QFETCH(int, key);
    QFETCH(bool, accepted);
    QDate date(2024, 9, 2);
    const bool ok = RunPickDate(date, QString(), [key](Tfrm_Datumbe *d) {
        REQUIRE_CHILD(dateTimePicker1, QDateEdit, d, QStringLiteral("DateTimePicker1"));
        QCOMPARE(dateTimePicker1->date(), QDate(2024, 9, 2));
        QTRY_VERIFY(dateTimePicker1->hasFocus());
        dateTimePicker1->setDate(QDate(2024, 9, 12));
        Key(d, Qt::Key(key));
        QVERIFY(!d->isVisible());
    });
    QCOMPARE(ok, accepted);
    QCOMPARE(date, accepted ? QDate(2024, 9, 12) : QDate(2024, 9, 2));
}

void TestPeriodDialogs::focusedPickerIsLightBlue()
{
    QDate from(2024, 1, 1), to(2024, 1, 1);
    RunPickPeriod(from, to, QString(), [](Tfrm_Idoszak *d) {
        const QColor lightBlue(0xa6, 0xca, 0xf0);
        REQUIRE_CHILD(eAlso, QDateEdit, d, QStringLiteral("eAlso"));
        eAlso->setFocus();
        QTRY_VERIFY(eAlso->hasFocus());
        QCOMPARE(eAlso->palette().color(QPalette::Base), lightBlue);
        REQUIRE_CHILD(eFelso, QDateEdit, d, QStringLiteral("eFelso"));
        QVERIFY(eFelso->palette().color(QPalette::Base) != lightBlue);
        eFelso->setFocus();
        QTRY_VERIFY(eFelso->hasFocus());
        QCOMPARE(eFelso->palette().color(QPalette::Base), lightBlue);
        QCOMPARE(eAlso->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));
    });
}

void TestPeriodDialogs::positionRemembered_data()
{
    QTest::addColumn<bool>("period");
    QTest::addColumn<bool>("accept");
    QTest::newRow("period, OK") << true << true;
    QTest::newRow("period, Mégsem") << true << false;
    QTest::newRow("date, OK") << false << true;
    QTest::newRow("date, Mégsem") << false << false;
}

void TestPeriodDialogs::positionRemembered()
{
    QFETCH(bool, period);
    QFETCH(bool, accept);
    const QString section = period ? u"frm_Idoszak"_s : u"frm_Datumbe"_s;
    SaveFormPos(section, 123, 77);

    QPoint shownAt;
    const auto answer = [&](QDialog *d) {
        shownAt = d->pos();
        d->move(210, 160);
        accept ? d->accept() : d->reject();
    };
    QDate a(2024, 1, 1), b(2024, 1, 2);
    if (period)
        RunPickPeriod(a, b, QString(), answer);
    else
        RunPickDate(a, QString(), answer);
    QCOMPARE(shownAt, QPoint(123, 77));
    QCOMPARE(LoadFormPos(section), QPoint(210, 160));
}

void TestPeriodDialogs::screenshots()
{
    Tfrm_Idoszak period;
    REQUIRE_CHILD(eAlso, QDateEdit, &period, QStringLiteral("eAlso"));
    eAlso->setDate(QDate(2025, 12, 29));
    REQUIRE_CHILD(eFelso, QDateEdit, &period, QStringLiteral("eFelso"));
    eFelso->setDate(QDate(2026, 1, 4));
    period.show();
    QVERIFY(QTest::qWaitForWindowExposed(&period));
    QCOMPARE(period.size(), QSize(475, 338));
    SaveShot(&period, u"period_dialog"_s);
    period.close();

    // The largest font size the users can choose still fits the fixed size.
    Beall.workstation.fontSize = 10;
    Tfrm_Idoszak large;
    large.show();
    QVERIFY(QTest::qWaitForWindowExposed(&large));
    QCOMPARE(large.font().pointSize(), 10);
    QVERIFY(large.layout()->minimumSize().height() <= large.height());
    SaveShot(&large, u"period_dialog_10pt"_s);
    large.close();
    Beall.workstation.fontSize = 9;

    Tfrm_Datumbe date;
    REQUIRE_CHILD(dateTimePicker1, QDateEdit, &date, QStringLiteral("DateTimePicker1"));
    dateTimePicker1->setDate(QDate(2024, 9, 12));
    date.show();
    QVERIFY(QTest::qWaitForWindowExposed(&date));
    QCOMPARE(date.size(), QSize(345, 229));
    SaveShot(&date, u"date_dialog"_s);
    date.close();
}

QTEST_MAIN(TestPeriodDialogs)
#include "tst_perioddialogs.moc"
