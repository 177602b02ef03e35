#pragma once
// TTagStream: the keyed record container in which every persistent object stores
// itself. A writer addresses each value by (record group, id); a reader looks it
// up by the same pair and keeps its default when the value is missing or too
// short, which is what lets older and newer images be read by one program.
//
// Image: int32 record count, then per record int32 id, int32 group, int32 size,
// int32 data length (the size, or 0 when there are no data), the data bytes; all
// little-endian. A stored id < 0 is the complement of the id of an LZH-packed block.
//
// Ids are passed last; -1 stands for the next automatic id of the group. Every
// write and lookup advances the automatic id (an explicit id sets it first), and
// SetGroup restarts it at 0, so a reader that repeats its writer's calls finds
// ids 0, 1, 2, ... again.
//
// Text passed in and returned is UTF-8; records hold code-page-1251 bytes.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data/Stream.h"

enum TagStreamMode : int32_t {
  TagStreamRead = -2,
  TagStreamWrite = -3,
};

// Record groups (TagGroup) of the blocks that persistent objects write.
namespace TagGroup {
inline constexpr int32_t Point = 100;
inline constexpr int32_t Array = 402;
inline constexpr int32_t Array3D = 403;
inline constexpr int32_t TriangulatedArray = 406;
inline constexpr int32_t MapPicture = 411;
inline constexpr int32_t MainWindow = 1000;
inline constexpr int32_t ViewWindow = 1100;
inline constexpr int32_t View3D = 1104;
inline constexpr int32_t SectionView = 1105;
inline constexpr int32_t ChartWindow = 1108;
inline constexpr int32_t TimePlot = 1109;
inline constexpr int32_t ArrayProfilePlot = 1110;
inline constexpr int32_t Array3DProfilePlot = 1111;
inline constexpr int32_t Array3DCellInfo = 1112;
inline constexpr int32_t GisView = 1114;
inline constexpr int32_t GisHeader = 1201;
inline constexpr int32_t TreeView = 1204;
inline constexpr int32_t DimensionPlot = 1210;
inline constexpr int32_t ModelWindow = 1300;
inline constexpr int32_t TreePlot = 1309;
inline constexpr int32_t BreakdownModel = 1321;
inline constexpr int32_t Quantity = 2000;
inline constexpr int32_t MapObject = 2001;
inline constexpr int32_t ModelInfo = 2204;
inline constexpr int32_t TreeInfo = 2205;
inline constexpr int32_t TimeSerie = 7001;
inline constexpr int32_t TimeSeries = 7002;
} // namespace TagGroup

// A font as stored: the class library's colour value, size in points, character
// set, style bits and face name (UTF-8 here).
struct TFontRecord {
  static constexpr int32_t Bold = 1;
  static constexpr int32_t Italic = 2;
  static constexpr int32_t Underline = 4;
  static constexpr int32_t StrikeOut = 8;

  int32_t color = static_cast<int32_t>(0x80000008); // the window text colour
  int32_t size = 8;
  int32_t charset = 1; // default character set
  int32_t style = 0;
  std::string name = "MS Sans Serif";

  bool operator==(const TFontRecord&) const = default;
};

// A picture that stores itself as a byte image (a BMP file image for bitmaps, an
// enhanced metafile image for metafiles).
class TStreamPicture {
public:
  virtual ~TStreamPicture() = default;
  virtual void SaveToStream(TStream& stream) const = 0;
  virtual void LoadFromStream(TStream& stream) = 0;
};

// The largest size a packed record may expand to: the largest record the
// program writes holds one 144-byte inhomogeneity record per cell of the
// largest lattice (101 x 101 x 101 cells).
inline constexpr int64_t kMaxExpandedRecordSize = int64_t{1030301} * 144;

// Bounds the total that packed records expand to on this thread while it lives
// (one open of a file). Each expansion is charged before it is made; a record
// that would pass the rest, or its own ceiling, is not expanded and marks the
// budget exceeded, which the reader of the file reports as a damaged file.
class TExpansionBudget {
public:
  explicit TExpansionBudget(int64_t bytes);
  ~TExpansionBudget();
  TExpansionBudget(const TExpansionBudget&) = delete;
  TExpansionBudget& operator=(const TExpansionBudget&) = delete;

  bool Exceeded() const { return exceeded_; }
  // Whether a record that expands to size may be expanded; charges it if so.
  static bool Charge(int64_t size, int64_t ceiling);

private:
  int64_t left_;
  bool exceeded_ = false;
  TExpansionBudget* outer_;
};

struct TTagRecord {
  int32_t id = 0;
  int32_t group = 0;
  std::vector<uint8_t> data;
};

class TTagStream {
public:
  // Read mode (-2) parses the stream's image at once from its position; a null
  // stream gives an empty container. Write mode (-3) writes the image on Commit,
  // or when destroyed if Commit was not called.
  TTagStream(TStream* stream, int32_t mode);
  // Writes a not yet committed image (write errors are swallowed here: call
  // Commit to learn of them), then frees everything. Never throws.
  ~TTagStream();
  TTagStream(const TTagStream&) = delete;
  TTagStream& operator=(const TTagStream&) = delete;

  // Write mode: writes the image now and reports whether the stream took it all.
  // Later writes to this container are not stored.
  bool Commit();

  void SetGroup(int32_t group);
  int32_t GetGroup() const { return group_; }
  int32_t GetMode() const { return mode_; }

  // Typed values.
  void WriteInt(int32_t value, int32_t id = -1);
  void WriteLong(int32_t value, int32_t id = -1);
  void WriteDouble(double value, int32_t id = -1);
  void WriteBool(bool value, int32_t id = -1);
  void WriteString(const std::string& text, int32_t id = -1);
  void WriteBuffer(const void* buffer, int32_t n, int32_t id = -1);
  void WriteBlock(const void* data, int32_t size, int32_t id = -1);
  // Stores the block LZH-packed under the complemented id (read back by ReadBlock
  // and OpenBlock like any block).
  void WritePackedBlock(const void* data, int32_t size, int32_t id = -1);
  void WriteFont(const TFontRecord& font, int32_t id = -1);
  void WriteBitmap(const TStreamPicture* bitmap, int32_t id = -1);
  void WriteMetafile(const TStreamPicture* metafile, int32_t id = -1);
  void WriteRecordList(const std::vector<std::vector<uint8_t>>& items, int32_t itemSize, int32_t id = -1);
  void WriteArray(int32_t count, const void* data, int32_t itemSize, int32_t id = -1);
  void WriteArray(const std::vector<double>& values, int32_t id = -1);
  void WriteArray(const std::vector<int32_t>& values, int32_t id = -1);
  void WriteStrings(const std::vector<std::string>& strings, int32_t id = -1);

  int32_t ReadInt(int32_t defaultValue, int32_t id = -1);
  int32_t ReadLong(int32_t defaultValue, int32_t id = -1);
  double ReadDouble(double defaultValue, int32_t id = -1);
  bool ReadBool(bool defaultValue, int32_t id = -1);
  std::string ReadString(const std::string& defaultValue, int32_t id = -1);
  // Each overwrites the variable only when the record exists and is long enough,
  // and tells whether it did.
  bool Read(int32_t& value, int32_t id = -1);
  bool Read(double& value, int32_t id = -1);
  bool Read(bool& value, int32_t id = -1);
  bool Read(uint8_t& value, int32_t id = -1);
  bool Read(std::string& value, int32_t id = -1);
  // Copies exactly n bytes when the record holds at least n.
  bool ReadBuffer(void* buffer, int32_t n, int32_t id = -1);
  // The record's bytes (expanded when packed); data is left as it was when the
  // record is missing, its packed form is corrupt or it would expand beyond
  // maxSize or the open's expansion budget.
  bool ReadBlock(std::vector<uint8_t>& data, int32_t id = -1, int64_t maxSize = kMaxExpandedRecordSize);
  // The record's bytes as stored (never expanded); false when missing.
  bool ReadRawRecord(std::vector<uint8_t>& data, int32_t id = -1);
  // Applies a record of at least 17 bytes: colour, size, character set, the four
  // style bits and the name.
  bool ReadFont(TFontRecord& font, int32_t id = -1);
  // Absent: nothing changes. A 0-byte record deletes the picture. Otherwise a
  // picture is created when there is none and loads itself from the bytes.
  template <class TPicture>
  bool ReadBitmap(std::unique_ptr<TPicture>& picture, int32_t id = -1);
  template <class TPicture>
  bool ReadMetafile(std::unique_ptr<TPicture>& picture, int32_t id = -1)
  {
    return ReadBitmap(picture, id);
  }
  // Appends the stored items (see StreamReadRecordList); returns the count appended.
  int32_t ReadRecordList(std::vector<std::vector<uint8_t>>& items, int32_t itemSize, int32_t id = -1);
  bool ReadArray(int32_t& count, std::vector<uint8_t>& data, int32_t itemSize, int32_t id = -1);
  bool ReadArray(std::vector<double>& values, int32_t id = -1);
  bool ReadArray(std::vector<int32_t>& values, int32_t id = -1);
  bool ReadStrings(std::vector<std::string>& strings, int32_t id = -1);

  // Child containers: a whole nested image stored as one record.
  TTagStream* BeginChild();
  void EndChild(int32_t id = -1);
  // Never null: a missing record gives an empty container.
  TTagStream* OpenChild(int32_t id = -1);
  void CloseChild();

  // Raw blocks: bytes that a class writes with its own stream code.
  TMemoryStream* BeginBlock();
  void EndBlock(int32_t id = -1);
  // Null when the record is missing (or its packed form is corrupt); otherwise a
  // stream with the record's bytes, expanded when packed, at position 0.
  TMemoryStream* OpenBlock(int32_t id = -1, int64_t maxSize = kMaxExpandedRecordSize);
  void CloseBlock();

  // The image: write (only when a stream is set; raises EStreamError when the
  // stream refuses bytes) and parse (from the stream's position; never raises).
  void WriteImage();
  void ReadImage();
  void Clear();
  TStream* GetStream() const { return stream_; }
  void ReleaseStream();

  // Lookup: the first record of the current group whose stored id is id or its
  // complement and which holds at least minSize bytes; null when none.
  const TTagRecord* FindEntry(int32_t id, int64_t minSize) const;
  const std::vector<TTagRecord>& Records() const { return records_; }

private:
  int32_t TakeId(int32_t id);
  void Append(int32_t id, std::vector<uint8_t> data);
  const TTagRecord* Lookup(int32_t id, int64_t minSize);
  static bool ExpandedBytes(const TTagRecord& record, std::vector<uint8_t>& bytes, int64_t maxSize);
  bool WritePicture(const TStreamPicture* picture, int32_t id);

  int32_t group_ = 0;
  int32_t autoId_ = 0;
  std::vector<TTagRecord> records_;
  TStream* stream_ = nullptr;
  std::unique_ptr<TStream> ownedStream_;
  int32_t mode_;
  bool committed_ = false;
  std::unique_ptr<TTagStream> child_;
  std::unique_ptr<TMemoryStream> block_;
};

template <class TPicture>
bool TTagStream::ReadBitmap(std::unique_ptr<TPicture>& picture, int32_t id)
{
  std::vector<uint8_t> bytes;
  if (!ReadRawRecord(bytes, id))
    return false;
  if (bytes.empty()) {
    picture.reset();
    return true;
  }
  if (!picture)
    picture = std::make_unique<TPicture>();
  TMemoryStream stream(std::move(bytes));
  picture->LoadFromStream(stream);
  return true;
}
