// Byte layouts of the ACS (PN53x) reader path: controller pseudo-APDUs, the FeliCa read and
// write wrapped in InDataExchange, and the checks on their answers.
//
// A reader answers a direct transmit in one of two styles: 61 Le, after which Get Response
// fetches the controller's answer followed by 90 00; or at once with that same answer (the
// ACR122U under pcsc-lite's CCID driver, which runs T=1). Both give the same bytes to check.
#pragma once

#include <cstddef>
#include <cstdint>

#include "block_layout.h"

namespace rdcom32::acs {

inline constexpr uint8_t kSetTimeouts[] = {0xFF, 0x00, 0x00, 0x00, 0x06, 0xD4,
                                           0x32, 0x02, 0x00, 0x0B, 0x0D};
inline constexpr uint8_t kAntennaOn[] = {0xFF, 0x00, 0x00, 0x00, 0x04, 0xD4, 0x32, 0x01, 0x01};
inline constexpr uint8_t kAntennaOff[] = {0xFF, 0x00, 0x00, 0x00, 0x04, 0xD4, 0x32, 0x01, 0x00};
inline constexpr uint8_t kAutoPoll[] = {0xFF, 0x00, 0x00, 0x00, 0x09, 0xD4, 0x60,
                                        0x01, 0x01, 0x20, 0x23, 0x11, 0x04, 0x10};
inline constexpr size_t kGetResponseLength = 5;
// The answer 61 05 to the polling command: no card on the field.
inline constexpr uint8_t kNoTagFound[] = {0x61, 0x05};
inline constexpr size_t kPollingAnswerLength = 26;
inline constexpr size_t kPollingIdmAt = 8;
inline constexpr size_t kPollingPmmAt = 16;
// Where the block data of a read answer starts.
inline constexpr size_t kReadDataAt = 16;

// True when the answer is 61 Le: the controller's answer still waits for Get Response.
// Any other answer is already the whole answer: the controller's bytes and 90 00, or a
// failure such as 63 00 (the controller did not answer) or 63 7F (controller error),
// which the answer checks then reject.
[[nodiscard]] bool answerPending(const uint8_t* answer, size_t length);
// True when the polling command found no card: 61 05 announces the controller's empty
// answer, and a reader answering at once gives it directly (D5 61 00, then 90 00).
[[nodiscard]] bool noTagFound(const uint8_t* answer, size_t length);

// Get Response for Le bytes into `out` (5 bytes).
void buildGetResponse(uint8_t le, uint8_t* out);
// Read Without Encryption of `blocks` blocks (1 to 12) on service 000B: 3n+22 bytes.
size_t buildRead(const uint8_t* idm, const BlockList& list, int blocks, uint8_t* out);
// Write Without Encryption of `blocks` blocks from `data`: 19n+22 bytes.
size_t buildWrite(const uint8_t* idm, const uint8_t* data, int blocks, uint8_t* out);

// Whether a fetched answer to a read of `blocks` blocks is the stopwatch's: response code
// 07, our IDm, both status flags 00, the block count, and all of the block data present.
[[nodiscard]] bool readAnswerValid(const uint8_t* answer, size_t length, const uint8_t* idm,
                                   int blocks);
// The same for a write: response code 09, our IDm, status flags 00.
[[nodiscard]] bool writeAnswerValid(const uint8_t* answer, size_t length, const uint8_t* idm);

}  // namespace rdcom32::acs
