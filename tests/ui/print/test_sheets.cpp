// Run and day sheets rendered to PDF and read back as their readers do: pdftotext for the texts
// and the pages, pdffonts for the embedded fonts.
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <map>

#include "bilingual_text.h"
#include "configuration.h"
#include "data_folder.h"
#include "data_folder_fixture.h"
#include "day_sheet_marks.h"
#include "export_fixture.h"
#include "pdf_reading.h"
#include "run_file_fixture.h"
#include "run_file_writer.h"
#include "sheets.h"

using namespace lapdex;
using namespace lapdex::ui;
using namespace lapdex::testing;

namespace {

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

// A run of `laps` laps from `run`, its splits and total made again; a lap of -1 leaves its split
// and the total unread.
TeamDayRun withLaps(TeamDayRun run, std::vector<std::int64_t> laps) {
    run.lapsCs = std::move(laps);
    run.splitsCs.clear();
    std::int64_t split = 0;
    for (std::int64_t lap : run.lapsCs)
        run.splitsCs.push_back(split = lap < 0 || split < 0 ? -1 : split + lap);
    run.totalCs = split;
    return run;
}

// Six runs of three laps whose fastest and slowest change from column to column (run r's lap l
// is the (5r + 2l) mod 6-th of its column); some totals tie.
TeamDay threeLapDay() {
    TeamDay day = wideDay(6, 3);
    for (int r = 0; r < 6; ++r) {
        std::vector<std::int64_t> laps;
        for (int l = 0; l < 3; ++l) laps.push_back(6000 + 100 * ((5 * r + 2 * l) % 6) + l);
        day.runs[r] = withLaps(day.runs[r], laps);
    }
    return day;
}

// The three-lap day with two runs of two laps and a lap that could not be read.
TeamDay lapCountsDay() {
    TeamDay day = threeLapDay();
    for (int r : {4, 5}) day.runs[r] = withLaps(day.runs[r], {6100 + r, 6500 - r});
    day.runs[1] = withLaps(day.runs[1], {day.runs[1].lapsCs[0], -1, day.runs[1].lapsCs[2]});
    return day;
}

// The three-lap day with its last three runs in the evening.
TeamDay twoSessionDay() {
    TeamDay day = threeLapDay();
    for (int r = 3; r < 6; ++r) day.runs[r].start = "2024-01-31T18:0" + std::to_string(r) + ":00";
    return day;
}

QString clockText(std::int64_t cs) {
    // As the page writes times: the day sheet shows the team day window's cells.
    return QString::asprintf("00:%02lld'%02lld\"%02lld", static_cast<long long>(cs / 6000),
                             static_cast<long long>(cs / 100 % 60),
                             static_cast<long long>(cs % 100));
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

    // A marked time carries its symbol where the store's column extremes put it, so a sheet printed
    // in black and white keeps the marks; the legend explains them in the sheet's language; and a
    // three-lap day still stands in one table inside the page.
    void daySheetMarksCarryTheirSymbols() {
        const struct {
            const char* what;
            texts::Language language;
            TeamDay day;
            const char* total;  // the total column's header
            std::vector<const char*> legend;
            int tables;
        } kCases[] = {
            {"three laps",
             texts::Language::Japanese,
             threeLapDay(),
             "トータル",
             {"▲ 緑（太字）はその列の最速", "▼ 赤（斜体）は最遅"},
             1},
            {"three laps in English",
             texts::Language::English,
             threeLapDay(),
             "Total",
             {"▲ Green (bold): fastest in its column.", "▼ Red (italics): slowest."},
             1},
            {"lap counts and an unread lap",
             texts::Language::Japanese,
             lapCountsDay(),
             "トータル",
             {"▲ 緑（太字）", "▼ 赤（斜体）"},
             1},
            {"two sessions",
             texts::Language::English,
             twoSessionDay(),
             "Total",
             {"▲ Green (bold)", "▼ Red (italics)"},
             2},
        };
        QTemporaryDir dir;
        const QString path = dir.filePath("day.pdf");
        // The body of the page: A4 less 10 mm writer's and 20 mm document margins on each side.
        const double body = 30 / 25.4 * 72;
        for (const auto& c : kCases) {
            texts::setCurrentLanguage(c.language);
            const Sheet sheet = daySheet(QStringLiteral("日"), c.day);
            const bool written = writeSheetPdf(sheet, path);
            texts::setCurrentLanguage(texts::Language::Japanese);
            QVERIFY2(written, c.what);
            const SheetMarks found = sheetMarks(sheet, c.day);
            const std::map<CellKey, QChar> expected =
                storeMarks(c.day, kDefaultSessionGapMinutes, QString::fromUtf8(c.total));
            QVERIFY2(expected.size() >= 8, c.what);
            QVERIFY2(found.marks == expected, c.what);
            QVERIFY2(found.tables == c.tables, c.what);
            const std::string text = pdfText(path);
            for (const char* part : c.legend)
                QVERIFY2(text.find(part) != std::string::npos, (part + ("\n" + text)).c_str());
            QCOMPARE(pagesOf(text).size(), std::size_t{1});
            const Layout layout = wordsOf(path);
            for (const Word& w : layout.words)
                QVERIFY2(w.box.left() >= body - 1 && w.box.right() <= layout.pageWidth - body + 1,
                         qPrintable(QStringLiteral("%1: %2").arg(c.what, w.text)));
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
