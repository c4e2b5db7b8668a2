#pragma once

#include "output/reportlayout.h"

#include <QAbstractScrollArea>
#include <QCache>
#include <QDialog>
#include <QImage>
#include <QTimer>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QToolButton;
class ArrivingRows;

// The pages of a report one under the other. A page is laid out and painted only when it comes
// into view (or is asked for); the pages painted last are kept for scrolling back. Meanwhile
// the rest of the report is laid out a slice at a time while the program is idle, so that the
// number of pages becomes known without holding up the first page.
class ReportPageView : public QAbstractScrollArea
{
    Q_OBJECT
public:
    enum class Fit { None, Width, Page };

    explicit ReportPageView(ReportLayout &layout, QWidget *parent = nullptr);

    // 1.0 shows the paper at its real size; setting a factor ends fitting.
    void setZoom(qreal factor);
    qreal zoom() const;
    // Follows the window's size: the page's width, or the whole page.
    void setFit(Fit fit);
    Fit fit() const { return m_fit; }

    // The page in the middle of the view (0-based).
    int currentPage() const;
    // Lays out as far as needed and scrolls to the page (the last one when there are fewer).
    void goToPage(int page);
    void goToLastPage();
    // The report's body got more bands (rows arrived): lay out on.
    void bandsAdded();

    // Pages painted since the view was made (they are painted when seen).
    int paintedPages() const { return m_paintedPages; }
    // The image of a page at the current zoom, painted if it is not in the cache.
    QImage pageImage(int page);

signals:
    void currentPageChanged(int page);
    // The number of pages known so far; `complete` once it is the report's number of pages.
    void pageCountChanged(int known, bool complete);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    qreal pixelsPerMm() const;
    int dotsPerInch() const;
    QSize pageSize() const;
    int pageStride() const;
    void updateScrollRange();
    void layoutSlice();
    void noteCurrentPage();

    ReportLayout &m_layout;
    Fit m_fit = Fit::Width;
    qreal m_zoom = 1.0;
    QCache<int, QImage> m_cache;
    int m_cacheDpi = 0;
    int m_paintedPages = 0;
    int m_lastCurrent = -1;
    bool m_lastPageWanted = false;
    bool m_painted = false; // the idle layout starts with the first paint
    QTimer m_idleLayout;
};

// The preview window of a report: the pages, page navigation, zoom and a print button that
// prints on the printer chosen for the report.
class ReportPreview : public QDialog
{
    Q_OBJECT
public:
    // The report must outlive the window. An empty printer name prints on the default printer.
    ReportPreview(BandedReport &report, QString printerName, QWidget *parent = nullptr);
    // Shows the report while the rows are still arriving: the pages follow them, printing waits
    // for them, and a failed reading closes the window (the reader keeps the error).
    void followRows(ArrivingRows &rows);

    ReportPageView *pageView() const { return m_view; }
    QSpinBox *pageBox() const { return m_pageBox; }
    QLabel *pageCountLabel() const { return m_pageCount; }
    QComboBox *zoomBox() const { return m_zoomBox; }
    QPushButton *printButton() const { return m_printButton; }
    QToolButton *firstButton() const { return m_first; }
    QToolButton *previousButton() const { return m_previous; }
    QToolButton *nextButton() const { return m_next; }
    QToolButton *lastButton() const { return m_last; }

private:
    void createControls();
    void layOutControls();
    void connectControls();
    void onPageCountChanged(int known, bool complete);
    void onCurrentPageChanged(int page);
    void onZoomChosen(int index);
    void print();

    BandedReport &m_report;
    QString m_printerName;
    ArrivingRows *m_rows = nullptr;
    ReportLayout m_layout;
    ReportPageView *m_view;
    QToolButton *m_first;
    QToolButton *m_previous;
    QSpinBox *m_pageBox;
    QLabel *m_pageCount;
    QToolButton *m_next;
    QToolButton *m_last;
    QComboBox *m_zoomBox;
    QPushButton *m_printButton;
    QPushButton *m_closeButton;
};
