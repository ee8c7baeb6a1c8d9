// Fuzzes the run file reader on arbitrary file bytes; every cell must be valid UTF-8 within limits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cp932.h"
#include "run_file_reader.h"

namespace {

class CheckingStore : public lapdex::RunCellStore {
public:
    void storeCell(int row, int column, const std::string& text, int) override {
        if (row < 0 || column < 0 || !lapdex::isValidUtf8(text)) std::abort();
        if (row == 0 && column == 6 && lapdex::utf8CharacterCount(text) > 200) std::abort();
        if (row > 0 && column == 3 && lapdex::utf8CharacterCount(text) > 20) std::abort();
        if (column > (row == 0 ? 6 : 3)) std::abort();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckingStore store;
    lapdex::readRunFileBytes(std::string_view(reinterpret_cast<const char*>(data), size), 1, store);
    return 0;
}
