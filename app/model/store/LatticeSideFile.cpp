#include "model/store/LatticeSideFile.h"

#include <cstdio>
#include <cstdlib>
#include <cerrno>
#include <cstring>
#include <exception>
#include <unistd.h>

#include "data/LzhCoder.h"
#include "data/PackedFile.h"
#include "data/Stream.h"
#include "data/TagStream.h"

namespace {

std::string TryTempIn(const std::string& folder)
{
  std::string pattern = folder;
  if (!pattern.empty() && pattern.back() != '/')
    pattern += '/';
  pattern += "gfmXXXXXX";
  int fd = mkstemp(pattern.data());
  if (fd < 0)
    return {};
  close(fd);
  return pattern;
}

std::string UnpackFailure(int result)
{
  switch (result) {
  case LzhBadSize:
    return "неверный размер упакованных данных";
  case LzhTruncated:
    return "файл обрезан";
  case LzhCorrupt:
    return "упакованные данные повреждены";
  case LzhNoMemory:
    return "недостаточно памяти";
  default:
    return LzhResultText(result);
  }
}


} // namespace

std::string LatticeSideFileName(const std::string& projectBase)
{
  return projectBase + ".hex";
}

std::string MakeGfmTempFile()
{
  const char* env = std::getenv("TMPDIR");
  std::string name = TryTempIn(env && *env ? env : "/tmp");
  if (name.empty())
    name = TryTempIn(".");
  return name;
}

int64_t LatticeStateImageLimit(const THeap& heap)
{
  // 14 double arrays and one int32 array per cell, a tree of at most one node of
  // 144 stored bytes per cell, four per-electrode arrays, and the record headers.
  const int64_t cells = int64_t{heap.N1} * heap.N2 * heap.N3;
  const int64_t electrodes = heap.ElectrodeCount > 0 ? heap.ElectrodeCount : 0;
  return cells * (14 * 8 + 4 + 144) + electrodes * 32 + 65536;
}

TPendingSideFile::~TPendingSideFile() = default;

bool TPendingSideFile::Write(const std::string& sidePath, const THeap& heap, std::string* why,
                             const TTempFileMaker& tempFile)
{
  packed.reset();
  target = sidePath;
  const std::string temp = tempFile ? tempFile() : MakeGfmTempFile();
  if (temp.empty()) {
    if (why)
      *why = "не удалось создать временный файл";
    return false;
  }
  try {
    std::unique_ptr<TFileStream> image = OpenUnnamedTemp(temp);
    {
      TTagStream records(image.get(), TagStreamWrite);
      WriteHeapState(records, heap);
      if (!records.Commit())
        throw EStreamError("запись не удалась");
    }
    image->SetPosition(0);
    auto file = std::make_unique<TSiblingTempFile>(sidePath, TSiblingTempFile::TKind::PairHalf);
    TFileStream out(file->Path(), sidePath, TFileMode::Create);
    const std::string signature = kLatticeSideSignature;
    out.WriteExact(signature.data(), signature.size());
    const int result = LzhEncodeStream(*image, out);
    if (result != LzhOk)
      throw EStreamError(LzhResultText(result));
    if (!out.Close())
      throw EStreamError(LzhResultText(LzhWriteFailed));
    packed = std::move(file);
    return true;
  } catch (const std::exception& e) {
    if (why)
      *why = e.what();
    return false;
  }
}

bool TPendingSideFile::Commit(std::string* why)
{
  if (!packed)
    return false;
  const bool moved = packed->MoveTo(target);
  if (!moved && why)
    *why = std::strerror(errno);
  packed.reset();
  return moved;
}

bool TPendingSideFile::IsPending() const
{
  return packed != nullptr;
}

void TPendingSideFile::Abandon()
{
  if (packed)
    packed->Abandon();
  packed.reset();
}

bool SaveLatticeSideFile(const std::string& sidePath, const THeap& heap, std::string* why,
                         const TTempFileMaker& tempFile)
{
  TPendingSideFile side;
  return side.Write(sidePath, heap, why, tempFile) && side.Commit(why);
}

bool LoadLatticeSideFile(const std::string& sidePath, THeap& heap, const TLatticeStateCheck& check,
                         std::string* why)
{
  auto fail = [&](const std::string& reason) {
    if (why)
      *why = reason;
    return false;
  };
  try {
    TFileStream file(sidePath, TFileMode::Read);
    const std::size_t signatureLength = std::strlen(kLatticeSideSignature);
    std::string signature(signatureLength, '\0');
    if (file.Read(signature.data(), signatureLength) != signatureLength || signature != kLatticeSideSignature)
      return fail("неверная сигнатура файла");
    TMemoryStream image;
    const int result = LzhDecodeStream(file, image, LatticeStateImageLimit(heap));
    if (result != LzhOk)
      return fail(UnpackFailure(result));
    image.SetPosition(0);
    TTagStream records(&image, TagStreamRead);
    return ReadHeapState(records, heap, why, &check);
  } catch (const EFileOpenError&) {
    return fail("файл не найден или недоступен");
  } catch (const std::exception& e) {
    return fail(e.what());
  }
}

bool RecoverLatticeSideFile(const std::string& sidePath, THeap& heap, const TLatticeStateCheck& check)
{
  for (const std::string& half : FindPairHalves(sidePath)) {
    if (!LoadLatticeSideFile(half, heap, check))
      continue;
    // In a folder that refuses the move the half stays, and stays spared.
    std::rename(half.c_str(), sidePath.c_str());
    return true;
  }
  return false;
}
