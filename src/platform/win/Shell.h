#pragma once

#include <windows.h>

// The shell call that opens web links (ShellExecuteW's signature). Tests replace it to see
// the arguments the links are opened with.
namespace oskel::platform::win {

using ShellExecuteProc = HINSTANCE(WINAPI*)(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                                            LPCWSTR directory, INT showCommand);

// Replaces the call; null restores ShellExecuteW.
void SetShellExecute(ShellExecuteProc proc);

}  // namespace oskel::platform::win
