#pragma once

#include "common/makerinfo.h"
#include "output/reportband.h"

#include <QDateTime>
#include <QList>
#include <QMarginsF>
#include <QSizeF>

class QPainter;

// A banded report: a page header and a page footer on every page, and between them the bands
// that flow down the pages (a title once, then one detail band per row). Sizes in millimetres.
class BandedReport
{
public:
    virtual ~BandedReport() = default;

    // A4 portrait with 10 mm margins all round.
    QSizeF paperSize() const { return {210.0, 297.0}; }
    QMarginsF margins() const { return {10.0, 10.0, 10.0, 10.0}; }
    qreal printableWidth() const { return paperSize().width() - margins().left() - margins().right(); }

    // The name shown in the preview's caption and stored in a PDF file.
    virtual QString title() const = 0;

    // Bands on every page, built for the page (0-based); a band of height 0 is none. Their
    // heights must not depend on the page.
    virtual ReportBand pageHeader(int page) const;
    virtual ReportBand pageFooter(int page) const;

    virtual int bodyBandCount() const = 0;
    virtual ReportBand bodyBand(int index) const = 0;

    // False while the rows of the body bands are still arriving: bands are only ever added at
    // the end, and the layout waits for them before it ends a page that is not full.
    bool hasAllBands() const { return m_hasAllBands; }
    void setHasAllBands(bool all) { m_hasAllBands = all; }

    // The time the footers give as the time of printing.
    const QDateTime &printedAt() const { return m_printedAt; }
    void setPrintedAt(const QDateTime &time) { m_printedAt = time; }

    // The maker's web address in the footers: the build's home page, none when it has none.
    const QString &footerAddress() const { return m_footerAddress; }
    void setFooterAddress(const QString &address) { m_footerAddress = address; }

private:
    QDateTime m_printedAt = QDateTime::currentDateTime();
    QString m_footerAddress = ShownWebAddress(BuiltInMakerInfo().homePage);
    bool m_hasAllBands = true;
};

// The pages of a report, laid out as far as they are asked for. The layout keeps only where
// each page starts (which body band, how much of it is already on earlier pages), so any page
// whose start is known can be painted alone, and a report of thousands of pages costs a few
// bytes a page until a page is looked at.
class ReportLayout
{
public:
    // The report must outlive the layout and must not change under it.
    explicit ReportLayout(const BandedReport &report);

    const BandedReport &report() const { return m_report; }

    // Pages whose start is known so far (at least 1: an empty report still has a page).
    int knownPageCount() const { return int(m_pageStarts.size()); }
    // True once the last page is known.
    bool isComplete() const { return m_complete; }
    // Lays out the last known page to find where the next one starts; false when the last
    // known page is the report's last, or when that depends on bands that have not arrived.
    bool layoutNextPage();
    // The page's content is settled: the page after it is known, or the report ends on it.
    bool isPageReady(int page) const
    {
        return page >= 0 && (page < knownPageCount() - 1 || (m_complete && page < knownPageCount()));
    }
    // Lays out as far as needed (and possible) to settle the page.
    bool ensurePageReady(int page);
    // Lays out pages until `page` is known; false when the report has fewer pages.
    bool ensurePage(int page);
    // Lays out every page and gives their number (the pages known so far while bands are still
    // arriving).
    int pageCount();
    // The body band a known page starts with (it may have begun on the page before).
    int firstBandOf(int page) const { return m_pageStarts.at(page).band; }

    // Paints a known page on a painter whose device has the paper's size, its top-left corner
    // at the paper's; the device's resolution turns millimetres into dots.
    void paintPage(QPainter &painter, int page) const;

private:
    struct Position
    {
        int band = 0;
        qreal cut = 0; // millimetres of the band already printed on earlier pages
    };
    struct Piece
    {
        ReportBand band;
        qreal from = 0;   // part of the band printed here
        qreal to = 0;     // (the band's height for its last part)
        qreal offset = 0; // band's y of `from` goes to this y below the page header
    };

    // Fills the page that starts at `start` and gives where the next page starts (band =
    // bodyBandCount() when the report ends on this page); collects the pieces when asked.
    Position fillPage(int page, Position start, QList<Piece> *pieces) const;
    void keepLaidOut(int page, QList<Piece> pieces);

    const BandedReport &m_report;
    QList<Position> m_pageStarts;
    bool m_complete = false;
    // The body of the page laid out last, which is most often the next page painted (the first
    // page above all): it is painted from these pieces instead of being laid out again.
    int m_lastLaidOutPage = -1;
    QList<Piece> m_lastLaidOut;
};
