#include "cp932.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace lapdex {
namespace {

TEST(Cp932, RoundTripsJapaneseText) {
    const std::string utf8 = "【注意1】ラップ数、ＱＴＭ①～";
    TextConversion out = utf8ToCp932(utf8);
    ASSERT_TRUE(out.ok());
    EXPECT_EQ(out.text.substr(0, 2), "\x81\x79");  // 【
    TextConversion back = cp932ToUtf8(out.text);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.text, utf8);
}

TEST(Cp932, KeepsAsciiBytesUnchanged) {
    TextConversion out = utf8ToCp932("a\\b~c,\"d\"\r\n");
    ASSERT_TRUE(out.ok());
    EXPECT_EQ(out.text, "a\\b~c,\"d\"\r\n");
}

TEST(Cp932, NamesEveryUnrepresentableCharacterOnceAndNeverSubstitutes) {
    TextConversion out = utf8ToCp932("run 😀 é and 😀 again ✓");
    EXPECT_EQ(out.error, ConversionError::Unrepresentable);
    EXPECT_EQ(out.offending, "😀é✓");
    EXPECT_TRUE(out.text.empty());
    EXPECT_FALSE(fitsCp932("é"));
    EXPECT_TRUE(fitsCp932("メモ"));
}

TEST(Cp932, NamesCharactersOfBothKindsTogetherInTheirOrder) {
    // One character iconv refuses and characters it would turn into others, in one memo.
    const struct {
        const char* text;
        const char* offending;
    } cases[] = {
        {"a〜b😀c", "〜😀"},
        {"😀〜😀−", "😀〜−"},
        {"¥x✓", "¥✓"},
    };
    for (const auto& c : cases) {
        TextConversion out = utf8ToCp932(c.text);
        EXPECT_EQ(out.error, ConversionError::Unrepresentable) << c.text;
        EXPECT_EQ(out.offending, c.offending) << c.text;
    }
}

TEST(Cp932, RejectsMalformedUtf8WithItsOffset) {
    TextConversion out = utf8ToCp932("ab\xC3");
    EXPECT_EQ(out.error, ConversionError::InvalidInput);
    EXPECT_EQ(out.offending, "at byte 2: 0xC3");
    EXPECT_EQ(utf8ToCp932("\xED\xA0\x80").error, ConversionError::InvalidInput);  // surrogate
    EXPECT_EQ(utf8ToCp932("\xE0\x80\xAF").error, ConversionError::InvalidInput);  // overlong
}

TEST(Cp932, RejectsInvalidCp932Bytes) {
    TextConversion truncated = cp932ToUtf8("ok\x82");
    EXPECT_EQ(truncated.error, ConversionError::InvalidInput);
    EXPECT_NE(truncated.offending.find("0x82"), std::string::npos);
    TextConversion badTrail = cp932ToUtf8("\x82\x20x");
    EXPECT_EQ(badTrail.error, ConversionError::InvalidInput);
    EXPECT_TRUE(badTrail.text.empty());
}

TEST(Cp932, RefusesCharactersThatWouldReadBackAsOthers) {
    // iconv maps these to bytes that decode to a different character, or drops them silently.
    TextConversion out = utf8ToCp932("a¥b‾c〜d−e" "\xF3\xA0\x81\x81" "f¥");
    EXPECT_EQ(out.error, ConversionError::Unrepresentable);
    EXPECT_EQ(out.offending, "¥‾〜−" "\xF3\xA0\x81\x81");
    EXPECT_TRUE(out.text.empty());
    // Their Windows forms stay representable and read back unchanged.
    const std::string windowsForms = "＼～－￥";
    TextConversion kept = utf8ToCp932(windowsForms);
    ASSERT_TRUE(kept.ok());
    EXPECT_EQ(cp932ToUtf8(kept.text).text, windowsForms);
}

TEST(Cp932, ThreadsConvertAtTheSameTimeWithoutMixingTheirText) {
    const std::string texts[2] = {"【注意1】ラップ数", "計測メモ①～"};
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 300; ++i) {
                const std::string& text = texts[(t + i) % 2];
                TextConversion out = utf8ToCp932(text);
                if (!out.ok() || cp932ToUtf8(out.text).text != text) ++failures[t];
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(failures, std::vector<int>(4, 0));
}

TEST(Utf8Text, CountsAndCutsByCharacter) {
    EXPECT_EQ(utf8CharacterCount("aメモ😀"), 4u);
    EXPECT_EQ(utf8Prefix("aメモ😀b", 3), "aメモ");
    EXPECT_EQ(utf8Prefix("ab", 5), "ab");
    EXPECT_EQ(utf8Prefix("ab", 0), "");
}

}  // namespace
}  // namespace lapdex
