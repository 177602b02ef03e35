#include "gis/Metafile.h"

#include "data/Stream.h"

void TMetafile::SaveToStream(TStream& stream) const
{
  if (!bytes.empty())
    stream.WriteExact(bytes.data(), bytes.size());
}

void TMetafile::LoadFromStream(TStream& stream)
{
  bytes.assign(static_cast<size_t>(stream.Remaining()), 0);
  if (!bytes.empty())
    stream.ReadExact(bytes.data(), bytes.size());
}
