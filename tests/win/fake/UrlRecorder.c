/* Stands in for the user's browser in the tests: the shell starts it for every web link the
   host opens, and it appends the link to opened-urls.txt beside itself. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(NULL, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH || argc < 2) return 1;
  wchar_t* slash = wcsrchr(path, L'\\');
  if (!slash) return 1;
  wcscpy(slash + 1, L"opened-urls.txt");
  FILE* file = _wfopen(path, L"a");
  if (!file) return 1;
  fwprintf(file, L"%ls\n", argv[1]);
  fclose(file);
  return 0;
}
