// CWinApp: the application object. Exactly one lives as a global object, built before the entry point; the
// entry point hands it the instance and the command line and calls InitInstance. When InitInstance returns
// false the program ends with ExitInstance's code; otherwise Run keeps a message loop until WM_QUIT.
#pragma once

#include <windows.h>

class CWnd;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    static CWinApp* Get() { return s_app; }

    virtual bool InitInstance();
    virtual int ExitInstance();
    virtual int Run();

    // The entry point's work: the command line is the text after the program name with leading blanks removed.
    int WinMain(HINSTANCE instance, LPWSTR commandLine, int showCommand);

    HINSTANCE m_hInstance = nullptr;
    LPCWSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    CWnd* m_pMainWnd = nullptr;

private:
    static CWinApp* s_app;
    int m_exitCode = 0;
};

inline CWinApp* AfxGetApp() {
    return CWinApp::Get();
}
