#pragma once
// The LZ77 + static Huffman coder in the bit format of the LHA archiver's -lh5-
// method: an 8,192-byte dictionary, matches of 3 to 256 bytes, code tables of
// 510 character/length codes, 14 position classes and 19 code-length codes,
// blocks led by a 16-bit symbol count, bits written most significant first.
//
// The coder sees the outside world only through callbacks, so the framings can
// stream files of any size through a small fixed amount of memory. Each coder
// object keeps its own state: several may run at once on different threads.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

enum LzhResult : int {
  LzhOk = 0,
  LzhNoMemory = 1,     // work buffers could not be allocated
  LzhWriteFailed = 2,  // the destination took fewer bytes than it was given
  LzhReadFailed = 3,   // the source reported a read error
  LzhTruncated = 4,    // the coded data ended before the announced size was decoded
  LzhCorrupt = 5,      // the coded data hold an invalid table or code
  LzhBadSize = 6,      // the size field is missing, negative or beyond the caller's limit
  LzhOpenFailed = 7,   // a file could not be opened or created
  LzhBadSignature = 8, // a packed file does not start with the expected signature
};

// A short English description of a result, for logs and error texts.
const char* LzhResultText(int result);

// Reads at most n bytes into buffer: the count read, 0 at the end, negative on error.
using LzhReadFn = std::function<int64_t(uint8_t* buffer, size_t n)>;
// Writes n bytes: the count written; fewer than n is a failure.
using LzhWriteFn = std::function<size_t(const uint8_t* buffer, size_t n)>;
// Told the number of source bytes consumed so far, now and then while encoding.
using LzhProgressFn = std::function<void(int64_t consumed)>;

constexpr int kLzhDictionary = 8192;
constexpr int kLzhMinMatch = 3;
constexpr int kLzhMaxMatch = 256;
constexpr int kLzhCharCodes = 510;   // NC
constexpr int kLzhPositionCodes = 14; // NP
constexpr int kLzhLengthCodes = 19;  // NT
constexpr int kLzhMaxCodeBits = 16;
// The largest unpacked size the size field can announce.
constexpr int64_t kLzhMaxUnpackedSize = 0x7FFFFFFF;

class TLzhEncoder {
public:
  TLzhEncoder();
  ~TLzhEncoder();
  TLzhEncoder(const TLzhEncoder&) = delete;
  TLzhEncoder& operator=(const TLzhEncoder&) = delete;

  // Codes everything the read callback gives until its end. Writes the coded bits
  // only (no size field). Returns LzhOk, LzhNoMemory, LzhReadFailed or LzhWriteFailed.
  int Encode(const LzhReadFn& read, const LzhWriteFn& write, const LzhProgressFn& progress = {});

  // The longest Huffman code in any table of the blocks coded so far.
  int LongestCodeSeen() const;
  int BlocksWritten() const;

private:
  struct TState;
  TState* state_ = nullptr;
};

class TLzhDecoder {
public:
  TLzhDecoder();
  ~TLzhDecoder();
  TLzhDecoder(const TLzhDecoder&) = delete;
  TLzhDecoder& operator=(const TLzhDecoder&) = delete;

  // Decodes exactly count bytes from the coded bits that the read callback gives,
  // writing them in pieces of at most 8,192 bytes. Returns LzhOk, LzhNoMemory,
  // LzhReadFailed, LzhWriteFailed, LzhTruncated, LzhCorrupt or LzhBadSize
  // (negative count). Reads nothing when count is 0.
  int Decode(const LzhReadFn& read, const LzhWriteFn& write, int64_t count);
  // Coded bytes the last Decode needed (the read-ahead beyond them not counted).
  int64_t BytesUsed() const;

private:
  struct TState;
  TState* state_ = nullptr;
};

// One-call forms over a fresh coder.
int LzhEncode(const LzhReadFn& read, const LzhWriteFn& write, const LzhProgressFn& progress = {});
int LzhDecode(const LzhReadFn& read, const LzhWriteFn& write, int64_t count);

// Memory helpers: the coded bits of a byte range, and count bytes decoded from coded bits.
int LzhEncodeBytes(const uint8_t* data, size_t size, std::vector<uint8_t>& coded);
int LzhDecodeBytes(const uint8_t* coded, size_t size, int64_t count, std::vector<uint8_t>& out);
