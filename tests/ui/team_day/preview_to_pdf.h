// Prints what a print preview shows into a PDF file instead of a printer, for tests and pictures.
#pragma once

#include <QApplication>
#include <QFile>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTest>
#include <QTimer>
#include <functional>

namespace lapdex::ui::test {

// Runs `open`, which is to open a modal print preview, and prints the preview's pages into `pdf`
// through the preview's own printer turned into a PDF writer; then closes the preview. True when
// a preview came and the file was written.
inline bool printPreviewToPdf(const std::function<void()>& open, const QString& pdf) {
    bool printed = false;
    // The preview is modal: it is handled from inside its own event loop.
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        if (!preview) return;
        poll.stop();
        preview->printer()->setOutputFormat(QPrinter::PdfFormat);
        preview->printer()->setOutputFileName(pdf);
        if (auto* pages = preview->findChild<QPrintPreviewWidget*>()) {
            pages->print();
            printed = true;
        }
        preview->accept();
    });
    poll.start();
    open();
    (void)QTest::qWaitFor([&printed] { return printed; });
    return printed && QFile::exists(pdf);
}

}  // namespace lapdex::ui::test
