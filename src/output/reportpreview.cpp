#include "output/reportpreview.h"

#include "gui/busycursor.h"
#include "gui/messagebox.h"
#include "db/arrivingrows.h"
#include "output/outputprogress.h"
#include "output/reportoutput.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

constexpr int Gap = 16;                   // pixels around and between the pages
constexpr int CacheKilobytes = 48 * 1024; // a few pages at a screen's width
constexpr int SliceMilliseconds = 15;     // layout work per idle turn
constexpr qreal MinZoom = 0.1;
constexpr qreal MaxZoom = 8.0;

struct ZoomChoice
{
    const char16_t *text;
    ReportPageView::Fit fit;
    qreal factor;
};
constexpr ZoomChoice ZoomChoices[] = {
    {u"Oldalszélesség", ReportPageView::Fit::Width, 0}, {u"Egész oldal", ReportPageView::Fit::Page, 0},
    {u"50%", ReportPageView::Fit::None, 0.5},           {u"75%", ReportPageView::Fit::None, 0.75},
    {u"100%", ReportPageView::Fit::None, 1.0},          {u"150%", ReportPageView::Fit::None, 1.5},
    {u"200%", ReportPageView::Fit::None, 2.0},
};

} // namespace

ReportPageView::ReportPageView(ReportLayout &layout, QWidget *parent)
    : QAbstractScrollArea(parent), m_layout(layout)
{
    setObjectName(u"ReportPageView"_s);
    m_cache.setMaxCost(CacheKilobytes);
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
    verticalScrollBar()->setSingleStep(24);
    horizontalScrollBar()->setSingleStep(24);

    // The rest is laid out while idle, from the first paint on: a slice of it before would
    // only keep the first page from the screen.
    m_idleLayout.setInterval(0);
    connect(&m_idleLayout, &QTimer::timeout, this, &ReportPageView::layoutSlice);
}

qreal ReportPageView::pixelsPerMm() const
{
    const QSizeF paper = m_layout.report().paperSize();
    const qreal realSize = logicalDpiX() / 25.4;
    const QSize room = viewport()->size() - QSize(2 * Gap, 2 * Gap);
    switch (m_fit) {
    case Fit::Width: return std::max(1.0, room.width() / paper.width());
    case Fit::Page:
        return std::max(1.0, std::min(room.width() / paper.width(), room.height() / paper.height()));
    case Fit::None: break;
    }
    return realSize * m_zoom;
}

// Pages are painted at a whole number of dots an inch, so that the positions of the layout and
// the sizes of the fonts meet on the same scale.
int ReportPageView::dotsPerInch() const
{
    return std::max(8, qRound(pixelsPerMm() * 25.4));
}

QSize ReportPageView::pageSize() const
{
    const QSizeF paper = m_layout.report().paperSize();
    const qreal dots = dotsPerInch() / 25.4;
    return QSize(qRound(paper.width() * dots), qRound(paper.height() * dots));
}

int ReportPageView::pageStride() const
{
    return pageSize().height() + Gap;
}

qreal ReportPageView::zoom() const
{
    return pixelsPerMm() / (logicalDpiX() / 25.4);
}

void ReportPageView::setZoom(qreal factor)
{
    const int page = currentPage();
    m_fit = Fit::None;
    m_zoom = std::clamp(factor, MinZoom, MaxZoom);
    updateScrollRange();
    goToPage(page);
    viewport()->update();
}

void ReportPageView::setFit(Fit fit)
{
    const int page = currentPage();
    m_fit = fit;
    updateScrollRange();
    goToPage(page);
    viewport()->update();
}

int ReportPageView::currentPage() const
{
    const int middle = verticalScrollBar()->value() + viewport()->height() / 2 - Gap;
    return std::clamp(middle / std::max(1, pageStride()), 0, m_layout.knownPageCount() - 1);
}

void ReportPageView::goToPage(int page)
{
    if (!m_layout.ensurePage(page)) {
        BusyCursor busy;
        page = m_layout.knownPageCount() - 1;
    }
    updateScrollRange();
    verticalScrollBar()->setValue(page * pageStride());
    noteCurrentPage();
    viewport()->update();
}

void ReportPageView::goToLastPage()
{
    {
        BusyCursor busy;
        m_layout.pageCount();
    }
    // While rows are still coming the last page is not known yet: go there when it is.
    m_lastPageWanted = !m_layout.isComplete();
    goToPage(m_layout.knownPageCount() - 1);
}

void ReportPageView::bandsAdded()
{
    if (m_painted && !m_idleLayout.isActive())
        m_idleLayout.start();
    viewport()->update();
}

void ReportPageView::updateScrollRange()
{
    const QSize page = pageSize();
    const int pages = m_layout.knownPageCount();
    const int height = Gap + pages * pageStride();
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setRange(0, std::max(0, height - viewport()->height()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setRange(0, std::max(0, page.width() + 2 * Gap - viewport()->width()));
    emit pageCountChanged(pages, m_layout.isComplete());
}

void ReportPageView::layoutSlice()
{
    QElapsedTimer clock;
    clock.start();
    const int before = m_layout.knownPageCount();
    bool more = true;
    while (more && clock.elapsed() < SliceMilliseconds)
        more = m_layout.layoutNextPage();
    if (!more)
        m_idleLayout.stop();
    if (m_layout.knownPageCount() != before || !more) {
        updateScrollRange();
        viewport()->update(); // a page that waited for its rows may be settled now
    }
    if (m_lastPageWanted && m_layout.isComplete()) {
        m_lastPageWanted = false;
        goToLastPage();
    }
}

QImage ReportPageView::pageImage(int page)
{
    const int dpi = dotsPerInch();
    if (dpi != m_cacheDpi) {
        m_cache.clear();
        m_cacheDpi = dpi;
    }
    if (const QImage *cached = m_cache.object(page))
        return *cached;
    // A page whose rows are still arriving is not painted (nor kept) half full.
    if (!m_layout.ensurePageReady(page))
        return QImage();
    QImage image(pageSize(), QImage::Format_RGB32);
    const int dotsPerMeter = qRound(dpi * 1000 / 25.4);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        m_layout.paintPage(painter, page);
    }
    ++m_paintedPages;
    m_cache.insert(page, new QImage(image), std::max<qsizetype>(1, image.sizeInBytes() / 1024));
    return image;
}

void ReportPageView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    const QSize page = pageSize();
    const int stride = pageStride();
    const int top = verticalScrollBar()->value();
    const int left = page.width() + 2 * Gap <= viewport()->width() ? (viewport()->width() - page.width()) / 2
                                                                   : Gap - horizontalScrollBar()->value();
    const int first = std::max(0, (top - Gap) / std::max(1, stride));
    for (int i = first; i < m_layout.knownPageCount(); ++i) {
        const int y = Gap + i * stride - top;
        if (y > viewport()->height())
            break;
        const QImage image = pageImage(i);
        if (image.isNull())
            break;
        painter.fillRect(QRect(left + 3, y + 3, page.width(), page.height()), QColor(0, 0, 0, 90));
        painter.drawImage(QPoint(left, y), image);
    }
    if (!m_painted) {
        m_painted = true;
        m_idleLayout.start();
    }
}

void ReportPageView::resizeEvent(QResizeEvent *event)
{
    const int page = currentPage();
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
    if (m_fit != Fit::None)
        verticalScrollBar()->setValue(page * pageStride());
}

void ReportPageView::scrollContentsBy(int, int)
{
    noteCurrentPage();
    viewport()->update();
}

void ReportPageView::noteCurrentPage()
{
    const int page = currentPage();
    if (page != m_lastCurrent) {
        m_lastCurrent = page;
        emit currentPageChanged(page);
    }
}

void ReportPageView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Home: goToPage(0); return;
    case Qt::Key_End: goToLastPage(); return;
    case Qt::Key_PageUp: goToPage(std::max(0, currentPage() - 1)); return;
    case Qt::Key_PageDown: goToPage(currentPage() + 1); return;
    case Qt::Key_Plus: setZoom(zoom() * 1.25); return;
    case Qt::Key_Minus: setZoom(zoom() / 1.25); return;
    default: QAbstractScrollArea::keyPressEvent(event);
    }
}

ReportPreview::ReportPreview(BandedReport &report, QString printerName, QWidget *parent)
    : QDialog(parent), m_report(report), m_printerName(std::move(printerName)), m_layout(report)
{
    setObjectName(u"ReportPreview"_s);
    setWindowTitle(u"Nyomtatási kép - "_s + report.title());
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);

    createControls();
    m_view = new ReportPageView(m_layout, this);
    layOutControls();
    connectControls();

    onPageCountChanged(m_layout.knownPageCount(), m_layout.isComplete());
    onCurrentPageChanged(0);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    resize(std::min(screen.width(), 1000), screen.height() * 9 / 10);
    m_view->setFocus();
}

void ReportPreview::createControls()
{
    auto navigation = [this](QStyle::StandardPixmap icon, const QString &name, const QString &hint) {
        auto button = new QToolButton(this);
        button->setObjectName(name);
        button->setIcon(style()->standardIcon(icon));
        button->setToolTip(hint);
        button->setAutoRaise(true);
        return button;
    };
    m_first = navigation(QStyle::SP_MediaSkipBackward, u"btnElso"_s, u"Első oldal"_s);
    m_previous = navigation(QStyle::SP_MediaSeekBackward, u"btnElozo"_s, u"Előző oldal"_s);
    m_next = navigation(QStyle::SP_MediaSeekForward, u"btnKovetkezo"_s, u"Következő oldal"_s);
    m_last = navigation(QStyle::SP_MediaSkipForward, u"btnUtolso"_s, u"Utolsó oldal"_s);

    m_pageBox = new QSpinBox(this);
    m_pageBox->setObjectName(u"PageBox"_s);
    m_pageBox->setRange(1, 1);
    m_pageBox->setKeyboardTracking(false);
    m_pageBox->setMinimumWidth(70);
    m_pageCount = new QLabel(this);
    m_pageCount->setObjectName(u"PageCount"_s);
    m_pageCount->setMinimumWidth(70);

    m_zoomBox = new QComboBox(this);
    m_zoomBox->setObjectName(u"ZoomBox"_s);
    for (const ZoomChoice &z : ZoomChoices)
        m_zoomBox->addItem(QString::fromUtf16(z.text));

    m_printButton = new QPushButton(u"Nyomtatás..."_s, this);
    m_printButton->setObjectName(u"btnNyomtat"_s);
    m_closeButton = new QPushButton(u"Bezár"_s, this);
    m_closeButton->setObjectName(u"btnBezar"_s);
    m_closeButton->setAutoDefault(false);
    m_printButton->setAutoDefault(false);
}

void ReportPreview::layOutControls()
{
    auto bar = new QHBoxLayout;
    bar->addWidget(m_first);
    bar->addWidget(m_previous);
    bar->addWidget(new QLabel(u"Oldal:"_s, this));
    bar->addWidget(m_pageBox);
    bar->addWidget(m_pageCount);
    bar->addWidget(m_next);
    bar->addWidget(m_last);
    bar->addSpacing(16);
    bar->addWidget(new QLabel(u"Nagyítás:"_s, this));
    bar->addWidget(m_zoomBox);
    bar->addStretch(1);
    bar->addWidget(m_printButton);
    bar->addWidget(m_closeButton);
    auto layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(m_view, 1);
}

void ReportPreview::connectControls()
{
    connect(m_first, &QToolButton::clicked, this, [this] { m_view->goToPage(0); });
    connect(m_previous, &QToolButton::clicked, this,
            [this] { m_view->goToPage(std::max(0, m_view->currentPage() - 1)); });
    connect(m_next, &QToolButton::clicked, this, [this] { m_view->goToPage(m_view->currentPage() + 1); });
    connect(m_last, &QToolButton::clicked, this, [this] { m_view->goToLastPage(); });
    connect(m_pageBox, &QSpinBox::valueChanged, this, [this](int page) {
        if (page - 1 != m_view->currentPage())
            m_view->goToPage(page - 1);
    });
    connect(m_zoomBox, &QComboBox::activated, this, &ReportPreview::onZoomChosen);
    connect(m_view, &ReportPageView::pageCountChanged, this, &ReportPreview::onPageCountChanged);
    connect(m_view, &ReportPageView::currentPageChanged, this, &ReportPreview::onCurrentPageChanged);
    connect(m_printButton, &QPushButton::clicked, this, &ReportPreview::print);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

void ReportPreview::onPageCountChanged(int known, bool complete)
{
    // Until the last page is laid out the number is a lower bound, and any page may be asked
    // for: the view lays out as far as it needs.
    m_pageBox->setMaximum(complete ? std::max(1, known) : std::numeric_limits<int>::max());
    m_pageCount->setText(complete ? u"/ %1"_s.arg(known) : u"/ %1…"_s.arg(known));
}

void ReportPreview::onCurrentPageChanged(int page)
{
    const QSignalBlocker block(m_pageBox);
    m_pageBox->setValue(page + 1);
}

void ReportPreview::onZoomChosen(int index)
{
    if (index < 0 || index >= int(std::size(ZoomChoices)))
        return;
    const ZoomChoice &z = ZoomChoices[index];
    if (z.fit == ReportPageView::Fit::None)
        m_view->setZoom(z.factor);
    else
        m_view->setFit(z.fit);
}

void ReportPreview::followRows(ArrivingRows &rows)
{
    m_rows = &rows;
    m_report.setHasAllBands(rows.isComplete());
    connect(&rows, &ArrivingRows::rowsAdded, this, [this] {
        m_report.setHasAllBands(m_rows->isComplete());
        m_view->bandsAdded();
    });
    connect(&rows, &ArrivingRows::failed, this, &QDialog::reject);
    if (rows.hasFailed())
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
}

void ReportPreview::print()
{
    try {
        if (m_rows && !m_rows->isComplete()) {
            BusyCursor busy;
            m_rows->waitForAll();
        }
        if (m_rows && m_rows->hasFailed())
            return; // the window closes, and the error is told
        m_report.setPrintedAt(QDateTime::currentDateTime());
        OutputProgress progress(u"Nyomtatás"_s, this);
        PrintReport(m_report, m_printerName, progress.callback());
    } catch (const ReportError &error) {
        ShowErrorBox(error.message(), this);
    }
}
