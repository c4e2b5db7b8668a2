// The register grid's column widths, without a window.
#include "register/registercolumns.h"

#include <QTest>

class TestRegisterColumns : public QObject
{
    Q_OBJECT

private slots:
    void widths_data();
    void widths();
};

void TestRegisterColumns::widths_data()
{
    QTest::addColumn<int>("gridWidth");
    QTest::addColumn<bool>("allCommittees");
    QTest::addColumn<bool>("panelShown");
    // Number, committee, date, subject, short text, responsible, deadline, status.
    QTest::addColumn<QList<int>>("widths");

    // 1044 pixels leave 1000 for the columns.
    QTest::newRow("all committees, panel closed: every column by its weight")
        << 1044 << true << false << QList<int>{100, 110, 90, 90, 330, 110, 90, 80};
    QTest::newRow("one committee, panel shown: committee and text hidden, the rest share all")
        << 1044 << false << true << QList<int>{178, 0, 160, 160, 0, 196, 160, 142};
    QTest::newRow("all committees, panel shown")
        << 1044 << true << true << QList<int>{149, 164, 134, 134, 0, 164, 134, 119};
    QTest::newRow("one committee, panel closed")
        << 1044 << false << false << QList<int>{112, 0, 101, 101, 370, 123, 101, 89};
    QTest::newRow("narrower grid") << 600 << false << true << QList<int>{99, 0, 89, 89, 0, 109, 89, 79};
    QTest::newRow("no room beside the row indicator") << 44 << true << false << QList<int>(8, 0);
    QTest::newRow("narrower than the row indicator: nothing negative")
        << 20 << true << true << QList<int>(8, 0);
}

void TestRegisterColumns::widths()
{
    QFETCH(int, gridWidth);
    QFETCH(bool, allCommittees);
    QFETCH(bool, panelShown);
    QFETCH(QList<int>, widths);

    QCOMPARE(RegisterColumnWidths(gridWidth, allCommittees, panelShown), widths);
}

QTEST_APPLESS_MAIN(TestRegisterColumns)
#include "tst_registercolumns.moc"
