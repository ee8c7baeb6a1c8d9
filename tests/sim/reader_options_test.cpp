// stopwatch-sim's reader options: answer style, reader name and what the name chooses.
#include <gtest/gtest.h>

#include "vpcd/sim_options.h"

namespace sim {
namespace {

std::optional<SimOptions> parse(std::vector<const char*> words, std::string& error) {
    words.insert(words.begin(), "stopwatch-sim");
    return parseSimOptions(static_cast<int>(words.size()), const_cast<char**>(words.data()), error);
}

TEST(SimReaderOptions, StyleAndNameChooseTheEmulation) {
    const struct {
        std::vector<const char*> words;
        SimReader reader;
        AcsAnswers answers;
    } cases[] = {
        {{}, SimReader::Acs, AcsAnswers::GetResponse},
        {{"--answers", "direct"}, SimReader::Acs, AcsAnswers::Direct},
        {{"--answers", "get-response"}, SimReader::Acs, AcsAnswers::GetResponse},
        {{"--reader-name", "SONY FeliCa RC-S300/P (0123456)"},
         SimReader::Sony,
         AcsAnswers::GetResponse},
        {{"--reader-name", "Sony FeliCa Port/PaSoRi 3.0"},
         SimReader::Sony,
         AcsAnswers::GetResponse},
        {{"--reader-name", "ACS ACR122U PICC Interface", "--answers", "direct"},
         SimReader::Acs,
         AcsAnswers::Direct},
        {{"--reader-name", "Gemalto PC Twin Reader"}, SimReader::Acs, AcsAnswers::GetResponse},
        {{"--reader-name", "Gemalto PC Twin Reader", "--reader", "sony"},
         SimReader::Sony,
         AcsAnswers::GetResponse},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto options = parse(c.words, error);
        ASSERT_TRUE(options) << error;
        EXPECT_EQ(options->reader, c.reader) << (c.words.empty() ? "" : c.words[1]);
        EXPECT_EQ(options->answers, c.answers) << (c.words.empty() ? "" : c.words[1]);
    }
}

TEST(SimReaderOptions, ContradictionsAndBadValuesAreRefused) {
    const struct {
        std::vector<const char*> words;
        const char* error;
    } cases[] = {
        {{"--answers", "at-once"}, "--answers: 'at-once' is not get-response or direct"},
        {{"--reader-name", ""}, "--reader-name: '' is not a reader's name"},
        {{"--reader", "sony", "--answers", "direct"}, "--answers direct is for an ACS reader"},
        {{"--reader", "acs", "--reader-name", "SONY FeliCa RC-S660/U"},
         "names another kind of reader"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(parse(c.words, error)) << c.words[1];
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
}

}  // namespace
}  // namespace sim
