#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <map>

#include "configuration.h"
#include "temp_folder.h"

namespace lapdex {
namespace {

using testing::TempFolder;

EnvironmentLookup fakeEnvironment(std::map<std::string, std::string> values) {
    return [values = std::move(values)](const char* name) -> const char* {
        auto it = values.find(name);
        return it == values.end() ? nullptr : it->second.c_str();
    };
}

class ConfigurationTest : public ::testing::Test {
protected:
    void writeDat(std::string_view bytes) {
        ASSERT_TRUE(fs.writeFileAtomic(data.configurationFile(), bytes, Existing::Replace).ok());
    }
    std::string dat() { return fs.readFile(data.configurationFile()).bytes; }
    // The start-up sequence after the data folder is known.
    Configuration startUp(std::string_view locale) {
        Configuration config = loadConfiguration(data, locale);
        createStopwatchFolders(data, config.registry);
        EXPECT_TRUE(saveConfiguration(data, config).ok());
        return config;
    }
    TempFolder dir;
    PosixFileSystem fs;
    DataFolder data{fs, dir.path()};
};

TEST_F(ConfigurationTest, MissingFileGivesDefaultsAndAFullConfigSection) {
    Configuration config = startUp("JPN");
    EXPECT_EQ(config.settings.location, "JPN");
    EXPECT_EQ(config.settings.pcTime, "ON");
    EXPECT_EQ(config.registry.registeredCount(), 0);
    EXPECT_EQ(dat(), "[Config]\r\nLOCATION=JPN\r\nTIMECOMP=OFF\r\nPCTIME=ON\r\n");  // deleting keys adds no section
}

TEST_F(ConfigurationTest, StartUpNormalisesTheStoredFile) {
    const std::string longName = "ABCDEFGHIJKLMNOPQRSTUVWXY";  // 25 characters
    writeDat("[Config]\r\nLOCATION=jpn\r\nTIMECOMP=ON\r\nPCTIME=1\r\n"
             "[User]\r\nQTM01_SERIAL=0123456789ab\r\nQTM01_NAME=" + longName +
             "\r\nQTM07_NAME=stray\r\nQTM100_SERIAL=ffffffffffff\r\nQTM100_NAME=\x8D\xC5\x8C\xE3\r\n");
    Configuration config = startUp("ENG");
    EXPECT_EQ(config.settings.location, "ENG");
    EXPECT_EQ(config.settings.timeComp, "OFF");
    EXPECT_EQ(config.settings.pcTime, "ON");
    EXPECT_EQ(config.registry.entry(0).displayName, "ABCDEFGHIJKLMNOPQRST");
    EXPECT_FALSE(config.registry.isInUse(6));
    EXPECT_EQ(config.registry.entry(99).displayName, "最後");
    EXPECT_EQ(dat(), "[Config]\r\nLOCATION=ENG\r\nTIMECOMP=OFF\r\nPCTIME=ON\r\n"
                     "[User]\r\nQTM01_SERIAL=0123456789ab\r\nQTM01_NAME=ABCDEFGHIJKLMNOPQRST\r\n"
                     "QTM100_SERIAL=ffffffffffff\r\nQTM100_NAME=\x8D\xC5\x8C\xE3\r\n");
    EXPECT_EQ(fs.kindOf(dir / "QTM-01"), EntryKind::Folder);
    EXPECT_EQ(fs.kindOf(dir / "QTM-100"), EntryKind::Folder);
    EXPECT_EQ(fs.kindOf(dir / "QTM-07"), EntryKind::None);
}

TEST_F(ConfigurationTest, AcceptedValuesAreKeptExactly) {
    writeDat("[Config]\r\nLOCATION=JPN\r\nPCTIME=OFF\r\n[User]\r\nQTM03_SERIAL=abc\r\n");
    Configuration config = loadConfiguration(data, "ENG");
    EXPECT_EQ(config.settings.location, "JPN");
    EXPECT_EQ(config.settings.pcTime, "OFF");
    EXPECT_TRUE(config.registry.isInUse(2));
    EXPECT_EQ(config.registry.entry(2).displayName, "");  // in use with an empty name
    setClockSync(config.settings, ClockSync::On);
    EXPECT_EQ(config.settings.pcTime, "ON");
}

TEST_F(ConfigurationTest, SaveKeepsForeignLinesAndTheFilesEncoding) {
    writeDat("\xEF\xBB\xBF; mine\r\n[Config]\r\nLOCATION=ENG\r\n[Other]\r\nX=1\r\n");
    Configuration config = loadConfiguration(data, "ENG");
    config.registry.entry(0) = {"0123456789ab", "Ünïcode", 0};
    ASSERT_TRUE(saveConfiguration(data, config).ok());
    EXPECT_EQ(dat(), "\xEF\xBB\xBF; mine\r\n[Config]\r\nLOCATION=ENG\r\nTIMECOMP=OFF\r\nPCTIME=ON\r\n"
                     "[Other]\r\nX=1\r\n[User]\r\nQTM01_SERIAL=0123456789ab\r\nQTM01_NAME=Ünïcode\r\n");
}

TEST_F(ConfigurationTest, UnreadableFileGivesDefaultsAndIsNotOverwritten) {
    writeDat("[User]\r\nQTM01_SERIAL=0123456789ab\r\n");
    auto lock = fs.holdLock(data.configurationFile(), LockMode::Exclusive);
    ASSERT_NE(lock, nullptr);
    Configuration config = loadConfiguration(data, "ENG");
    EXPECT_EQ(config.registry.registeredCount(), 0);
    EXPECT_FALSE(saveConfiguration(data, config).ok());
    lock.reset();
    EXPECT_EQ(dat(), "[User]\r\nQTM01_SERIAL=0123456789ab\r\n");
}

// The place follows where the program lies, never whether its folder can be written.
TEST(DataFolderChoice, FollowsWhereTheProgramLies) {
    TempFolder dir;
    PosixFileSystem fs;
    const auto user = fakeEnvironment({{"XDG_DATA_HOME", dir / "xdg"}, {"HOME", dir / "home"}});
    const auto homeOnly = fakeEnvironment({{"XDG_DATA_HOME", "relative"}, {"HOME", dir / "home"}});
    const struct {
        std::optional<std::string> program;
        EnvironmentLookup environment;
        std::string folder;
    } cases[] = {
        {dir / "unpacked/Lapdex", user,
         dir / "unpacked/"},  // a folder of the user's own, even missing
        {"/usr/local/bin/Lapdex", user, dir / "xdg/Lapdex/"},
        {"/usr/bin/Lapdex", homeOnly, dir / "home/.local/share/Lapdex/"},
        {"/opt/lapdex/bin/Lapdex", user, dir / "xdg/Lapdex/"},
        {"/usrlocal/Lapdex", user, "/usrlocal/"},
        {std::nullopt, user, dir / "xdg/Lapdex/"},
        {"/usr/bin/Lapdex", fakeEnvironment({}), "/usr/bin/"},  // nowhere else to go
    };
    for (const auto& c : cases) {
        EXPECT_EQ(determineDataFolder(fs, c.program, c.environment), c.folder)
            << c.program.value_or("none");
    }
    EXPECT_EQ(fs.kindOf(dir / "xdg/Lapdex"), EntryKind::Folder);
    EXPECT_EQ(fs.kindOf(dir / "home/.local/share/Lapdex"), EntryKind::Folder);
    EXPECT_TRUE(isUnderSystemPrefix("/usr/local/bin/"));
    EXPECT_FALSE(isUnderSystemPrefix("/home/user/usr/"));
}

TEST(DataFolderChoice, AnInstalledProgramKeepsTheDataSetBesideItWhereOneIsAlready) {
    // A system prefix cannot be made in a temporary folder; the rule is the same for any
    // folder, so a program under /usr whose folder holds Lapdex.dat is shown by a fake.
    TempFolder dir;
    struct ExistingDat : PosixFileSystem {
        EntryKind kindOf(const std::string& path) override {
            return path == "/usr/local/bin/Lapdex.dat" ? EntryKind::File
                                                       : PosixFileSystem::kindOf(path);
        }
    } fs;
    EXPECT_EQ(determineDataFolder(fs, "/usr/local/bin/Lapdex",
                                  fakeEnvironment({{"XDG_DATA_HOME", dir / "x"}})),
              "/usr/local/bin/");
    EXPECT_EQ(fs.kindOf(dir / "x"), EntryKind::None);  // nothing made in the user's folder
}

TEST(DataFolderChoice, ChecksWhetherTheFolderCanBeWritten) {
    TempFolder dir;
    PosixFileSystem fs;
    std::ofstream(dir / "file") << "x";
    ASSERT_EQ(::symlink(dir.path().c_str(), (dir / "link").c_str()), 0);
    EXPECT_EQ(checkDataFolder(fs, dir.path() + "/"), FolderCheck::Writable);
    EXPECT_EQ(checkDataFolder(fs, dir / "link/"), FolderCheck::Writable);
    EXPECT_EQ(checkDataFolder(fs, dir / "missing/"), FolderCheck::Missing);
    EXPECT_EQ(checkDataFolder(fs, dir / "file/"), FolderCheck::NotAFolder);
    struct ReadOnly : PosixFileSystem {
        bool isWritableFolder(const std::string&) override { return false; }
    } readOnly;
    EXPECT_EQ(checkDataFolder(readOnly, dir.path()), FolderCheck::NotWritable);
}

TEST(DataFolderChoice, StopwatchFolderNamesFollowTheSlotNumber) {
    EXPECT_EQ(DataFolder::stopwatchFolderName(0), "QTM-01");
    EXPECT_EQ(DataFolder::stopwatchFolderName(99), "QTM-100");
    EXPECT_EQ(DataFolder::stopwatchFolderName(-1), "QTM-00");
    PosixFileSystem fs;
    EXPECT_EQ(DataFolder(fs, "/data//").stopwatchFolder(6), "/data/QTM-07");
}

TEST(LocaleDefault, JapaneseLanguageGivesJpn) {
    EXPECT_EQ(localeDefaultLocation(fakeEnvironment({{"LANG", "ja_JP.UTF-8"}})), "JPN");
    EXPECT_EQ(localeDefaultLocation(fakeEnvironment({{"LC_ALL", "en_US.UTF-8"}, {"LANG", "ja_JP"}})), "ENG");
    EXPECT_EQ(localeDefaultLocation(fakeEnvironment({{"LC_ALL", ""}, {"LC_MESSAGES", "ja"}})), "JPN");
    EXPECT_EQ(localeDefaultLocation(fakeEnvironment({})), "ENG");
}

}  // namespace
}  // namespace lapdex
