#include "shell/Projectfile.h"

#include "shell/ProjectBodyWatch.h"

#include "data/ByteOrder.h"
#include "data/LzhCoder.h"
#include "data/PackedFile.h"
#include "data/TagStream.h"
#include "model/TempFileName.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int32_t MainRecordGroup = TagGroup::MainWindow;

// Reads the int32 length at the source's position and decodes exactly that many
// bytes. The length is checked before anything is decoded, and the output grows
// only with what the coded bits really give, so a short file cannot make the
// reader reserve what its header claims. The watch sees every byte as it comes
// and stops the decoder at the first one that cannot belong to a project.
bool DecodeCapped(TStream& source, TProjectBodyWatch& watch, const LzhWriteFn& write)
{
  uint8_t field[4];
  if (source.Read(field, 4) != 4)
    return false;
  const int64_t size = GetInt32LE(field);
  if (size < 0 || size > kMaxProjectImageSize)
    return false;
  watch.Expect(size);
  TLzhDecoder decoder;
  const int rc = decoder.Decode(
    [&](uint8_t* buffer, size_t n) { return static_cast<int64_t>(source.Read(buffer, n)); },
    [&](const uint8_t* buffer, size_t n) { return watch.Take(buffer, n) ? write(buffer, n) : size_t{0}; }, size);
  return rc == LzhOk;
}

// Decodes the length-prefixed coded data at the source's position into an
// unnamed temporary file: a body of any size costs the same small memory.
TProjectOpenResult DecodeToTemp(TStream& source, TProjectBodyWatch& watch, std::unique_ptr<TStream>& decoded,
                                std::string& reason)
{
  const std::string tempName = MakeTempFileName();
  if (tempName.empty()) {
    reason = "не удалось создать временный файл";
    return TProjectOpenResult::CannotOpen;
  }
  std::unique_ptr<TFileStream> plain;
  bool whole = false;
  try {
    plain = OpenUnnamedTemp(tempName);
    whole = DecodeCapped(source, watch, [&](const uint8_t* buffer, size_t n) { return plain->Write(buffer, n); });
  } catch (const EStreamError& e) {
    reason = e.what();
    return TProjectOpenResult::CannotOpen;
  }
  // A write that failed (a full temporary folder) is the machine's fault, not the file's.
  if (plain->Failed()) {
    reason = std::strerror(plain->Error());
    return TProjectOpenResult::CannotOpen;
  }
  if (!whole)
    return TProjectOpenResult::BadFormat;
  plain->SetPosition(0);
  decoded = std::move(plain);
  return TProjectOpenResult::Ok;
}

bool WriteHeader(TStream& out, const char* signature)
{
  uint8_t version[4];
  PutInt32LE(version, kProjectFileVersion);
  return out.Write(signature, 4) == 4 && out.Write(version, 4) == 4;
}

// Steps over one whole tag-stream image; false when it is not whole.
bool SkipImage(TStream& stream)
{
  if (stream.Remaining() < 4)
    return false;
  uint8_t field[4];
  stream.ReadExact(field, 4);
  const int32_t count = GetInt32LE(field);
  if (count < 0)
    return false;
  for (int32_t i = 0; i < count; ++i) {
    if (stream.Remaining() < 16)
      return false;
    uint8_t header[16];
    stream.ReadExact(header, sizeof header);
    const int32_t length = GetInt32LE(header + 12);
    if (length < 0 || length > stream.Remaining())
      return false;
    stream.SetPosition(stream.GetPosition() + length);
  }
  return true;
}


bool ScanLayout(TStream& body, TProjectBodyLayout& layout)
{
  const int64_t mainStart = body.GetPosition();
  if (!SkipImage(body))
    return false;
  body.SetPosition(mainStart);
  layout.windowCount = ReadImageInt(body, MainRecordGroup, MainRecordWindowCount);

  layout.gisStart = body.GetPosition();
  if (!SkipImage(body))
    return false;
  body.SetPosition(layout.gisStart);
  layout.objectCount = ReadImageInt(body, TagGroup::GisHeader, kGisHeaderObjectCountId);
  if (layout.windowCount < 0 || layout.objectCount < 0)
    return false;
  // Each image takes at least 4 bytes: a hostile count ends at the end of the stream.
  for (int32_t i = 0; i < layout.objectCount; ++i)
    if (!SkipImage(body))
      return false;

  layout.modelStart = body.GetPosition();
  if (!SkipImage(body))
    return false;
  layout.windowsStart = body.GetPosition();
  for (int32_t i = 0; i < layout.windowCount; ++i)
    if (!SkipImage(body))
      return false;
  return body.Remaining() == 0;
}

} // namespace

// Reads one int32 of a whole image that starts at the stream's position.
int32_t ReadImageInt(TStream& stream, int32_t group, int32_t id)
{
  TTagStream image(&stream, TagStreamRead);
  image.SetGroup(group);
  return image.ReadInt(0, id);
}

TOpenedProject::~TOpenedProject()
{
  Reset();
}

void TOpenedProject::Reset()
{
  body.reset();
  failure.clear();
}

TProjectOpenResult OpenProjectFile(const std::string& path, TOpenedProject& opened)
{
  opened.Reset();
  // Whatever failed, no half-opened body is left behind.
  auto fail = [&opened](TProjectOpenResult result, const std::string& reason = {}) {
    opened.Reset();
    opened.failure = reason;
    return result;
  };
  std::unique_ptr<TStream> file;
  try {
    file = std::make_unique<TFileStream>(path, TFileMode::Read);
  } catch (const EStreamError&) {
    return TProjectOpenResult::CannotOpen;
  }
  // The coded rest of the file replaces it, decoded into an unnamed temporary
  // file: nothing is left in the temporary folder, whatever happens to the program.
  std::string reason;
  auto decodeRest = [&](TProjectBodyWatch::TStart start) {
    TProjectBodyWatch watch(start);
    const TProjectOpenResult result = DecodeToTemp(*file, watch, file, reason);
    opened.decoded += watch.Seen();
    return result;
  };

  char head[6] = {};
  if (file->Read(head, sizeof head) == sizeof head && std::memcmp(head, kPackedProjectSignature, 6) == 0) {
    if (const TProjectOpenResult unpacked = decodeRest(TProjectBodyWatch::PlainFile); unpacked != TProjectOpenResult::Ok)
      return fail(unpacked, reason);
  } else {
    file->SetPosition(0);
  }

  char signature[4] = {};
  if (file->Read(signature, 4) != 4 ||
      (std::memcmp(signature, kPlainProjectSignature, 4) != 0 &&
       std::memcmp(signature, kCompressedProjectSignature, 4) != 0)) {
    return fail(TProjectOpenResult::BadFormat);
  }
  uint8_t version[4];
  if (file->Read(version, 4) != 4)
    return fail(TProjectOpenResult::BadFormat);
  if (GetInt32LE(version) != kProjectFileVersion)
    return fail(TProjectOpenResult::BadVersion);
  if (std::memcmp(signature, kCompressedProjectSignature, 4) == 0) {
    if (const TProjectOpenResult unpacked = decodeRest(TProjectBodyWatch::Body); unpacked != TProjectOpenResult::Ok)
      return fail(unpacked, reason);
  }
  opened.body = std::move(file);
  return TProjectOpenResult::Ok;
}

bool ScanProjectBody(TStream& body, TProjectBodyLayout& layout)
{
  const int64_t start = body.GetPosition();
  layout = TProjectBodyLayout{};
  bool whole = false;
  try {
    whole = ScanLayout(body, layout);
  } catch (const EStreamError&) {
    whole = false;
  }
  body.SetPosition(start);
  return whole;
}

bool WriteProjectFile(const std::string& path, int32_t storageMode, const TProjectBodyWriter& writeBody)
{
  try {
    if (storageMode == 0) {
      TSaveFileStream out(path);
      return WriteHeader(out, kPlainProjectSignature) && writeBody(out) && out.Commit();
    }
    if (storageMode == 1) {
      TMemoryStream body;
      if (!writeBody(body))
        return false;
      body.SetPosition(0);
      TSaveFileStream out(path);
      return WriteHeader(out, kCompressedProjectSignature) && LzhEncodeStream(body, out) == LzhOk && out.Commit();
    }
    // The plain image goes to an unnamed temporary file first; packing writes
    // the project under a name of its own and moves it into place when complete.
    const std::string tempName = MakeTempFileName();
    if (tempName.empty())
      return false;
    std::unique_ptr<TFileStream> plain = OpenUnnamedTemp(tempName);
    if (!WriteHeader(*plain, kPlainProjectSignature) || !writeBody(*plain))
      return false;
    plain->SetPosition(0);
    TSaveFileStream out(path);
    const std::string signature = kPackedProjectSignature;
    return out.Write(signature.data(), signature.size()) == signature.size() &&
           LzhEncodeStream(*plain, out) == LzhOk && out.Commit();
  } catch (const std::exception&) {
    return false;
  }
}
