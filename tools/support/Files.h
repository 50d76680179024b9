// Files for tests, benchmarks and tools: the running program's folder, scratch folders, and whole-file reads and
// writes that share the file with its other readers and writers (as the SMBus stand-in does with its journal).
#pragma once

#include <string>

#include "framework/ProgramFolder.h"

namespace support {

// A fresh, empty folder for one test's or tool's files, under the program folder's "scratch".
std::wstring MakeScratchFolder(const std::wstring& name);

// The whole file; empty when it cannot be opened.
std::string ReadTextFile(const std::wstring& path);
// Replaces the file with text (bytes as they are); true when all of it was written.
bool WriteTextFile(const std::wstring& path, const std::string& text);
// Adds text at the end of the file, making it when there is none.
bool AppendTextFile(const std::wstring& path, const std::string& text);
bool CopyFileTo(const std::wstring& from, const std::wstring& to);

} // namespace support
