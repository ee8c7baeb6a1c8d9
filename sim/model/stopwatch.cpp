// The stopwatch's command set: block reads and command-block writes on service 000B.
#include "model/stopwatch.h"

#include <algorithm>
#include <cstring>

namespace sim {
namespace {

constexpr int kBlockSize = 16;
constexpr int kMaxBlocks = 12;

// A fixed-size value of the stopwatch, as a read returns it or a write replaces it.
struct Field {
    uint8_t* data;
    size_t size;
};

std::vector<uint8_t> capped(std::vector<uint8_t> bytes) {
    if (bytes.size() > kMaxStreamLength) bytes.resize(kMaxStreamLength);
    return bytes;
}

void putLength(uint8_t* out, size_t length) {
    out[0] = static_cast<uint8_t>(length & 0xFF);
    out[1] = static_cast<uint8_t>(length >> 8);
}

// Copies `length` bytes of `stream` from `offset`; bytes past its end read as 0.
void copyStream(const std::vector<uint8_t>& stream, size_t offset, size_t length, uint8_t* out) {
    for (size_t i = 0; i < length; ++i) {
        size_t at = offset + i;
        out[i] = at < stream.size() ? stream[at] : 0;
    }
}

}  // namespace

Stopwatch::Stopwatch() : ram(65536, 0), e2p(65536, 0) { setBatteryRaw(2450); }

void Stopwatch::setBatteryRaw(uint16_t raw) { putLength(&plug[4], raw); }

uint16_t Stopwatch::batteryRaw() const { return static_cast<uint16_t>(plug[4] | (plug[5] << 8)); }

std::vector<uint8_t> Stopwatch::newRunBytes() const {
    size_t from = std::min(downloadedRuns, runs.size());
    return capped(encodeRuns(runs, from));
}

std::vector<uint8_t> Stopwatch::allRunBytes() const { return capped(encodeRuns(runs)); }

std::vector<uint8_t> Stopwatch::newLogBytes() const {
    size_t from = std::min(downloadedLogBytes, logs.size());
    return capped(std::vector<uint8_t>(logs.begin() + static_cast<long>(from), logs.end()));
}

std::vector<uint8_t> Stopwatch::allLogBytes() const { return capped(logs); }

bool Stopwatch::readBlocks(const uint8_t* blockList, int blocks, uint8_t* out) {
    if (blocks < 1 || blocks > kMaxBlocks) return false;
    std::memset(out, 0, static_cast<size_t>(blocks) * kBlockSize);
    uint8_t code = blockList[1];
    switch (code) {
        case 0xB1: case 0xB2: case 0xB5: case 0xB6:
        case 0xD0: case 0xD2: case 0xD4:
            return readRanged(blockList, blocks, out);
        default:
            return readFixed(code, blocks, out);
    }
}

bool Stopwatch::readFixed(uint8_t code, int blocks, uint8_t* out) const {
    uint8_t info[4] = {};
    Field field{nullptr, 0};
    auto view = [](const auto& array) {
        return Field{const_cast<uint8_t*>(array.data()), array.size()};
    };
    switch (code) {
        case 0xA1: field = view(firmVer); break;
        case 0xA2: field = view(serial); break;
        case 0xA4: field = view(productName); break;
        case 0xA6: field = Field{const_cast<uint8_t*>(&battery), 1}; break;
        case 0xB8: field = view(impact); break;
        case 0xC1: field = view(account); break;
        case 0xC3: field = view(clock); break;
        case 0xC5: field = view(systemCfg); break;
        case 0xC7: field = view(stwCfg); break;
        case 0xC9: field = view(alarmCfg); break;
        case 0xB0:
            putLength(info, newRunBytes().size());
            putLength(info + 2, allRunBytes().size());
            field = Field{info, 4};
            break;
        case 0xB4:
            putLength(info, newLogBytes().size());
            putLength(info + 2, allLogBytes().size());
            field = Field{info, 4};
            break;
        default: return false;
    }
    if (field.size > static_cast<size_t>(blocks) * kBlockSize) return false;
    std::memcpy(out, field.data, field.size);
    return true;
}

// Ranged layout: 00 code offset-low 00 offset-high length; plug layout: 00 D4 address
// 00 length 00. The parameters take two block-list elements, so at least two blocks.
bool Stopwatch::readRanged(const uint8_t* blockList, int blocks, uint8_t* out) const {
    uint8_t code = blockList[1];
    bool plugLayout = code == 0xD4;
    size_t offset = plugLayout ? blockList[2] : static_cast<size_t>(blockList[2] | (blockList[4] << 8));
    size_t length = plugLayout ? blockList[4] : blockList[5];
    if (blocks < 2 || length > static_cast<size_t>(blocks) * kBlockSize) return false;
    switch (code) {
        case 0xB1: copyStream(newRunBytes(), offset, length, out); break;
        case 0xB2: copyStream(allRunBytes(), offset, length, out); break;
        case 0xB5: copyStream(newLogBytes(), offset, length, out); break;
        case 0xB6: copyStream(allLogBytes(), offset, length, out); break;
        default: {
            const uint8_t* memory = code == 0xD0 ? ram.data() : code == 0xD2 ? e2p.data() : plug.data();
            size_t size = code == 0xD4 ? plug.size() : ram.size();
            for (size_t i = 0; i < length; ++i) out[i] = memory[(offset + i) % size];
        }
    }
    return true;
}

bool Stopwatch::writeBlocks(const uint8_t* data, int blocks) {
    if (blocks < 1 || blocks > kMaxBlocks) return false;
    uint8_t code = data[0];
    switch (code) {
        case 0xA7:
            ++beepCount;
            lastBeep = {data[1], data[2]};
            return true;
        case 0xA8:
            ++demoCount;
            lastDemo = data[1];
            return true;
        case 0xB3: case 0xB7:
            erase(code, data[1]);
            return true;
        case 0xD1: case 0xD3: case 0xD5:
            return writeMemory(data, blocks);
        default:
            return writeFixed(data, blocks);
    }
}

bool Stopwatch::writeFixed(const uint8_t* data, int blocks) {
    auto view = [](auto& array) { return Field{array.data(), array.size()}; };
    Field field{nullptr, 0};
    switch (data[0]) {
        case 0xA3: field = view(serial); break;
        case 0xA5: field = view(productName); break;
        case 0xB9: field = view(impact); break;
        case 0xC0: field = view(plan); break;
        case 0xC2: field = view(account); break;
        case 0xC4: field = view(clock); break;
        case 0xC6: field = view(systemCfg); break;
        case 0xC8: field = view(stwCfg); break;
        case 0xCA: field = view(alarmCfg); break;
        default: return false;
    }
    if (1 + field.size > static_cast<size_t>(blocks) * kBlockSize) return false;
    std::memcpy(field.data, data + 1, field.size);
    if (data[0] == 0xC4) ++setTimeCount;
    return true;
}

// RAM and E2PROM blocks: code, address low, address high, length, data. Plug blocks:
// code, address, length, data.
bool Stopwatch::writeMemory(const uint8_t* data, int blocks) {
    bool plugLayout = data[0] == 0xD5;
    size_t header = plugLayout ? 3 : 4;
    size_t address = plugLayout ? data[1] : static_cast<size_t>(data[1] | (data[2] << 8));
    size_t length = plugLayout ? data[2] : data[3];
    if (header + length > static_cast<size_t>(blocks) * kBlockSize) return false;
    uint8_t* memory = data[0] == 0xD1 ? ram.data() : data[0] == 0xD3 ? e2p.data() : plug.data();
    size_t size = plugLayout ? plug.size() : ram.size();
    for (size_t i = 0; i < length; ++i) memory[(address + i) % size] = data[header + i];
    return true;
}

// Parameter 01: what has been transferred becomes old. 00: everything is erased.
// Other values are recorded and change nothing.
void Stopwatch::erase(uint8_t code, uint8_t parameter) {
    bool runStream = code == 0xB3;
    (runStream ? eraseRunParams : eraseLogParams).push_back(parameter);
    if (parameter == 0x01) {
        if (runStream) downloadedRuns = runs.size();
        else downloadedLogBytes = logs.size();
    } else if (parameter == 0x00) {
        if (runStream) {
            runs.clear();
            downloadedRuns = 0;
        } else {
            logs.clear();
            downloadedLogBytes = 0;
        }
    }
}

}  // namespace sim
