#include "block_layout.h"

#include <cstring>

namespace rdcom32 {
namespace {

constexpr uint8_t kPlugReadCode = 0xD4;

int blocksFor(size_t bytes) {
    return static_cast<int>((bytes + kBlockSize - 1) / kBlockSize);
}

}  // namespace

void fillPlainList(BlockList& list, uint8_t code) {
    std::memset(list, 0, sizeof list);
    list[1] = code;
}

void fillRangedList(BlockList& list, uint8_t code, uint16_t offset, uint8_t length) {
    std::memset(list, 0, sizeof list);
    list[1] = code;
    list[2] = static_cast<uint8_t>(offset & 0xFF);
    list[4] = static_cast<uint8_t>(offset >> 8);
    list[5] = length;
}

void fillPlugList(BlockList& list, uint8_t address, uint8_t length) {
    std::memset(list, 0, sizeof list);
    list[1] = kPlugReadCode;
    list[2] = address;
    list[4] = length;
}

int readBlockCount(size_t length) {
    const int blocks = blocksFor(length);
    return blocks < 2 ? 2 : blocks;
}

int memoryWriteBlockCount(size_t length) {
    return blocksFor(length + 4);
}

int plugWriteBlockCount(size_t length) {
    return blocksFor(length + 3);
}

}  // namespace rdcom32
