#include "data/PackedFile.h"

#include <algorithm>
#include <cstring>

#include "data/ByteOrder.h"
#include "data/Stream.h"

namespace {

int SetResult(int* result, int value)
{
  if (result)
    *result = value;
  return value;
}

// Runs a job on files; a file that cannot be opened or written ends it with the
// coder's code for that, and the job's code goes to the caller.
template <typename Job>
bool RunFileJob(int* result, const Job& job)
{
  int rc = LzhOk;
  try {
    rc = job();
  } catch (const EFileOpenError&) {
    rc = LzhOpenFailed;
  } catch (const EStreamError&) {
    rc = LzhWriteFailed;
  }
  return SetResult(result, rc) == LzhOk;
}

// The destination replaces the file only after the coder succeeded.
int Committed(int rc, TSaveFileStream& destination)
{
  if (rc != LzhOk)
    return rc;
  return destination.Commit() ? LzhOk : LzhWriteFailed;
}

} // namespace

int LzhEncodeStream(TStream& source, TStream& destination, const LzhProgressFn& progress)
{
  const int64_t size = source.Remaining();
  if (size > kLzhMaxUnpackedSize)
    return LzhBadSize;
  uint8_t field[4];
  PutInt32LE(field, static_cast<int32_t>(size));
  if (destination.Write(field, 4) != 4)
    return LzhWriteFailed;

  int64_t consumed = 0;
  const int rc = LzhEncode(
      [&](uint8_t* buffer, size_t n) {
        const size_t got = source.Read(buffer, n);
        consumed += static_cast<int64_t>(got);
        return static_cast<int64_t>(got);
      },
      [&](const uint8_t* buffer, size_t n) { return destination.Write(buffer, n); }, progress);
  if (rc != LzhOk)
    return rc;
  // A source that ended early would leave a size field that promises more bytes
  // than were coded.
  return consumed == size ? LzhOk : LzhReadFailed;
}

int LzhDecodeStream(TStream& source, TStream& destination, int64_t maxSize)
{
  const int64_t start = source.GetPosition();
  uint8_t field[4];
  if (source.Read(field, 4) != 4) {
    source.SetPosition(start);
    return LzhBadSize;
  }
  const int64_t size = GetInt32LE(field);
  if (size < 0 || size > maxSize) {
    source.SetPosition(start);
    return LzhBadSize;
  }
  destination.SetPosition(0);
  destination.SetSize(0);
  if (auto* memory = dynamic_cast<TMemoryStream*>(&destination))
    memory->Reserve(static_cast<size_t>(std::min<int64_t>(size, int64_t{64} << 20)));

  TLzhDecoder decoder;
  const int rc = decoder.Decode([&](uint8_t* buffer, size_t n) { return static_cast<int64_t>(source.Read(buffer, n)); },
                                [&](const uint8_t* buffer, size_t n) { return destination.Write(buffer, n); }, size);
  if (rc == LzhOk)
    source.SetPosition(start + 4 + decoder.BytesUsed());
  return rc;
}

int LzhUnpackBlock(std::vector<uint8_t>& block, int64_t maxSize)
{
  if (block.size() < 4)
    return LzhBadSize;
  const int64_t size = GetInt32LE(block.data());
  if (size < 0 || size > maxSize)
    return LzhBadSize;
  std::vector<uint8_t> expanded;
  const int rc = LzhDecodeBytes(block.data() + 4, block.size() - 4, size, expanded);
  if (rc == LzhOk)
    block.swap(expanded);
  return rc;
}

bool LzhPackFile(const std::string& sourcePath, const std::string& destinationPath, const std::string& signature,
                 const LzhProgressFn& progress, int* result)
{
  return RunFileJob(result, [&]() -> int {
    TFileStream source(sourcePath, TFileMode::Read);
    TSaveFileStream destination(destinationPath);
    if (destination.Write(signature.data(), signature.size()) != signature.size())
      return LzhWriteFailed;
    return Committed(LzhEncodeStream(source, destination, progress), destination);
  });
}

bool LzhUnpackFile(const std::string& sourcePath, const std::string& destinationPath, const std::string& signature,
                   int* result)
{
  return RunFileJob(result, [&]() -> int {
    TFileStream source(sourcePath, TFileMode::Read);
    std::string head(signature.size(), '\0');
    if (source.Read(head.data(), head.size()) != head.size() || head != signature)
      return LzhBadSignature;
    TSaveFileStream destination(destinationPath);
    return Committed(LzhDecodeStream(source, destination), destination);
  });
}
