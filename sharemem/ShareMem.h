/* The exports of borlndmm.dll, the shared memory manager: one heap that the
 * program takes as its own at start-up (sharemem_client routes the global
 * operator new/delete here) and from which the strings handed to the check
 * library come.
 *
 *   void* block = GetMem(64);
 *   FreeMem(block);
 *
 * Plain C, the C calling convention, exported by name. */
#ifndef TESSARIN_SHAREMEM_H
#define TESSARIN_SHAREMEM_H

#include <stddef.h>

#if defined(TESSARIN_SHAREMEM_BUILD)
#define SHAREMEM_API __declspec(dllexport)
#else
#define SHAREMEM_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Returns a block of at least size bytes (one byte for 0), aligned for any
 * fundamental type, or null when the heap is exhausted. */
SHAREMEM_API void* GetMem(size_t size);
/* Releases a block of GetMem or ReallocMem; null is ignored. Returns 0 on
 * success, non-zero when the block does not belong to the heap. */
SHAREMEM_API int FreeMem(void* block);
/* Returns the block resized to size bytes, its content kept up to the
 * smaller size; null block acts as GetMem. Null on failure, the block then
 * unchanged. */
SHAREMEM_API void* ReallocMem(void* block, size_t size);
/* Returns the number of blocks currently allocated. */
SHAREMEM_API size_t AllocMemCount(void);

#ifdef __cplusplus
}
#endif

#endif
