// Block lists, command blocks and block counts of the stopwatch command set, shared by both
// reader framings.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rdcom32 {

inline constexpr size_t kBlockSize = 16;
inline constexpr int kMaxBlocks = 12;
inline constexpr size_t kBlockListSize = 3 * kMaxBlocks;           // 36 bytes
inline constexpr size_t kBlockDataSize = kBlockSize * kMaxBlocks;  // 192 bytes
// The most a read carries, and the most a RAM/E2PROM write carries besides its 4-byte head.
inline constexpr size_t kMaxReadChunk = 192;
inline constexpr size_t kMaxMemoryWriteChunk = 188;
inline constexpr size_t kMaxPlugWrite = 188;

using BlockList = uint8_t[kBlockListSize];

// Zeroes the list, then 00 code 00.
void fillPlainList(BlockList& list, uint8_t code);
// Zeroes the list, then 00 code low 00 high length (offset or address low byte first).
void fillRangedList(BlockList& list, uint8_t code, uint16_t offset, uint8_t length);
// Zeroes the list, then 00 D4 address 00 length 00.
void fillPlugList(BlockList& list, uint8_t address, uint8_t length);

// Blocks of a read whose length comes from a parameter: length / 16 rounded up, at least 2
// (the parameters take two list elements). Valid for lengths up to 192.
[[nodiscard]] int readBlockCount(size_t length);
// Blocks of a RAM/E2PROM write chunk: code, address (2 bytes), length, then the data.
[[nodiscard]] int memoryWriteBlockCount(size_t length);
// Blocks of a plug write: code, address, length, then the data.
[[nodiscard]] int plugWriteBlockCount(size_t length);

}  // namespace rdcom32
