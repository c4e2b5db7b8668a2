#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QRectF>
#include <QString>

// Positions in millimetres nearer than this are the same place: sums of decimal sizes do not
// add up exactly.
inline constexpr qreal LayoutEpsilon = 1e-6;

class QPainter;
class QPaintDevice;

// The pieces of a printed report. All geometry is in millimetres, from the top-left corner of
// the band at the left edge of the printable area; only painting turns it into device dots.

// A font of a report by its Windows name ("Tahoma", "Arial"...), which the application's font
// substitutes turn into an installed one. Hinting is off so that a text measures the same at
// every resolution: a line broken for the printer breaks at the same word in the preview.
QFont ReportFont(const QString &family, qreal pointSize, bool bold = false);

// The device every report text is measured on (1200 dots an inch), whatever it is painted on.
QPaintDevice *ReportMeasureDevice();

// One thing a band draws: a line of text, a straight line or a frame.
struct ReportElement
{
    enum class Kind { Text, Line, Frame };

    Kind kind = Kind::Text;
    // Text: the line's box (left edge, top, width for the alignment, line height).
    // Line: from the top-left to the bottom-right corner. Frame: the rectangle.
    QRectF rect;
    QFont font;
    QString text;
    Qt::Alignment alignment = Qt::AlignLeft;
    qreal ascent = 0; // text: from the top of the line to its baseline
    QColor colour = Qt::black;
    qreal penWidth = 0.2;

    qreal top() const { return rect.top(); }
    qreal bottom() const { return rect.bottom(); }
};

// A band laid out at the page's width. Elements are whole: a band continued on the next page is
// cut between them, never through one.
struct ReportBand
{
    qreal height = 0;
    // Space above the first element of a part that continues on a new page.
    qreal continuationTop = 0;
    // A band that does not fit the rest of a page but fits an empty one moves there whole.
    bool keepTogether = false;
    QList<ReportElement> elements;

    // The lowest place in (from, limit] where the band can be cut without cutting an element
    // (the band's height when everything from `from` on fits); `from` when there is none.
    qreal cutAtOrBefore(qreal from, qreal limit) const;
    // The first clean cut below `from` (or the height): progress on a page too small for more.
    qreal firstCutAfter(qreal from) const;

private:
    QList<qreal> cleanCuts() const;
};

// Builds a band: measures and places texts, lines and frames. The positions are those of the
// layout; the builder reports where a text ends so a caller can move what follows a text that
// grew.
class BandBuilder
{
public:
    // One line. A text wider than `width` is set smaller, down to 80 % of the font's size, and
    // what still does not fit is cut with an ellipsis. Returns the line's bottom.
    qreal text(qreal x, qreal y, qreal width, const QFont &font, const QString &text,
               Qt::Alignment alignment = Qt::AlignLeft);
    // Word-wrapped into `width`, line breaks of the text kept (CR LF, LF or CR). Returns the
    // bottom of the last line; an empty text takes no room and returns y.
    qreal wrappedText(qreal x, qreal y, qreal width, const QFont &font, const QString &text);
    void line(QPointF from, QPointF to, const QColor &colour = Qt::black, qreal penWidth = 0.2);
    void frame(const QRectF &rect, qreal penWidth = 0.2);

    // The height of one line of the font.
    static qreal lineHeight(const QFont &font);

    ReportBand take(qreal height);

private:
    QList<ReportElement> m_elements;
};

// Paints an element of a band whose top-left corner is at `origin` (mm from the paper's
// corner). The device's resolution turns millimetres into dots.
void PaintElement(QPainter &painter, const ReportElement &element, QPointF origin);
