#include <atomic>

#include "bilingual_text.h"

namespace lapdex::texts {

namespace {
std::atomic<Language> shown{Language::Japanese};
}

Language currentLanguage() { return shown.load(std::memory_order_relaxed); }

void setCurrentLanguage(Language language) { shown.store(language, std::memory_order_relaxed); }

}  // namespace lapdex::texts
