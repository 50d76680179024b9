// The SMBus stand-in as the program meets it: MsIo32.dll loaded at run time, its entry points called with the
// library's calling convention, its answers in the low byte, its journal.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/support/Clock.h"
#include "tools/support/Files.h"
#include "tools/support/StandIn.h"

namespace {

// One test's copy of the library with its own configuration; unloaded at the end, so the next test starts fresh.
class StandIn {
public:
    // The journal is journal.txt beside the configuration unless another (absolute) path is given.
    explicit StandIn(const std::string& config, const std::wstring& journal = L"journal.txt")
        : folder_(ProgramFolder() + L"\\scratch-smbus-" + std::to_wstring(GetCurrentProcessId())),
          files_(folder_, L"sim.conf", journal) {
        CreateDirectoryW(folder_.c_str(), nullptr);
        files_.WriteConfig(config);
        SetEnvironmentVariableW(support::kStandInConfigVariable, files_.ConfigPath().c_str());
        library_ = LoadLibraryW((ProgramFolder() + L"\\MsIo32.dll").c_str());
    }
    ~StandIn() {
        if (library_) {
            FreeLibrary(library_);
        }
        SetEnvironmentVariableW(support::kStandInConfigVariable, nullptr);
        DeleteFileW(files_.ConfigPath().c_str());
        DeleteFileW(files_.JournalPath().c_str());
        RemoveDirectoryW(folder_.c_str());
    }
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;

    HMODULE Library() const { return library_; }
    template <class F> F Entry(const char* name) const {
        return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(library_, name)));
    }
    std::vector<std::string> Journal() const { return files_.Journal(); }
    static std::string Image(const char* name) {
        const std::wstring path = support::SpdImage(ProgramFolder(), name);
        return std::string(path.begin(), path.end());
    }

private:
    std::wstring folder_;
    support::StandInFiles files_;
    HMODULE library_ = nullptr;
};

using Init = DWORD(WINAPI*)(DWORD);
using Check = DWORD(WINAPI*)();
using Read = DWORD(WINAPI*)(DWORD, DWORD, DWORD);
using Rgb = DWORD(WINAPI*)(DWORD, DWORD, DWORD, DWORD);
using Effect = DWORD(WINAPI*)(DWORD, DWORD, DWORD, DWORD);

std::string After(const std::string& line) {
    return line.substr(line.find(' ') + 1); // drop the timestamp
}

TEST(SmbusStandIn, ServesModulesAndJournalsEveryCall) {
    StandIn sim("module 0 2 = " + StandIn::Image("gskill-f4-3200c14d-32gtzr.bin") + "\ncheckspd = 4\n");
    ASSERT_NE(sim.Library(), nullptr);
    auto init = sim.Entry<Init>("InitializeSMB");
    auto check = sim.Entry<Check>("CheckSPD");
    auto read = sim.Entry<Read>("ReadSPD");
    auto rgb = sim.Entry<Rgb>("RGBI2CMode");
    auto effect = sim.Entry<Effect>("SetZorvaEffect");
    ASSERT_TRUE(init && check && read && rgb && effect);

    EXPECT_EQ(init(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(sim.Library()))) & 0xFF, 1u);
    EXPECT_EQ(check() & 0xFF, 4u);
    EXPECT_EQ(read(0, 2, 0) & 0xFF, 0x23u) << "a DDR4 SPD starts with 0x23";
    EXPECT_EQ(read(0, 2, 2) & 0xFF, 0x0Cu) << "DDR4 memory type";
    EXPECT_EQ(read(0, 1, 0) & 0xFF, 0xFFu) << "nothing at an empty position";
    EXPECT_NE(read(0, 1, 0) & ~0xFFu, 0u) << "only the low byte carries the answer";
    rgb(0x12, 0, 0xFF, 0x80);
    effect(2, 500, 0, 0xFF3D45FF);

    auto lines = sim.Journal();
    ASSERT_EQ(lines.size(), 7u) << lines[0];
    char handle[16];
    wsprintfA(handle, "0x%08X", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(sim.Library())));
    EXPECT_EQ(After(lines[0]), std::string("InitializeSMB(") + handle + ") -> 0x00005A01");
    EXPECT_EQ(After(lines[1]), "CheckSPD() -> 0x00005A04");
    EXPECT_NE(lines[2].find("ReadSPD(0, 2) first_offset=0 count=00002 last_offset=002"), std::string::npos)
        << "ascending reads at one position are one counted line: " << lines[2];
    EXPECT_NE(lines[3].find("ReadSPD(0, 1) first_offset=0 count=00001"), std::string::npos) << lines[3];
    EXPECT_NE(lines[4].find("ReadSPD(0, 1) first_offset=0 count=00001"), std::string::npos)
        << "re-reading an offset starts a new line";
    EXPECT_EQ(After(lines[5]), "RGBI2CMode(0x12, 0x00, 0xFF, 0x80) -> 0x00005A01");
    EXPECT_EQ(After(lines[6]), "SetZorvaEffect(0x02, 0x01F4, 0x00, 0xFF3D45FF) -> 0x00005A01");
}

TEST(SmbusStandIn, FailsInitialisationOnRequestAndJournalsForbiddenCalls) {
    StandIn sim("initialize = fail\n");
    auto init = sim.Entry<Init>("InitializeSMB");
    auto shutdown = sim.Entry<Check>("ShutdownSMB");
    ASSERT_TRUE(init && shutdown);
    DWORD answer = init(0);
    EXPECT_EQ(answer & 0xFF, 0u);
    EXPECT_NE(answer, 0u) << "the failure is in the low byte only";
    shutdown();
    auto lines = sim.Journal();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[1].find("UNEXPECTED ShutdownSMB"), std::string::npos);
}

TEST(SmbusStandIn, BadConfigurationIsJournalledAndLeavesPositionsEmpty) {
    StandIn sim("module 0 0 = " + StandIn::Image("missing.bin") + "\nmodule 0 1 = " + StandIn::Image("../MsIo32.dll") +
                "\nmodule 3 0 = x.bin\nspeed = fast\n");
    auto read = sim.Entry<Read>("ReadSPD");
    ASSERT_TRUE(read);
    EXPECT_EQ(read(0, 0, 0) & 0xFF, 0xFFu);
    EXPECT_EQ(read(0, 1, 0) & 0xFF, 0xFFu);
    auto lines = sim.Journal();
    ASSERT_GE(lines.size(), 4u);
    std::string all;
    for (const auto& l : lines) {
        all += l + "\n";
    }
    EXPECT_NE(all.find("PROBLEM config line 3"), std::string::npos) << all;
    EXPECT_NE(all.find("out of range"), std::string::npos) << all;
    EXPECT_NE(all.find("unknown key \"speed\""), std::string::npos) << all;
    EXPECT_NE(all.find("missing.bin\": image file cannot be read"), std::string::npos) << all;
    EXPECT_NE(all.find("not 512"), std::string::npos) << all;
}

TEST(SmbusStandIn, DelaysEachTransaction) {
    StandIn sim("module 1 5 = " + StandIn::Image("samsung-m378a2k43eb1-cwe.bin") + "\ndelay_ms = 2\n");
    auto read = sim.Entry<Read>("ReadSPD");
    ASSERT_TRUE(read);
    read(1, 5, 0); // loads the configuration
    const double start = support::NowMs();
    for (DWORD offset = 0; offset < 20; ++offset) {
        read(1, 5, offset);
    }
    double ms = support::NowMs() - start;
    EXPECT_GE(ms, 39.0);
    auto lines = sim.Journal();
    ASSERT_EQ(lines.size(), 2u) << lines[0];
    EXPECT_NE(lines[1].find("count=00020 last_offset=019 bus_ms=00000040.000"), std::string::npos) << lines[1];
}

TEST(SmbusStandIn, AJournalThatCannotBeWrittenNeverHoldsTheCallsUp) {
    std::wstring folder = ProgramFolder() + L"\\scratch-unwritable-" + std::to_wstring(GetCurrentProcessId());
    std::wstring journal = folder + L"\\journal.txt";
    {
        StandIn sim("", journal); // in no folder yet
        auto rgb = sim.Entry<Rgb>("RGBI2CMode");
        ASSERT_TRUE(rgb);
        ULONGLONG start = GetTickCount64();
        for (int call = 0; call < 2000; ++call) {
            ASSERT_EQ(rgb(0x10, 1, 2, 3) & 0xFF, 1u);
        }
        EXPECT_LT(GetTickCount64() - start, 900u) << "2000 calls, none waiting for the disk";
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        Sleep(1100); // the stand-in tries again once a second
        rgb(0x11, 4, 5, 6);
        std::string text = support::ReadJournalText(journal);
        EXPECT_NE(text.find(" CONTINUED part=2 dropped=2000\n"), std::string::npos) << text;
        EXPECT_NE(text.find(" STATE RGBI2CMode(0x10, 0x01, 0x02, 0x03) -> 0x00005A01\n"), std::string::npos) << text;
    }
    DeleteFileW(journal.c_str());
    RemoveDirectoryW(folder.c_str());
}

} // namespace
