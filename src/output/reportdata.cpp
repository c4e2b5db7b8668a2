#include "output/reportdata.h"

#include "db/resultset.h"

using namespace Qt::StringLiterals;

namespace reportdata {

const QString DateFormat = u"yyyy.MM.dd"_s;
const QString FooterFont = u"Courier New"_s;

} // namespace reportdata

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
            return value.toDate().toString(reportdata::DateFormat);
    }
    return m_result.text(row, index);
}

ReportBand ReportPageFooter(int page, const QString &reportName, const QDateTime &printedAt,
                            const QString &address, qreal width)
{
    const QFont font = ReportFont(reportdata::FooterFont, 6);
    constexpr qreal TopRow = 1.1;
    constexpr qreal BottomRow = 10.6;
    BandBuilder b;
    b.line(QPointF(0, 0), QPointF(width, 0), QColor(0xc0, 0xc0, 0xc0), 0.3);
    b.text(0, TopRow, width / 2, font, u"Orvant.H"_s);
    b.text(width / 2, TopRow, width / 2, font, printedAt.toString(reportdata::DateFormat + u" HH:mm"_s),
           Qt::AlignRight);
    b.text(0, BottomRow, width / 3, font, u"oldal: "_s + QString::number(page + 1));
    b.text(width / 3, BottomRow, width / 3, font, address, Qt::AlignHCenter);
    b.text(2 * width / 3, BottomRow, width / 3, font, reportName, Qt::AlignRight);
    return b.take(ReportFooterHeight);
}
