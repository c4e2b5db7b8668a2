#pragma once

#include "output/reportdata.h"
#include "output/reportlayout.h"

// One resolution record: a title block printed once at the top of the first page (subject,
// date, deadline, responsible person, owner block, long identifier in framed boxes), the
// resolution text word-wrapped and continued over as many pages as it needs, and the shared
// page footer. Without a row the title block prints with empty fields and no text follows.
class QrHatarozat : public BandedReport
{
public:
    // `rows` must outlive the report; the title block shows its first row.
    QrHatarozat(const ResultSet &rows, ReportOwner owner);

    QString title() const override;
    ReportBand pageFooter(int page) const override;
    int bodyBandCount() const override;
    ReportBand bodyBand(int index) const override;

private:
    ReportBand titleBand() const;
    ReportBand detailBand(int row) const;

    ReportRows m_rows;
    ReportOwner m_owner;
};
