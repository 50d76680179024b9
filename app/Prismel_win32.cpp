// The program's entry point: everything happens in the application object.
#include <windows.h>

#include "framework/WinApp.h"

class CPrismelBootstrapApp : public CWinApp {};

static CPrismelBootstrapApp theApp;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int showCommand) {
    return AfxGetApp()->WinMain(instance, commandLine, showCommand);
}
