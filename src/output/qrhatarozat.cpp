#include "output/qrhatarozat.h"

using namespace Qt::StringLiterals;

namespace qrhatarozat {

const QString Tahoma = u"Tahoma"_s;
const QString Arial = u"Arial"_s;

constexpr qreal TitleHeight = 29.4;
constexpr qreal BoxHeight = 17.2;
constexpr qreal StripTop = 16.9;
constexpr qreal StripHeight = 8.7;
constexpr qreal RightEdge = 189.7;
// The three boxes overlap by a hair so that their sides print as one line.
constexpr qreal Boxes[3][2] = {{0, 65.9}, {65.6, 124.1}, {123.8, RightEdge}};

constexpr qreal LabelLeft = 67.7;
constexpr qreal ValueLeft = 85.7;
constexpr qreal OwnerLeft = 125.9;
constexpr qreal Inset = 2.1;

constexpr qreal DetailHeight = 7.4;
constexpr qreal TextTop = 1.1;
constexpr qreal TextWidth = 184.4;

} // namespace qrhatarozat

QrHatarozat::QrHatarozat(const ResultSet &rows, ReportOwner owner) : m_rows(rows), m_owner(std::move(owner))
{
}

QString QrHatarozat::title() const
{
    return u"Határozat"_s;
}

ReportBand QrHatarozat::pageFooter(int page) const
{
    return ReportPageFooter(page, u"qrHatarozat"_s, printedAt(), footerAddress(), printableWidth());
}

int QrHatarozat::bodyBandCount() const
{
    return 1 + m_rows.count();
}

ReportBand QrHatarozat::bodyBand(int index) const
{
    return index == 0 ? titleBand() : detailBand(index - 1);
}

ReportBand QrHatarozat::titleBand() const
{
    const QFont t9 = ReportFont(qrhatarozat::Tahoma, 9);
    const QFont t10 = ReportFont(qrhatarozat::Tahoma, 10);
    const int row = 0;
    BandBuilder b;

    // Left box: the title and the subject, which may take several lines.
    b.text(qrhatarozat::Inset, 1.1, qrhatarozat::Boxes[0][1] - 2 * qrhatarozat::Inset,
           ReportFont(qrhatarozat::Arial, 16, true), title());
    qreal inner = b.wrappedText(qrhatarozat::Inset, 8.5, 61.6, ReportFont(qrhatarozat::Arial, 10, true),
                                m_rows.text(row, ReportRows::Targy));

    // Middle box: labels and values; the responsible persons may take several lines.
    const qreal valueWidth = qrhatarozat::Boxes[1][1] - qrhatarozat::ValueLeft - 1.0;
    const qreal rows[3] = {2.1, 6.4, 10.6};
    const char16_t *const labels[3] = {u"Dátum", u"Határidő", u"Felelős"};
    for (int i = 0; i < 3; ++i)
        b.text(qrhatarozat::LabelLeft, rows[i], qrhatarozat::ValueLeft - qrhatarozat::LabelLeft, t9,
               QString::fromUtf16(labels[i]));
    b.text(qrhatarozat::ValueLeft, rows[0], valueWidth, t9, m_rows.text(row, ReportRows::Datum));
    b.text(qrhatarozat::ValueLeft, rows[1], valueWidth, t9, m_rows.text(row, ReportRows::DatHatid));
    inner = std::max(inner, b.wrappedText(qrhatarozat::ValueLeft, rows[2], valueWidth, t9,
                                          m_rows.text(row, ReportRows::Felelos)));

    // Right box: the owner block.
    const qreal ownerWidth = qrhatarozat::RightEdge - qrhatarozat::OwnerLeft - 1.0;
    b.text(qrhatarozat::OwnerLeft, 1.1, ownerWidth, ReportFont(qrhatarozat::Tahoma, 10, true),
           m_owner.tulajdonos);
    b.text(qrhatarozat::OwnerLeft, 6.4, ownerWidth, t10, m_owner.irszvaros);
    b.text(qrhatarozat::OwnerLeft, 10.6, ownerWidth, t10, m_owner.telefon);

    // The boxes grow with a subject or a list of persons too long for them; the strip follows.
    const qreal grown = std::max<qreal>(0, inner - qrhatarozat::StripTop);
    for (const auto &box : qrhatarozat::Boxes)
        b.frame(QRectF(box[0], 0, box[1] - box[0], qrhatarozat::BoxHeight + grown));

    const QFont idFont = ReportFont(qrhatarozat::Tahoma, 11, true);
    const qreal idTop = 19.1 + grown;
    const qreal idBottom =
        b.wrappedText(qrhatarozat::Inset, idTop, qrhatarozat::RightEdge - 2 * qrhatarozat::Inset, idFont,
                      m_rows.text(row, ReportRows::Hosszu));
    const qreal idGrown = std::max<qreal>(0, idBottom - (idTop + BandBuilder::lineHeight(idFont)));
    b.frame(
        QRectF(0, qrhatarozat::StripTop + grown, qrhatarozat::RightEdge, qrhatarozat::StripHeight + idGrown));
    return b.take(qrhatarozat::TitleHeight + grown + idGrown);
}

ReportBand QrHatarozat::detailBand(int row) const
{
    const QFont font = ReportFont(u"Segoe UI"_s, 10);
    BandBuilder b;
    const qreal bottom = b.wrappedText(qrhatarozat::Inset, qrhatarozat::TextTop, qrhatarozat::TextWidth, font,
                                       m_rows.text(row, ReportRows::Hatarozat));
    const qreal height = qrhatarozat::DetailHeight +
                         std::max<qreal>(0, bottom - (qrhatarozat::TextTop + BandBuilder::lineHeight(font)));
    b.line(QPointF(0, height), QPointF(printableWidth(), height));
    ReportBand band = b.take(height);
    band.continuationTop = qrhatarozat::TextTop;
    return band;
}
