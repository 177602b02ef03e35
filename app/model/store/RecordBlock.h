#pragma once
// A block of fixed-size records as the project file keeps it: the records one
// after another, each Record::Size bytes when written. Older files wrote
// shorter records, so a block is read with the record size it was stored with.
#include <cstddef>
#include <cstdint>
#include <vector>

template <class Record, class EncodeOne>
std::vector<uint8_t> EncodeRecordBlock(const std::vector<Record>& records, EncodeOne encodeOne)
{
  std::vector<uint8_t> block(records.size() * Record::Size);
  for (size_t i = 0; i < records.size(); ++i)
    encodeOne(records[i], block.data() + i * Record::Size);
  return block;
}

// block size / recordSize records; none for a record size that is not positive.
template <class Record, class DecodeOne>
std::vector<Record> DecodeRecordBlock(const std::vector<uint8_t>& block, int32_t recordSize, DecodeOne decodeOne)
{
  std::vector<Record> records;
  if (recordSize <= 0)
    return records;
  const size_t count = block.size() / static_cast<size_t>(recordSize);
  records.reserve(count);
  for (size_t i = 0; i < count; ++i)
    records.push_back(decodeOne(block.data() + i * static_cast<size_t>(recordSize), recordSize));
  return records;
}
