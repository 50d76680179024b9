#include "tools/support/Driver.h"

#include "framework/Gdi.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace support {
namespace {

// The id of a message box's text: the static control every message box has.
constexpr int kMessageBoxTextId = 0xFFFF;

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// The environment block of this process with the given variables added or replaced.
std::wstring EnvironmentBlock(const std::vector<std::pair<std::wstring, std::wstring>>& changes) {
    std::map<std::wstring, std::wstring> vars;
    auto upper = [](std::wstring s) {
        std::transform(s.begin(), s.end(), s.begin(), [](wchar_t c) { return static_cast<wchar_t>(towupper(c)); });
        return s;
    };
    std::map<std::wstring, std::wstring> names; // upper-case name -> name as written
    if (LPWCH block = GetEnvironmentStringsW()) {
        for (const wchar_t* p = block; *p; p += wcslen(p) + 1) {
            std::wstring entry(p);
            auto eq = entry.find(L'=', 1);
            if (eq == std::wstring::npos) {
                continue;
            }
            names[upper(entry.substr(0, eq))] = entry.substr(0, eq);
            vars[upper(entry.substr(0, eq))] = entry.substr(eq + 1);
        }
        FreeEnvironmentStringsW(block);
    }
    for (const auto& [name, value] : changes) {
        names[upper(name)] = name;
        vars[upper(name)] = value;
    }
    std::wstring out;
    for (const auto& [key, value] : vars) {
        out += names[key] + L"=" + value;
        out.push_back(L'\0');
    }
    out.push_back(L'\0');
    return out;
}

// Pixels where a system icon is opaque, drawn at 32 x 32: drawn once on black and once on white, the pixels
// that come out the same belong to the icon.
struct IconReference {
    UINT style;
    std::vector<std::pair<int, std::uint32_t>> opaque; // pixel index, colour
};

std::vector<IconReference> SystemIconReferences() {
    const std::pair<UINT, LPCWSTR> icons[] = {{MB_ICONHAND, IDI_HAND},
                                              {MB_ICONQUESTION, IDI_QUESTION},
                                              {MB_ICONEXCLAMATION, IDI_EXCLAMATION},
                                              {MB_ICONASTERISK, IDI_ASTERISK}};
    std::vector<IconReference> refs;
    HDC screen = GetDC(nullptr);
    for (auto [style, id] : icons) {
        HICON icon = LoadIconW(nullptr, id);
        std::vector<std::uint32_t> onBlack, onWhite;
        for (COLORREF ground : {RGB(0, 0, 0), RGB(255, 255, 255)}) {
            HDC dc = CreateCompatibleDC(screen);
            HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 32);
            HGDIOBJ old = SelectObject(dc, bitmap);
            HBRUSH brush = CreateSolidBrush(ground);
            RECT all{0, 0, 32, 32};
            FillRect(dc, &all, brush);
            DeleteObject(brush);
            DrawIconEx(dc, 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
            auto& target = ground == 0 ? onBlack : onWhite;
            for (int y = 0; y < 32; ++y) {
                for (int x = 0; x < 32; ++x) {
                    target.push_back(GetPixel(dc, x, y));
                }
            }
            SelectObject(dc, old);
            DeleteObject(bitmap);
            DeleteDC(dc);
        }
        IconReference ref{style, {}};
        for (int i = 0; i < 32 * 32; ++i) {
            if (onBlack[static_cast<std::size_t>(i)] == onWhite[static_cast<std::size_t>(i)]) {
                ref.opaque.emplace_back(i, onBlack[static_cast<std::size_t>(i)]);
            }
        }
        refs.push_back(std::move(ref));
    }
    ReleaseDC(nullptr, screen);
    return refs;
}

// The image's pixels from width * height blue-green-red-unused quadruples.
void CopyBgra(Image& image, const std::uint8_t* bgra) {
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        image.pixels[i] = RGB(bgra[i * 4 + 2], bgra[i * 4 + 1], bgra[i * 4]);
    }
}

int Channel(std::uint32_t c, int shift) {
    return static_cast<int>((c >> shift) & 0xFF);
}

bool Close(std::uint32_t a, std::uint32_t b) {
    return std::abs(Channel(a, 0) - Channel(b, 0)) <= 24 && std::abs(Channel(a, 8) - Channel(b, 8)) <= 24 &&
           std::abs(Channel(a, 16) - Channel(b, 16)) <= 24;
}

// Which system icon a message box shows, judged from the pixels of its icon control.
UINT RecogniseIcon(HWND iconControl) {
    RECT r = WindowRect(iconControl);
    Image shown = CaptureScreenRect(RECT{r.left, r.top, r.left + 32, r.top + 32});
    if (shown.width < 32 || shown.height < 32) {
        return 0;
    }
    UINT best = 0;
    double bestScore = 0.0;
    for (const auto& ref : SystemIconReferences()) {
        if (ref.opaque.empty()) {
            continue;
        }
        std::size_t same = 0;
        for (auto [index, colour] : ref.opaque) {
            if (Close(shown.pixels[static_cast<std::size_t>(index)], colour)) {
                ++same;
            }
        }
        double score = static_cast<double>(same) / static_cast<double>(ref.opaque.size());
        if (score > bestScore) {
            bestScore = score;
            best = ref.style;
        }
    }
    return bestScore > 0.9 ? best : 0;
}

} // namespace

Process::~Process() {
    Kill();
}

Process::Process(Process&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)), m_id(other.m_id) {}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        Kill();
        m_handle = std::exchange(other.m_handle, nullptr);
        m_id = other.m_id;
    }
    return *this;
}

std::optional<Process> Process::Start(const LaunchOptions& options) {
    return Start(options, L"", L"");
}

std::optional<Process> Process::Start(const LaunchOptions& options, const std::wstring& outputFile,
                                      const std::wstring& errorFile) {
    std::wstring commandLine = L"\"" + options.program + L"\"";
    if (!options.arguments.empty()) {
        commandLine += L" " + options.arguments;
    }
    std::wstring environment = EnvironmentBlock(options.environment);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const bool redirect = !outputFile.empty() && !errorFile.empty();
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    auto create = [&](const std::wstring& path) {
        return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    HANDLE output = redirect ? create(outputFile) : INVALID_HANDLE_VALUE;
    HANDLE error = redirect ? create(errorFile) : INVALID_HANDLE_VALUE;
    if (redirect) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = output;
        startup.hStdError = error;
    }
    const BOOL started =
        CreateProcessW(options.program.c_str(), commandLine.data(), nullptr, nullptr, redirect ? TRUE : FALSE,
                       CREATE_UNICODE_ENVIRONMENT, environment.data(),
                       options.workingFolder.empty() ? nullptr : options.workingFolder.c_str(), &startup, &info);
    for (HANDLE file : {output, error}) {
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
        }
    }
    if (!started) {
        return std::nullopt;
    }
    // Every started program belongs to a job that ends with this test process, however it ends.
    static HANDLE job = [] {
        HANDLE created = CreateJobObjectW(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limits, sizeof limits);
        return created;
    }();
    if (job) {
        AssignProcessToJobObject(job, info.hProcess);
    }
    CloseHandle(info.hThread);
    Process process;
    process.m_handle = info.hProcess;
    process.m_id = info.dwProcessId;
    return process;
}

std::optional<ConsoleRun> RunConsoleProgram(const LaunchOptions& options, const std::wstring& outputFile,
                                            const std::wstring& errorFile, DWORD timeoutMs) {
    std::optional<Process> process = Process::Start(options, outputFile, errorFile);
    if (!process) {
        return std::nullopt;
    }
    std::optional<DWORD> code = process->WaitForExit(timeoutMs);
    if (!code) {
        return std::nullopt;
    }
    return ConsoleRun{*code, ReadTextFile(outputFile), ReadTextFile(errorFile)};
}

bool Process::Running() const {
    return m_handle && WaitForSingleObject(m_handle, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Process::WaitForExit(DWORD timeoutMs) const {
    if (!m_handle || WaitForSingleObject(m_handle, timeoutMs) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(m_handle, &code);
    return code;
}

void Process::Kill() {
    if (!m_handle) {
        return;
    }
    if (WaitForSingleObject(m_handle, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_handle, 99);
        WaitForSingleObject(m_handle, 5000);
    }
    CloseHandle(m_handle);
    m_handle = nullptr;
}

namespace {

struct WindowSearch {
    DWORD pid;
    const wchar_t* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->pid && (!search->className || ClassOf(window) == search->className)) {
        search->found.push_back(window);
    }
    return TRUE;
}

} // namespace

std::vector<HWND> TopLevelWindows(DWORD processId, const wchar_t* className) {
    WindowSearch search{processId, className, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindow(DWORD processId, const wchar_t* className, bool (*pick)(HWND), DWORD timeoutMs) {
    HWND result = nullptr;
    WaitFor(
        [&] {
            for (HWND window : TopLevelWindows(processId, className)) {
                if (!pick || pick(window)) {
                    result = window;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return result;
}

HWND WaitForWindow(DWORD processId, const wchar_t* className, DWORD timeoutMs) {
    return WaitForWindow(processId, className, nullptr, timeoutMs);
}

bool IsMessageBox(HWND window) {
    // A message box is a dialog with that static control.
    HWND text = GetDlgItem(window, kMessageBoxTextId);
    return ClassOf(window) == kDialogClass && text && ClassOf(text) == L"Static";
}

std::optional<MessageBoxInfo> WaitForMessageBox(DWORD processId, DWORD timeoutMs) {
    HWND box = WaitForWindow(
        processId, kDialogClass, [](HWND w) { return IsMessageBox(w) && IsWindowVisible(w) != 0; }, timeoutMs);
    if (!box) {
        return std::nullopt;
    }
    // Let it finish painting before its icon is looked at.
    Sleep(300);
    MessageBoxInfo info;
    info.window = box;
    info.text = GetText(GetDlgItem(box, kMessageBoxTextId));
    info.caption = GetText(box);
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) {
            continue;
        }
        std::wstring cls = ClassOf(child);
        LONG style = GetWindowLongW(child, GWL_STYLE);
        if (cls == L"Button") {
            info.buttons.push_back(GetDlgCtrlID(child));
        } else if (cls == L"Static" && (style & SS_TYPEMASK) == SS_ICON) {
            info.icon = RecogniseIcon(child);
        }
    }
    std::sort(info.buttons.begin(), info.buttons.end());
    return info;
}

void DismissMessageBox(const MessageBoxInfo& box, int button) {
    PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

void Click(HWND control) {
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    PostMessageW(control, WM_LBUTTONUP, 0, 0);
}

void PostTrayEvent(HWND window, UINT trayMessage, UINT iconId, UINT mouseMessage) {
    PostMessageW(window, trayMessage, iconId, static_cast<LPARAM>(mouseMessage));
}

std::wstring GetText(HWND window) {
    wchar_t buffer[1024] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000,
                             &copied)) {
        return {};
    }
    return std::wstring(buffer, std::min<std::size_t>(copied, 1023));
}

bool IsVisible(HWND window) {
    return IsWindowVisible(window) != FALSE;
}

RECT WindowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

void ClickScreenPoint(POINT point) {
    SetCursorPos(point.x, point.y);
    INPUT inputs[2]{};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &inputs[0], sizeof(INPUT));
    Sleep(60);
    SendInput(1, &inputs[1], sizeof(INPUT));
}

LRESULT SendMessageWithRect(HWND window, UINT message, WPARAM wParam, const RECT& rect) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) {
        return 0;
    }
    void* remote = VirtualAllocEx(process, nullptr, sizeof rect, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    LRESULT result = 0;
    if (remote && WriteProcessMemory(process, remote, &rect, sizeof rect, nullptr)) {
        result = SendMessageW(window, message, wParam, reinterpret_cast<LPARAM>(remote));
    }
    if (remote) {
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return result;
}

void BecomePerMonitorDpiAware() {
    using SetContext = BOOL(WINAPI*)(HANDLE);
    HMODULE user = GetModuleHandleW(L"user32.dll");
    auto set =
        reinterpret_cast<SetContext>(reinterpret_cast<void*>(GetProcAddress(user, "SetProcessDpiAwarenessContext")));
    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2, and the first form where the second is unknown.
    if (!set || (!set(reinterpret_cast<HANDLE>(-4)) && !set(reinterpret_cast<HANDLE>(-3)))) {
        SetProcessDPIAware();
    }
}

Image CaptureWindow(HWND window) {
    return CaptureScreenRect(WindowRect(window));
}

Image CaptureScreenRect(const RECT& rect) {
    Image image;
    image.width = std::max(0, static_cast<int>(rect.right - rect.left));
    image.height = std::max(0, static_cast<int>(rect.bottom - rect.top));
    if (image.width == 0 || image.height == 0) {
        return image;
    }
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = fw::TopDownBgra(image.width, image.height);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, section);
    BitBlt(memory, 0, 0, image.width, image.height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    CopyBgra(image, static_cast<const std::uint8_t*>(bits));
    SelectObject(memory, old);
    DeleteObject(section);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}

Image LoadBitmapImage(const std::wstring& module, int id) {
    Image image;
    HMODULE loaded = LoadLibraryExW(module.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!loaded) {
        return image;
    }
    HBITMAP bitmap =
        static_cast<HBITMAP>(LoadImageW(loaded, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (bitmap) {
        BITMAP info{};
        GetObjectW(bitmap, sizeof info, &info);
        image.width = info.bmWidth;
        image.height = info.bmHeight;
        BITMAPINFO header = fw::TopDownBgra(info.bmWidth, info.bmHeight);
        std::vector<std::uint8_t> bgra(static_cast<std::size_t>(info.bmWidth) * info.bmHeight * 4);
        HDC screen = GetDC(nullptr);
        GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight), bgra.data(), &header, DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
        CopyBgra(image, bgra.data());
        DeleteObject(bitmap);
    }
    FreeLibrary(loaded);
    return image;
}

bool Image::SaveBmp(const std::wstring& path) const {
    int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(stride * height);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;
    std::string data(reinterpret_cast<const char*>(&file), sizeof file);
    data.append(reinterpret_cast<const char*>(&header), sizeof header);
    std::string row(static_cast<std::size_t>(stride), '\0');
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            std::uint32_t c = At(x, y);
            row[static_cast<std::size_t>(x) * 3] = static_cast<char>((c >> 16) & 0xFF);
            row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<char>((c >> 8) & 0xFF);
            row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<char>(c & 0xFF);
        }
        data += row;
    }
    return WriteTextFile(path, data);
}

} // namespace support
