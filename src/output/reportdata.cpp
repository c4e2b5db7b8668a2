#include "output/reportdata.h"

#include "db/connection.h"
#include "db/query.h"

using namespace Qt::StringLiterals;

namespace {

const QString DateFormat = u"yyyy.MM.dd"_s;
const QString FooterFont = u"Courier New"_s;

} // namespace

ReportOwner LoadReportOwner(Connection &connection)
{
    const ResultSet owner = connection.query(u"SELECT * FROM vw_tulajdonos;"_s);
    ReportOwner result;
    if (owner.rowCount() == 0)
        return result;
    auto column = [&owner](const QString &name) {
        const int index = owner.fieldIndex(name);
        return index < 0 ? QString() : owner.text(0, index);
    };
    result.tulajdonos = column(u"tulajdonos"_s);
    result.irszvaros = column(u"irszvaros"_s);
    result.telefon = column(u"telefon"_s);
    return result;
}

void OpenResolutionQuery(Query &query, int iktato)
{
    query.close();
    query.setSql(u"SELECT * FROM vw_iktato\nWHERE iktato = :piktato\nORDER BY 1;"_s);
    query.setParam(u"piktato"_s, iktato);
    query.open();
}

ReportRows::ReportRows(const ResultSet &result) : m_result(result)
{
    const char16_t *const names[ColumnCount] = {u"hosszu",    u"datum",       u"targy",    u"felelos",
                                                u"dat_hatid", u"statusz_nev", u"hatarozat"};
    for (int i = 0; i < ColumnCount; ++i)
        m_index[i] = result.fieldIndex(QStringView(names[i]));
}

int ReportRows::count() const
{
    return m_result.rowCount();
}

QString ReportRows::text(int row, Column column) const
{
    const int index = m_index[column];
    if (index < 0 || row < 0 || row >= m_result.rowCount() || m_result.isNull(row, index))
        return QString();
    if (column == Datum || column == DatHatid) {
        const QVariant value = m_result.value(row, index);
        if (value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime)
            return value.toDate().toString(DateFormat);
    }
    return m_result.text(row, index);
}

ReportBand ReportPageFooter(int page, const QString &reportName, const QDateTime &printedAt,
                            const QString &address, qreal width)
{
    const QFont font = ReportFont(FooterFont, 6);
    constexpr qreal TopRow = 1.1;
    constexpr qreal BottomRow = 10.6;
    BandBuilder b;
    b.line(QPointF(0, 0), QPointF(width, 0), QColor(0xc0, 0xc0, 0xc0), 0.3);
    b.text(0, TopRow, width / 2, font, u"Orvant.H"_s);
    b.text(width / 2, TopRow, width / 2, font, printedAt.toString(DateFormat + u" HH:mm"_s), Qt::AlignRight);
    b.text(0, BottomRow, width / 3, font, u"oldal: "_s + QString::number(page + 1));
    b.text(width / 3, BottomRow, width / 3, font, address, Qt::AlignHCenter);
    b.text(2 * width / 3, BottomRow, width / 3, font, reportName, Qt::AlignRight);
    return b.take(ReportFooterHeight);
}
