// The program's entry point and its two program-wide objects, built in this order before the entry point runs:
// the application object (COM, settings), then the language object.
#include <windows.h>

#include "base/MultiLangSupp_win32.h"
#include "app/TessaroHDApp_win32.h"

static CTessaroHDApp theApp;
static CMultiLangSupp theLanguage;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int showCommand) {
    return AfxGetApp()->WinMain(instance, commandLine, showCommand);
}
