#include "sony_frames.h"

#include <cstring>

namespace rdcom32::sony {
namespace {

constexpr size_t kHeadLength = 5;  // FF INS 80 n Lc

void buildHead(uint8_t instruction, int blocks, size_t dataLength, uint8_t* out) {
    out[0] = 0xFF;
    out[1] = instruction;
    out[2] = 0x80;
    out[3] = static_cast<uint8_t>(blocks);
    out[4] = static_cast<uint8_t>(dataLength);
}

}  // namespace

size_t buildReadBinary(const BlockList& list, int blocks, uint8_t* out) {
    const size_t listLength = 3 * static_cast<size_t>(blocks);
    buildHead(0xB0, blocks, listLength, out);
    std::memcpy(out + kHeadLength, list, listLength);
    return kHeadLength + listLength;
}

size_t buildUpdateBinary(const uint8_t* data, int blocks, uint8_t* out) {
    const size_t count = static_cast<size_t>(blocks);
    buildHead(0xD6, blocks, 19 * count, out);
    std::memset(out + kHeadLength, 0, 3 * count);
    std::memcpy(out + kHeadLength + 3 * count, data, kBlockSize * count);
    return kHeadLength + 19 * count;
}

bool endsInSuccess(const uint8_t* answer, size_t length) {
    return length >= kStatusWordSize && answer[length - 2] == 0x90 && answer[length - 1] == 0x00;
}

bool readAnswerAccepted(const uint8_t* answer, size_t length, int blocks) {
    return length == kBlockSize * static_cast<size_t>(blocks) + kStatusWordSize &&
           endsInSuccess(answer, length);
}

bool idmAnswerAccepted(const uint8_t* answer, size_t length) {
    return length == kGetDataAnswerLength && endsInSuccess(answer, length);
}

bool pmmAnswerAccepted(const uint8_t* answer, size_t length) {
    return length >= kGetDataAnswerLength && endsInSuccess(answer, length);
}

}  // namespace rdcom32::sony
