// Pictures of the run sheet and the day sheet for review: OUTDIR/run_sheet.pdf, day_sheet.pdf and
// their first pages as PNG (pdftoppm).
#include <QDir>
#include <QGuiApplication>
#include <QProcess>

#include "export_fixture.h"
#include "sheets.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) return 2;
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path())) return 1;
    const std::vector<lapdex::ExportRun> runs = lapdex::testing::exampleRuns();
    std::vector<lapdex::ExportRun> day;
    for (int i = 0; i < 40; ++i) day.push_back(runs[static_cast<std::size_t>(i % 2)]);
    const struct {
        QString name;
        QString html;
    } sheets[] = {
        {QStringLiteral("run_sheet"), lapdex::ui::runSheetHtml(runs[0])},
        {QStringLiteral("day_sheet"),
         lapdex::ui::daySheetHtml(QStringLiteral("2024/01/31 の走行"), day)},
    };
    for (const auto& sheet : sheets) {
        const QString pdf = out.filePath(sheet.name + ".pdf");
        if (!lapdex::ui::writeSheetPdf(sheet.html, sheet.name, pdf)) return 1;
        // One picture of the first page, as a reviewer sees it.
        if (QProcess::execute(QStringLiteral("pdftoppm"),
                              {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("60"),
                               QStringLiteral("-singlefile"), pdf, out.filePath(sheet.name)}) != 0)
            return 1;
    }
    return 0;
}
