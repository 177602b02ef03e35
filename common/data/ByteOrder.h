#pragma once
// Little-endian field access for persisted records. Stored layouts are written
// field by field through these helpers, never by copying in-memory structs, so
// that padding and the host's integer sizes never reach a file.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

inline void PutInt32LE(uint8_t* at, int32_t value)
{
  const uint32_t u = static_cast<uint32_t>(value);
  at[0] = static_cast<uint8_t>(u);
  at[1] = static_cast<uint8_t>(u >> 8);
  at[2] = static_cast<uint8_t>(u >> 16);
  at[3] = static_cast<uint8_t>(u >> 24);
}

inline int32_t GetInt32LE(const uint8_t* at)
{
  const uint32_t u = static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8) |
                     (static_cast<uint32_t>(at[2]) << 16) | (static_cast<uint32_t>(at[3]) << 24);
  return static_cast<int32_t>(u);
}

inline void PutDoubleLE(uint8_t* at, double value)
{
  uint64_t u;
  std::memcpy(&u, &value, sizeof u);
  for (int i = 0; i < 8; ++i)
    at[i] = static_cast<uint8_t>(u >> (8 * i));
}

inline double GetDoubleLE(const uint8_t* at)
{
  uint64_t u = 0;
  for (int i = 0; i < 8; ++i)
    u |= static_cast<uint64_t>(at[i]) << (8 * i);
  double value;
  std::memcpy(&value, &u, sizeof value);
  return value;
}

// Appends little-endian fields to a byte buffer (a record being laid out).
class TByteWriter {
public:
  void Int32(int32_t value)
  {
    uint8_t b[4];
    PutInt32LE(b, value);
    bytes_.insert(bytes_.end(), b, b + 4);
  }
  void Double(double value)
  {
    uint8_t b[8];
    PutDoubleLE(b, value);
    bytes_.insert(bytes_.end(), b, b + 8);
  }
  void Byte(uint8_t value) { bytes_.push_back(value); }
  void Bytes(const void* data, size_t n)
  {
    const auto* p = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), p, p + n);
  }
  const std::vector<uint8_t>& Result() const { return bytes_; }
  std::vector<uint8_t> Take() { return std::move(bytes_); }

private:
  std::vector<uint8_t> bytes_;
};

// Reads little-endian fields from a byte range; a read past the end yields the
// caller's default and marks the reader as short, so stored records never overrun.
class TByteReader {
public:
  TByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  explicit TByteReader(const std::vector<uint8_t>& bytes) : data_(bytes.data()), size_(bytes.size()) {}

  int32_t Int32(int32_t fallback = 0)
  {
    if (!Has(4))
      return fallback;
    const int32_t v = GetInt32LE(data_ + pos_);
    pos_ += 4;
    return v;
  }
  double Double(double fallback = 0.0)
  {
    if (!Has(8))
      return fallback;
    const double v = GetDoubleLE(data_ + pos_);
    pos_ += 8;
    return v;
  }
  uint8_t Byte(uint8_t fallback = 0)
  {
    if (!Has(1))
      return fallback;
    return data_[pos_++];
  }
  bool Bytes(void* out, size_t n)
  {
    if (!Has(n))
      return false;
    std::memcpy(out, data_ + pos_, n);
    pos_ += n;
    return true;
  }
  size_t Position() const { return pos_; }
  size_t Remaining() const { return size_ - pos_; }
  bool Short() const { return short_; }

private:
  bool Has(size_t n)
  {
    if (size_ - pos_ >= n)
      return true;
    short_ = true;
    return false;
  }
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  bool short_ = false;
};
