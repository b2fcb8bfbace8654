// The "QVX CSIB" image of a block and the byte primitives that every model's Load
// and Save slot uses over unaligned bytes. The image layout is described in image.cpp.
#pragma once

#include <cstdint>

#include "csib/csib.h"

// The image length for a grid mode; -18 without a size address.
csib_Status csib_GetSize(csib_Block* block, uint8_t gridMode, int32_t* size);
// Writes the image into a buffer of at least csib_GetSize bytes; the two reserved
// areas keep what the buffer held.
csib_Status csib_Write(csib_Block* block, uint8_t* buffer, uint8_t gridMode);
// A new block with every model loaded; on failure nothing is handed out.
csib_Status csib_Read(csib_Block** block, const uint8_t* image);

double csib_GetDouble(const uint8_t* bytes, uint8_t swap);
void csib_PutDouble(uint8_t* bytes, double value);  // host order
uint16_t csib_GetU16(const uint8_t* bytes);          // host order
// Write a string with its terminator and return the bytes written; null writes the
// terminator alone.
int32_t csib_PutString(uint8_t* out, const char* text);
int32_t csib_PutWideString(uint8_t* out, const char16_t* text);
// Bytes of a wide string before its 0x0000 unit.
int32_t csib_WideStringBytes(const uint8_t* text);
// Copies and terminates a wide string, swapping each unit when asked; returns its
// bytes without the terminator.
int32_t csib_GetWideString(char16_t* destination, const uint8_t* source, uint8_t swap);
void csib_Swap16(void* value);
void csib_Swap32(void* value);
void csib_Swap64(void* value);
void csib_Swap80(void* value);
