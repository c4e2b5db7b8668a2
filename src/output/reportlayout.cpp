#include "output/reportlayout.h"

#include <QPainter>

ReportBand BandedReport::pageHeader(int) const
{
    return {};
}

ReportBand BandedReport::pageFooter(int) const
{
    return {};
}

ReportLayout::ReportLayout(const BandedReport &report) : m_report(report), m_pageStarts{Position{}} {}

ReportLayout::Position ReportLayout::fillPage(int page, Position pos, QList<Piece> *pieces) const
{
    const qreal content =
        m_report.paperSize().height() - m_report.margins().top() - m_report.margins().bottom();
    const qreal room = content - m_report.pageHeader(page).height - m_report.pageFooter(page).height;
    const int count = m_report.bodyBandCount();
    qreal y = 0;
    bool empty = true;
    while (pos.band < count) {
        ReportBand band = m_report.bodyBand(pos.band);
        const qreal left = room - y;
        if (pos.cut <= LayoutEpsilon && band.keepTogether && !empty && band.height > left + LayoutEpsilon &&
            band.height <= room + LayoutEpsilon)
            return pos;
        const qreal top = pos.cut > LayoutEpsilon ? band.continuationTop : 0;
        qreal to = band.cutAtOrBefore(pos.cut, pos.cut + left - top);
        if (to <= pos.cut + LayoutEpsilon && to < band.height - LayoutEpsilon) {
            if (!empty)
                return pos;
            // Not even one line fits an empty page: print it anyway rather than never end.
            to = band.firstCutAfter(pos.cut);
        }
        if (pieces)
            pieces->append(Piece{band, pos.cut, to, y + top - pos.cut});
        y += top + (to - pos.cut);
        empty = false;
        if (to < band.height - LayoutEpsilon) {
            pos.cut = to;
            return pos;
        }
        ++pos.band;
        pos.cut = 0;
    }
    return pos;
}

bool ReportLayout::layoutNextPage()
{
    if (m_complete)
        return false;
    const int page = knownPageCount() - 1;
    QList<Piece> pieces;
    const Position next = fillPage(page, m_pageStarts.last(), &pieces);
    if (next.band >= m_report.bodyBandCount()) {
        // The page has room left: it is the last one only if no more bands can come.
        m_complete = m_report.hasAllBands();
        if (m_complete)
            keepLaidOut(page, std::move(pieces));
        return false;
    }
    m_pageStarts.append(next);
    keepLaidOut(page, std::move(pieces));
    return true;
}

bool ReportLayout::ensurePage(int page)
{
    while (knownPageCount() <= page && layoutNextPage()) {
    }
    return page >= 0 && page < knownPageCount();
}

bool ReportLayout::ensurePageReady(int page)
{
    while (!isPageReady(page) && layoutNextPage()) {
    }
    return isPageReady(page);
}

// Only a settled page is kept: one still waiting for rows may gain bands.
void ReportLayout::keepLaidOut(int page, QList<Piece> pieces)
{
    m_lastLaidOutPage = page;
    m_lastLaidOut = std::move(pieces);
}

int ReportLayout::pageCount()
{
    while (layoutNextPage()) {
    }
    return knownPageCount();
}

void ReportLayout::paintPage(QPainter &painter, int page) const
{
    if (page < 0 || page >= knownPageCount())
        return;
    QList<Piece> pieces;
    if (page == m_lastLaidOutPage)
        pieces = m_lastLaidOut;
    else
        fillPage(page, m_pageStarts.at(page), &pieces);

    const QMarginsF margins = m_report.margins();
    const ReportBand header = m_report.pageHeader(page);
    const ReportBand footer = m_report.pageFooter(page);
    for (const ReportElement &e : header.elements)
        PaintElement(painter, e, QPointF(margins.left(), margins.top()));
    const qreal bodyTop = margins.top() + header.height;
    for (const Piece &piece : std::as_const(pieces)) {
        const bool last = piece.to >= piece.band.height - LayoutEpsilon;
        for (const ReportElement &e : piece.band.elements) {
            if (e.top() < piece.from - LayoutEpsilon || (!last && e.top() >= piece.to - LayoutEpsilon))
                continue;
            PaintElement(painter, e, QPointF(margins.left(), bodyTop + piece.offset));
        }
    }
    const qreal footerTop = m_report.paperSize().height() - margins.bottom() - footer.height;
    for (const ReportElement &e : footer.elements)
        PaintElement(painter, e, QPointF(margins.left(), footerTop));
}
