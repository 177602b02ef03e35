#include "data/StreamPrimitives.h"

#include <cstring>

#include "data/ByteOrder.h"
#include "data/Cp1251.h"

void StreamWriteInt(TStream& stream, int32_t value)
{
  uint8_t b[4];
  PutInt32LE(b, value);
  stream.WriteExact(b, 4);
}

int32_t StreamReadInt(TStream& stream)
{
  uint8_t b[4];
  stream.ReadExact(b, 4);
  return GetInt32LE(b);
}

void StreamReadInt(TStream& stream, int32_t& value)
{
  value = StreamReadInt(stream);
}

void StreamWriteDouble(TStream& stream, double value)
{
  uint8_t b[8];
  PutDoubleLE(b, value);
  stream.WriteExact(b, 8);
}

double StreamReadDouble(TStream& stream)
{
  uint8_t b[8];
  stream.ReadExact(b, 8);
  return GetDoubleLE(b);
}

void StreamReadDouble(TStream& stream, double& value)
{
  value = StreamReadDouble(stream);
}

void StreamWriteByte(TStream& stream, uint8_t value)
{
  stream.WriteExact(&value, 1);
}

void StreamReadByte(TStream& stream, uint8_t& value)
{
  stream.ReadExact(&value, 1);
}

void StreamWriteBuffer(TStream& stream, const void* buffer, size_t n)
{
  stream.WriteExact(buffer, n);
}

void StreamReadBuffer(TStream& stream, void* buffer, size_t n)
{
  stream.ReadExact(buffer, n);
}

void StreamWriteString(TStream& stream, const std::string& text)
{
  std::string bytes = Utf8ToCp1251(text);
  bytes.resize(std::strlen(bytes.c_str())); // up to the first NUL
  StreamWriteInt(stream, static_cast<int32_t>(bytes.size() + 1));
  stream.WriteExact(bytes.c_str(), bytes.size() + 1);
}

std::string StreamReadString(TStream& stream)
{
  if (stream.Remaining() < 5)
    return {};
  const int32_t length = StreamReadInt(stream);
  if (length < 1 || length > stream.Remaining())
    return {};
  std::string bytes(static_cast<size_t>(length), '\0');
  if (stream.Read(bytes.data(), bytes.size()) != bytes.size())
    return {};
  bytes.resize(std::strlen(bytes.c_str()));
  return Cp1251ToUtf8(bytes);
}

void StreamReadString(TStream& stream, std::string& text)
{
  text = StreamReadString(stream);
}

void StreamWriteRecordList(TStream& stream, const std::vector<std::vector<uint8_t>>& items, int32_t itemSize)
{
  StreamWriteInt(stream, static_cast<int32_t>(items.size()));
  std::vector<uint8_t> item(static_cast<size_t>(std::max(itemSize, 0)));
  for (const auto& source : items) {
    std::fill(item.begin(), item.end(), 0);
    std::memcpy(item.data(), source.data(), std::min(source.size(), item.size()));
    stream.WriteExact(item.data(), item.size());
  }
}

int32_t StreamReadRecordList(TStream& stream, std::vector<std::vector<uint8_t>>& items, int32_t itemSize)
{
  if (stream.Remaining() < 4)
    return 0;
  const int32_t count = StreamReadInt(stream);
  if (count < 1 || itemSize < 1 || int64_t{count} * itemSize > stream.Remaining())
    return 0;
  items.reserve(items.size() + static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    std::vector<uint8_t> item(static_cast<size_t>(itemSize));
    stream.ReadExact(item.data(), item.size());
    items.push_back(std::move(item));
  }
  return count;
}

void StreamWriteArray(TStream& stream, int32_t count, const void* data, int32_t itemSize)
{
  StreamWriteInt(stream, count);
  if (count > 0 && itemSize > 0)
    stream.WriteExact(data, static_cast<size_t>(int64_t{count} * itemSize));
}

bool StreamReadArray(TStream& stream, int32_t& count, std::vector<uint8_t>& data, int32_t itemSize)
{
  if (stream.Remaining() < 4)
    return false;
  const int64_t start = stream.GetPosition();
  const int32_t stored = StreamReadInt(stream);
  const int64_t bytes = stored > 0 ? int64_t{stored} * std::max(itemSize, 0) : 0;
  if ((stored > 0 && itemSize < 1) || bytes > stream.Remaining()) {
    stream.SetPosition(start);
    return false;
  }
  std::vector<uint8_t> fresh(static_cast<size_t>(bytes));
  if (bytes > 0)
    stream.ReadExact(fresh.data(), fresh.size());
  count = stored;
  data.swap(fresh);
  return true;
}

void StreamWriteStrings(TStream& stream, const std::vector<std::string>& strings)
{
  StreamWriteInt(stream, static_cast<int32_t>(strings.size()));
  for (const auto& s : strings)
    StreamWriteString(stream, s);
}

bool StreamReadStrings(TStream& stream, std::vector<std::string>& strings)
{
  if (stream.Remaining() < 4)
    return false;
  const int32_t count = StreamReadInt(stream);
  strings.clear();
  // Every stored string takes at least 5 bytes; a count beyond the data is a
  // damaged list, not a request for millions of empty strings.
  for (int32_t i = 0; i < count && stream.Remaining() >= 5; ++i)
    strings.push_back(StreamReadString(stream));
  return true;
}

void StreamWriteBlock(TStream& stream, const void* data, int32_t size)
{
  if (!data || size < 0)
    size = 0;
  StreamWriteInt(stream, size);
  if (size > 0)
    stream.WriteExact(data, static_cast<size_t>(size));
}

int32_t StreamReadBlock(TStream& stream, std::vector<uint8_t>& data)
{
  if (stream.Remaining() < 4)
    return -1;
  const int32_t size = StreamReadInt(stream);
  if (size < 0 || size > stream.Remaining())
    return -1;
  std::vector<uint8_t> fresh(static_cast<size_t>(size));
  if (size > 0)
    stream.ReadExact(fresh.data(), fresh.size());
  data.swap(fresh);
  return size;
}
