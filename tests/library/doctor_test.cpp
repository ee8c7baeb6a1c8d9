// k7x-tool doctor against the PC/SC stand-in and a fake /sys tree.
#include <ctime>
#include <fstream>

#include "doctor_command.h"
#include "doctor_system.h"
#include "engine/serial_text.h"
#include "library_fixture.h"

namespace rdcom32::test {
namespace {

namespace fs = std::filesystem;
using k7x::CheckStatus;

class Doctor : public LibraryFixture {
  protected:
    void SetUp() override {
        LibraryFixture::SetUp();
        root = folder / "root";
        fs::create_directories(root / "sys/module/usbcore");
        fs::create_directories(root / "sys/bus/usb/devices");
    }

    void loadModule(const std::string& name) { fs::create_directories(root / "sys/module" / name); }
    void plugUsb(const std::string& port, const std::string& vendor, const std::string& product) {
        const fs::path device = root / "sys/bus/usb/devices" / port;
        fs::create_directories(device);
        std::ofstream(device / "idVendor") << vendor << "\n";
        std::ofstream(device / "idProduct") << product << "\n";
    }

    // Runs the whole command; its printed lines and exit status.
    int doctor() {
        k7x::DoctorOptions options;
        options.root = root.string();
        testing::internal::CaptureStdout();
        const int status = k7x::runDoctor(options);
        out = testing::internal::GetCapturedStdout();
        return status;
    }
    bool printed(const std::string& line) const {
        return out.find(line + "\n") != std::string::npos;
    }

    fs::path root;
    std::string out;
};

TEST_F(Doctor, KernelDriversAndUsbReadersByTree) {
    const struct {
        const char* name;
        std::vector<std::string> modules;
        std::vector<std::pair<std::string, std::string>> usb;  // vendor, product
        bool readerServed;
        CheckStatus drivers;
        CheckStatus rcS380;
        const char* expectedText;
    } cases[] = {
        {"nothing", {}, {{"072f", "2200"}}, true, CheckStatus::Ok, CheckStatus::Ok, "none loaded"},
        {"pn533 beside a served reader",
         {"pn533", "pn533_usb"},
         {},
         true,
         CheckStatus::Warn,
         CheckStatus::Ok,
         "sudo modprobe -r pn533_usb pn533 nfc; keep them from coming back: printf 'blacklist "
         "pn533_usb\\nblacklist pn533\\n' | sudo tee /etc/modprobe.d/k7x-no-nfc.conf"},
        {"port100 and no served reader",
         {"port100"},
         {},
         false,
         CheckStatus::Fail,
         CheckStatus::Ok,
         "sudo modprobe -r port100 nfc"},
        {"RC-S380 06c1",
         {},
         {{"054c", "06c1"}},
         false,
         CheckStatus::Ok,
         CheckStatus::Fail,
         "Sony RC-S380 on USB at 1-1 (054c:06c1): no PC/SC driver"},
        {"RC-S380 06c3 beside a served reader",
         {},
         {{"054c", "06c3"}},
         true,
         CheckStatus::Ok,
         CheckStatus::Warn,
         "(054c:06c3)"},
        {"RC-S300 is a CCID reader",
         {},
         {{"054c", "0dc8"}, {"054c", "0d8f"}},
         false,
         CheckStatus::Ok,
         CheckStatus::Ok,
         "Sony RC-S380 on USB: none"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(root);
        SetUp();
        for (const std::string& module : c.modules) loadModule(module);
        int port = 1;
        for (const auto& [vendor, product] : c.usb)
            plugUsb("1-" + std::to_string(port++), vendor, product);
        const k7x::CheckLines drivers = k7x::checkKernelDrivers(root.string(), c.readerServed);
        const k7x::CheckLines usb = k7x::checkUsbReaders(root.string(), c.readerServed);
        ASSERT_EQ(drivers.size(), 1u);
        ASSERT_EQ(usb.size(), 1u);
        EXPECT_EQ(drivers[0].status, c.drivers) << drivers[0].text;
        EXPECT_EQ(usb[0].status, c.rcS380) << usb[0].text;
        EXPECT_NE((drivers[0].text + usb[0].text).find(c.expectedText), std::string::npos)
            << drivers[0].text << "\n"
            << usb[0].text;
    }
}

TEST_F(Doctor, NoServiceSaysHowToStartPcscd) {
    standin().failEstablish = true;
    EXPECT_EQ(doctor(), 1);
    EXPECT_TRUE(
        printed("PC/SC service: not reachable (0x8010001D); start pcscd: sudo systemctl start "
                "pcscd.socket pcscd (or run sudo pcscd -f -d in a terminal to watch it) ... FAIL"))
        << out;
    EXPECT_TRUE(
        printed("Stopwatch: not looked for, there is no reader to look on; mend the checks above "
                "first ... FAIL"))
        << out;
    EXPECT_EQ(out.find("Reader \""), std::string::npos) << out;
}

TEST_F(Doctor, SaysWhichReaderIsUsedAndWhyOthersArePassedOver) {
    const std::string sony = "SONY FeliCa RC-S300/P (0123456) 00 00";
    standin().readers = {{"Gemalto PC Twin Reader 00 00", sim::ReaderEmulation::Acs, false},
                         {sony, sim::ReaderEmulation::Sony, false},
                         {sim::kAcsReaderName, sim::ReaderEmulation::Acs, false}};
    standin().cardReader = sony;
    EXPECT_EQ(doctor(), 0) << out;
    EXPECT_TRUE(
        printed("Reader \"Gemalto PC Twin Reader 00 00\": passed over, its name contains neither "
                "\"ACS\" nor \"Sony\"/\"SONY\" ... OK"))
        << out;
    EXPECT_TRUE(printed("Reader \"" + sony +
                        "\": RDCOM32 uses it (the first Sony reader in pcscd's list) ... OK"))
        << out;
    EXPECT_TRUE(printed(
        "Reader \"ACS ACR122U PICC Interface 00 00\": passed over, RDCOM32 uses only the "
        "first served reader, \"" +
        sony + "\"; lay the stopwatch there, or unplug that reader to use this one ... WARN"))
        << out;
    EXPECT_TRUE(printed("Stopwatch on \"" + sony + "\": answered the polling ... OK")) << out;
}

TEST_F(Doctor, OnlyForeignReadersFail) {
    standin().readers = {{"Gemalto PC Twin Reader 00 00", sim::ReaderEmulation::Acs, false}};
    EXPECT_EQ(doctor(), 1);
    EXPECT_NE(out.find("Readers: none that RDCOM32 serves;"), std::string::npos) << out;
    EXPECT_TRUE(printed("A download would not work yet.")) << out;
}

// Everything a support desk asks about the stopwatch, and nothing on it changes.
TEST_F(Doctor, ReportsTheStopwatchWithoutChangingIt) {
    standin().useAcsReader(sim::AcsAnswers::Direct);
    stopwatch = standin().layCard(sim::generateRuns(3, 30));
    stopwatch->downloadedRuns = 26;
    stopwatch->setBatteryRaw(2450);
    const std::vector<uint8_t> newBytes = stopwatch->newRunBytes();
    ASSERT_GT(newBytes.size(), 192u);
    // The stopwatch's clock 5 s behind the PC's.
    const std::time_t then = std::time(nullptr) - 5;
    std::tm local{};
    localtime_r(&then, &local);
    stopwatch->clock = {
        static_cast<uint8_t>(local.tm_sec),     static_cast<uint8_t>(local.tm_min),
        static_cast<uint8_t>(local.tm_hour),    static_cast<uint8_t>(local.tm_mday),
        static_cast<uint8_t>(local.tm_mon + 1), static_cast<uint8_t>(local.tm_year - 100)};
    EXPECT_EQ(doctor(), 0) << out;
    EXPECT_TRUE(printed("PC/SC service: reachable ... OK")) << out;
    EXPECT_TRUE(printed("Stopwatch serial: ab8967452301 ... OK")) << out;
    EXPECT_TRUE(printed("Stopwatch battery: level " +
                        std::to_string(lapdex::batteryLevelFromRaw(2450)) +
                        " of 5 (raw 2450) ... OK"))
        << out;
    const bool fiveOrSix = out.find(", 5 s behind the PC's clock ... OK\n") != std::string::npos ||
                           out.find(", 6 s behind the PC's clock ... OK\n") != std::string::npos;
    EXPECT_TRUE(fiveOrSix) << out;
    EXPECT_TRUE(printed("Runs waiting: 4 new (" + std::to_string(newBytes.size()) + " bytes; " +
                        std::to_string(stopwatch->allRunBytes().size()) +
                        " bytes of runs in all) ... OK"))
        << out;
    EXPECT_TRUE(printed("A download would work.")) << out;
    EXPECT_TRUE(stopwatch->eraseRunParams.empty());
    EXPECT_EQ(stopwatch->newRunBytes(), newBytes);
    EXPECT_EQ(stopwatch->beepCount, 0);
    EXPECT_EQ(standin().openContexts(), 0);
}

TEST_F(Doctor, ClockFarOffAndLowBatteryWarnOnly) {
    stopwatch->setBatteryRaw(0);
    EXPECT_EQ(doctor(), 0) << out;
    EXPECT_NE(out.find("Stopwatch clock: 2024-01-01 12:00:00, "), std::string::npos) << out;
    EXPECT_NE(out.find(" behind the PC's clock; Lapdex sets it at the next download when PCTIME is "
                       "ON ... WARN\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("; replace the battery soon ... WARN\n"), std::string::npos) << out;
}

TEST_F(Doctor, EmptyReaderOrForeignCardFails) {
    standin().card.reset();
    EXPECT_EQ(doctor(), 1);
    EXPECT_TRUE(
        printed("Stopwatch on \"ACS ACR122U PICC Interface 00 00\": none answered the polling; lay "
                "the stopwatch flat on the reader's centre ... FAIL"))
        << out;
    stopwatch = standin().layCard();
    stopwatch->idm[0] = 0x01;
    EXPECT_EQ(doctor(), 1);
    EXPECT_NE(out.find("is not a K7X Stopwatch. ... FAIL"), std::string::npos) << out;
}

}  // namespace
}  // namespace rdcom32::test
