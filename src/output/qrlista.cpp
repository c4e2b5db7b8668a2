#include "output/qrlista.h"

using namespace Qt::StringLiterals;

namespace {

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

} // namespace

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
    b.text(0, 1.3, width - FrameWidth, ReportFont(Arial, 16, true), title());
    b.text(0, 10.6, FrameWidth, ReportFont(Arial, 9, true), m_caption);

    const qreal ownerLeft = width - FrameWidth;
    b.text(ownerLeft, 1.3, FrameWidth, ReportFont(Tahoma, 10, true), m_owner.tulajdonos, Qt::AlignRight);
    b.text(ownerLeft, 6.6, FrameWidth, ReportFont(Tahoma, 10), m_owner.irszvaros, Qt::AlignRight);
    b.text(ownerLeft, 10.6, FrameWidth, ReportFont(Tahoma, 10), m_owner.telefon, Qt::AlignRight);

    // The two frames: a top and a bottom line each, one at either edge.
    for (qreal left : {0.0, ownerLeft}) {
        b.line(QPointF(left, 0), QPointF(left + FrameWidth, 0));
        b.line(QPointF(left, FrameHeight), QPointF(left + FrameWidth, FrameHeight));
    }

    const QFont headingFont = ReportFont(Tahoma, 8);
    for (const Column &c : Columns)
        b.text(c.left, HeadingTop, c.width, headingFont, QString::fromUtf16(c.heading));
    b.line(QPointF(0, HeaderHeight), QPointF(width, HeaderHeight));
    return b.take(HeaderHeight);
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
    const QFont idFont = ReportFont(Tahoma, 9, true);
    const QFont columnFont = ReportFont(Tahoma, 8);
    const QFont textFont = ReportFont(Tahoma, 10);
    const qreal width = printableWidth();
    BandBuilder b;

    // Every text that grows beyond its one line moves what stands below it down as much.
    const qreal idBottom = b.wrappedText(0, 0, width, idFont, m_rows.text(row, ReportRows::Hosszu));
    qreal grown = std::max<qreal>(0, idBottom - BandBuilder::lineHeight(idFont));

    const qreal second = SecondLineTop + grown;
    qreal secondBottom = second + BandBuilder::lineHeight(columnFont);
    b.text(Columns[0].left, second, Columns[0].width, columnFont, m_rows.text(row, ReportRows::Datum));
    b.text(Columns[1].left, second, Columns[1].width, columnFont, m_rows.text(row, ReportRows::Targy));
    secondBottom = std::max(secondBottom, b.wrappedText(Columns[2].left, second, Columns[2].width, columnFont,
                                                        m_rows.text(row, ReportRows::Felelos)));
    secondBottom = std::max(secondBottom, b.wrappedText(Columns[3].left, second, Columns[3].width, columnFont,
                                                        m_rows.text(row, ReportRows::DatHatid)));
    b.text(Columns[4].left, second, Columns[4].width, columnFont, m_rows.text(row, ReportRows::StatuszNev));
    grown += secondBottom - (second + BandBuilder::lineHeight(columnFont));

    const qreal third = TextTop + grown;
    const qreal textBottom =
        b.wrappedText(TextLeft, third, TextWidth, textFont, m_rows.text(row, ReportRows::Hatarozat));
    grown += std::max<qreal>(0, textBottom - (third + BandBuilder::lineHeight(textFont)));

    const qreal height = DetailHeight + grown;
    b.line(QPointF(0, height), QPointF(width, height));
    ReportBand band = b.take(height);
    band.keepTogether = true;
    band.continuationTop = 1.1;
    return band;
}
