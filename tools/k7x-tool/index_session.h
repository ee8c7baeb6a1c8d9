// The run index of a data folder named on k7x-tool's command line, opened and brought up to date.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "configuration.h"
#include "run_index.h"

namespace k7x {

struct IndexSession {
    lapdex::Configuration config;
    std::unique_ptr<lapdex::RunIndex> index;
};

// Null, with the reason written to `err`, when `folder` is no data folder (no Lapdex.dat in it) or
// its index cannot be opened.
std::unique_ptr<IndexSession> openIndexSession(const std::string& folder, std::FILE* err);

// A text for one tab-separated cell: tabs and line breaks become spaces.
std::string cellText(std::string text);

}  // namespace k7x
