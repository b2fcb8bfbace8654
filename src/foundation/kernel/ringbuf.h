// A byte ring buffer: a fixed-capacity first-in first-out queue of bytes.
//
// The next byte is written at (read index + count) mod capacity. Every operation that
// can fail returns false and changes nothing; multi-byte operations test the room or
// the content first, so they move all of their bytes or none. A buffer serves one
// thread at a time.
#pragma once

struct ringbuf_Buffer {
    unsigned char* data;  // capacity bytes, allocated with the structure
    int readIndex;        // the oldest byte, 0..capacity-1
    int count;            // bytes held, 0..capacity
    int capacity;         // fixed at creation, at least 1
};

// A new, empty buffer of capacity bytes (at least 1); false (and null) otherwise.
bool ringbuf_Create(ringbuf_Buffer** buffer, int capacity);
// Frees the buffer and sets the caller's pointer to null; nothing for null.
void ringbuf_Free(ringbuf_Buffer** buffer);

bool ringbuf_Put(ringbuf_Buffer* buffer, unsigned char byte);
bool ringbuf_PutBytes(ringbuf_Buffer* buffer, const void* bytes, int n);
// The text's bytes without the terminator; a null text stores nothing and succeeds.
bool ringbuf_PutString(ringbuf_Buffer* buffer, const char* text);

bool ringbuf_Get(ringbuf_Buffer* buffer, unsigned char* byte);
// The byte at position p (1 = oldest) without removing it.
bool ringbuf_Peek(const ringbuf_Buffer* buffer, int position, unsigned char* byte);
bool ringbuf_GetBytes(ringbuf_Buffer* buffer, void* bytes, int n);
bool ringbuf_Skip(ringbuf_Buffer* buffer, int n);

int ringbuf_Count(const ringbuf_Buffer* buffer);
bool ringbuf_IsFull(const ringbuf_Buffer* buffer);
