#include "framework/WinApp.h"

CWinApp* CWinApp::s_app = nullptr;

CWinApp::CWinApp() {
    s_app = this;
}

CWinApp::~CWinApp() {
    if (s_app == this) {
        s_app = nullptr;
    }
}

bool CWinApp::InitInstance() {
    return false;
}

int CWinApp::ExitInstance() {
    return m_exitCode;
}

int CWinApp::Run() {
    MSG message;
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0 && got != -1) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    m_exitCode = got == 0 ? static_cast<int>(message.wParam) : -1;
    return ExitInstance();
}

int CWinApp::WinMain(HINSTANCE instance, LPWSTR commandLine, int showCommand) {
    m_hInstance = instance;
    m_nCmdShow = showCommand;
    LPCWSTR text = commandLine ? commandLine : L"";
    while (*text == L' ' || *text == L'\t') {
        ++text;
    }
    m_lpCmdLine = text;
    if (!InitInstance()) {
        return ExitInstance();
    }
    return Run();
}
