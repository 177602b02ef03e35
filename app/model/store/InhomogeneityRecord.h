#pragma once
// The 144-byte inhomogeneity record as the project file keeps it: a box or an
// ellipsoid between a lower and an upper corner (metres, engine axis order),
// the index of its material in the engine's table, its induced charge density,
// colour and transparency. Bytes 64 to 135 are not used: written as zeros,
// and kept as they were read.
#include <cstdint>
#include <vector>

struct TInhomogeneityRecord {
  static constexpr int32_t Size = 144;
  static constexpr int32_t Opaque = 0x10000;
  static constexpr int32_t ShapeBox = 0;
  static constexpr int32_t ShapeEllipsoid = 1;

  double lower[3] = {0, 0, 0};
  double upper[3] = {0, 0, 0};
  int32_t shape = ShapeBox;
  int32_t material = 0;
  double charge = 0;
  // Bytes 64 to 135 as stored, so that a record travels unchanged.
  uint8_t spare[72] = {};
  int32_t colour = 255;
  int32_t transparency = Opaque;

  bool operator==(const TInhomogeneityRecord&) const = default;
};

void EncodeInhomogeneityRecord(const TInhomogeneityRecord& record, uint8_t out[TInhomogeneityRecord::Size]);
// Stored bytes of recordSize laid over a zero record that is opaque.
TInhomogeneityRecord DecodeInhomogeneityRecord(const uint8_t* bytes, int32_t recordSize);

std::vector<uint8_t> EncodeInhomogeneityRecords(const std::vector<TInhomogeneityRecord>& records);
std::vector<TInhomogeneityRecord> DecodeInhomogeneityRecords(const std::vector<uint8_t>& block, int32_t recordSize);
