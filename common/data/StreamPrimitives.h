#pragma once
// Typed reads and writes on a stream: int32 little-endian integers, IEEE f64
// doubles, bytes, code-page-1251 strings with a length, record lists, arrays and
// blocks. The fixed-size forms raise EStreamError on a short stream; the composite
// readers first check what remains and never read past the stream's end, never
// allocate more than the stream can hold, and never trust a stored count or size.
#include <cstdint>
#include <string>
#include <vector>

#include "data/Stream.h"

void StreamWriteInt(TStream& stream, int32_t value);
int32_t StreamReadInt(TStream& stream);
void StreamReadInt(TStream& stream, int32_t& value);

void StreamWriteDouble(TStream& stream, double value);
double StreamReadDouble(TStream& stream);
void StreamReadDouble(TStream& stream, double& value);

void StreamWriteByte(TStream& stream, uint8_t value);
void StreamReadByte(TStream& stream, uint8_t& value);

void StreamWriteBuffer(TStream& stream, const void* buffer, size_t n);
void StreamReadBuffer(TStream& stream, void* buffer, size_t n);

// int32 L = byte length + 1, then the code-page-1251 bytes and a NUL. Text passed
// in and returned is UTF-8; it is converted at this boundary.
void StreamWriteString(TStream& stream, const std::string& text);
// Needs 5 remaining bytes, else returns "" reading nothing. A length that does
// not fit gives "" with the stream left after the length field.
std::string StreamReadString(TStream& stream);
void StreamReadString(TStream& stream, std::string& text);

// int32 count, then each item's itemSize bytes (shorter items are padded with 0).
void StreamWriteRecordList(TStream& stream, const std::vector<std::vector<uint8_t>>& items, int32_t itemSize);
// Appends count items only when count >= 1, itemSize >= 1 and count x itemSize
// bytes remain after the count; otherwise appends nothing. Returns the items appended.
int32_t StreamReadRecordList(TStream& stream, std::vector<std::vector<uint8_t>>& items, int32_t itemSize);

// int32 count, then count x itemSize bytes (none when count <= 0).
void StreamWriteArray(TStream& stream, int32_t count, const void* data, int32_t itemSize);
// When the count can be read and its data fit in what remains, stores the count
// and replaces data (empty for count <= 0) and returns true; otherwise both keep
// their values and it returns false.
bool StreamReadArray(TStream& stream, int32_t& count, std::vector<uint8_t>& data, int32_t itemSize);

// int32 count, then the strings as StreamWriteString writes them.
void StreamWriteStrings(TStream& stream, const std::vector<std::string>& strings);
// When the count can be read, clears the list and adds the strings; a list whose
// data end early stops there instead of adding empty strings up to the count.
bool StreamReadStrings(TStream& stream, std::vector<std::string>& strings);

// int32 size (0 for a null pointer), then the bytes.
void StreamWriteBlock(TStream& stream, const void* data, int32_t size);
// Returns the size read: -1 (nothing consumed past the size field, data kept) when
// fewer than 4 bytes remain or the size is negative or larger than what remains;
// otherwise data receives the bytes (empty for 0).
int32_t StreamReadBlock(TStream& stream, std::vector<uint8_t>& data);
