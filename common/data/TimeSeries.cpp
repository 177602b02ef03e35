#include "data/TimeSeries.h"

#include "data/Stream.h"
#include "data/TagStream.h"

#include <algorithm>

namespace {

constexpr int TagImageFormat = 1;
constexpr int PackedFormat = 2;

void Commit(TTagStream &image)
{
  if (!image.Commit())
    throw EStreamError("Stream write error");
}

} // namespace

void TTimeSeries::Clear(int groupTag)
{
  if (groupTag == 0) {
    series.clear();
    return;
  }
  std::erase_if(series, [groupTag](const auto &s) { return s->groupTag == groupTag; });
}

void TTimeSeries::SetCapacity(int c)
{
  for (auto &s : series)
    s->SetCapacity(c);
  defaultCapacity = c;
}

void TTimeSeries::Remove(TTimeSerie *serie)
{
  std::erase_if(series, [serie](const auto &s) { return s.get() == serie; });
}

TTimeSerie *TTimeSeries::Item(int i) const
{
  if (i < 0 || i >= Count())
    return nullptr;
  return series[static_cast<size_t>(i)].get();
}

void TTimeSeries::Add(std::unique_ptr<TTimeSerie> serie)
{
  if (serie)
    series.push_back(std::move(serie));
}

TTimeSerie *TTimeSeries::Find(int quantityId, int objectId) const
{
  for (const auto &s : series)
    if (s->quantityId == quantityId && s->objectId == objectId)
      return s.get();
  return nullptr;
}

TTimeSerie *TTimeSeries::FindByName(int quantityId, int objectType, const std::string &name) const
{
  for (const auto &s : series)
    if (s->quantityId == quantityId && s->objectType == objectType && s->name == name)
      return s.get();
  return nullptr;
}

TTimeSerie *TTimeSeries::Get(int quantityId, const TSeriesObject *object, bool create)
{
  if (!object)
    return nullptr;
  if (TTimeSerie *found = Find(quantityId, object->id))
    return found;
  if (!create)
    return nullptr;
  auto serie = std::make_unique<TTimeSerie>(defaultCapacity);
  serie->quantityId = quantityId;
  serie->objectId = object->id;
  serie->objectType = object->type;
  serie->name = object->name;
  series.push_back(std::move(serie));
  return series.back().get();
}

void TTimeSeries::AddPoint(int quantityId, const TSeriesObject *object, double time, double value)
{
  if (TTimeSerie *serie = Get(quantityId, object, true))
    serie->Add(time, value);
}

void TTimeSeries::Save(TStream *stream) const
{
  if (!stream)
    return;
  const int n = Count();
  const int format = n < PackedFromCount ? TagImageFormat : PackedFormat;
  {
    TTagStream header(stream, TagStreamWrite);
    header.SetGroup(7002);
    header.WriteInt(n);
    header.WriteInt(format);
    Commit(header);
  }
  if (format == TagImageFormat) {
    for (const auto &s : series) {
      TTagStream image(stream, TagStreamWrite);
      s->Save(image);
      Commit(image);
    }
    return;
  }
  size_t total = 0;
  for (const auto &s : series)
    total += static_cast<size_t>(s->PackedSize());
  std::vector<std::uint8_t> buffer(total);
  std::uint8_t *cursor = buffer.data();
  for (const auto &s : series)
    s->Pack(cursor);
  stream->WriteExact(buffer.data(), buffer.size());
}

void TTimeSeries::Load(TStream *stream)
{
  Clear(0);
  if (!stream)
    return;
  int n = 0, format = TagImageFormat;
  {
    TTagStream header(stream, TagStreamRead);
    header.SetGroup(7002);
    n = header.ReadInt(0);
    format = header.ReadInt(TagImageFormat);
  }
  for (int i = 0; i < n; ++i) {
    // A damaged count must not conjure series out of an exhausted stream.
    if (stream->Remaining() < 4)
      break;
    auto serie = std::make_unique<TTimeSerie>(defaultCapacity);
    if (format == TagImageFormat) {
      TTagStream image(stream, TagStreamRead);
      serie->Load(image);
    } else if (format == PackedFormat) {
      serie->Unpack(*stream);
    } else {
      break;
    }
    series.push_back(std::move(serie));
  }
}
