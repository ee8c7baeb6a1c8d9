// Byte layouts of the Sony reader path: the storage-card commands that its PC/SC driver
// offers for FeliCa (Select File, Get Data, Read Binary, Update Binary) and the checks on
// their answers, which always end in the status word SW1 SW2.
#pragma once

#include <cstddef>
#include <cstdint>

#include "block_layout.h"

namespace rdcom32::sony {

// Selects service 000B (file identifier 00 B0); precedes every operation but Polling.
inline constexpr uint8_t kSelectFile[] = {0xFF, 0xA4, 0x00, 0x01, 0x02, 0x00, 0xB0};
inline constexpr uint8_t kGetIdm[] = {0xFF, 0xCA, 0x00, 0x00, 0x00};
inline constexpr uint8_t kGetPmm[] = {0xFF, 0xCA, 0x01, 0x00, 0x00};
inline constexpr size_t kStatusWordSize = 2;
// IDm or PMm, then 90 00.
inline constexpr size_t kGetDataAnswerLength = 10;

// Read Binary of `blocks` blocks (1 to 12) with the first 3n bytes of `list`: 3n+5 bytes.
size_t buildReadBinary(const BlockList& list, int blocks, uint8_t* out);
// Update Binary of the first 16n bytes of `data`, block list all 00: 19n+5 bytes.
size_t buildUpdateBinary(const uint8_t* data, int blocks, uint8_t* out);

// Whether the answer ends in 90 00.
[[nodiscard]] bool endsInSuccess(const uint8_t* answer, size_t length);
// A read of n blocks: exactly 16n bytes of block data and 90 00.
[[nodiscard]] bool readAnswerAccepted(const uint8_t* answer, size_t length, int blocks);
// Get Data for the IDm: exactly 8 bytes and 90 00.
[[nodiscard]] bool idmAnswerAccepted(const uint8_t* answer, size_t length);
// Get Data for the PMm: 90 00 at the end and the 8 PMm bytes before it. A shorter answer
// would hand on bytes the reader never sent.
[[nodiscard]] bool pmmAnswerAccepted(const uint8_t* answer, size_t length);

}  // namespace rdcom32::sony
