#include "output/qrlista.h"

using namespace Qt::StringLiterals;

namespace qrlista {

const QString Tahoma = u"Tahoma"_s;
const QString Arial = u"Arial"_s;

constexpr qreal HeaderHeight = 22.2;
constexpr qreal FrameWidth = 77.1;
constexpr qreal FrameHeight = 16.2;
constexpr qreal HeadingTop = 17.2;

constexpr qreal DetailHeight = 16.7;
constexpr qreal SecondLineTop = 6.4;
constexpr qreal TextTop = 11.9;
constexpr qreal TextLeft = 5.3;
constexpr qreal TextWidth = 184.4;

struct Column
{
    const char16_t *heading;
    qreal left;
    qreal width;
};
// Dátum, Tárgy, Felelős, Határidő, Státusz: the detail's second line stands under these.
constexpr Column Columns[] = {
    {u"Dátum", 0.5, 25.4},      {u"Tárgy", 27.0, 52.7},    {u"Felelős", 80.4, 58.7},
    {u"Határidő", 140.2, 22.8}, {u"Státusz", 164.0, 25.5},
};

} // namespace qrlista

QrLista::QrLista(const ResultSet &rows, ReportOwner owner, QString caption)
    : m_rows(rows), m_owner(std::move(owner)), m_caption(std::move(caption))
{
}

QString QrLista::title() const
{
    return u"Határozatok listája"_s;
}

ReportBand QrLista::pageHeader(int) const
{
    const qreal width = printableWidth();
    BandBuilder b;
    b.text(0, 1.3, width - qrlista::FrameWidth, ReportFont(qrlista::Arial, 16, true), title());
    b.text(0, 10.6, qrlista::FrameWidth, ReportFont(qrlista::Arial, 9, true), m_caption);

    const qreal ownerLeft = width - qrlista::FrameWidth;
    b.text(ownerLeft, 1.3, qrlista::FrameWidth, ReportFont(qrlista::Tahoma, 10, true), m_owner.tulajdonos,
           Qt::AlignRight);
    b.text(ownerLeft, 6.6, qrlista::FrameWidth, ReportFont(qrlista::Tahoma, 10), m_owner.irszvaros,
           Qt::AlignRight);
    b.text(ownerLeft, 10.6, qrlista::FrameWidth, ReportFont(qrlista::Tahoma, 10), m_owner.telefon,
           Qt::AlignRight);

    // The two frames: a top and a bottom line each, one at either edge.
    for (qreal left : {0.0, ownerLeft}) {
        b.line(QPointF(left, 0), QPointF(left + qrlista::FrameWidth, 0));
        b.line(QPointF(left, qrlista::FrameHeight),
               QPointF(left + qrlista::FrameWidth, qrlista::FrameHeight));
    }

    const QFont headingFont = ReportFont(qrlista::Tahoma, 8);
    for (const qrlista::Column &c : qrlista::Columns)
        b.text(c.left, qrlista::HeadingTop, c.width, headingFont, QString::fromUtf16(c.heading));
    b.line(QPointF(0, qrlista::HeaderHeight), QPointF(width, qrlista::HeaderHeight));
    return b.take(qrlista::HeaderHeight);
}

ReportBand QrLista::pageFooter(int page) const
{
    return ReportPageFooter(page, u"qrLista"_s, printedAt(), footerAddress(), printableWidth());
}

int QrLista::bodyBandCount() const
{
    return m_rows.count();
}

ReportBand QrLista::bodyBand(int row) const
{
    const QFont idFont = ReportFont(qrlista::Tahoma, 9, true);
    const QFont columnFont = ReportFont(qrlista::Tahoma, 8);
    const QFont textFont = ReportFont(qrlista::Tahoma, 10);
    const qreal width = printableWidth();
    BandBuilder b;

    // Every text that grows beyond its one line moves what stands below it down as much.
    const qreal idBottom = b.wrappedText(0, 0, width, idFont, m_rows.text(row, ReportRows::Hosszu));
    qreal grown = std::max<qreal>(0, idBottom - BandBuilder::lineHeight(idFont));

    const qreal second = qrlista::SecondLineTop + grown;
    qreal secondBottom = second + BandBuilder::lineHeight(columnFont);
    b.text(qrlista::Columns[0].left, second, qrlista::Columns[0].width, columnFont,
           m_rows.text(row, ReportRows::Datum));
    b.text(qrlista::Columns[1].left, second, qrlista::Columns[1].width, columnFont,
           m_rows.text(row, ReportRows::Targy));
    secondBottom =
        std::max(secondBottom, b.wrappedText(qrlista::Columns[2].left, second, qrlista::Columns[2].width,
                                             columnFont, m_rows.text(row, ReportRows::Felelos)));
    secondBottom =
        std::max(secondBottom, b.wrappedText(qrlista::Columns[3].left, second, qrlista::Columns[3].width,
                                             columnFont, m_rows.text(row, ReportRows::DatHatid)));
    b.text(qrlista::Columns[4].left, second, qrlista::Columns[4].width, columnFont,
           m_rows.text(row, ReportRows::StatuszNev));
    grown += secondBottom - (second + BandBuilder::lineHeight(columnFont));

    const qreal third = qrlista::TextTop + grown;
    const qreal textBottom = b.wrappedText(qrlista::TextLeft, third, qrlista::TextWidth, textFont,
                                           m_rows.text(row, ReportRows::Hatarozat));
    grown += std::max<qreal>(0, textBottom - (third + BandBuilder::lineHeight(textFont)));

    const qreal height = qrlista::DetailHeight + grown;
    b.line(QPointF(0, height), QPointF(width, height));
    ReportBand band = b.take(height);
    band.keepTogether = true;
    band.continuationTop = 1.1;
    return band;
}
