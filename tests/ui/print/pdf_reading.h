// Sheets read back from their PDF as their readers do: pdftotext for the texts, words and pages,
// pdffonts for the embedded fonts, pdftoppm for the pictures of pages.
#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QTemporaryDir>
#include <string>
#include <vector>

namespace lapdex::testing {

// pdftotext -layout of the file; "" when it fails.
std::string pdfText(const QString& path);

// Font lines of pdffonts (after its two header lines); each ends in its emb, sub, uni, object
// columns.
std::vector<std::string> fontLines(const QString& path);

// Every font of the lines is embedded (and there is one at least).
bool allEmbedded(const std::vector<std::string>& fonts);

// The pages of pdftotext's text, split at form feeds, blank ones left out.
std::vector<std::string> pagesOf(const std::string& text);

// The last non-blank line of a page, trimmed: where the page number stands.
std::string footOf(const std::string& page);

// A word of the PDF where pdftotext -bbox finds it, in points from the page's top left.
struct Word {
    int page = 0;  // from 1
    QString text;
    QRectF box;
};

struct Layout {
    double pageWidth = 0;
    std::vector<Word> words;
};

Layout wordsOf(const QString& path);

// The first word that reads `text`, null when none does.
const Word* findWord(const Layout& layout, const QString& text);

// Page `page` of the PDF as a picture of two pixels per point, made in `dir`.
QImage pageImage(const QString& path, int page, const QTemporaryDir& dir);

bool near(QRgb pixel, QColor colour, int tolerance = 14);

// Pixels of `colour` in the rows [top, bottom) of `image`.
int pixelsOf(const QImage& image, QColor colour, int top, int bottom);

}  // namespace lapdex::testing
