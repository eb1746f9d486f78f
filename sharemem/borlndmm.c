/* borlndmm.dll: the shared memory manager. A private growable Win32 heap,
 * made when the library is attached to the process; every block is counted
 * so that tests can see that the program's allocations arrive here. */
#define TESSARIN_SHAREMEM_BUILD
#include "sharemem/ShareMem.h"

#include <windows.h>

static HANDLE g_heap;
static volatile LONG g_blockCount;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance;
  if (reason == DLL_PROCESS_ATTACH) {
    g_heap = HeapCreate(0, 0, 0);
    return g_heap != NULL; /* the program does not start without its heap */
  }
  if (reason == DLL_PROCESS_DETACH && reserved == NULL && g_heap != NULL) {
    /* Unloaded by FreeLibrary: nobody can hold a block any more. At process
     * exit (reserved non-null) the heap is left to the system, since other
     * modules may still release blocks while they detach. */
    HeapDestroy(g_heap); /* result irrelevant: the library is going away */
    g_heap = NULL;
  }
  return TRUE;
}

void* GetMem(size_t size) {
  void* block = HeapAlloc(g_heap, 0, size ? size : 1);
  if (block) InterlockedIncrement(&g_blockCount);
  return block;
}

int FreeMem(void* block) {
  if (block == NULL) return 0;
  if (!HeapFree(g_heap, 0, block)) return 1;
  InterlockedDecrement(&g_blockCount);
  return 0;
}

void* ReallocMem(void* block, size_t size) {
  if (block == NULL) return GetMem(size);
  return HeapReAlloc(g_heap, 0, block, size ? size : 1);
}

size_t AllocMemCount(void) { return (size_t)g_blockCount; }
