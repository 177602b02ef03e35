#pragma once
// The project file's envelope and the framing of its body, without any window:
// opening a file in any of its three forms, checking that its body is a whole
// sequence of tag-stream images, and writing a body atomically in any form.
//
// Forms: packed "%GMFPK" + int32 unpacked length + LZH bits of a plain file;
// plain "%GMF" + int32 version + body; compressed "%GMZ" + int32 version +
// int32 body length + LZH bits of the body.

#include "data/Stream.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

inline constexpr int32_t kProjectFileVersion = 10;
inline constexpr const char* kPackedProjectSignature = "%GMFPK";
inline constexpr const char* kPlainProjectSignature = "%GMF";
inline constexpr const char* kCompressedProjectSignature = "%GMZ";
// No project image may unpack to more than this: lengths read from a file are
// checked against it before anything is decoded.
inline constexpr int64_t kMaxProjectImageSize = int64_t{1} << 30;

// The id of the object count in the GIS header, the second image of a body.
inline constexpr int32_t kGisHeaderObjectCountId = 5;

// Ids of the main-window record, the first image of a body.
enum TMainRecordId : int32_t {
  MainRecordTop = 0,
  MainRecordLeft = 1,
  MainRecordClientWidth = 2,
  MainRecordClientHeight = 3,
  MainRecordCalcState = 4,
  MainRecordStepCounter = 7,
  MainRecordWindowCount = 11,
  MainRecordCloseWhenStopped = 14,
  MainRecordCount = 15,
};

enum class TProjectOpenResult {
  Ok,
  CannotOpen, // the file or its header cannot be read: nothing to say
  BadFormat,  // neither signature, or a packed image that does not decode
  BadVersion,
};

// An opened project file: the body stream at the start of the body (for a
// packed project, in an unnamed temporary file that goes with the object).
class TOpenedProject {
public:
  TOpenedProject() = default;
  ~TOpenedProject();
  TOpenedProject(const TOpenedProject&) = delete;
  TOpenedProject& operator=(const TOpenedProject&) = delete;

  TStream& Body() { return *body; }
  bool IsOpen() const { return body != nullptr; }
  // Why a readable file could not be opened (the system's reason); "" when the
  // file itself could not be read, which needs no message.
  const std::string& Failure() const { return failure; }
  // Bytes the decoder produced while opening (also for a refused file).
  int64_t BytesDecoded() const { return decoded; }

private:
  friend TProjectOpenResult OpenProjectFile(const std::string& path, TOpenedProject& opened);
  void Reset();

  std::unique_ptr<TStream> body;
  std::string failure;
  int64_t decoded = 0;
};

TProjectOpenResult OpenProjectFile(const std::string& path, TOpenedProject& opened);

// One int32 of the whole tag-stream image that starts at the stream's position
// (0 when the image lacks it); the stream ends up after the image.
int32_t ReadImageInt(TStream& stream, int32_t group, int32_t id);

// The layout of a body: main-window record, GIS header, the GIS's objects, the
// model, the view windows; offsets from the start of the body stream.
struct TProjectBodyLayout {
  int32_t windowCount = 0;
  int32_t objectCount = 0;
  int64_t gisStart = 0;
  int64_t modelStart = 0;
  int64_t windowsStart = 0;
};

// Walks the body from the stream's position without keeping any record: every
// image must be whole, the images must end exactly at the end of the stream,
// and their number must match the counts that the main-window record and the
// GIS header announce. The stream is put back where it was.
bool ScanProjectBody(TStream& body, TProjectBodyLayout& layout);

// Writes the body of a project onto a stream; false when any part failed.
using TProjectBodyWriter = std::function<bool(TStream& body)>;

// Writes a project file in the given storage mode (0 plain, 1 compressed,
// 2 packed). The file appears under its name only when complete: a failure at
// any point leaves an existing file as it was. No temporary file is left behind.
bool WriteProjectFile(const std::string& path, int32_t storageMode, const TProjectBodyWriter& writeBody);
