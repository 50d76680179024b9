// prismelctl.exe: hands a lighting request to the running Prismel.exe (found by its main window's property) in a
// WM_COPYDATA message, starting "Prismel.exe SysTray" from its own folder when none runs, and prints the answer.
#include <windows.h>

#include <cstdio>
#include <optional>
#include <span>
#include <variant>
#include <string>
#include <vector>

#include "lighting/RunningCopy_win32.h"
#include "base/Utf8.h"
#include "framework/Gdi.h"
#include "framework/ProgramFolder.h"
#include "framework/Utf16.h"
#include "prismelctl/CtlCommand.h"

namespace {

// How long a started program may take to show its window, and how often it is looked for meanwhile.
constexpr DWORD kStartWaitMs = 20000;
constexpr DWORD kStartPollMs = 50;
// How long the running program may take to take a request.
constexpr UINT kAnswerWaitMs = 5000;
constexpr wchar_t kProgramName[] = L"Prismel.exe";
constexpr wchar_t kStartWord[] = L"SysTray";
constexpr int kExitFailed = 1;
constexpr int kExitBadWords = 2;

// Starts Prismel.exe SysTray from this program's folder and waits, bounded, for its window.
HWND StartProgram(std::string& error) {
    const std::wstring program = ProgramFolder() + L"\\" + kProgramName;
    if (GetFileAttributesW(program.c_str()) == INVALID_FILE_ATTRIBUTES) {
        error = "no program to start: there is no " + ToUtf8(Utf16(program));
        return nullptr;
    }
    SHELLEXECUTEINFOW start{};
    start.cbSize = sizeof start;
    start.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    start.lpFile = program.c_str();
    start.lpParameters = kStartWord;
    start.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&start)) {
        error = "no program to start: " + ToUtf8(Utf16(program)) + " did not start";
        return nullptr;
    }
    fw::UniqueHandle process(start.hProcess);
    for (DWORD waited = 0; waited < kStartWaitMs; waited += kStartPollMs) {
        if (HWND window = RunningMainWindow()) {
            // The window is marked before its start-up is over; its first idle moment is when it takes requests.
            if (process) {
                WaitForInputIdle(process.Get(), kStartWaitMs - waited);
            }
            return window;
        }
        if (process && WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0) {
            error = "Prismel.exe ended before its window appeared";
            return nullptr;
        }
        Sleep(kStartPollMs);
    }
    error = "no answer: Prismel.exe showed no window within 20 seconds";
    return nullptr;
}

// A message-only window that takes the program's answer: the status after a lighting request, the profiles'
// answer after a profile request.
struct AnswerWindow {
    std::optional<HandOverStatus> status;
    std::optional<ProfileAnswer> profiles;
    std::optional<DarkAnswer> dark;

    bool Take(const COPYDATASTRUCT& data) {
        const std::span<const std::uint8_t> bytes(static_cast<const std::uint8_t*>(data.lpData), data.cbData);
        if (data.dwData == kHandOverStatusTag) {
            const auto decoded = DecodeStatus(bytes);
            if (const auto* decodedStatus = std::get_if<HandOverStatus>(&decoded)) {
                status = *decodedStatus;
                return true;
            }
        } else if (data.dwData == kProfileAnswerTag) {
            profiles = DecodeProfileAnswer(bytes);
            return profiles.has_value();
        } else if (data.dwData == kDarkAnswerTag) {
            dark = DecodeDarkAnswer(bytes);
            return dark.has_value();
        }
        return false;
    }

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_COPYDATA) {
            auto* self = reinterpret_cast<AnswerWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            return self && data && data->lpData && self->Take(*data) ? TRUE : FALSE;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
};

class MessageOnlyWindow {
public:
    explicit MessageOnlyWindow(AnswerWindow& answer) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = AnswerWindow::Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClassName;
        RegisterClassW(&windowClass);
        m_window = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                                   nullptr);
        if (m_window) {
            SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&answer));
        }
    }
    ~MessageOnlyWindow() {
        if (m_window) {
            DestroyWindow(m_window);
        }
    }
    MessageOnlyWindow(const MessageOnlyWindow&) = delete;
    MessageOnlyWindow& operator=(const MessageOnlyWindow&) = delete;
    HWND Get() const { return m_window; }

private:
    static constexpr wchar_t kClassName[] = L"PrismelCtlAnswer";
    HWND m_window = nullptr;
};

int Fail(const std::string& line) {
    std::fprintf(stderr, "prismelctl: %s\n", line.c_str());
    return kExitFailed;
}

// Hands one record to the running program (started if none runs); the answer is in `answer`, or the line to
// fail with in `error`.
bool HandOver(ULONG_PTR tag, std::span<const std::uint8_t> bytes, AnswerWindow& answer, std::string& error) {
    HWND program = RunningMainWindow();
    if (!program && !(program = StartProgram(error))) {
        return false;
    }
    MessageOnlyWindow answerWindow(answer);
    COPYDATASTRUCT data{tag, static_cast<DWORD>(bytes.size()), const_cast<std::uint8_t*>(bytes.data())};
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(program, WM_COPYDATA, reinterpret_cast<WPARAM>(answerWindow.Get()),
                             reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kAnswerWaitMs, &result)) {
        error = "no answer from the running Prismel.exe";
        return false;
    }
    if (static_cast<std::intptr_t>(result) == kHandOverLibraryNotStarted) {
        error = std::string(kCtlLibraryNotStarted);
        return false;
    }
    if (static_cast<std::intptr_t>(result) != kHandOverTaken) {
        error = "no answer from the running Prismel.exe";
        return false;
    }
    return true;
}

int Send(const CtlCommand& command) {
    std::string error;
    AnswerWindow answer;
    const RequestBytes bytes = EncodeRequest(command.request);
    if (!HandOver(kHandOverRequestTag, bytes, answer, error)) {
        return Fail(error);
    }
    if (!answer.status) {
        return Fail("no answer from the running Prismel.exe");
    }
    std::string line = DescribeStatus(*answer.status, command.json);
    // Whether the modules are dark now, and why.
    AnswerWindow darkness;
    const DarkRecord ask = EncodeDarkRequest({});
    if (command.request.command == HandOverCommand::Status && HandOver(kDarkRequestTag, ask, darkness, error) &&
        darkness.dark) {
        line = WithDarkness(line, darkness.dark->reasons, command.json);
    }
    std::printf("%s\n", line.c_str());
    return 0;
}

int SendDark(const CtlCommand& command) {
    std::string error;
    AnswerWindow answer;
    if (!HandOver(kDarkRequestTag, EncodeDarkRequest(command.dark), answer, error)) {
        return Fail(error);
    }
    if (!answer.dark) {
        return Fail("no answer from the running Prismel.exe");
    }
    std::printf("%s\n", DescribeDarkAnswer(*answer.dark, command.json).c_str());
    return 0;
}

int SendProfile(const CtlCommand& command) {
    std::string error;
    AnswerWindow answer;
    if (!HandOver(kProfileRequestTag, EncodeProfileRequest(command.profile), answer, error)) {
        return Fail(error);
    }
    if (!answer.profiles) {
        return Fail("no answer from the running Prismel.exe");
    }
    const CtlProfileOutput output = DescribeProfileAnswer(command.profile, *answer.profiles, command.json);
    if (!output.refusal.empty()) {
        std::fprintf(stderr, "prismelctl: %s\n", output.refusal.c_str());
        return answer.profiles->result == ProfileResult::NotStored ? kExitFailed : kExitBadWords;
    }
    if (!output.output.empty()) {
        std::printf("%s\n", output.output.c_str());
    }
    // After a load, what is applied now, as the other lighting commands print it.
    if (command.profile.command == ProfileCommand::Load) {
        AnswerWindow status;
        const RequestBytes ask = EncodeRequest({HandOverCommand::Status});
        if (HandOver(kHandOverRequestTag, ask, status, error) && status.status) {
            std::printf("%s\n", DescribeStatus(*status.status, false).c_str());
        }
    }
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        words.push_back(ToUtf8(Utf16(argv[i])));
    }
    const std::vector<std::string_view> views(words.begin(), words.end());
    const CtlParse parse = ParseCtlArgs(views);
    if (!parse.command) {
        std::fprintf(stderr, "prismelctl: %s\n", parse.error.c_str());
        return kExitBadWords;
    }
    switch (parse.command->action) {
    case CtlCommand::Action::Help:
        std::fputs(CtlUsage().c_str(), stdout);
        return 0;
    case CtlCommand::Action::Version:
        std::printf("prismelctl %s\n", PRISMEL_VERSION);
        return 0;
    case CtlCommand::Action::Profile:
        return SendProfile(*parse.command);
    case CtlCommand::Action::Dark:
        return SendDark(*parse.command);
    case CtlCommand::Action::Send:
        break;
    }
    return Send(*parse.command);
}
