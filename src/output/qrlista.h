#pragma once

#include "output/reportdata.h"
#include "output/reportlayout.h"

// The register list: a page header with the title, the selected year's caption, the owner
// block and the column headings; one detail band per row with the long identifier, the
// columns and the word-wrapped resolution text; the shared page footer.
class QrLista : public BandedReport
{
public:
    // `rows` must outlive the report. `caption` is the label under the title (the selected
    // year tab's caption).
    QrLista(const ResultSet &rows, ReportOwner owner, QString caption);

    QString title() const override;
    ReportBand pageHeader(int page) const override;
    ReportBand pageFooter(int page) const override;
    int bodyBandCount() const override;
    ReportBand bodyBand(int index) const override;

private:
    ReportRows m_rows;
    ReportOwner m_owner;
    QString m_caption;
};
