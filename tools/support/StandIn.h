// The SMBus stand-in (MsIo32.dll from smbus-sim/) as tests, benchmarks and tools set it up and read it back: its
// configuration, named to the stand-in by an environment variable, and its journal, one call a line.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace support {

// The environment variable that names the stand-in's configuration file.
inline constexpr wchar_t kStandInConfigVariable[] = L"PRISMEL_SMBUS_CONFIG";

// A configuration line placing an SPD image file at a bus position: "module F S = PATH".
std::string ModuleLine(int first, int second, const std::wstring& image);
// One of the SPD images the build puts in the "spd" folder beside the program in folder.
std::wstring SpdImage(const std::wstring& folder, const std::string& name);

// The stand-in's files in one folder: its configuration (smbus-sim.conf unless named otherwise) and its journal
// (smbus-sim.journal; "NUL" for none), which the configuration names.
class StandInFiles {
public:
    explicit StandInFiles(std::wstring folder, std::wstring configName = L"smbus-sim.conf",
                          std::wstring journalName = L"smbus-sim.journal");

    // Writes the configuration: the lines, then the journal's.
    bool WriteConfig(const std::string& lines) const;
    std::wstring ConfigPath() const { return m_folder + L"\\" + m_configName; }
    std::wstring JournalPath() const { return m_folder + L"\\" + m_journalName; }
    // The environment variable a program is started with to find this configuration.
    std::pair<std::wstring, std::wstring> Variable() const { return {kStandInConfigVariable, ConfigPath()}; }

    std::string JournalText() const;
    std::vector<std::string> Journal() const;

private:
    std::wstring m_folder;
    std::wstring m_configName;
    std::wstring m_journalName;
};

// The stand-in's journal: all of it, and one entry a line.
std::string ReadJournalText(const std::wstring& path);
std::vector<std::string> ReadJournal(const std::wstring& path);
// A journal line without its timestamp and result: "RGBI2CMode(0x01, 0x03, 0x00, 0x00)".
std::string CallOf(const std::string& line);
// The timestamp of a journal line in milliseconds.
double TimeOf(const std::string& line);

} // namespace support
