// lockhelper: holds a file open for writing on behalf of a test, so that the
// file exists but cannot be opened with "share read, deny write".
//
//   lockhelper.exe <file> <ready event> <quit event>
//
// Opens the file for writing (sharing reads only), signals the ready event,
// and keeps the file open until the quit event is signalled or a minute has
// passed. Exit code 0 on success, 2 when the file cannot be opened.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return 1;
  HANDLE file = CreateFileW(argv[1], GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 2;
  HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]);
  HANDLE quit = OpenEventW(SYNCHRONIZE, FALSE, argv[3]);
  int rc = 0;
  if (!ready || !quit || !SetEvent(ready)) {
    rc = 3;
  } else {
    WaitForSingleObject(quit, 60000);  // either result ends the hold
  }
  if (ready) CloseHandle(ready);
  if (quit) CloseHandle(quit);
  CloseHandle(file);  // the process ends next; the system closes it anyway
  return rc;
}
