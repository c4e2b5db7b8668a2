#include "reportfixture.h"

#include "common/sqltext.h"
#include "db/connection.h"

using namespace Qt::StringLiterals;

QString LongText()
{
    const QString words = u"alma körte szilva barack meggy cseresznye dió mogyoró gesztenye ribizli egres "
                          "málna áfonya szeder"_s;
    QStringList paragraphs;
    for (int i = 1; i <= 90; ++i)
        paragraphs.append(u"P%1 "_s.arg(i, 3, 10, QChar(u'0')) + words + u' ' + words);
    return paragraphs.join(u"\r\n"_s);
}

void FillReportFixture(Connection &connection)
{
    connection.exec(u"UPDATE tulajdonos SET tulajdonos = "_s + SqlQuoted(OwnerName) +
                    u", irsz = '2099', varos = 'Hársfalva', telefon = '+36 26 555 0100';"_s);
    connection.exec(u"INSERT INTO csoport (csoport, csoport_nev) VALUES (1, 'Képviselő-testület'), "
                    "(2, 'Pénzügyi Bizottság');"_s);
    connection.exec(
        u"INSERT INTO iktato (iktato, ev, csoport, az, datum, targy, hatarozat, van_hatid, dat_hatid, "
        u"felelos, "
        "statusz) VALUES "
        "(1, 2024, 1, 1, '2024-02-01', 'Költségvetés elfogadása', 'A testület a 2024. évi költségvetést "
        "elfogadja.', 'I', '2024-03-31', 'polgármester', 1),"
        "(2, 2024, 1, 2, '2024-02-15', 'Rendelet módosítása', "_s +
        SqlQuoted(LongText()) +
        u", 'N', NULL, 'jegyző', NULL),"
        "(3, 2024, 2, 1, '2024-03-01', 'Pénzügyi beszámoló', 'A bizottság a beszámolót elfogadja.', 'I', "
        "'2024-04-30', 'pénzügyi osztály', 2),"
        "(4, 2023, 1, 1, '2023-11-20', 'Közvilágítás', 'A testület a közvilágítás korszerűsítéséről dönt.', "
        "'N', NULL, NULL, NULL),"
        "(5, 2024, 2, 2, '2024-05-10', 'Adóbevételek', 'Tájékoztató az adóbevételekről.', 'N', NULL, NULL, "
        "NULL);"_s);
}
