// The C heap's settings for a game that runs for hours.
#ifndef APP_HEAP_H
#define APP_HEAP_H

// The C library serves large blocks from their own mappings at first, but
// each time such a block is freed it raises that threshold, up to 32 MB.
// After the first frames the GL driver's large, short-lived buffers (144 KB
// to 1 MB, many per second) then come from the heap instead, where freed
// pages stay resident and the high-water mark creeps up as the view
// changes. Fixing the threshold keeps them in mappings handed back on free,
// for less than one map and unmap per frame. Call it first in the process.
void SetupHeap();

#endif
