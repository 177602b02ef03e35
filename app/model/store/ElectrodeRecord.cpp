#include "model/store/ElectrodeRecord.h"

#include <algorithm>
#include <cstring>

#include "data/ByteOrder.h"
#include "model/store/RecordBlock.h"

void EncodeElectrodeRecord(const TElectrodeRecord& r, uint8_t out[TElectrodeRecord::Size])
{
  for (int a = 0; a < 3; ++a) {
    PutDoubleLE(out + 8 * a, r.start[a]);
    PutDoubleLE(out + 24 + 8 * a, r.end[a]);
  }
  PutDoubleLE(out + 48, r.startDiameter);
  PutDoubleLE(out + 56, r.endDiameter);
  PutInt32LE(out + 64, r.code);
  PutInt32LE(out + 68, r.colour);
  PutInt32LE(out + 72, r.transparency);
  PutInt32LE(out + 76, r.shape);
}

TElectrodeRecord DecodeElectrodeRecord(const uint8_t* bytes, int32_t recordSize)
{
  // Fields a short record lacks are zero but for an opaque cone.
  TElectrodeRecord blank;
  blank.code = 0;
  uint8_t full[TElectrodeRecord::Size];
  EncodeElectrodeRecord(blank, full);
  std::memcpy(full, bytes, static_cast<size_t>(std::clamp(recordSize, 0, TElectrodeRecord::Size)));
  TElectrodeRecord r;
  for (int a = 0; a < 3; ++a) {
    r.start[a] = GetDoubleLE(full + 8 * a);
    r.end[a] = GetDoubleLE(full + 24 + 8 * a);
  }
  r.startDiameter = GetDoubleLE(full + 48);
  r.endDiameter = GetDoubleLE(full + 56);
  r.code = GetInt32LE(full + 64);
  r.colour = GetInt32LE(full + 68);
  r.transparency = GetInt32LE(full + 72);
  r.shape = GetInt32LE(full + 76);
  return r;
}

std::vector<uint8_t> EncodeElectrodeRecords(const std::vector<TElectrodeRecord>& records)
{
  return EncodeRecordBlock(records, EncodeElectrodeRecord);
}

std::vector<TElectrodeRecord> DecodeElectrodeRecords(const std::vector<uint8_t>& block, int32_t recordSize)
{
  return DecodeRecordBlock<TElectrodeRecord>(block, recordSize, DecodeElectrodeRecord);
}
