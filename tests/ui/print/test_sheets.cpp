// Run and day sheets rendered to PDF and read back as their readers do: pdftotext for the texts
// and the pages, pdffonts for the embedded fonts.
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cctype>

#include "bilingual_text.h"
#include "configuration.h"
#include "data_folder.h"
#include "data_folder_fixture.h"
#include "export_fixture.h"
#include "run_file_fixture.h"
#include "run_file_writer.h"
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

// The pages of pdftotext's text, split at form feeds, blank ones left out.
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

// The last non-blank line of a page, trimmed: where the page number stands.
std::string footOf(const std::string& page) {
    const std::size_t last = page.find_last_not_of(" \n");
    const std::size_t lineStart = page.rfind('\n', last);
    std::string foot = page.substr(lineStart + 1, last - lineStart);
    foot.erase(0, foot.find_first_not_of(' '));
    return foot;
}

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

Layout wordsOf(const QString& path) {
    const QString html = QString::fromStdString(
        run("pdftotext -bbox " + testing::shellQuoted(path.toStdString()) + " -"));
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

// Page `page` of the PDF as a picture of two pixels per point.
QImage pageImage(const QString& path, int page, const QTemporaryDir& dir) {
    const std::string prefix = dir.filePath(QStringLiteral("page")).toStdString();
    run("pdftoppm -png -r 144 -singlefile -f " + std::to_string(page) + " -l " +
        std::to_string(page) + " " + testing::shellQuoted(path.toStdString()) + " " +
        testing::shellQuoted(prefix));
    return QImage(QString::fromStdString(prefix + ".png")).convertToFormat(QImage::Format_RGB32);
}

bool near(QRgb pixel, QColor colour, int tolerance = 14) {
    return std::abs(qRed(pixel) - colour.red()) <= tolerance &&
           std::abs(qGreen(pixel) - colour.green()) <= tolerance &&
           std::abs(qBlue(pixel) - colour.blue()) <= tolerance;
}

// Pixels of `colour` in the rows [top, bottom) of `image`.
int pixelsOf(const QImage& image, QColor colour, int top, int bottom) {
    int count = 0;
    for (int y = std::max(0, top); y < std::min(bottom, image.height()); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) count += near(line[x], colour) ? 1 : 0;
    }
    return count;
}

// The lap chart's colours: plain, fastest and slowest bars.
const QColor kBar(74, 120, 176);
const QColor kFastest(46, 139, 87);
const QColor kSlowest(192, 57, 43);
// The team day's marks: fastest and slowest time of a column.
const QColor kFastestCell(200, 240, 200);
const QColor kSlowestCell(250, 215, 210);

// A team day of `runs` runs of `laps` laps each; run r's lap l takes 60 s + r s + l hundredths,
// so every time is a word of its own and run 0 is the fastest of each column, the last the
// slowest.
TeamDay wideDay(int runs, int laps) {
    TeamDay day;
    day.date = "2024-01-31";
    day.lapColumns = laps;
    for (int r = 0; r < runs; ++r) {
        TeamDayRun run;
        run.folderName = "QTM-01";
        run.tabName = "走者" + std::to_string(r + 1);
        run.start = "2024-01-31T08:" + std::string(r < 10 ? "0" : "") + std::to_string(r) + ":00";
        std::int64_t split = 0;
        for (int l = 0; l < laps; ++l) {
            run.lapsCs.push_back(6000 + 100 * r + l);
            run.splitsCs.push_back(split += run.lapsCs.back());
        }
        run.totalCs = split;
        run.bestLapCs = run.lapsCs.front();
        run.averageLapCs = split / laps;
        day.runs.push_back(std::move(run));
    }
    return day;
}

QString clockText(std::int64_t cs) {
    // As the page writes times: the day sheet shows the team day window's cells.
    return QString::asprintf("00:%02lld'%02lld\"%02lld", static_cast<long long>(cs / 6000),
                             static_cast<long long>(cs / 100 % 60),
                             static_cast<long long>(cs % 100));
}

const Word* findWord(const Layout& layout, const QString& text) {
    for (const Word& w : layout.words)
        if (w.text == text) return &w;
    return nullptr;
}

}  // namespace

class TestSheets : public QObject {
    Q_OBJECT
  private slots:
    void runSheetHoldsEveryValueInEmbeddedFonts() {
        QTemporaryDir dir;
        const QString path = dir.filePath("run.pdf");
        const ExportRun r = testing::exampleRuns()[0];
        QVERIFY(writeSheetPdf(runSheet(r), path));
        const std::string text = pdfText(path);
        for (const char* expected : {"走者Ａ・髙橋", "2024/01/31 09:30:15", "0123456789ab",
                                     "トータルタイム", "ベストラップNo", "平均ラップタイム",
                                     "ラップメモ", "=1+1", "<速い> & 軽い", "向かい風", "二本目"}) {
            QVERIFY2(text.find(expected) != std::string::npos,
                     (std::string(expected) + "\n" + text).c_str());
        }
        QVERIFY2(allEmbedded(fontLines(path)), text.c_str());
    }

    // The chart stands between the statistics and the lap table, its bars in the page's colours:
    // lap 1 the slowest, lap 2 the fastest, lap 3 plain.
    void runSheetDrawsTheLapChartBelowTheStatistics() {
        QTemporaryDir dir;
        const QString path = dir.filePath("run.pdf");
        QVERIFY(writeSheetPdf(runSheet(testing::exampleRuns()[0]), path));
        const Layout layout = wordsOf(path);
        const Word* statistics = findWord(layout, QStringLiteral("ベストラップタイム"));
        const Word* laps = findWord(layout, QStringLiteral("ラップメモ"));
        QVERIFY(statistics && laps);
        const QImage page = pageImage(path, 1, dir);
        QVERIFY(!page.isNull());
        const int top = static_cast<int>(statistics->box.bottom() * 2);
        const int bottom = static_cast<int>(laps->box.top() * 2);
        for (const QColor& colour : {kBar, kFastest, kSlowest}) {
            QVERIFY2(pixelsOf(page, colour, top, bottom) > 2000, qPrintable(colour.name()));
            QCOMPARE(pixelsOf(page, colour, 0, top) + pixelsOf(page, colour, bottom, page.height()),
                     0);
        }
        // A run without laps has no chart.
        ExportRun empty = testing::exampleRuns()[0];
        empty.run.laps.clear();
        QVERIFY(writeSheetPdf(runSheet(empty), path));
        const QImage bare = pageImage(path, 1, dir);
        QCOMPARE(
            pixelsOf(bare, kBar, 0, bare.height()) + pixelsOf(bare, kFastest, 0, bare.height()), 0);
    }

    void daySheetRepeatsItsHeaderOnEveryPageAndNumbersThem() {
        QTemporaryDir dir;
        const QString path = dir.filePath("day.pdf");
        QVERIFY(writeSheetPdf(daySheet(QStringLiteral("2024/01/31 の走行"), wideDay(70, 3)), path));
        const std::vector<std::string> pages = pagesOf(pdfText(path));
        QVERIFY2(pages.size() >= 2, std::to_string(pages.size()).c_str());
        for (std::size_t p = 0; p < pages.size(); ++p) {
            for (const char* header : {"名前", "開始", "トータル", "ベスト", "平均"})
                QVERIFY2(pages[p].find(header) != std::string::npos, pages[p].c_str());
            QCOMPARE(QString::fromStdString(footOf(pages[p])), QString::number(p + 1));
        }
        QVERIFY(pages[0].find("2024/01/31 の走行") != std::string::npos);
        QVERIFY(pages[0].find("70件の走行") != std::string::npos);
        QVERIFY(allEmbedded(fontLines(path)));
    }

    // Thirty laps do not fit one table: the laps go on in further tables, each with the names
    // again, and every time stands inside the page.
    void manyLapsSplitIntoTablesAndNothingIsCut() {
        QTemporaryDir dir;
        const QString path = dir.filePath("day.pdf");
        constexpr int kRuns = 45;
        constexpr int kLaps = 30;
        QVERIFY(writeSheetPdf(daySheet(QStringLiteral("日"), wideDay(kRuns, kLaps)), path));
        const Layout layout = wordsOf(path);
        QVERIFY(layout.pageWidth > 500);
        const double margin = 10 / 25.4 * 72;
        QMap<QString, int> seen;
        for (const Word& w : layout.words) {
            QVERIFY2(w.box.left() >= margin && w.box.right() <= layout.pageWidth - margin,
                     qPrintable(w.text));
            ++seen[w.text];
        }
        for (int r = 0; r < kRuns; ++r) {
            for (int l = 0; l < kLaps; ++l) {
                const QString time = clockText(6000 + 100 * r + l);
                // Best and average may repeat a lap time of the run.
                QVERIFY2(seen.value(time) >= 1, qPrintable(time));
            }
            // The name is written again beside every part of the laps.
            QVERIFY(seen.value(QStringLiteral("走者%1").arg(r + 1)) >= 2);
        }
        QVERIFY(seen.contains(QStringLiteral("ラップ")));
        QVERIFY(seen.value(QStringLiteral("トータル")) >= 1);
        // Each part's header row is on each of its pages.
        const std::vector<std::string> pages = pagesOf(pdfText(path));
        QVERIFY(pages.size() >= 3);
        for (const std::string& page : pages)
            QVERIFY2(page.find("名前") != std::string::npos, page.c_str());
    }

    // As in the window: the fastest time of a column on green, the slowest on red, others plain.
    void daySheetMarksFastestAndSlowestOfEachColumn() {
        QTemporaryDir dir;
        const QString path = dir.filePath("day.pdf");
        QVERIFY(writeSheetPdf(daySheet(QStringLiteral("日"), wideDay(5, 4)), path));
        const Layout layout = wordsOf(path);
        const QImage page = pageImage(path, 1, dir);
        const auto background = [&](const QString& text) {
            const Word* w = findWord(layout, text);
            if (!w) return QColor(Qt::black);
            // Inside the cell's padding, left of the text.
            return QColor(page.pixel(static_cast<int>((w->box.left() - 1) * 2),
                                     static_cast<int>(w->box.center().y() * 2)));
        };
        for (int l = 0; l < 4; ++l) {
            QVERIFY(near(background(clockText(6000 + l)).rgb(), kFastestCell));
            QVERIFY(near(background(clockText(6400 + l)).rgb(), kSlowestCell));
            QVERIFY(near(background(clockText(6200 + l)).rgb(), Qt::white));
        }
    }

    // A morning and an evening session: a section each, marked among its own runs only.
    void daySheetHasASectionPerSession() {
        QTemporaryDir dir;
        TeamDay day = wideDay(4, 2);
        for (int r = 2; r < 4; ++r)
            day.runs[r].start = "2024-01-31T18:0" + std::to_string(r) + ":00";
        const QString path = dir.filePath("sessions.pdf");
        QVERIFY(writeSheetPdf(daySheet(QStringLiteral("日"), day), path));
        const std::string text = pdfText(path);
        // (The text layer writes the wave dash as U+301C: compare the times on either side.)
        const std::size_t first = text.find("セッション 1（08:00");
        const std::size_t second = text.find("セッション 2（18:02");
        QVERIFY2(text.find("18:05）") != std::string::npos, text.c_str());
        QVERIFY2(first != std::string::npos && second != std::string::npos && first < second,
                 text.c_str());
        // 走者3 is the fastest of the evening though slower than both morning runs.
        const Layout layout = wordsOf(path);
        const QImage page = pageImage(path, 1, dir);
        const Word* w = findWord(layout, clockText(6200));
        QVERIFY(w);
        QVERIFY(near(QColor(page.pixel(static_cast<int>((w->box.left() - 1) * 2),
                                       static_cast<int>(w->box.center().y() * 2)))
                         .rgb(),
                     kFastestCell));
        QVERIFY(writeSheetPdf(daySheet(QStringLiteral("日"), day, 720), path));
        QVERIFY(pdfText(path).find("セッション") == std::string::npos);
    }

    void textsFollowTheLanguageShownAndCountsReadRight() {
        QTemporaryDir dir;
        const QString path = dir.filePath("sheet.pdf");
        const std::vector<ExportRun> runs = testing::exampleRuns();
        texts::setCurrentLanguage(texts::Language::English);
        const bool written = writeSheetPdf(runSheet(runs[0]), path);
        const std::string english = pdfText(path);
        const bool oneWritten = writeSheetPdf(daySheet(QStringLiteral("d"), teamDayOf({runs[0]})),
                                              dir.filePath("one.pdf"));
        const bool twoWritten =
            writeSheetPdf(daySheet(QStringLiteral("d"), teamDayOf(runs)), dir.filePath("two.pdf"));
        texts::setCurrentLanguage(texts::Language::Japanese);
        QVERIFY(written && oneWritten && twoWritten);
        for (const char* expected : {"Serial number 0123456789ab", "Total time", "Best lap no.",
                                     "Average lap", "Lap memo", "Memo: 向かい風"})
            QVERIFY2(english.find(expected) != std::string::npos, (expected + english).c_str());
        QVERIFY(english.find("トータルタイム") == std::string::npos);
        const std::string one = pdfText(dir.filePath("one.pdf"));
        QVERIFY2(one.find("1 run\n") != std::string::npos, one.c_str());
        QVERIFY(one.find("Green (bold)") != std::string::npos);
        const std::string two = pdfText(dir.filePath("two.pdf"));
        QVERIFY2(two.find("2 runs\n") != std::string::npos, two.c_str());
    }

    // The demo's pictures: sheet_screens --data takes a data folder's busiest day as the team day
    // and that day's longest run.
    void screensTakeTheDataFolderGiven() {
        QTemporaryDir dir;
        const std::string data = dir.filePath("data").toStdString() + "/";
        FileSystem& fs = systemFileSystem();
        QVERIFY(testing::makeDataFolder(fs, data,
                                        {{"0123456789ab", "山田"}, {"00000000beef", "佐藤"}}));
        const struct {
            int slot;
            const char* serial;
            RunRecord run;
        } runs[] = {
            {0, "0123456789ab", testing::steadyRun({2024, 5, 9, 9, 0, 0}, 9, 7000, "前の日", 1)},
            {0, "0123456789ab", testing::steadyRun({2024, 5, 10, 9, 0, 0}, 4, 7000, "短い", 1)},
            {1, "00000000beef",
             testing::steadyRun({2024, 5, 10, 9, 30, 0}, 6, 6500, "長い走行", 1)},
        };
        for (const auto& r : runs)
            QVERIFY(writeRunFile(fs, data, r.slot, r.serial, r.run).status ==
                    RunFileWriteStatus::Written);
        QProcess screens;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), dir.filePath("cache"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        screens.setProcessEnvironment(environment);
        screens.start(
            QStringLiteral(LAPDEX_SHEET_SCREENS),
            {QStringLiteral("--data"), QString::fromStdString(data), dir.filePath("out")});
        QVERIFY(screens.waitForFinished(60000));
        QCOMPARE(screens.exitCode(), 0);
        for (const char* picture : {"out/run_sheet.png", "out/day_sheet.png"})
            QVERIFY(!QImage(dir.filePath(picture)).isNull());
        const std::string run = pdfText(dir.filePath("out/run_sheet.pdf"));
        QVERIFY2(run.find("佐藤") != std::string::npos && run.find("長い走行") != std::string::npos,
                 run.c_str());
        const std::string day = pdfText(dir.filePath("out/day_sheet.pdf"));
        for (const char* expected : {"2024/05/10", "山田", "佐藤", "09:00:00", "09:30:00"})
            QVERIFY2(day.find(expected) != std::string::npos, (expected + day).c_str());
        QVERIFY(day.find("2024/05/09") == std::string::npos);
        // A folder that is no data folder is refused.
        screens.start(QStringLiteral(LAPDEX_SHEET_SCREENS),
                      {QStringLiteral("--data"), dir.filePath("nothing"), dir.filePath("out")});
        QVERIFY(screens.waitForFinished(60000));
        QCOMPARE(screens.exitCode(), 1);
    }

    void unwritableFileIsReported() {
        QVERIFY(!writeSheetPdf(Sheet{QStringLiteral("x"), QStringLiteral("x"), {}},
                               QStringLiteral("/nonexistent/dir/x.pdf")));
    }
};

QTEST_MAIN(TestSheets)
#include "test_sheets.moc"
