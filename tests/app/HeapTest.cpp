#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <malloc.h>

#include "app/Heap.h"

// Keeps the compiler from dropping the allocations.
static void* volatile g_Block;

// The game's frames allocate and free buffers of this size all the time.
// Left alone, the C library would serve the first one from a mapping and the
// following ones from the heap, whose freed pages stay resident.
TEST(Heap, LargeBlocksComeFromMappingsThatFreeingHandsBack)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator replaces the C library's";
#endif
    SetupHeap();
    const size_t size = 600 * 1024;
    const size_t mappedBefore = mallinfo2().hblkhd;
    for (int i = 0; i < 3; ++i) {
        g_Block = malloc(size);
        ASSERT_NE(g_Block, nullptr);
        memset(g_Block, i, size);
        EXPECT_GE(mallinfo2().hblkhd, mappedBefore + size) << "block " << i << " came from the heap";
        free(g_Block);
        EXPECT_EQ(mallinfo2().hblkhd, mappedBefore) << "block " << i << " was kept after being freed";
    }
}
