#include "model/store/InhomogeneityRecord.h"

#include <algorithm>
#include <cstring>

#include "data/ByteOrder.h"
#include "model/store/RecordBlock.h"

void EncodeInhomogeneityRecord(const TInhomogeneityRecord& r, uint8_t out[TInhomogeneityRecord::Size])
{
  std::memset(out, 0, TInhomogeneityRecord::Size);
  for (int a = 0; a < 3; ++a) {
    PutDoubleLE(out + 8 * a, r.lower[a]);
    PutDoubleLE(out + 24 + 8 * a, r.upper[a]);
  }
  PutInt32LE(out + 48, r.shape);
  PutInt32LE(out + 52, r.material);
  PutDoubleLE(out + 56, r.charge);
  std::memcpy(out + 64, r.spare, sizeof r.spare);
  PutInt32LE(out + 136, r.colour);
  PutInt32LE(out + 140, r.transparency);
}

TInhomogeneityRecord DecodeInhomogeneityRecord(const uint8_t* bytes, int32_t recordSize)
{
  TInhomogeneityRecord blank;
  blank.colour = 0;
  uint8_t full[TInhomogeneityRecord::Size];
  EncodeInhomogeneityRecord(blank, full);
  std::memcpy(full, bytes, static_cast<size_t>(std::clamp(recordSize, 0, TInhomogeneityRecord::Size)));
  TInhomogeneityRecord r;
  for (int a = 0; a < 3; ++a) {
    r.lower[a] = GetDoubleLE(full + 8 * a);
    r.upper[a] = GetDoubleLE(full + 24 + 8 * a);
  }
  r.shape = GetInt32LE(full + 48);
  r.material = GetInt32LE(full + 52);
  r.charge = GetDoubleLE(full + 56);
  std::memcpy(r.spare, full + 64, sizeof r.spare);
  r.colour = GetInt32LE(full + 136);
  r.transparency = GetInt32LE(full + 140);
  return r;
}

std::vector<uint8_t> EncodeInhomogeneityRecords(const std::vector<TInhomogeneityRecord>& records)
{
  return EncodeRecordBlock(records, EncodeInhomogeneityRecord);
}

std::vector<TInhomogeneityRecord> DecodeInhomogeneityRecords(const std::vector<uint8_t>& block, int32_t recordSize)
{
  return DecodeRecordBlock<TInhomogeneityRecord>(block, recordSize, DecodeInhomogeneityRecord);
}
