#include "model/breakdown/ModelParams.h"

#include "data/StreamPrimitives.h"

void TModelParams::Add(int id, double value) {
  if (Find(id) < 0)
    items.push_back(TItem{id, value});
}

int TModelParams::Find(int id) const {
  for (int i = 0; i < Count(); ++i)
    if (items[static_cast<size_t>(i)].id == id)
      return i;
  return -1;
}

bool TModelParams::SetValue(int id, double value) {
  const int i = Find(id);
  if (i < 0)
    return false;
  items[static_cast<size_t>(i)].value = value;
  return true;
}

void TModelParams::Write(TStream &stream) const {
  StreamWriteInt(stream, Count());
  for (const auto &item : items) {
    StreamWriteInt(stream, item.id);
    StreamWriteDouble(stream, item.value);
  }
}

void TModelParams::Read(TStream *stream) {
  if (!stream || stream->Remaining() < 4)
    return;
  const int count = StreamReadInt(*stream);
  constexpr int PairSize = 12;
  // A damaged count must not make the reader walk past the block.
  if (count <= 0 || stream->Remaining() / PairSize < count)
    return;
  for (int i = 0; i < count; ++i) {
    const int id = StreamReadInt(*stream);
    const double value = StreamReadDouble(*stream);
    SetValue(id, value);
  }
}
