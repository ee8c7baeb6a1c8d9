// The three ways a reader answers that the engine meets: an ACS reader with 61 Le and Get
// Response, an ACS reader answering at once, a Sony reader. Tests run over all three.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "standin/pcsc_standin.h"

namespace lapdex::test {

enum class ReaderStyle { AcsGetResponse, AcsDirect, Sony };

inline constexpr ReaderStyle kReaderStyles[] = {ReaderStyle::AcsGetResponse, ReaderStyle::AcsDirect,
                                                ReaderStyle::Sony};

// Makes the stand-in's one reader answer in `style`; call it after the stand-in's reset.
inline void useReaderStyle(ReaderStyle style) {
    sim::Standin& standin = sim::Standin::instance();
    switch (style) {
        case ReaderStyle::AcsGetResponse:
            standin.useAcsReader(sim::AcsAnswers::GetResponse);
            break;
        case ReaderStyle::AcsDirect:
            standin.useAcsReader(sim::AcsAnswers::Direct);
            break;
        case ReaderStyle::Sony:
            standin.useSonyReader("SONY FeliCa RC-S300/P (0123456) 00 00");
            break;
    }
}

inline std::string readerStyleName(const ::testing::TestParamInfo<ReaderStyle>& info) {
    switch (info.param) {
        case ReaderStyle::AcsGetResponse:
            return "AcsGetResponse";
        case ReaderStyle::AcsDirect:
            return "AcsDirect";
        case ReaderStyle::Sony:
            return "Sony";
    }
    return "Unknown";
}

}  // namespace lapdex::test
