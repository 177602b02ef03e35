#pragma once
// A vector picture of a map, kept as its stored bytes (an enhanced metafile
// image) so that it survives loading and saving unchanged.
#include <cstdint>
#include <vector>

#include "data/TagStream.h"

class TMetafile : public TStreamPicture {
public:
  TMetafile() = default;
  explicit TMetafile(std::vector<std::uint8_t> image) : bytes(std::move(image)) {}

  void SaveToStream(TStream& stream) const override;
  void LoadFromStream(TStream& stream) override;
  const std::vector<std::uint8_t>& Bytes() const { return bytes; }

private:
  std::vector<std::uint8_t> bytes;
};
