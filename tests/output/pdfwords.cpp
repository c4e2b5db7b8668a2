#include "pdfwords.h"

#include <QLineF>
#include <QProcess>
#include <QXmlStreamReader>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {
constexpr qreal MmPerPoint = 25.4 / 72.0;
}

PdfWords::PdfWords(const QString &pdfPath)
{
    QProcess process;
    process.start(u"pdftotext"_s, {u"-bbox"_s, pdfPath, u"-"_s});
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        m_error = u"pdftotext failed: "_s + process.errorString() + u' ' +
                  QString::fromLocal8Bit(process.readAllStandardError());
        return;
    }
    QByteArray output = process.readAllStandardOutput();
    // A glyph without a Unicode value comes out as a control character, which XML does not allow.
    output.removeIf([](char c) { return uchar(c) < 0x20 && c != '\t' && c != '\n' && c != '\r'; });
    QXmlStreamReader xml(output);
    int page = -1;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"page") {
            ++page;
        } else if (xml.name() == u"word") {
            const auto a = xml.attributes();
            const QPointF topLeft(a.value(QLatin1StringView("xMin")).toDouble(),
                                  a.value(QLatin1StringView("yMin")).toDouble());
            const QPointF bottomRight(a.value(QLatin1StringView("xMax")).toDouble(),
                                      a.value(QLatin1StringView("yMax")).toDouble());
            m_words.append(
                PdfWord{page, xml.readElementText(), QRectF(topLeft * MmPerPoint, bottomRight * MmPerPoint)});
        }
    }
    if (xml.hasError())
        m_error = u"pdftotext output: "_s + xml.errorString();
    m_pages = page + 1;
}

QList<PdfWord> PdfWords::wordsOnPage(int page) const
{
    QList<PdfWord> result;
    for (const PdfWord &w : m_words) {
        if (w.page == page)
            result.append(w);
    }
    return result;
}

QString PdfWords::text(int page) const
{
    QStringList texts;
    for (const PdfWord &w : m_words) {
        if (page < 0 || w.page == page)
            texts.append(w.text);
    }
    return texts.join(u' ');
}

QList<QRectF> PdfWords::find(int page, const QString &phrase) const
{
    const QStringList parts = phrase.split(u' ', Qt::SkipEmptyParts);
    const QList<PdfWord> words = wordsOnPage(page);
    QList<QRectF> found;
    for (int i = 0; i + parts.size() <= words.size(); ++i) {
        QRectF box = words[i].box;
        bool match = true;
        for (int k = 0; k < parts.size() && match; ++k) {
            const PdfWord &w = words[i + k];
            match = w.text == parts[k] && std::abs(w.box.top() - words[i].box.top()) < 0.3;
            box |= w.box;
        }
        if (match)
            found.append(box);
    }
    return found;
}

std::optional<QPointF> NearestPlace(const PdfWords &pdf, int page, const QString &phrase, Edge edge,
                                    QPointF expected)
{
    std::optional<QPointF> best;
    for (const QRectF &box : pdf.find(page, phrase)) {
        const qreal x = edge == Edge::Left    ? box.left()
                        : edge == Edge::Right ? box.right()
                                              : box.center().x();
        const QPointF place(x, box.top());
        if (!best || QLineF(place, expected).length() < QLineF(*best, expected).length())
            best = place;
    }
    return best;
}
