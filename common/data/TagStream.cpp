#include "data/TagStream.h"

#include <cstring>

#include "data/ByteOrder.h"
#include "data/Cp1251.h"
#include "data/LzhCoder.h"
#include "data/PackedFile.h"
#include "data/StreamPrimitives.h"

namespace {

constexpr int64_t kFontRecordMinimum = 17;

// The record's bytes up to the first NUL, never including its last byte (the
// terminator's place).
std::string TextOfRecord(const std::vector<uint8_t>& data, size_t from)
{
  if (data.size() <= from)
    return {};
  const auto* begin = reinterpret_cast<const char*>(data.data()) + from;
  const size_t limit = data.size() - from - 1;
  const size_t length = strnlen(begin, limit);
  return Cp1251ToUtf8(std::string_view(begin, length));
}

std::vector<uint8_t> TextRecord(const std::string& utf8)
{
  std::string bytes = Utf8ToCp1251(utf8);
  bytes.resize(std::strlen(bytes.c_str()));
  std::vector<uint8_t> data(bytes.begin(), bytes.end());
  data.push_back(0);
  return data;
}

} // namespace

TTagStream::TTagStream(TStream* stream, int32_t mode) : stream_(stream), mode_(mode)
{
  if (mode_ == TagStreamRead)
    ReadImage();
}

TTagStream::~TTagStream()
{
  if (mode_ == TagStreamWrite && !committed_) {
    try {
      WriteImage();
    } catch (...) {
      // A destructor must not throw; Commit is the way to learn of the failure.
    }
  }
  Clear();
}

bool TTagStream::Commit()
{
  if (mode_ != TagStreamWrite || committed_)
    return false;
  committed_ = true;
  try {
    WriteImage();
    return true;
  } catch (const EStreamError&) {
    return false;
  }
}

void TTagStream::SetGroup(int32_t group)
{
  group_ = group;
  autoId_ = 0;
}

int32_t TTagStream::TakeId(int32_t id)
{
  if (id == -1)
    id = autoId_;
  autoId_ = static_cast<int32_t>(static_cast<uint32_t>(id) + 1u);
  return id;
}

void TTagStream::Append(int32_t id, std::vector<uint8_t> data)
{
  records_.push_back(TTagRecord{TakeId(id), group_, std::move(data)});
}

const TTagRecord* TTagStream::FindEntry(int32_t id, int64_t minSize) const
{
  for (const auto& record : records_) {
    if (record.group == group_ && (record.id == id || ~record.id == id) &&
        static_cast<int64_t>(record.data.size()) >= minSize)
      return &record;
  }
  return nullptr;
}

const TTagRecord* TTagStream::Lookup(int32_t id, int64_t minSize)
{
  return FindEntry(TakeId(id), minSize);
}

namespace {
thread_local TExpansionBudget* currentBudget = nullptr;
}

TExpansionBudget::TExpansionBudget(int64_t bytes) : left_(bytes), outer_(currentBudget)
{
  currentBudget = this;
}

TExpansionBudget::~TExpansionBudget()
{
  currentBudget = outer_;
}

bool TExpansionBudget::Charge(int64_t size, int64_t ceiling)
{
  TExpansionBudget* budget = currentBudget;
  if (size > ceiling || (budget && size > budget->left_)) {
    if (budget)
      budget->exceeded_ = true;
    return false;
  }
  if (budget)
    budget->left_ -= size;
  return true;
}

// The size field is checked before anything is expanded: a few kilobytes of
// code can claim a gigabyte.
bool TTagStream::ExpandedBytes(const TTagRecord& record, std::vector<uint8_t>& bytes, int64_t maxSize)
{
  if (record.id >= 0) {
    bytes = record.data;
    return true;
  }
  if (record.data.size() < 4)
    return false;
  const int64_t size = GetInt32LE(record.data.data());
  if (size < 0 || !TExpansionBudget::Charge(size, maxSize))
    return false;
  std::vector<uint8_t> copy = record.data;
  if (LzhUnpackBlock(copy, size) != LzhOk)
    return false;
  bytes.swap(copy);
  return true;
}

// --- writers ---------------------------------------------------------------

void TTagStream::WriteInt(int32_t value, int32_t id)
{
  std::vector<uint8_t> data(4);
  PutInt32LE(data.data(), value);
  Append(id, std::move(data));
}

void TTagStream::WriteLong(int32_t value, int32_t id)
{
  WriteInt(value, id);
}

void TTagStream::WriteDouble(double value, int32_t id)
{
  std::vector<uint8_t> data(8);
  PutDoubleLE(data.data(), value);
  Append(id, std::move(data));
}

void TTagStream::WriteBool(bool value, int32_t id)
{
  Append(id, std::vector<uint8_t>{static_cast<uint8_t>(value ? 1 : 0)});
}

void TTagStream::WriteString(const std::string& text, int32_t id)
{
  Append(id, TextRecord(text));
}

void TTagStream::WriteBuffer(const void* buffer, int32_t n, int32_t id)
{
  const auto* p = static_cast<const uint8_t*>(buffer);
  Append(id, (p && n > 0) ? std::vector<uint8_t>(p, p + n) : std::vector<uint8_t>{});
}

void TTagStream::WriteBlock(const void* data, int32_t size, int32_t id)
{
  WriteBuffer(data, size, id);
}

void TTagStream::WritePackedBlock(const void* data, int32_t size, int32_t id)
{
  const int32_t blockId = TakeId(id);
  if (!data || size < 0)
    size = 0;
  std::vector<uint8_t> image(4);
  PutInt32LE(image.data(), size);
  std::vector<uint8_t> coded;
  LzhEncodeBytes(static_cast<const uint8_t*>(data), static_cast<size_t>(size), coded);
  image.insert(image.end(), coded.begin(), coded.end());
  records_.push_back(TTagRecord{~blockId, group_, std::move(image)});
}

void TTagStream::WriteFont(const TFontRecord& font, int32_t id)
{
  TByteWriter w;
  w.Int32(font.color);
  w.Int32(font.size);
  w.Int32(font.charset);
  w.Int32(font.style);
  const std::vector<uint8_t> name = TextRecord(font.name);
  w.Bytes(name.data(), name.size());
  Append(id, w.Take());
}

bool TTagStream::WritePicture(const TStreamPicture* picture, int32_t id)
{
  TMemoryStream image;
  if (picture)
    picture->SaveToStream(image);
  Append(id, image.TakeBytes());
  return true;
}

void TTagStream::WriteBitmap(const TStreamPicture* bitmap, int32_t id)
{
  WritePicture(bitmap, id);
}

void TTagStream::WriteMetafile(const TStreamPicture* metafile, int32_t id)
{
  WritePicture(metafile, id);
}

void TTagStream::WriteRecordList(const std::vector<std::vector<uint8_t>>& items, int32_t itemSize, int32_t id)
{
  TMemoryStream image;
  StreamWriteRecordList(image, items, itemSize);
  Append(id, image.TakeBytes());
}

void TTagStream::WriteArray(int32_t count, const void* data, int32_t itemSize, int32_t id)
{
  TMemoryStream image;
  StreamWriteArray(image, count, data, itemSize);
  Append(id, image.TakeBytes());
}

void TTagStream::WriteArray(const std::vector<double>& values, int32_t id)
{
  TByteWriter w;
  w.Int32(static_cast<int32_t>(values.size()));
  for (double v : values)
    w.Double(v);
  Append(id, w.Take());
}

void TTagStream::WriteArray(const std::vector<int32_t>& values, int32_t id)
{
  TByteWriter w;
  w.Int32(static_cast<int32_t>(values.size()));
  for (int32_t v : values)
    w.Int32(v);
  Append(id, w.Take());
}

void TTagStream::WriteStrings(const std::vector<std::string>& strings, int32_t id)
{
  TMemoryStream image;
  StreamWriteStrings(image, strings);
  Append(id, image.TakeBytes());
}

// --- readers ---------------------------------------------------------------

int32_t TTagStream::ReadInt(int32_t defaultValue, int32_t id)
{
  const TTagRecord* r = Lookup(id, 4);
  return r ? GetInt32LE(r->data.data()) : defaultValue;
}

int32_t TTagStream::ReadLong(int32_t defaultValue, int32_t id)
{
  return ReadInt(defaultValue, id);
}

double TTagStream::ReadDouble(double defaultValue, int32_t id)
{
  const TTagRecord* r = Lookup(id, 8);
  return r ? GetDoubleLE(r->data.data()) : defaultValue;
}

bool TTagStream::ReadBool(bool defaultValue, int32_t id)
{
  const TTagRecord* r = Lookup(id, 1);
  return r ? r->data[0] != 0 : defaultValue;
}

std::string TTagStream::ReadString(const std::string& defaultValue, int32_t id)
{
  const TTagRecord* r = Lookup(id, 1);
  return r ? TextOfRecord(r->data, 0) : defaultValue;
}

bool TTagStream::Read(int32_t& value, int32_t id)
{
  const TTagRecord* r = Lookup(id, 4);
  if (r)
    value = GetInt32LE(r->data.data());
  return r != nullptr;
}

bool TTagStream::Read(double& value, int32_t id)
{
  const TTagRecord* r = Lookup(id, 8);
  if (r)
    value = GetDoubleLE(r->data.data());
  return r != nullptr;
}

bool TTagStream::Read(bool& value, int32_t id)
{
  const TTagRecord* r = Lookup(id, 1);
  if (r)
    value = r->data[0] != 0;
  return r != nullptr;
}

bool TTagStream::Read(uint8_t& value, int32_t id)
{
  const TTagRecord* r = Lookup(id, 1);
  if (r)
    value = r->data[0];
  return r != nullptr;
}

bool TTagStream::Read(std::string& value, int32_t id)
{
  const TTagRecord* r = Lookup(id, 1);
  if (r)
    value = TextOfRecord(r->data, 0);
  return r != nullptr;
}

bool TTagStream::ReadBuffer(void* buffer, int32_t n, int32_t id)
{
  const TTagRecord* r = Lookup(id, std::max<int32_t>(n, 0));
  if (!r)
    return false;
  if (n > 0)
    std::memcpy(buffer, r->data.data(), static_cast<size_t>(n));
  return true;
}

bool TTagStream::ReadBlock(std::vector<uint8_t>& data, int32_t id, int64_t maxSize)
{
  const TTagRecord* r = Lookup(id, 0);
  return r && ExpandedBytes(*r, data, maxSize);
}

bool TTagStream::ReadRawRecord(std::vector<uint8_t>& data, int32_t id)
{
  const TTagRecord* r = Lookup(id, 0);
  if (r)
    data = r->data;
  return r != nullptr;
}

bool TTagStream::ReadFont(TFontRecord& font, int32_t id)
{
  const TTagRecord* r = Lookup(id, kFontRecordMinimum);
  if (!r)
    return false;
  const uint8_t* p = r->data.data();
  font.color = GetInt32LE(p);
  font.size = GetInt32LE(p + 4);
  font.charset = GetInt32LE(p + 8) & 0xFF;
  font.style = GetInt32LE(p + 12) & (TFontRecord::Bold | TFontRecord::Italic | TFontRecord::Underline |
                                     TFontRecord::StrikeOut);
  font.name = TextOfRecord(r->data, 16);
  return true;
}

int32_t TTagStream::ReadRecordList(std::vector<std::vector<uint8_t>>& items, int32_t itemSize, int32_t id)
{
  const TTagRecord* r = Lookup(id, 0);
  if (!r)
    return 0;
  TMemoryStream image(r->data);
  return StreamReadRecordList(image, items, itemSize);
}

bool TTagStream::ReadArray(int32_t& count, std::vector<uint8_t>& data, int32_t itemSize, int32_t id)
{
  const TTagRecord* r = Lookup(id, 0);
  if (!r)
    return false;
  TMemoryStream image(r->data);
  return StreamReadArray(image, count, data, itemSize);
}

bool TTagStream::ReadArray(std::vector<double>& values, int32_t id)
{
  int32_t count = 0;
  std::vector<uint8_t> bytes;
  if (!ReadArray(count, bytes, 8, id))
    return false;
  std::vector<double> fresh(static_cast<size_t>(std::max(count, 0)));
  for (size_t i = 0; i < fresh.size(); ++i)
    fresh[i] = GetDoubleLE(bytes.data() + 8 * i);
  values.swap(fresh);
  return true;
}

bool TTagStream::ReadArray(std::vector<int32_t>& values, int32_t id)
{
  int32_t count = 0;
  std::vector<uint8_t> bytes;
  if (!ReadArray(count, bytes, 4, id))
    return false;
  std::vector<int32_t> fresh(static_cast<size_t>(std::max(count, 0)));
  for (size_t i = 0; i < fresh.size(); ++i)
    fresh[i] = GetInt32LE(bytes.data() + 4 * i);
  values.swap(fresh);
  return true;
}

bool TTagStream::ReadStrings(std::vector<std::string>& strings, int32_t id)
{
  const TTagRecord* r = Lookup(id, 0);
  if (!r)
    return false;
  TMemoryStream image(r->data);
  return StreamReadStrings(image, strings);
}

// --- child containers ------------------------------------------------------

TTagStream* TTagStream::BeginChild()
{
  child_.reset();
  auto stream = std::make_unique<TMemoryStream>();
  child_ = std::make_unique<TTagStream>(stream.get(), TagStreamWrite);
  child_->ownedStream_ = std::move(stream);
  return child_.get();
}

void TTagStream::EndChild(int32_t id)
{
  const int32_t childId = TakeId(id);
  if (!child_)
    return;
  std::unique_ptr<TTagStream> child = std::move(child_);
  if (child->mode_ != TagStreamWrite || !child->ownedStream_)
    return;
  child->Commit();
  auto* image = static_cast<TMemoryStream*>(child->ownedStream_.get());
  records_.push_back(TTagRecord{childId, group_, image->TakeBytes()});
}

TTagStream* TTagStream::OpenChild(int32_t id)
{
  child_.reset();
  const TTagRecord* r = Lookup(id, 0);
  TMemoryStream image(r ? r->data : std::vector<uint8_t>{});
  child_ = std::make_unique<TTagStream>(&image, TagStreamRead);
  child_->stream_ = nullptr; // parsed: the child keeps records, not the stream
  return child_.get();
}

void TTagStream::CloseChild()
{
  if (child_)
    child_->committed_ = true; // a child begun and not ended is discarded
  child_.reset();
}

// --- raw blocks ------------------------------------------------------------

TMemoryStream* TTagStream::BeginBlock()
{
  block_ = std::make_unique<TMemoryStream>();
  return block_.get();
}

void TTagStream::EndBlock(int32_t id)
{
  const int32_t blockId = TakeId(id);
  if (!block_)
    return;
  records_.push_back(TTagRecord{blockId, group_, block_->TakeBytes()});
  block_.reset();
}

TMemoryStream* TTagStream::OpenBlock(int32_t id, int64_t maxSize)
{
  block_.reset();
  const TTagRecord* r = Lookup(id, 0);
  std::vector<uint8_t> bytes;
  if (!r || !ExpandedBytes(*r, bytes, maxSize))
    return nullptr;
  block_ = std::make_unique<TMemoryStream>(std::move(bytes));
  return block_.get();
}

void TTagStream::CloseBlock()
{
  block_.reset();
}

// --- image -----------------------------------------------------------------

void TTagStream::WriteImage()
{
  if (!stream_)
    return;
  StreamWriteInt(*stream_, static_cast<int32_t>(records_.size()));
  for (const auto& record : records_) {
    uint8_t header[16];
    const auto size = static_cast<int32_t>(record.data.size());
    PutInt32LE(header, record.id);
    PutInt32LE(header + 4, record.group);
    PutInt32LE(header + 8, size);
    PutInt32LE(header + 12, size);
    stream_->WriteExact(header, sizeof header);
    if (size > 0)
      stream_->WriteExact(record.data.data(), record.data.size());
  }
}

void TTagStream::ReadImage()
{
  records_.clear();
  autoId_ = 0;
  if (!stream_ || stream_->Remaining() < 4)
    return;
  const int32_t count = StreamReadInt(*stream_);
  for (int32_t i = 0; i < count; ++i) {
    const int64_t recordStart = stream_->GetPosition();
    if (stream_->Remaining() < 16) {
      stream_->SetPosition(recordStart);
      return;
    }
    uint8_t header[12];
    stream_->ReadExact(header, sizeof header);
    TTagRecord record{GetInt32LE(header), GetInt32LE(header + 4), {}};
    // A record whose data do not fit (or whose length is negative) ends the image:
    // whatever follows would be parsed from the middle of its data.
    if (StreamReadBlock(*stream_, record.data) < 0) {
      stream_->SetPosition(recordStart);
      return;
    }
    records_.push_back(std::move(record));
  }
}

void TTagStream::Clear()
{
  records_.clear();
  if (child_)
    child_->committed_ = true;
  child_.reset();
  block_.reset();
}

void TTagStream::ReleaseStream()
{
  if (ownedStream_ && ownedStream_.get() == stream_)
    ownedStream_.reset();
  stream_ = nullptr;
}
