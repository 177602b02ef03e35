#pragma once
// The 80-byte electrode record as the project file keeps it: a truncated cone
// between a start and an end point (metres from the lattice origin, engine axis
// order 1, 2, 3) with a diameter at each end, its electrode code, colour,
// transparency and shape. Stored field by field, little-endian.
#include <cstdint>
#include <vector>

struct TElectrodeRecord {
  static constexpr int32_t Size = 80;
  static constexpr int32_t Opaque = 0x10000;
  static constexpr int32_t ShapeCone = 2;

  double start[3] = {0, 0, 0};
  double end[3] = {0, 0, 0};
  double startDiameter = 0;
  double endDiameter = 0;
  int32_t code = -2;
  int32_t colour = 0;
  int32_t transparency = Opaque;
  int32_t shape = ShapeCone;

  bool operator==(const TElectrodeRecord&) const = default;
};

void EncodeElectrodeRecord(const TElectrodeRecord& record, uint8_t out[TElectrodeRecord::Size]);
// The stored bytes of one record of recordSize bytes laid over a record whose
// transparency is opaque and shape a cone (older files have shorter records).
TElectrodeRecord DecodeElectrodeRecord(const uint8_t* bytes, int32_t recordSize);

std::vector<uint8_t> EncodeElectrodeRecords(const std::vector<TElectrodeRecord>& records);
// block size / recordSize records; none for a record size that is not positive.
std::vector<TElectrodeRecord> DecodeElectrodeRecords(const std::vector<uint8_t>& block, int32_t recordSize);
