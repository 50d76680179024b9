#include "tools/support/StandIn.h"

#include "tools/support/Files.h"

namespace support {

std::string ModuleLine(int first, int second, const std::wstring& image) {
    return "module " + std::to_string(first) + " " + std::to_string(second) + " = " +
           std::string(image.begin(), image.end()) + "\n";
}

std::wstring SpdImage(const std::wstring& folder, const std::string& name) {
    return folder + L"\\spd\\" + std::wstring(name.begin(), name.end());
}

StandInFiles::StandInFiles(std::wstring folder, std::wstring configName, std::wstring journalName)
    : m_folder(std::move(folder)), m_configName(std::move(configName)), m_journalName(std::move(journalName)) {}

bool StandInFiles::WriteConfig(const std::string& lines) const {
    return WriteTextFile(ConfigPath(),
                         lines + "journal = " + std::string(m_journalName.begin(), m_journalName.end()) + "\n");
}

std::string StandInFiles::JournalText() const {
    return ReadJournalText(JournalPath());
}

std::vector<std::string> StandInFiles::Journal() const {
    return ReadJournal(JournalPath());
}

std::string ReadJournalText(const std::wstring& path) {
    return ReadTextFile(path);
}

std::vector<std::string> ReadJournal(const std::wstring& path) {
    std::vector<std::string> lines;
    std::string text = ReadJournalText(path);
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string CallOf(const std::string& line) {
    auto space = line.find(' ');
    auto arrow = line.rfind(" -> ");
    if (space == std::string::npos || arrow == std::string::npos || arrow < space) {
        return line;
    }
    return line.substr(space + 1, arrow - space - 1);
}

double TimeOf(const std::string& line) {
    return std::stod(line.substr(0, line.find(' ')));
}

} // namespace support
