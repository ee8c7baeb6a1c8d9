#include "language_switch.h"

#include <QApplication>
#include <QEvent>
#include <QLibraryInfo>
#include <QWidget>
#include <cstdio>

namespace lapdex::ui {

namespace {

// Qt's own Japanese texts: Debian's qt6-translations-l10n, or beside the program.
std::unique_ptr<QTranslator> loadQtJapanese() {
    auto translator = std::make_unique<QTranslator>();
    const QString folders[] = {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                               QCoreApplication::applicationDirPath() + QStringLiteral("/translations")};
    for (const QString& folder : folders) {
        if (translator->load(QStringLiteral("qtbase_ja"), folder)) return translator;
    }
    return nullptr;
}

}  // namespace

LanguageSwitch::LanguageSwitch(QObject* parent) : QObject(parent) {}

void LanguageSwitch::apply(Language language) {
    texts::setCurrentLanguage(language);
    if (qtTexts_) {
        QCoreApplication::removeTranslator(qtTexts_.get());
        qtTexts_.reset();
    }
    qtTextsFollow_ = true;
    if (language == Language::Japanese) {
        qtTexts_ = loadQtJapanese();
        if (qtTexts_) QCoreApplication::installTranslator(qtTexts_.get());
        else qtTextsFollow_ = false;
        if (!qtTexts_) std::fprintf(stderr, "Lapdex: Qt's Japanese texts (qtbase_ja.qm) are missing\n");
    }
    // Now, not later: the caller may show a dialog next, and every window answers at once.
    QEvent change(QEvent::LanguageChange);
    for (QWidget* window : QApplication::topLevelWidgets()) QCoreApplication::sendEvent(window, &change);
    emit languageChanged(language);
}

}  // namespace lapdex::ui
