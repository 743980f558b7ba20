// The SDK allocator. Result-buffer texts and binary chunks, and module objects
// the host creates, are allocated and released through it.
#pragma once

#include <cstddef>

void* odrxAlloc(std::size_t size);
void* odrxRealloc(void* memory, std::size_t newSize, std::size_t oldSize);
void odrxFree(void* memory);
