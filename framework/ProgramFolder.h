// Where the running program lives.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// The folder of the running program, without a trailing backslash; empty when its path cannot be read.
std::wstring ProgramFolder();
// The folder part of the path a GetModuleFileNameW-like function gives, read whole whatever its length.
std::wstring FolderOfModulePath(const std::function<DWORD(wchar_t*, DWORD)>& getModuleFileName);
