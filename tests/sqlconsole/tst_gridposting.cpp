#include "sqlconsole/gridposting.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The values the console's grid writes for typed cells: which empty cell is NULL.
class TestGridPosting : public QObject
{
    Q_OBJECT

private slots:
    void cellValue_data();
    void cellValue();
    void newRowCellValue_data();
    void newRowCellValue();
};

void TestGridPosting::cellValue_data()
{
    QTest::addColumn<FieldInfo::Kind>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isNull");

    using Kind = FieldInfo::Kind;
    const struct
    {
        const char *name;
        Kind kind;
        bool emptyIsNull;
    } kinds[] = {
        {"integer", Kind::Integer, true},   {"float", Kind::Float, true},
        {"decimal", Kind::Decimal, true},   {"date", Kind::Date, true},
        {"datetime", Kind::DateTime, true}, {"time", Kind::Time, true},
        {"other", Kind::Other, true},       {"text", Kind::Text, false},
        {"binary", Kind::Binary, false},
    };
    for (const auto &k : kinds) {
        QTest::addRow("%s, empty", k.name) << k.kind << QString() << k.emptyIsNull;
        QTest::addRow("%s, a value", k.name) << k.kind << u"12"_s << false;
    }
    // A blank is a value: only nothing at all is NULL.
    QTest::newRow("integer, a blank") << Kind::Integer << u" "_s << false;
}

void TestGridPosting::cellValue()
{
    QFETCH(FieldInfo::Kind, kind);
    QFETCH(QString, text);
    QFETCH(bool, isNull);
    FieldInfo field;
    field.name = u"c"_s;
    field.kind = kind;
    const QVariant value = GridCellValue(field, text);
    QCOMPARE(value.isNull(), isNull);
    if (!isNull)
        QCOMPARE(value.toString(), text);
}

void TestGridPosting::newRowCellValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isValid");

    QTest::newRow("empty: left to the default") << QString() << false;
    QTest::newRow("a blank") << u" "_s << true;
    QTest::newRow("a value") << u"x"_s << true;
}

void TestGridPosting::newRowCellValue()
{
    QFETCH(QString, text);
    QFETCH(bool, isValid);
    const QVariant value = NewRowCellValue(text);
    QCOMPARE(value.isValid(), isValid);
    if (isValid)
        QCOMPARE(value.toString(), text);
}

QTEST_GUILESS_MAIN(TestGridPosting)
#include "tst_gridposting.moc"
