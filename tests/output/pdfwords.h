#pragma once

#include <QList>
#include <QRectF>
#include <QString>
#include <optional>

// The words of a PDF file as `pdftotext -bbox` (poppler) reads them: an independent reader of
// what the report engine wrote, with every word's box in millimetres from the paper's corner.
struct PdfWord
{
    int page = 0; // 0-based
    QString text;
    QRectF box; // mm
};

class PdfWords
{
public:
    // Runs pdftotext; on failure `error()` says why and there are no words.
    explicit PdfWords(const QString &pdfPath);

    const QString &error() const { return m_error; }
    int pageCount() const { return m_pages; }
    const QList<PdfWord> &words() const { return m_words; }
    QList<PdfWord> wordsOnPage(int page) const;
    // The words of a page (or of all pages, -1) joined by single spaces in reading order.
    QString text(int page = -1) const;

    // Every place on a page where the phrase's words follow one another on one line; the box
    // is the union of their boxes.
    QList<QRectF> find(int page, const QString &phrase) const;

private:
    QString m_error;
    int m_pages = 0;
    QList<PdfWord> m_words;
};

// Where a phrase is measured from: its left edge, right edge or centre, and its top.
enum class Edge { Left, Right, Centre };

// The phrase's place (the edge given, top) nearest to `expected`; empty when the phrase is not
// on the page at all.
std::optional<QPointF> NearestPlace(const PdfWords &pdf, int page, const QString &phrase, Edge edge,
                                    QPointF expected);
