// lapdex_manual: turns a Markdown user manual (Japanese or English) into the PDF that Help opens.
// Usage: lapdex_manual INPUT.md OUTPUT.pdf (run with QT_QPA_PLATFORM=offscreen at build time).
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QStringList>
#include <QTextDocument>
#include <cstdio>

namespace {

// Japanese text needs a Japanese font, and the English manual names Japanese menus too; the
// first one installed is taken.
QFont manualFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Noto Sans CJK JP"), QStringLiteral("メイリオ"), QStringLiteral("Meiryo"),
                      QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans")});
    font.setPointSizeF(10.5);
    // Shaped Latin text may use glyph forms the PDF's text layer cannot map back to characters:
    // "K7X" would be found as "K X". Plain glyphs keep every digit searchable.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

bool isWide(QChar c) {
    return c.unicode() >= 0x2E80;
}

// A line that starts a block of its own (heading, list item, table row, quote, fence) rather
// than continuing the paragraph above it.
bool startsBlock(const QString& trimmed) {
    static const QRegularExpression marker(QStringLiteral("^([-*+>#|]|```|\\d+[.)]\\s)"));
    return trimmed.isEmpty() || marker.match(trimmed).hasMatch();
}

// Markdown turns a line break inside a paragraph into a space, which Japanese text does not
// have: lines wrapped between two wide characters are joined without one. Code blocks and hard
// breaks (two trailing spaces) stay as they are.
QString joinWrappedLines(const QString& markdown) {
    const QStringList lines = markdown.split(QLatin1Char('\n'));
    QStringList out;
    bool inFence = false;
    for (const QString& line : lines) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QStringLiteral("```"))) inFence = !inFence;
        if (!inFence && !out.isEmpty() && !startsBlock(trimmed)) {
            QString& previous = out.last();
            const QString before = previous.trimmed();
            const bool joinable = !before.isEmpty() && !before.startsWith(QLatin1Char('|')) &&
                                  !before.startsWith(QLatin1Char('#')) &&
                                  !previous.endsWith(QStringLiteral("  ")) &&
                                  !before.startsWith(QStringLiteral("```"));
            if (joinable && isWide(before.back()) && isWide(trimmed.front())) {
                while (!previous.isEmpty() && previous.back().isSpace()) previous.chop(1);
                previous += trimmed;
                continue;
            }
        }
        out << line;
    }
    return out.join(QLatin1Char('\n'));
}

// The document's title, as a viewer shows it: the manual's first heading.
QString titleOf(const QString& markdown) {
    static const QRegularExpression heading(QStringLiteral("^#\\s+(.+)$"),
                                            QRegularExpression::MultilineOption);
    const QRegularExpressionMatch found = heading.match(markdown);
    return found.hasMatch() ? found.captured(1).trimmed() : QStringLiteral("Lapdex");
}

bool writePdf(const QString& markdown, const QString& output) {
    QPdfWriter writer(output);
    writer.setTitle(titleOf(markdown));
    writer.setCreator(QStringLiteral("Lapdex"));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    writer.setResolution(300);
    QTextDocument document;
    document.setDefaultFont(manualFont());
    document.setDefaultStyleSheet(QStringLiteral("table { border-collapse: collapse; } td, th { padding: 3px; }"));
    document.setMarkdown(joinWrappedLines(markdown), QTextDocument::MarkdownDialectGitHub);
    document.print(&writer);
    return QFile::exists(output);
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: lapdex_manual INPUT.md OUTPUT.pdf\n");
        return 2;
    }
    QFile input(QString::fromLocal8Bit(argv[1]));
    if (!input.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "lapdex_manual: cannot read %s\n", argv[1]);
        return 1;
    }
    const QString markdown = QString::fromUtf8(input.readAll());
    const QString output = QString::fromLocal8Bit(argv[2]);
    QFile::remove(output);
    if (markdown.trimmed().isEmpty() || !writePdf(markdown, output)) {
        std::fprintf(stderr, "lapdex_manual: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
