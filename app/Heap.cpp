#include "app/Heap.h"

#include <malloc.h>

// The C library's own starting value; setting it explicitly is what stops
// the threshold from moving.
static const int LARGE_BLOCK_BYTES = 128 * 1024;

void SetupHeap()
{
    mallopt(M_MMAP_THRESHOLD, LARGE_BLOCK_BYTES);
}
