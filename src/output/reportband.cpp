#include "output/reportband.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTextLayout>
#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace reportband {

constexpr int MeasureDpi = 1200;
constexpr qreal MmPerInch = 25.4;
constexpr qreal MmPerMeasureDot = MmPerInch / MeasureDpi;
// How much smaller a one-line text may be set to fit its width.
constexpr qreal MinimumFit = 0.8;

qreal DotsPerMm(const QPaintDevice *device)
{
    return device->logicalDpiX() / MmPerInch;
}

QString OneLine(QString text)
{
    text.replace(u"\r\n"_s, u" "_s);
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

} // namespace reportband

QFont ReportFont(const QString &family, qreal pointSize, bool bold)
{
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(true);
    return font;
}

QPaintDevice *ReportMeasureDevice()
{
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
        const int dotsPerMeter = qRound(reportband::MeasureDpi * 1000 / reportband::MmPerInch);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return &device;
}

QList<qreal> ReportBand::cleanCuts() const
{
    QList<const ReportElement *> sorted;
    sorted.reserve(elements.size());
    for (const ReportElement &e : elements)
        sorted.append(&e);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const ReportElement *a, const ReportElement *b) { return a->top() < b->top(); });
    // A cut just above an element is clean when nothing that starts higher reaches below it.
    QList<qreal> cuts;
    qreal lowestBottom = -std::numeric_limits<qreal>::infinity();
    qreal groupTop = -std::numeric_limits<qreal>::infinity();
    bool groupClean = false;
    for (const ReportElement *e : sorted) {
        if (e->top() > groupTop + LayoutEpsilon) {
            groupTop = e->top();
            groupClean = lowestBottom <= groupTop + LayoutEpsilon;
            if (groupClean && groupTop > LayoutEpsilon && groupTop < height - LayoutEpsilon)
                cuts.append(groupTop);
        }
        lowestBottom = std::max(lowestBottom, e->bottom());
    }
    cuts.append(height);
    return cuts;
}

qreal ReportBand::cutAtOrBefore(qreal from, qreal limit) const
{
    if (height <= limit + LayoutEpsilon)
        return height;
    qreal best = from;
    for (qreal cut : cleanCuts()) {
        if (cut > from + LayoutEpsilon && cut <= limit + LayoutEpsilon)
            best = cut;
    }
    return best;
}

qreal ReportBand::firstCutAfter(qreal from) const
{
    for (qreal cut : cleanCuts()) {
        if (cut > from + LayoutEpsilon)
            return cut;
    }
    return height;
}

qreal BandBuilder::lineHeight(const QFont &font)
{
    return QFontMetricsF(font, ReportMeasureDevice()).lineSpacing() * reportband::MmPerMeasureDot;
}

qreal BandBuilder::text(qreal x, qreal y, qreal width, const QFont &font, const QString &text,
                        Qt::Alignment alignment)
{
    const qreal height = lineHeight(font);
    const QString line = reportband::OneLine(text);
    // The substitutes of the Windows fonts run wider than the fonts the layouts were drawn
    // with: a text that does not fit is first set a little smaller, then cut.
    QFont fitted = font;
    const qreal advance =
        QFontMetricsF(font, ReportMeasureDevice()).horizontalAdvance(line) * reportband::MmPerMeasureDot;
    if (advance > width && advance > 0)
        fitted.setPointSizeF(font.pointSizeF() * std::max(reportband::MinimumFit, width / advance));
    const QFontMetricsF metrics(fitted, ReportMeasureDevice());
    const QString shown = metrics.elidedText(line, Qt::ElideRight, width / reportband::MmPerMeasureDot);
    if (!shown.isEmpty()) {
        ReportElement e;
        e.kind = ReportElement::Kind::Text;
        e.rect = QRectF(x, y, width, height);
        e.font = fitted;
        e.text = shown;
        e.alignment = alignment;
        e.ascent = metrics.ascent() * reportband::MmPerMeasureDot;
        m_elements.append(e);
    }
    return y + height;
}

qreal BandBuilder::wrappedText(qreal x, qreal y, qreal width, const QFont &font, const QString &text)
{
    static const QRegularExpression breaks(u"\r\n|\r|\n"_s);
    QStringList paragraphs = text.split(breaks);
    // Blank lines at the end of a text only waste paper.
    while (!paragraphs.isEmpty() && paragraphs.last().trimmed().isEmpty())
        paragraphs.removeLast();

    const QFontMetricsF metrics(font, ReportMeasureDevice());
    const qreal step = metrics.lineSpacing() * reportband::MmPerMeasureDot;
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    qreal top = y;
    for (const QString &paragraph : std::as_const(paragraphs)) {
        if (paragraph.isEmpty()) {
            top += step;
            continue;
        }
        QTextLayout layout(paragraph, font, ReportMeasureDevice());
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
            line.setLineWidth(width / reportband::MmPerMeasureDot);
        layout.endLayout();
        for (int i = 0; i < layout.lineCount(); ++i) {
            const QTextLine line = layout.lineAt(i);
            ReportElement e;
            e.kind = ReportElement::Kind::Text;
            e.text = paragraph.mid(line.textStart(), line.textLength());
            while (!e.text.isEmpty() && e.text.back().isSpace())
                e.text.chop(1);
            e.rect = QRectF(x, top, width, step);
            e.font = font;
            e.ascent = metrics.ascent() * reportband::MmPerMeasureDot;
            if (!e.text.isEmpty())
                m_elements.append(e);
            top += step;
        }
    }
    return top;
}

void BandBuilder::line(QPointF from, QPointF to, const QColor &colour, qreal penWidth)
{
    ReportElement e;
    e.kind = ReportElement::Kind::Line;
    e.rect = QRectF(from, to);
    e.colour = colour;
    e.penWidth = penWidth;
    m_elements.append(e);
}

void BandBuilder::frame(const QRectF &rect, qreal penWidth)
{
    ReportElement e;
    e.kind = ReportElement::Kind::Frame;
    e.rect = rect;
    e.penWidth = penWidth;
    m_elements.append(e);
}

ReportBand BandBuilder::take(qreal height)
{
    ReportBand band;
    band.height = height;
    band.elements = std::move(m_elements);
    m_elements.clear();
    return band;
}

void PaintElement(QPainter &painter, const ReportElement &element, QPointF origin)
{
    const qreal dotsX = reportband::DotsPerMm(painter.device());
    const qreal dotsY = painter.device()->logicalDpiY() / reportband::MmPerInch;
    const QRectF r = element.rect.translated(origin);
    switch (element.kind) {
    case ReportElement::Kind::Text: {
        painter.setFont(element.font);
        painter.setPen(element.colour);
        qreal x = r.left() * dotsX;
        if (element.alignment & (Qt::AlignRight | Qt::AlignHCenter)) {
            const qreal advance =
                QFontMetricsF(element.font, painter.device()).horizontalAdvance(element.text);
            x = element.alignment & Qt::AlignRight ? r.right() * dotsX - advance
                                                   : (r.left() + r.width() / 2) * dotsX - advance / 2;
        }
        painter.drawText(QPointF(x, (r.top() + element.ascent) * dotsY), element.text);
        break;
    }
    case ReportElement::Kind::Line: {
        QPen pen(element.colour, element.penWidth * dotsY, Qt::SolidLine, Qt::FlatCap);
        painter.setPen(pen);
        painter.drawLine(QPointF(r.left() * dotsX, r.top() * dotsY),
                         QPointF(r.right() * dotsX, r.bottom() * dotsY));
        break;
    }
    case ReportElement::Kind::Frame: {
        QPen pen(element.colour, element.penWidth * dotsY, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(r.left() * dotsX, r.top() * dotsY, r.width() * dotsX, r.height() * dotsY));
        break;
    }
    }
}
