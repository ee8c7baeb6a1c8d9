// Sheets read back from their PDF with poppler's tools.
#include "pdf_reading.h"

#include <QRegularExpression>
#include <cstdlib>

#include "export_fixture.h"

namespace lapdex::testing {
namespace {

std::string run(const std::string& command) {
    int status = 0;
    std::string out = commandOutput(command, status);
    return status == 0 ? out : std::string();
}

}  // namespace

std::string pdfText(const QString& path) {
    return run("pdftotext -layout " + shellQuoted(path.toStdString()) + " -");
}

std::vector<std::string> fontLines(const QString& path) {
    const std::string out = run("pdffonts " + shellQuoted(path.toStdString()));
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (int n = 0; from < out.size(); ++n) {
        const std::size_t end = out.find('\n', from);
        if (n >= 2) lines.push_back(out.substr(from, end - from));
        from = end == std::string::npos ? out.size() : end + 1;
    }
    return lines;
}

bool allEmbedded(const std::vector<std::string>& fonts) {
    for (const std::string& line : fonts) {
        // Columns from the right: object number, generation, uni, sub, emb.
        std::vector<std::string> words;
        std::size_t i = 0;
        while (i < line.size()) {
            const std::size_t start = line.find_first_not_of(' ', i);
            if (start == std::string::npos) break;
            const std::size_t stop = line.find(' ', start);
            words.push_back(line.substr(start, stop - start));
            i = stop == std::string::npos ? line.size() : stop;
        }
        if (words.size() < 5 || words[words.size() - 5] != "yes") return false;
    }
    return !fonts.empty();
}

std::vector<std::string> pagesOf(const std::string& text) {
    std::vector<std::string> pages;
    for (std::size_t from = 0, end; from < text.size(); from = end + 1) {
        end = text.find('\f', from);
        if (end == std::string::npos) end = text.size();
        if (text.find_first_not_of(" \n", from) < end)
            pages.push_back(text.substr(from, end - from));
    }
    return pages;
}

std::string footOf(const std::string& page) {
    const std::size_t last = page.find_last_not_of(" \n");
    const std::size_t lineStart = page.rfind('\n', last);
    std::string foot = page.substr(lineStart + 1, last - lineStart);
    foot.erase(0, foot.find_first_not_of(' '));
    return foot;
}

Layout wordsOf(const QString& path) {
    const QString html =
        QString::fromStdString(run("pdftotext -bbox " + shellQuoted(path.toStdString()) + " -"));
    Layout layout;
    static const QRegularExpression page(QStringLiteral("<page width=\"([0-9.]+)\""));
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">"
        "([^<]*)</word>"));
    int pageNumber = 0;
    for (const QString& line : html.split(u'\n')) {
        if (const auto m = page.match(line); m.hasMatch()) {
            ++pageNumber;
            layout.pageWidth = m.captured(1).toDouble();
        } else if (const auto w = word.match(line); w.hasMatch()) {
            const QPointF from(w.captured(1).toDouble(), w.captured(2).toDouble());
            const QPointF to(w.captured(3).toDouble(), w.captured(4).toDouble());
            // pdftotext writes the word as HTML text: times carry ' and ".
            QString text = w.captured(5);
            text.replace(QStringLiteral("&quot;"), QStringLiteral("\""))
                .replace(QStringLiteral("&apos;"), QStringLiteral("'"))
                .replace(QStringLiteral("&#39;"), QStringLiteral("'"))
                .replace(QStringLiteral("&lt;"), QStringLiteral("<"))
                .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
                .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
            layout.words.push_back({pageNumber, text, QRectF(from, to)});
        }
    }
    return layout;
}

QImage pageImage(const QString& path, int page, const QTemporaryDir& dir) {
    const std::string prefix = dir.filePath(QStringLiteral("page")).toStdString();
    run("pdftoppm -png -r 144 -singlefile -f " + std::to_string(page) + " -l " +
        std::to_string(page) + " " + shellQuoted(path.toStdString()) + " " + shellQuoted(prefix));
    return QImage(QString::fromStdString(prefix + ".png")).convertToFormat(QImage::Format_RGB32);
}

bool near(QRgb pixel, QColor colour, int tolerance) {
    return std::abs(qRed(pixel) - colour.red()) <= tolerance &&
           std::abs(qGreen(pixel) - colour.green()) <= tolerance &&
           std::abs(qBlue(pixel) - colour.blue()) <= tolerance;
}

int pixelsOf(const QImage& image, QColor colour, int top, int bottom) {
    int count = 0;
    for (int y = std::max(0, top); y < std::min(bottom, image.height()); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) count += near(line[x], colour) ? 1 : 0;
    }
    return count;
}

const Word* findWord(const Layout& layout, const QString& text) {
    for (const Word& w : layout.words)
        if (w.text == text) return &w;
    return nullptr;
}

}  // namespace lapdex::testing
