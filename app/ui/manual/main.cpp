// lapdex_manual: turns the Markdown user manual into the PDF that Help opens.
// Usage: lapdex_manual INPUT.md OUTPUT.pdf (run with QT_QPA_PLATFORM=offscreen at build time).
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <cstdio>

namespace {

// Japanese text needs a Japanese font; the first one installed is taken.
QFont manualFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Noto Sans CJK JP"), QStringLiteral("メイリオ"), QStringLiteral("Meiryo"),
                      QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans")});
    font.setPointSizeF(10.5);
    return font;
}

bool writePdf(const QString& markdown, const QString& output) {
    QPdfWriter writer(output);
    writer.setTitle(QStringLiteral("Lapdex 取扱説明書"));
    writer.setCreator(QStringLiteral("Lapdex"));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    writer.setResolution(300);
    QTextDocument document;
    document.setDefaultFont(manualFont());
    document.setDefaultStyleSheet(QStringLiteral("table { border-collapse: collapse; } td, th { padding: 3px; }"));
    document.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
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
