#include "common/values.h"
#include "db/dberror.h"
#include "gui/messagebox.h"
#include "modaldialogs.h"
#include "testutil.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace Qt::StringLiterals;

using Kind = MessageBoxRecorder::Kind;

class TestMessageBox : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void recordsKindCaptionText_data();
    void recordsKindCaptionText();
    void confirmAnswersFromQueue();
    void confirmWithEmptyQueueAnswersNoAndIsNoticed();
    void leftoverAnswersAreReported();
    void recordersNest();
    void generalErrorHandler_data();
    void generalErrorHandler();
    void realConfirmBox_data();
    void realConfirmBox();
    void realErrorBoxIsPlainTextAndGivesActivationBack();
    void longTextGoesBehindDetails_data();
    void longTextGoesBehindDetails();
};

void TestMessageBox::cleanup()
{
    VerifyNoDialogLeftOpen();
    // No box may stay open after a test.
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void TestMessageBox::recordsKindCaptionText_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("caption");

    QTest::newRow("error") << 0 << int(Kind::Error) << u"Hiba"_s;
    QTest::newRow("warning") << 1 << int(Kind::Warning) << u"Figyelmeztetés"_s;
    QTest::newRow("info") << 2 << int(Kind::Info) << u"Üzenet"_s;
    QTest::newRow("confirm") << 3 << int(Kind::Confirm) << u"Megerősítés"_s;
}

void TestMessageBox::recordsKindCaptionText()
{
    QFETCH(int, which);
    QFETCH(int, kind);
    QFETCH(QString, caption);

    const QString text = u"Első sor\r\nmásodik <b>sor</b>"_s;
    MessageBoxRecorder boxes;
    if (which == 3)
        boxes.queueAnswer(true);
    switch (which) {
    case 0: ShowErrorBox(text); break;
    case 1: ShowWarningBox(text); break;
    case 2: ShowInfoBox(text); break;
    case 3: QVERIFY(ConfirmBox(text)); break;
    }
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(int(boxes.boxes().at(0).kind), kind);
    QCOMPARE(boxes.boxes().at(0).caption, caption);
    QCOMPARE(boxes.boxes().at(0).text, text);
    QCOMPARE(boxes.unanswered(), 0);
}

void TestMessageBox::confirmAnswersFromQueue()
{
    MessageBoxRecorder boxes{false, true};
    QCOMPARE(ConfirmBox(u"Törli?"_s), false);
    QCOMPARE(ConfirmBox(u"Biztosan?"_s, u"Saját"_s, nullptr, QMessageBox::Warning), true);
    QCOMPARE(boxes.texts(), (QStringList{u"Törli?"_s, u"Biztosan?"_s}));
    QCOMPARE(boxes.boxes().at(1).caption, u"Saját"_s);
    QCOMPARE(boxes.boxes().at(0).answer, false);
    QCOMPARE(boxes.boxes().at(1).answer, true);
    QCOMPARE(boxes.pendingAnswers(), 0);
}

void TestMessageBox::confirmWithEmptyQueueAnswersNoAndIsNoticed()
{
    MessageBoxRecorder boxes;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"no answer queued.*Kilép\\?"_s));
    QCOMPARE(ConfirmBox(u"Kilép?"_s), false);
    QCOMPARE(boxes.unanswered(), 1);
    QVERIFY(boxes.boxes().at(0).unanswered);
}

void TestMessageBox::leftoverAnswersAreReported()
{
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"2 queued answer\\(s\\) never asked"_s));
    MessageBoxRecorder boxes{true, false};
}

void TestMessageBox::recordersNest()
{
    MessageBoxRecorder outer;
    ShowInfoBox(u"kint"_s);
    {
        MessageBoxRecorder inner{true};
        ShowInfoBox(u"bent"_s);
        QVERIFY(ConfirmBox(u"bent?"_s));
        QCOMPARE(inner.texts(), (QStringList{u"bent"_s, u"bent?"_s}));
    }
    ShowWarningBox(u"újra kint"_s);
    QCOMPARE(outer.texts(), (QStringList{u"kint"_s, u"újra kint"_s}));
}

void TestMessageBox::generalErrorHandler_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("text");

    QTest::newRow("database error") << 0 << u"Table 'iktató' doesn't exist"_s;
    QTest::newRow("conversion error") << 1 << u"Az érték nem alakítható egész számmá: „abc”"_s;
    QTest::newRow("standard error") << 2 << u"vector"_s;
    QTest::newRow("anything else") << 3 << u"Ismeretlen hiba történt."_s;
}

void TestMessageBox::generalErrorHandler()
{
    QFETCH(int, which);
    QFETCH(QString, text);

    MessageBoxRecorder boxes;
    try {
        switch (which) {
        case 0: throw DbError(text, 1146);
        case 1: ValueToInt(QVariant(u"abc"_s)); break;
        case 2: throw std::out_of_range("vector");
        default: throw 42;
        }
        QFAIL("nothing thrown");
    } catch (...) {
        ShowCurrentException();
    }
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes().at(0).kind, Kind::Error);
    QCOMPARE(boxes.boxes().at(0).caption, u"Hiba"_s);
    QCOMPARE(boxes.boxes().at(0).text, text);
}

void TestMessageBox::realConfirmBox_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("expected");

    QTest::newRow("Enter takes the default Yes") << int(Qt::Key_Return) << true;
    QTest::newRow("Esc answers No") << int(Qt::Key_Escape) << false;
    QTest::newRow("No clicked") << 0 << false;
}

void TestMessageBox::realConfirmBox()
{
    QFETCH(int, key);
    QFETCH(bool, expected);

    QString caption;
    bool yesIsDefault = false;
    const ModalAnswer messageBox = AnswerModal([&](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        QVERIFY(box);
        caption = box->windowTitle();
        yesIsDefault = box->defaultButton() == qobject_cast<QPushButton *>(box->button(QMessageBox::Yes));
        if (key)
            QTest::keyClick(box, Qt::Key(key));
        else
            box->button(QMessageBox::No)->click();
    });
    QCOMPARE(ConfirmBox(u"Törli a határozatot?"_s), expected);
    QCOMPARE(caption, u"Megerősítés"_s);
    QVERIFY(yesIsDefault);
}

void TestMessageBox::realErrorBoxIsPlainTextAndGivesActivationBack()
{
    QMainWindow owner;
    owner.show();
    owner.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&owner));

    bool plain = false;
    QString shown;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    const ModalAnswer messageBox = AnswerModal([&](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        QVERIFY(box);
        plain = box->textFormat() == Qt::PlainText;
        shown = box->text();
        icon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    ShowErrorBox(u"Hiba: a < b"_s, &owner);
    QVERIFY(plain);
    QCOMPARE(shown, u"Hiba: a < b"_s);
    QCOMPARE(icon, QMessageBox::Critical);
    QTRY_COMPARE(QApplication::activeWindow(), &owner);
}

void TestMessageBox::longTextGoesBehindDetails_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("details");

    QStringList dumpLines{u"A mentés nem sikerült:"_s};
    for (int i = 1; i <= 60; ++i)
        dumpLines << u"mariadb-dump: Got error: %1 when using LOCK TABLES"_s.arg(i);
    QTest::newRow("short") << u"Hiba: a < b"_s << u"Hiba: a < b"_s << false;
    QTest::newRow("a few lines") << u"egy\nkettő\nhárom"_s << u"egy\nkettő\nhárom"_s << false;
    QTest::newRow("a dump's output") << dumpLines.join(u'\n') << u"A mentés nem sikerült:"_s << true;
    const QString oneLine(20000, u'x');
    QTest::newRow("one very long line") << oneLine << QString(300, u'x') + u'…' << true;
}

// A failed dump prints dozens of lines: the box stays within the screen with its OK button on
// it, the first line in the box and the rest behind the details button.
void TestMessageBox::longTextGoesBehindDetails()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(bool, details);
    QMainWindow owner;
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    QString boxText, boxDetails;
    QRect boxFrame, okButton;
    const ModalAnswer messageBox = AnswerModal([&](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        QVERIFY(box);
        boxText = box->text();
        boxDetails = box->detailedText();
        boxFrame = box->frameGeometry();
        QAbstractButton *ok = box->button(QMessageBox::Ok);
        okButton = QRect(ok->mapToGlobal(QPoint(0, 0)), ok->size());
        ok->click();
    });
    ShowErrorBox(text, &owner);
    QCOMPARE(boxText, shown);
    if (details)
        QVERIFY(text.endsWith(boxDetails) && !boxDetails.isEmpty());
    else
        QCOMPARE(boxDetails, QString());
    const QRect work = owner.screen()->availableGeometry();
    QVERIFY2(boxFrame.height() <= work.height(), qPrintable(QString::number(boxFrame.height())));
    QVERIFY(work.contains(okButton));
}

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
