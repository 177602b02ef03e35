// libFuzzer target for the byte-level readers: the LZH decoder (packed images),
// the tag-image parser with every typed reader, and the coder's round trip.
// Built by the fuzz build (tests/fuzz/CMakeLists.txt); run by scripts/fuzz.sh.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "data/ByteOrder.h"
#include "data/LzhCoder.h"
#include "data/PackedFile.h"
#include "data/TagStream.h"

namespace {

// What one input may expand to and how much of it is read: the faults these
// readers can have show on small inputs, and small inputs keep thousands of
// runs a second instead of dozens (a bomb expanding to a megabyte under the
// sanitizers costs tens of milliseconds per run).
constexpr int64_t kFuzzMaxUnpacked = 1 << 16;
constexpr size_t kFuzzMaxInput = 1 << 14;

void FuzzDecode(const uint8_t* data, size_t size)
{
  TMemoryStream source(std::vector<uint8_t>(data, data + size));
  TMemoryStream dest;
  const int rc = LzhDecodeStream(source, dest, kFuzzMaxUnpacked);
  if (rc == LzhOk && size >= 4 && dest.GetSize() != GetInt32LE(data))
    std::abort(); // success must mean exactly N bytes
}

void FuzzTagImage(const uint8_t* data, size_t size)
{
  TMemoryStream source(std::vector<uint8_t>(data, data + size));
  TTagStream tags(&source, TagStreamRead);
  if (source.GetPosition() > static_cast<int64_t>(size))
    std::abort();
  for (const auto& record : tags.Records()) {
    tags.SetGroup(record.group);
    const int32_t id = record.id < 0 ? ~record.id : record.id;
    tags.ReadInt(0, id);
    tags.ReadDouble(0, id);
    tags.ReadString("", id);
    TFontRecord font;
    tags.ReadFont(font, id);
    std::vector<std::vector<uint8_t>> items;
    tags.ReadRecordList(items, 1 + static_cast<int32_t>(record.data.size() % 13), id);
    int32_t count = 0;
    std::vector<uint8_t> bytes;
    tags.ReadArray(count, bytes, 8, id);
    std::vector<std::string> strings;
    tags.ReadStrings(strings, id);
    tags.OpenChild(id);
    if (record.id >= 0 || (record.data.size() >= 4 && GetInt32LE(record.data.data()) <= kFuzzMaxUnpacked)) {
      tags.ReadBlock(bytes, id);
      tags.OpenBlock(id);
    }
  }
}

void FuzzRoundTrip(const uint8_t* data, size_t size)
{
  std::vector<uint8_t> coded;
  if (LzhEncodeBytes(data, size, coded) != LzhOk)
    std::abort();
  std::vector<uint8_t> out;
  if (LzhDecodeBytes(coded.data(), coded.size(), static_cast<int64_t>(size), out) != LzhOk)
    std::abort();
  if (out != std::vector<uint8_t>(data, data + size))
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size == 0)
    return 0;
  const uint8_t* body = data + 1;
  const size_t bodySize = std::min(size, kFuzzMaxInput) - 1;
  switch (data[0] % 3) {
  case 0: FuzzDecode(body, bodySize); break;
  case 1: FuzzTagImage(body, bodySize); break;
  default: FuzzRoundTrip(body, bodySize); break;
  }
  return 0;
}
