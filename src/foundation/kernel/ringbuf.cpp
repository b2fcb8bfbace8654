#include "foundation/kernel/ringbuf.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

int Free(const ringbuf_Buffer* buffer) { return buffer->capacity - buffer->count; }

void PutOne(ringbuf_Buffer* buffer, unsigned char byte) {
    // readIndex + count < 2 * capacity, so no int overflow for any valid capacity.
    int at = static_cast<int>((static_cast<long long>(buffer->readIndex) + buffer->count) % buffer->capacity);
    buffer->data[at] = byte;
    ++buffer->count;
}

unsigned char GetOne(ringbuf_Buffer* buffer) {
    unsigned char byte = buffer->data[buffer->readIndex];
    buffer->readIndex = buffer->readIndex + 1 == buffer->capacity ? 0 : buffer->readIndex + 1;
    --buffer->count;
    return byte;
}

}  // namespace

bool ringbuf_Create(ringbuf_Buffer** buffer, int capacity) {
    if (!buffer) return false;
    *buffer = nullptr;
    if (capacity < 1) return false;
    // The structure and its bytes are one block, freed together.
    void* block = std::malloc(sizeof(ringbuf_Buffer) + static_cast<size_t>(capacity));
    if (!block) return false;
    ringbuf_Buffer* made = new (block) ringbuf_Buffer;
    made->data = static_cast<unsigned char*>(block) + sizeof(ringbuf_Buffer);
    made->readIndex = 0;
    made->count = 0;
    made->capacity = capacity;
    *buffer = made;
    return true;
}

void ringbuf_Free(ringbuf_Buffer** buffer) {
    if (!buffer || !*buffer) return;
    std::free(*buffer);
    *buffer = nullptr;
}

bool ringbuf_Put(ringbuf_Buffer* buffer, unsigned char byte) {
    if (!buffer || buffer->count == buffer->capacity) return false;
    PutOne(buffer, byte);
    return true;
}

bool ringbuf_PutBytes(ringbuf_Buffer* buffer, const void* bytes, int n) {
    if (!buffer || n < 0 || Free(buffer) < n) return false;
    if (n > 0 && !bytes) return false;
    const unsigned char* source = static_cast<const unsigned char*>(bytes);
    for (int i = 0; i < n; ++i) PutOne(buffer, source[i]);
    return true;
}

bool ringbuf_PutString(ringbuf_Buffer* buffer, const char* text) {
    if (!buffer) return false;
    size_t n = text ? std::strlen(text) : 0;
    if (static_cast<size_t>(Free(buffer)) < n) return false;
    return ringbuf_PutBytes(buffer, text, static_cast<int>(n));
}

bool ringbuf_Get(ringbuf_Buffer* buffer, unsigned char* byte) {
    if (!buffer || buffer->count == 0) return false;
    unsigned char got = GetOne(buffer);
    if (byte) *byte = got;
    return true;
}

bool ringbuf_Peek(const ringbuf_Buffer* buffer, int position, unsigned char* byte) {
    if (!buffer || position < 1 || buffer->count < position) return false;
    int at = static_cast<int>((static_cast<long long>(buffer->readIndex) + position - 1) % buffer->capacity);
    if (byte) *byte = buffer->data[at];
    return true;
}

bool ringbuf_GetBytes(ringbuf_Buffer* buffer, void* bytes, int n) {
    if (!buffer || n < 0 || buffer->count < n) return false;
    if (n > 0 && !bytes) return false;
    unsigned char* target = static_cast<unsigned char*>(bytes);
    for (int i = 0; i < n; ++i) target[i] = GetOne(buffer);
    return true;
}

bool ringbuf_Skip(ringbuf_Buffer* buffer, int n) {
    if (!buffer || n < 0 || buffer->count < n) return false;
    buffer->count -= n;
    buffer->readIndex = static_cast<int>((static_cast<long long>(buffer->readIndex) + n) % buffer->capacity);
    return true;
}

int ringbuf_Count(const ringbuf_Buffer* buffer) { return buffer ? buffer->count : 0; }

bool ringbuf_IsFull(const ringbuf_Buffer* buffer) { return buffer && buffer->count == buffer->capacity; }
