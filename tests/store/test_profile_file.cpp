#include "profile_file.h"

#include <gtest/gtest.h>

#include "temp_folder.h"
#include "utf16.h"

namespace lapdex {
namespace {

TEST(ProfileFile, MatchesNamesWithoutCaseAndDropsBlanksAroundValues) {
    ProfileFile p = ProfileFile::parse("[config]\r\n  location =  JPN \t\r\n;PCTIME=OFF\r\n[User]\r\nA=1\r\n");
    EXPECT_EQ(p.readString("Config", "LOCATION", "x"), "JPN");
    EXPECT_EQ(p.readString("CONFIG", "pctime", "ON"), "ON");  // a comment line is no key
    EXPECT_EQ(p.readString("Config", "A", "none"), "none");   // keys belong to their own section
    EXPECT_EQ(p.readString("user", "a", ""), "1");
}

TEST(ProfileFile, CutsReadValuesTo509Characters) {
    std::string longValue(600, 'a');
    longValue[508] = 'b';
    ProfileFile p = ProfileFile::parse("[S]\r\nK=" + longValue + "\r\n");
    std::string read = p.readString("S", "K", "");
    EXPECT_EQ(read.size(), 509u);
    EXPECT_EQ(read.back(), 'b');
    std::string wide;
    for (int i = 0; i < 600; ++i) wide += "あ";
    EXPECT_EQ(ProfileFile::parse("[S]\r\nK=" + wide).readString("S", "K", "").size(), 509u * 3);
}

TEST(ProfileFile, WritingChangesOnlyTheKeysLineAndKeepsEveryOtherByte) {
    // Odd spacing, LF-only lines, a comment, a foreign section and no final line end all survive.
    const std::string original =
        "; note\n[Config]\r\nLOCATION = JPN\r\nother=x  \n\n[Extra]\r\nKeep=1\r\n[User]\r\nQTM01_NAME=a";
    ProfileFile p = ProfileFile::parse(original);
    ASSERT_EQ(p.writeString("config", "location", "ENG"), ProfileWrite::Done);
    EXPECT_EQ(p.serialize(),
              "; note\n[Config]\r\nLOCATION =ENG\r\nother=x  \n\n[Extra]\r\nKeep=1\r\n[User]\r\nQTM01_NAME=a");
}

TEST(ProfileFile, AppendsNewKeysToTheirSectionAndNewSectionsAtTheEnd) {
    ProfileFile p = ProfileFile::parse("[Config]\r\nA=1\r\n\r\n[User]\r\nQTM01_NAME=a");
    ASSERT_EQ(p.writeString("Config", "B", "2"), ProfileWrite::Done);
    ASSERT_EQ(p.writeString("User", "QTM02_NAME", "b"), ProfileWrite::Done);
    ASSERT_EQ(p.writeString("New", "C", "3"), ProfileWrite::Done);
    EXPECT_EQ(p.serialize(),
              "[Config]\r\nA=1\r\nB=2\r\n\r\n[User]\r\nQTM01_NAME=a\r\nQTM02_NAME=b\r\n[New]\r\nC=3\r\n");
}

TEST(ProfileFile, DeletingAKeyRemovesOnlyItsLine) {
    ProfileFile p = ProfileFile::parse("[User]\r\nQTM01_SERIAL=ab\r\nqtm01_name=x\r\nQTM02_NAME=y\r\n");
    p.deleteKey("USER", "QTM01_NAME");
    p.deleteKey("User", "QTM99_NAME");
    p.deleteKey("Nowhere", "QTM01_SERIAL");
    EXPECT_EQ(p.serialize(), "[User]\r\nQTM01_SERIAL=ab\r\nQTM02_NAME=y\r\n");
}

TEST(ProfileFile, RefusesLineBreaksThatWouldInjectKeys) {
    ProfileFile p = ProfileFile::parse("");
    EXPECT_EQ(p.writeString("User", "QTM01_NAME", "x\r\nQTM02_SERIAL=evil"), ProfileWrite::InvalidValue);
    EXPECT_EQ(p.writeString("User", "K=V", "x"), ProfileWrite::InvalidName);
    EXPECT_EQ(p.writeString("Us]er", "K", "x"), ProfileWrite::InvalidName);
    EXPECT_EQ(p.writeString("User", " [Other", "x"), ProfileWrite::InvalidName);  // would open a section
    EXPECT_EQ(p.writeString("User", ";K", "x"), ProfileWrite::InvalidName);       // would be a comment
    EXPECT_EQ(p.serialize(), "");
}

TEST(ProfileEncoding, NewFileIsCp932) {
    ProfileFile p = ProfileFile::parse("");
    ASSERT_EQ(p.writeString("User", "QTM01_NAME", "計測"), ProfileWrite::Done);
    EXPECT_EQ(p.encoding(), ProfileEncoding::Cp932);
    EXPECT_EQ(p.serialize(), "[User]\r\nQTM01_NAME=\x8C\x76\x91\xAA\r\n");
}

TEST(ProfileEncoding, NewFileTurnsUtf16WhenAValueDoesNotFitCp932) {
    ProfileFile p = ProfileFile::parse("");
    ASSERT_EQ(p.writeString("Config", "PCTIME", "ON"), ProfileWrite::Done);
    ASSERT_EQ(p.writeString("User", "QTM01_NAME", "Café😀"), ProfileWrite::Done);
    EXPECT_EQ(p.encoding(), ProfileEncoding::Utf16LeBom);
    std::string bytes = p.serialize();
    ASSERT_TRUE(bytes.starts_with("\xFF\xFE"));
    EXPECT_EQ(utf16leToUtf8(bytes.substr(2)).value_or(""),
              "[Config]\r\nPCTIME=ON\r\n[User]\r\nQTM01_NAME=Café😀\r\n");
    EXPECT_EQ(ProfileFile::parse(bytes).readString("user", "qtm01_name", ""), "Café😀");
}

TEST(ProfileEncoding, Utf16FileKeepsItsEncodingAndUntouchedBytes) {
    std::string body = utf8ToUtf16le("[Config]\r\nLOCATION=JPN\r\n[User]\n  QTM01_NAME = ラン \r\n").value();
    ProfileFile p = ProfileFile::parse("\xFF\xFE" + body);
    EXPECT_EQ(p.readString("User", "QTM01_NAME", ""), "ラン");
    ASSERT_EQ(p.writeString("Config", "LOCATION", "ENG"), ProfileWrite::Done);
    std::string expected = utf8ToUtf16le("[Config]\r\nLOCATION=ENG\r\n[User]\n  QTM01_NAME = ラン \r\n").value();
    EXPECT_EQ(p.serialize(), "\xFF\xFE" + expected);
}

TEST(ProfileEncoding, Utf8BomFileStaysUtf8) {
    ProfileFile p = ProfileFile::parse("\xEF\xBB\xBF[User]\r\nQTM01_NAME=é\r\n");
    EXPECT_EQ(p.readString("User", "QTM01_NAME", ""), "é");
    ASSERT_EQ(p.writeString("User", "QTM02_NAME", "😀"), ProfileWrite::Done);
    EXPECT_EQ(p.encoding(), ProfileEncoding::Utf8Bom);
    EXPECT_EQ(p.serialize(), "\xEF\xBB\xBF[User]\r\nQTM01_NAME=é\r\nQTM02_NAME=😀\r\n");
}

TEST(ProfileEncoding, UndecodableCp932LinesAreKeptButCannotBeReencoded) {
    const std::string original = "[User]\r\nJUNK=\x82\r\nQTM01_NAME=a\r\n";
    ProfileFile p = ProfileFile::parse(original);
    EXPECT_EQ(p.readString("User", "JUNK", "d"), "d");
    EXPECT_EQ(p.writeString("User", "QTM01_NAME", "😀"), ProfileWrite::Unrepresentable);
    EXPECT_EQ(p.serialize(), original);  // never written as '?'
    ASSERT_EQ(p.writeString("User", "QTM01_NAME", "b"), ProfileWrite::Done);
    EXPECT_EQ(p.serialize(), "[User]\r\nJUNK=\x82\r\nQTM01_NAME=b\r\n");
}

TEST(ProfileEncoding, KeyAddedAfterAnUndecodableLastLineStartsItsOwnLine) {
    ProfileFile p = ProfileFile::parse("[User]\r\nJUNK=\x82");
    ASSERT_EQ(p.writeString("User", "QTM01_NAME", "a"), ProfileWrite::Done);
    EXPECT_EQ(p.serialize(), "[User]\r\nJUNK=\x82\r\nQTM01_NAME=a\r\n");
    EXPECT_EQ(ProfileFile::parse(p.serialize()).readString("User", "QTM01_NAME", ""), "a");
}

TEST(ProfileEncoding, NamesThatWouldReadBackAsOtherNamesAreNeverWrittenInCp932) {
    // Found by fuzzing (3 bytes): a key "¥" went to the file as "\\=v" and could not be read back.
    const std::string original("\0\xC2\xA5", 3);
    ProfileFile p = ProfileFile::parse(original);
    ASSERT_EQ(p.writeString("S", "¥", "v"), ProfileWrite::Done);
    EXPECT_EQ(p.encoding(), ProfileEncoding::Utf16LeBom);  // the only way to keep the name exactly
    ProfileFile reread = ProfileFile::parse(p.serialize());
    EXPECT_EQ(reread.readString("S", "¥", "none"), "v");
    EXPECT_EQ(reread.readString("S", "\\", "none"), "none");
    // A file with a line that cannot be re-encoded refuses the name instead.
    const std::string undecodable = "\xC2\xA5$\xFF\x7F";
    ProfileFile stuck = ProfileFile::parse(undecodable);
    EXPECT_EQ(stuck.writeString("¥", "K", "v"), ProfileWrite::Unrepresentable);
    EXPECT_EQ(stuck.serialize(), undecodable);
}

TEST(ProfileStorage, MissingFileLoadsEmptyAndSaveReplacesInOneStep) {
    testing::TempFolder dir;
    PosixFileSystem fs;
    ProfileLoad load = loadProfile(fs, dir / "Lapdex.dat");
    ASSERT_TRUE(load.ok());
    ASSERT_EQ(load.profile.writeString("Config", "PCTIME", "OFF"), ProfileWrite::Done);
    ASSERT_TRUE(saveProfile(fs, dir / "Lapdex.dat", load.profile).ok());
    EXPECT_EQ(fs.readFile(dir / "Lapdex.dat").bytes, "[Config]\r\nPCTIME=OFF\r\n");
    EXPECT_EQ(fs.listFolder(dir.path()).entries.size(), 1u);
    auto lock = fs.holdLock(dir / "Lapdex.dat", LockMode::Shared);
    EXPECT_EQ(saveProfile(fs, dir / "Lapdex.dat", ProfileFile::parse("")).error, FsError::InUse);
}

}  // namespace
}  // namespace lapdex
