// The run index's file in the cache folder.
#include "index_location.h"

#include <cstdint>
#include <cstdio>

namespace lapdex {
namespace {

// FNV-1a, 64 bits: stable across runs and builds, unlike std::hash.
std::uint64_t pathHash(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

}  // namespace

std::string indexCacheFolder(const EnvironmentLookup& environment) {
    const char* cache = environment("XDG_CACHE_HOME");
    if (cache != nullptr && cache[0] == '/') return withTrailingSlash(cache) + "Lapdex/";
    const char* home = environment("HOME");
    if (home != nullptr && home[0] == '/') return withTrailingSlash(home) + ".cache/Lapdex/";
    return {};
}

std::string indexDatabasePath(const std::string& cacheFolder,
                              const std::string& canonicalDataFolder) {
    char name[64];
    std::snprintf(
        name, sizeof name, "runs-%016llx.sqlite",
        static_cast<unsigned long long>(pathHash(withTrailingSlash(canonicalDataFolder))));
    return withTrailingSlash(cacheFolder) + name;
}

}  // namespace lapdex
