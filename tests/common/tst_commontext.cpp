#include "common/cp1250.h"
#include "common/dates.h"
#include "common/hungariantext.h"
#include "common/text.h"
#include "common/values.h"

#include <QStringEncoder>
#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

// Text splitting and number reading, field-value conversion, dates and the UTF-8 reading of
// the notices service.
class TestCommonText : public QObject
{
    Q_OBJECT

private slots:
    void splitField_data();
    void splitField();
    void textToInt_data();
    void textToInt();
    void valueToInt_data();
    void valueToInt();
    void valueToIntFails_data();
    void valueToIntFails();
    void valueToFloat_data();
    void valueToFloat();
    void valueToStrAndIntText();
    void dateTimeNumbersRoundTrip_data();
    void dateTimeNumbersRoundTrip();
    void weekOfDate_data();
    void weekOfDate();
    void periodText();
    void monthDayDate_data();
    void monthDayDate();
    void leftRightPart();
    void utf8ToHungarian_data();
    void utf8ToHungarian();
    void hungarianToUtf8RoundTrip();
    void unmappableCharactersAreNamed_data();
    void unmappableCharactersAreNamed();
    void everyUnitEncodedAsAlone();
};

void TestCommonText::splitField_data()
{
    QTest::addColumn<QString>("separators");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("expected");

    QTest::newRow("first") << u";"_s << u"a;;b"_s << 1 << u"a"_s;
    QTest::newRow("empty between two separators") << u";"_s << u"a;;b"_s << 2 << QString();
    QTest::newRow("third") << u";"_s << u"a;;b"_s << 3 << u"b"_s;
    QTest::newRow("zero") << u";"_s << u"a;;b"_s << 0 << QString();
    QTest::newRow("past the last") << u";"_s << u"a;;b"_s << 4 << QString();
    QTest::newRow("negative") << u";"_s << u"a;;b"_s << -1 << QString();
    QTest::newRow("separator at start") << u"|"_s << u"|x"_s << 1 << QString();
    QTest::newRow("any character of the set") << u":."_s << u"1.2:3"_s << 3 << u"3"_s;
    QTest::newRow("field spans lines")
        << u"|"_s << u"12|Cím|Első sor\r\nmásodik\r\n"_s << 3 << u"Első sor\r\nmásodik\r\n"_s;
}

void TestCommonText::splitField()
{
    QFETCH(QString, separators);
    QFETCH(QString, text);
    QFETCH(int, n);
    QFETCH(QString, expected);
    QCOMPARE(SplitField(separators, text, n), expected);
}

void TestCommonText::textToInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("filtered");
    QTest::addColumn<int>("expected");

    QTest::newRow("empty") << QString() << QString() << 0;
    QTest::newRow("blank") << u"   "_s << QString() << 0;
    QTest::newRow("letters only") << u"abc"_s << QString() << 0;
    QTest::newRow("minus seven in blanks") << u"  -7  "_s << u"-7"_s << -7;
    QTest::newRow("minus inside dropped") << u"1-2"_s << u"12"_s << 12;
    QTest::newRow("decimal point") << u"3.5"_s << u"3.5"_s << 0;
    QTest::newRow("decimal comma") << u"3,5"_s << u"3,5"_s << 0;
    QTest::newRow("only the first separator kept") << u"1.2,3.4"_s << u"1.234"_s << 0;
    QTest::newRow("number and unit") << u"12 db"_s << u"12"_s << 12;
    QTest::newRow("lone minus") << u"-"_s << u"-"_s << 0;
    QTest::newRow("second minus dropped") << u"--5"_s << u"-5"_s << -5;
    QTest::newRow("too big for an integer") << u"99999999999"_s << u"99999999999"_s << 0;
}

void TestCommonText::textToInt()
{
    QFETCH(QString, text);
    QFETCH(QString, filtered);
    QFETCH(int, expected);
    QCOMPARE(NumericFilter(text), filtered);
    QCOMPARE(TextToInt(text), expected);
}

void TestCommonText::valueToInt_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("expected");

    QTest::newRow("NULL gives the default") << QVariant() << 77;
    QTest::newRow("whole number") << QVariant(qlonglong(2017)) << 2017;
    QTest::newRow("text") << QVariant(u" 42 "_s) << 42;
    QTest::newRow("negative text") << QVariant(u"-3"_s) << -3;
    QTest::newRow("raw bytes") << QVariant(QByteArray("15")) << 15;
    QTest::newRow("fraction rounded") << QVariant(2.6) << 3;
    QTest::newRow("decimal text rounded") << QVariant(u"2,4"_s) << 2;
    QTest::newRow("date as day number") << QVariant(QDate(1900, 1, 1)) << 2;
}

void TestCommonText::valueToInt()
{
    QFETCH(QVariant, value);
    QFETCH(int, expected);
    QCOMPARE(ValueToInt(value, 77), expected);
}

void TestCommonText::valueToIntFails_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::newRow("letters") << QVariant(u"abc"_s);
    QTest::newRow("empty text is no NULL") << QVariant(QString());
    QTest::newRow("number and unit") << QVariant(u"12 db"_s);
    QTest::newRow("beyond int") << QVariant(qlonglong(5'000'000'000));
    QTest::newRow("huge unsigned") << QVariant(qulonglong(1) << 40);
    QTest::newRow("not a number double") << QVariant(std::numeric_limits<double>::quiet_NaN());
}

void TestCommonText::valueToIntFails()
{
    QFETCH(QVariant, value);
    try {
        ValueToInt(value);
        QFAIL("no error raised");
    } catch (const ConversionError &error) {
        // The message is Hungarian and reaches the general error handler through what().
        QVERIFY(error.message().contains(u"egész szám"_s));
        QCOMPARE(QString::fromUtf8(error.what()), error.message());
    }
    QVERIFY_THROWS_EXCEPTION(ConversionError, ValueToIntText(value));
}

void TestCommonText::valueToFloat_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<double>("expected");

    QTest::newRow("NULL gives the default") << QVariant() << 1.5;
    QTest::newRow("date") << QVariant(QDate(2017, 3, 5)) << 42799.0;
    QTest::newRow("date-time") << QVariant(QDateTime(QDate(2017, 3, 5), QTime(18, 0))) << 42799.75;
    QTest::newRow("before day zero") << QVariant(QDateTime(QDate(1899, 12, 29), QTime(6, 0))) << -1.25;
    QTest::newRow("text with point") << QVariant(u"3.25"_s) << 3.25;
    QTest::newRow("text with comma") << QVariant(u"3,25"_s) << 3.25;
    QTest::newRow("integer") << QVariant(qlonglong(-4)) << -4.0;
}

void TestCommonText::valueToFloat()
{
    QFETCH(QVariant, value);
    QFETCH(double, expected);
    QCOMPARE(ValueToFloat(value, 1.5), expected);
}

void TestCommonText::valueToStrAndIntText()
{
    QCOMPARE(ValueToIntText(QVariant()), u"0"_s);
    QCOMPARE(ValueToIntText(QVariant(qlonglong(123))), u"123"_s);
    QCOMPARE(ValueToStr(QVariant(), u"nincs"_s), u"nincs"_s);
    QCOMPARE(ValueToStr(QVariant(QString()), u"nincs"_s), QString());
    // Raw cells of a result are code page 1250.
    QCOMPARE(ValueToStr(QVariant(QByteArray("\xE1rv\xED\xFB"))), u"árvíű"_s);
    QVERIFY_THROWS_EXCEPTION(ConversionError, ValueToFloat(QVariant(u"x1"_s)));
    QCOMPARE(ReplaceChar(QVariant(), u';', u','), QString());
    QCOMPARE(ReplaceChar(QVariant(u"a;b;c"_s), u';', u','), u"a,b,c"_s);
    QCOMPARE(StripChars(u"-. "_s, u"06-1 234.567"_s), u"061234567"_s);
    QCOMPARE(IfThenValue(false, 1, u"b"_s), QVariant(u"b"_s));
}

void TestCommonText::dateTimeNumbersRoundTrip_data()
{
    QTest::addColumn<QDateTime>("dateTime");
    QTest::newRow("day zero") << QDateTime(QDate(1899, 12, 30), QTime(0, 0));
    QTest::newRow("afternoon") << QDateTime(QDate(2023, 6, 1), QTime(15, 30, 10));
    QTest::newRow("before day zero") << QDateTime(QDate(1899, 12, 29), QTime(6, 0));
    QTest::newRow("long before") << QDateTime(QDate(1800, 2, 3), QTime(23, 59, 59));
}

void TestCommonText::dateTimeNumbersRoundTrip()
{
    QFETCH(QDateTime, dateTime);
    QCOMPARE(FloatToDateTime(DateTimeToFloat(dateTime)), dateTime);
}

void TestCommonText::weekOfDate_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("week");

    QTest::newRow("1 Jan on a Friday is in last year's week 53") << QDate(2021, 1, 1) << 53;
    QTest::newRow("31 Dec on a Thursday") << QDate(2020, 12, 31) << 53;
    QTest::newRow("30 Dec on a Monday is in next year's week 1") << QDate(2024, 12, 30) << 1;
    QTest::newRow("31 Dec on a Monday") << QDate(2018, 12, 31) << 1;
    QTest::newRow("1 Jan on a Thursday") << QDate(2026, 1, 1) << 1;
    QTest::newRow("Sunday 3 Jan") << QDate(2016, 1, 3) << 53;
    QTest::newRow("Monday 4 Jan") << QDate(2016, 1, 4) << 1;
}

void TestCommonText::weekOfDate()
{
    QFETCH(QDate, date);
    QFETCH(int, week);
    QCOMPARE(WeekOfDate(date), week);
}

void TestCommonText::monthDayDate_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QDate>("expected");
    QTest::addColumn<QString>("message");

    const QString incomplete = u"A dátum hiányos: a hónapot és a napot is meg kell adni (hh.nn)."_s;
    QTest::newRow("31 December") << u"12.31"_s << QDate(2025, 12, 31) << QString();
    QTest::newRow("5 March") << u"03.05"_s << QDate(2025, 3, 5) << QString();
    QTest::newRow("month 13") << u"13.01"_s << QDate() << u"Érvénytelen dátum: nincs 13. hónap."_s;
    QTest::newRow("month 0") << u"00.10"_s << QDate() << u"Érvénytelen dátum: nincs 0. hónap."_s;
    QTest::newRow("30 February") << u"02.30"_s << QDate()
                                 << u"Érvénytelen dátum: 2025.02.30. nem létező nap."_s;
    QTest::newRow("day 0") << u"02.00"_s << QDate() << u"Érvénytelen dátum: 2025.02.00. nem létező nap."_s;
    QTest::newRow("blank") << u"__.__"_s << QDate() << incomplete;
    QTest::newRow("day missing") << u"04.__"_s << QDate() << incomplete;
    QTest::newRow("blanks shown as spaces") << u"  .05"_s << QDate() << incomplete;
    // One digit of two is a part left half-typed, not a month or day of one digit.
    QTest::newRow("month half-typed") << u"1_.05"_s << QDate() << u"Érvénytelen dátum: \"1_.05\"."_s;
    QTest::newRow("month half-typed at its end")
        << u"_1.05"_s << QDate() << u"Érvénytelen dátum: \"_1.05\"."_s;
    QTest::newRow("day half-typed") << u"05.3_"_s << QDate() << u"Érvénytelen dátum: \"05.3_\"."_s;
    QTest::newRow("month half-typed with a blank")
        << u"1 .05"_s << QDate() << u"Érvénytelen dátum: \"1 .05\"."_s;
    QTest::newRow("sign in the day") << u"05.+3"_s << QDate() << u"Érvénytelen dátum: \"05.+3\"."_s;
}

void TestCommonText::monthDayDate()
{
    QFETCH(QString, typed);
    QFETCH(QDate, expected);
    QFETCH(QString, message);

    QString error;
    QCOMPARE(MonthDayDate(2025, typed, &error), expected);
    QCOMPARE(error, message);
}

void TestCommonText::periodText()
{
    QCOMPARE(PeriodText(QDate(2017, 3, 5), QDate(2017, 12, 31)), u"2017.03.05 - 2017.12.31"_s);
    QCOMPARE(YearOfDate(QDate(2017, 3, 5)), 2017);
    QCOMPARE(MonthOfDate(QDate(2017, 3, 5)), 3);
}

void TestCommonText::leftRightPart()
{
    QCOMPARE(LeftPart(u"abc"_s, 2), u"ab"_s);
    QCOMPARE(RightPart(u"abc"_s, 2), u"bc"_s);
    QCOMPARE(LeftPart(u"abc"_s, 9), u"abc"_s);
    // QString::left/right hand back the whole text for a negative count.
    QCOMPARE(LeftPart(u"abc"_s, -1), QString());
    QCOMPARE(RightPart(u"abc"_s, -1), QString());
}

void TestCommonText::utf8ToHungarian_data()
{
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<QByteArray>("expected");

    const QString letters = u"áéíóöőúüűÁÉÍÓÖŐÚÜŰ"_s;
    QTest::newRow("all eighteen letters") << letters.toUtf8() << ToCp1250(letters);
    QTest::newRow("plain ASCII") << QByteArray("12|Hello 1.2.3\r\n") << QByteArray("12|Hello 1.2.3\r\n");
    QTest::newRow("sentence") << u"Új verzió érhető el: 24.0.0.1\r\n"_s.toUtf8()
                              << ToCp1250(u"Új verzió érhető el: 24.0.0.1\r\n"_s);
    QTest::newRow("combining accent inside") << QByteArray("ke\xCC\x81k") << QByteArray("k\xE9k");
    QTest::newRow("combining accent on a and i")
        << QByteArray("a\xCC\x81ri\xCC\x81z") << QByteArray("\xE1r\xEDz");
    // The backward walk starts at the next-to-last byte, so an accent that ends the text is
    // never folded: it is dropped and the plain e stays, as the stored replies were read.
    QTest::newRow("combining accent at the end") << QByteArray("ke\xCC\x81") << QByteArray("ke");
    QTest::newRow("combining accent at the end after one inside") << QByteArray("e\xCC\x81"
                                                                                "e\xCC\x81")
                                                                  << QByteArray("\xE9"
                                                                                "e");
    QTest::newRow("combining accent on o dropped") << QByteArray("o\xCC\x81") << QByteArray("o");
    QTest::newRow("registered sign removed") << QByteArray("X\xC2\xAE!") << QByteArray("X!");
    QTest::newRow("trade mark keeps its last byte") << QByteArray("X\xE2\x84\xA2") << QByteArray("X\xA2");
    QTest::newRow("other C3 letter keeps its second byte") << QByteArray("\xC3\xA4") << QByteArray("\xA4");
    QTest::newRow("lead byte at the end dropped") << QByteArray("ab\xC3") << QByteArray("ab");
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TestCommonText::utf8ToHungarian()
{
    QFETCH(QByteArray, utf8);
    QFETCH(QByteArray, expected);
    QCOMPARE(Utf8ToHungarian(utf8).toHex(' '), expected.toHex(' '));
}

void TestCommonText::hungarianToUtf8RoundTrip()
{
    const QString text = u"Árvíztűrő tükörfúrógép „idézet” – ŐŰőű"_s;
    QCOMPARE(HungarianToUtf8(ToCp1250(text)), text.toUtf8());
}

void TestCommonText::unmappableCharactersAreNamed_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected"); // each character that cannot be stored as '?'
    QTest::addColumn<QString>("unmappable");

    const QChar high(char16_t(0xD83D));
    const QChar low(char16_t(0xDE00));
    QTest::newRow("all stored") << u"őű„”–€‰"_s << QByteArray("\xF5\xFB\x84\x94\x96\x80\x89") << QString();
    QTest::newRow("emoji as one character") << u"a\U0001F600b"_s << QByteArray("a?b") << u"\U0001F600"_s;
    QTest::newRow("named once") << u"ЖaЖ"_s << QByteArray("?a?") << u"Ж"_s;
    QTest::newRow("lone high surrogate before a letter")
        << QString(high) + u"A"_s << QByteArray("?A") << QString(high);
    QTest::newRow("lone low surrogate") << QString(low) + u"B"_s << QByteArray("?B") << QString(low);
    QTest::newRow("emoji, then a lone half of one")
        << u"\U0001F600"_s + high << QByteArray("??") << u"\U0001F600"_s + high;
    QTest::newRow("high surrogate at the end") << u"x"_s + high << QByteArray("x?") << QString(high);
    // The encoder is kept between calls: a refused text must not leave the next one refused.
    QTest::newRow("all stored, after refused ones")
        << u"Árvíztűrő"_s << QByteArray("\xC1rv\xEDzt\xFBr\xF5") << QString();
}

void TestCommonText::unmappableCharactersAreNamed()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QFETCH(QString, unmappable);
    QString named = u"not set"_s;
    QCOMPARE(ToCp1250(text, &named), expected);
    QCOMPARE(named, unmappable);
    QCOMPARE(UnmappableCp1250Chars(text), unmappable);
}

// One text with every UTF-16 unit, so the characters cp1250 lacks send it down the
// character-by-character path: each unit comes out as a fresh encoder gives it on its own, and
// what one unit leaves in the converter does not change the next.
void TestCommonText::everyUnitEncodedAsAlone()
{
    QString text;
    QByteArray expected;
    QString expectedNamed;
    for (int pass = 0; pass < 2; ++pass) {
        for (int unit = 0; unit <= 0xFFFF; ++unit) {
            const QChar ch{char16_t(unit)};
            // A high surrogate before a low one would make a pair: a letter keeps them apart.
            text += ch;
            text += u'a';
            QStringEncoder alone("windows-1250", QStringConverter::Flag::Stateless);
            const QByteArray one = alone.encode(QString(ch));
            const bool stored = !alone.hasError() && one.size() == 1;
            expected += stored ? one : QByteArray("?");
            expected += 'a';
            if (!stored && pass == 0)
                expectedNamed += ch;
        }
    }
    QString named;
    const QByteArray encoded = ToCp1250(text, &named);
    QCOMPARE(encoded.size(), expected.size());
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        if (encoded.at(i) != expected.at(i))
            QFAIL(
                qPrintable(u"U+%1: byte %2, expected %3"_s.arg(uint(text.at(i).unicode()), 4, 16, QChar(u'0'))
                               .arg(quint8(encoded.at(i)))
                               .arg(quint8(expected.at(i)))));
    }
    QCOMPARE(named, expectedNamed);
}

QTEST_GUILESS_MAIN(TestCommonText)
#include "tst_commontext.moc"
