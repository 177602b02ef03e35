#include "data/Quantity.h"

#include "data/ByteOrder.h"
#include "data/TagStream.h"

#include <cmath>

namespace {

constexpr std::int32_t QuantityGroup = 2000;
constexpr std::int32_t TableId = 2;

} // namespace

void TQuantity::SetReperValue(double value, int quantityCode, double position)
{
  for (auto &e : reperValues)
    if (e.code == quantityCode && e.position == position) {
      e.value = value;
      return;
    }
  reperValues.push_back({quantityCode, position, value});
}

bool TQuantity::GetReperValue(int n, int quantityCode, double &value, double &position) const
{
  if (n >= 0)
    for (const auto &e : reperValues)
      if (e.code == quantityCode && n-- == 0) {
        value = e.value;
        position = e.position;
        return true;
      }
  value = position = 0.0;
  return false;
}

int TQuantity::CountReperValues(int quantityCode) const
{
  int n = 0;
  for (const auto &e : reperValues)
    n += e.code == quantityCode;
  return n;
}

void TQuantity::DeleteReperValues(int quantityCode)
{
  std::erase_if(reperValues, [quantityCode](const TReperValue &e) { return e.code == quantityCode; });
}

bool TQuantity::FindReperValue(double &value, int quantityCode, double a, double b) const
{
  const double mid = (a + b) * 0.5;
  value = 0.0;
  bool found = false;
  double nearest = 0.0;
  for (const auto &e : reperValues)
    if (e.code == quantityCode && a <= e.position && e.position < b) {
      double distance = std::fabs(e.position - mid);
      if (!found || distance < nearest) {
        found = true;
        nearest = distance;
        value = e.value;
      }
    }
  if (lookupMode == ReperInside || reperValues.empty())
    return found;

  const TReperValue *below = nullptr;
  const TReperValue *above = nullptr;
  for (const auto &e : reperValues) {
    if (e.code != quantityCode)
      continue;
    if (e.position < mid && (!below || e.position > below->position))
      below = &e;
    if (e.position > mid && (!above || e.position < above->position))
      above = &e;
  }
  switch (lookupMode) {
  case ReperBelow:
  case ReperBelowElseAbove:
    if (below)
      value = below->value;
    else if (lookupMode == ReperBelowElseAbove && above)
      value = above->value;
    else if (lookupMode == ReperBelow)
      return false;
    else
      return found; // neither neighbour: only the interval itself can answer
    return true;
  case ReperAbove:
  case ReperAboveElseBelow:
    if (above)
      value = above->value;
    else if (lookupMode == ReperAboveElseBelow && below)
      value = below->value;
    else if (lookupMode == ReperAbove)
      return false;
    else
      return found;
    return true;
  case ReperInterpolate:
  case ReperInterpolateElseNeighbour:
    if (below && above)
      value = below->value +
              (above->value - below->value) / (above->position - below->position) * (mid - below->position);
    else if (lookupMode == ReperInterpolate)
      return false;
    else if (below)
      value = below->value;
    else if (above)
      value = above->value;
    else
      return found;
    return true;
  default:
    // A mode this program does not know (a damaged file) answers like mode 0.
    return found;
  }
}

void TQuantity::Save(TTagStream &stream) const
{
  stream.SetGroup(QuantityGroup);
  stream.WriteInt(code);
  std::vector<std::vector<std::uint8_t>> items;
  items.reserve(reperValues.size());
  for (const auto &e : reperValues) {
    std::vector<std::uint8_t> item(ReperRecordSize);
    PutInt32LE(item.data(), e.code);
    PutDoubleLE(item.data() + 4, e.position);
    PutDoubleLE(item.data() + 12, e.value);
    items.push_back(std::move(item));
  }
  stream.WriteRecordList(items, ReperRecordSize, TableId);
  stream.WriteInt(lookupMode);
  stream.WriteInt(averagingFlag);
}

void TQuantity::Load(TTagStream &stream)
{
  reperValues.clear();
  stream.SetGroup(QuantityGroup);
  stream.Read(code);
  std::vector<std::vector<std::uint8_t>> items;
  stream.ReadRecordList(items, ReperRecordSize, TableId);
  for (const auto &item : items)
    if (item.size() >= static_cast<size_t>(ReperRecordSize))
      reperValues.push_back(
          {GetInt32LE(item.data()), GetDoubleLE(item.data() + 4), GetDoubleLE(item.data() + 12)});
  stream.Read(lookupMode);
  stream.Read(averagingFlag);
}
