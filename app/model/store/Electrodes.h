#pragma once
// The electrode list stamped into the electrode layer, and the rows of the
// electrode table (texts of its ten columns) converted to and from records.
#include <array>
#include <string>
#include <vector>

#include "model/store/CellVolume.h"
#include "model/store/ElectrodeRecord.h"

inline constexpr int kElectrodeLayerCode = 10005;
// The plates: electrode 0 on level 0, electrode 1 on the last level.
inline constexpr double kLowerPlateCode = -2;
inline constexpr double kUpperPlateCode = -4;

// Every cell free (-1), the plate levels coded, then each record in list order:
// cells whose point lies inside its cone with spherical caps get its code, later
// records over earlier ones and over the plates. A record whose two ends
// coincide is the sphere of the larger radius around that point.
void StampElectrodes(const TCellVolume& layer, const std::vector<TElectrodeRecord>& records);

// Columns: start x (axis 1), y (axis 3), z = l2 - axis 2, diameter; the same for
// the end; code; colour. l2 = (N2 - 1) * CellSize2.
using TElectrodeRow = std::array<std::string, 10>;
TElectrodeRow ElectrodeToRow(const TElectrodeRecord& record, double l2);
// Numbers read with either separator (0 when not a number); a code that is not
// an integer reads as -2, a colour as 0; opaque cone.
TElectrodeRecord ElectrodeFromRow(const TElectrodeRow& row, double l2);
// The rows the table shows: one per record, or for no records a single blank
// row whose colour cell is "255".
std::vector<TElectrodeRow> ElectrodeTableRows(const std::vector<TElectrodeRecord>& records, double l2);
TElectrodeRow BlankElectrodeRow();
// No records when there is no row or the first cell of the first row is empty.
std::vector<TElectrodeRecord> ElectrodesFromTable(const std::vector<TElectrodeRow>& rows, double l2);
