// Run and day sheets rendered to PDF and read back as their readers do: pdftotext for the texts
// and the pages, pdffonts for the embedded fonts.
#include <QTemporaryDir>
#include <QTest>
#include <cctype>

#include "export_fixture.h"
#include "sheets.h"

using namespace lapdex;
using namespace lapdex::ui;

namespace {

std::string run(const std::string& command) {
    int status = 0;
    std::string out = testing::commandOutput(command, status);
    return status == 0 ? out : std::string();
}

std::string pdfText(const QString& path) {
    return run("pdftotext -layout " + testing::shellQuoted(path.toStdString()) + " -");
}

// Font lines of pdffonts (after its two header lines); each ends in its emb, sub, uni, object
// columns.
std::vector<std::string> fontLines(const QString& path) {
    const std::string out = run("pdffonts " + testing::shellQuoted(path.toStdString()));
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

}  // namespace

class TestSheets : public QObject {
    Q_OBJECT
  private slots:
    void runSheetHoldsEveryValueInEmbeddedFonts() {
        QTemporaryDir dir;
        const QString path = dir.filePath("run.pdf");
        const ExportRun r = testing::exampleRuns()[0];
        QVERIFY(writeSheetPdf(runSheetHtml(r), QStringLiteral("走行"), path));
        const std::string text = pdfText(path);
        for (const char* expected : {"走者Ａ・髙橋", "2024/01/31 09:30:15", "0123456789ab",
                                     "トータルタイム", "ベストラップNo", "平均ラップタイム",
                                     "ラップメモ", "=1+1", "<速い> & 軽い", "向かい風", "二本目"}) {
            QVERIFY2(text.find(expected) != std::string::npos,
                     (std::string(expected) + "\n" + text).c_str());
        }
        QVERIFY2(allEmbedded(fontLines(path)), text.c_str());
    }

    void daySheetRepeatsItsHeaderOnEveryPageAndNumbersThem() {
        QTemporaryDir dir;
        const QString path = dir.filePath("day.pdf");
        std::vector<ExportRun> runs;
        for (int i = 0; i < 90; ++i) {
            ExportRun r = testing::exampleRuns()[i % 2];
            r.run.memo = "走行" + std::to_string(i + 1);
            runs.push_back(r);
        }
        QVERIFY(writeSheetPdf(daySheetHtml(QStringLiteral("2024/01/31 の走行"), runs),
                              QStringLiteral("日"), path));
        const std::string text = pdfText(path);
        std::vector<std::string> pages;
        for (std::size_t from = 0, end; from < text.size(); from = end + 1) {
            end = text.find('\f', from);
            if (end == std::string::npos) end = text.size();
            if (text.find_first_not_of(" \n", from) < end)
                pages.push_back(text.substr(from, end - from));
        }
        QVERIFY2(pages.size() >= 2, text.c_str());
        for (std::size_t p = 0; p < pages.size(); ++p) {
            QVERIFY2(pages[p].find("タブ名") != std::string::npos, pages[p].c_str());
            // The page number stands alone at the foot.
            const std::string number = std::to_string(p + 1);
            const std::size_t last = pages[p].find_last_not_of(" \n");
            const std::size_t lineStart = pages[p].rfind('\n', last);
            std::string foot = pages[p].substr(lineStart + 1, last - lineStart);
            foot.erase(0, foot.find_first_not_of(' '));
            QCOMPARE(QString::fromStdString(foot), QString::fromStdString(number));
        }
        // Every run's memo is there, whole.
        for (int i = 1; i <= 90; ++i) {
            const std::string memo = "走行" + std::to_string(i);
            std::size_t at = text.find(memo);
            while (at != std::string::npos &&
                   std::isdigit(static_cast<unsigned char>(text[at + memo.size()])))
                at = text.find(memo, at + 1);
            QVERIFY2(at != std::string::npos, (memo + "\n" + text.substr(0, 2000)).c_str());
        }
        QVERIFY(allEmbedded(fontLines(path)));
    }

    void unwritableFileIsReported() {
        QVERIFY(!writeSheetPdf(QStringLiteral("x"), QStringLiteral("x"),
                               QStringLiteral("/nonexistent/dir/x.pdf")));
    }
};

QTEST_MAIN(TestSheets)
#include "test_sheets.moc"
