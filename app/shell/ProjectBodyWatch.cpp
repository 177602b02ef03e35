#include "shell/ProjectBodyWatch.h"

#include <algorithm>
#include <cstring>

#include "data/ByteOrder.h"
#include "data/Stream.h"
#include "data/TagStream.h"
#include "shell/Projectfile.h"

TProjectBodyWatch::TProjectBodyWatch(TStart start) : headerLeft(start == PlainFile ? 8 : 0) {}

void TProjectBodyWatch::Expect(int64_t total)
{
  announced = total;
}

bool TProjectBodyWatch::Take(const uint8_t* bytes, size_t n)
{
  seen += static_cast<int64_t>(n);
  size_t i = 0;
  while (i < n && !refused) {
    if (!watching && headerLeft == 0)
      break;
    // The bytes of a record past the kept images need no look: step over them.
    if (skip > 0 && headerLeft == 0 && kept.size() >= kKeptImages) {
      const int64_t step = std::min<int64_t>(skip, static_cast<int64_t>(n - i));
      skip -= step;
      position += step;
      i += static_cast<size_t>(step);
      refused = !EndOfRecord();
      continue;
    }
    refused = !TakeByte(bytes[i++]);
  }
  return !refused;
}

bool TProjectBodyWatch::TakeByte(uint8_t byte)
{
  ++position;
  if (headerLeft > 0) {
    header.push_back(byte);
    if (--headerLeft > 0)
      return true;
    // A compressed body inside is watched by its own reader; anything else
    // is no project at all.
    watching = std::memcmp(header.data(), kPlainProjectSignature, 4) == 0;
    return watching || std::memcmp(header.data(), kCompressedProjectSignature, 4) == 0;
  }
  if (!watching) {
    skip = 0;
    return true;
  }
  if (imagesLeft == 0)
    return false; // after the last image a body ends
  if (kept.size() < kKeptImages && imageBytes.size() < kMaxKeptImage)
    imageBytes.push_back(byte);
  else if (kept.size() < kKeptImages)
    return false; // the main record and the GIS header are small
  if (skip > 0) {
    --skip;
    return EndOfRecord();
  }
  field[fieldFill++] = byte;
  if (fieldFill < fieldSize)
    return true;
  fieldFill = 0;
  if (fieldSize == 4) { // the record count of an image
    const int32_t count = GetInt32LE(field);
    if (count < 0 || count > announced - position)
      return false;
    recordsLeft = count;
    fieldSize = 16;
    return recordsLeft > 0 || EndOfImage();
  }
  const int32_t length = GetInt32LE(field + 8);
  if (length < 0 || length > announced - position)
    return false;
  skip = length;
  return EndOfRecord();
}

bool TProjectBodyWatch::EndOfRecord()
{
  if (skip > 0)
    return true;
  return --recordsLeft > 0 || EndOfImage();
}

bool TProjectBodyWatch::EndOfImage()
{
  fieldSize = 4;
  --imagesLeft;
  if (kept.size() >= kKeptImages)
    return true;
  kept.push_back(std::move(imageBytes));
  imageBytes.clear();
  if (kept.size() < kKeptImages)
    return true;
  // The main record names the windows, the GIS header its objects: with the
  // model they are all the images that follow.
  int64_t windows = -1;
  int64_t objects = -1;
  try {
    TMemoryStream mainImage(kept[0]);
    TMemoryStream gisHeader(kept[1]);
    windows = ReadImageInt(mainImage, TagGroup::MainWindow, MainRecordWindowCount);
    objects = ReadImageInt(gisHeader, TagGroup::GisHeader, kGisHeaderObjectCountId);
  } catch (const EStreamError&) {
    return false;
  }
  if (windows < 0 || objects < 0)
    return false;
  imagesLeft = objects + 1 + windows;
  return true;
}
