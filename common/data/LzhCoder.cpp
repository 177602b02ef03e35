#include "data/LzhCoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

namespace {

constexpr int kCharBits = 9;     // bits of the character/length table count
constexpr int kLengthBits = 5;   // bits of the code-length table count
constexpr int kPositionBits = 4; // bits of the position table count
constexpr int kLengthSpecial = 3; // after this many code-length entries a 2-bit zero run follows
constexpr int kOutBufferSize = 4096;
constexpr int kInPieceSize = 4064;
// A block is coded once its symbol buffer (1 byte per literal, 3 per match and a
// flags byte per 8 symbols) would pass this size.
constexpr int kBlockBufferBytes = 16360;

int BitLength(unsigned value)
{
  int bits = 0;
  while (value) {
    ++bits;
    value >>= 1;
  }
  return bits;
}

// ---------------------------------------------------------------------------
// Huffman code lengths and canonical codes (shared by both directions).

// Fills lengths for the symbols with a non-zero frequency, no code longer than
// maxBits. Returns the number of symbols used; with fewer than two the lengths
// are all 0 and single receives the only used symbol (0 when none).
int MakeCodeLengths(const uint32_t* freq, int n, int maxBits, uint8_t* lengths, int& single)
{
  std::fill(lengths, lengths + n, 0);
  std::vector<uint32_t> weight(freq, freq + n);
  int used = 0;
  single = 0;
  for (int i = 0; i < n; ++i)
    if (freq[i]) {
      ++used;
      single = i;
    }
  if (used < 2)
    return used;

  for (;;) {
    // Two-queue Huffman construction over the leaves sorted by weight.
    std::vector<int> leaves;
    for (int i = 0; i < n; ++i)
      if (weight[i])
        leaves.push_back(i);
    std::stable_sort(leaves.begin(), leaves.end(), [&](int a, int b) { return weight[a] < weight[b]; });
    const int leafCount = static_cast<int>(leaves.size());
    std::vector<uint64_t> nodeWeight(leafCount - 1);
    std::vector<int> parent(2 * leafCount - 1, -1); // leaves 0..L-1, inner L..2L-2
    int nextLeaf = 0, nextInner = 0, innerCount = 0;
    auto takeSmallest = [&]() {
      const bool leafFirst =
          nextLeaf < leafCount &&
          (nextInner >= innerCount || static_cast<uint64_t>(weight[leaves[nextLeaf]]) <= nodeWeight[nextInner]);
      if (leafFirst) {
        const int leaf = nextLeaf++;
        return std::pair<int, uint64_t>(leaf, weight[leaves[leaf]]);
      }
      const int inner = nextInner++;
      return std::pair<int, uint64_t>(leafCount + inner, nodeWeight[inner]);
    };
    for (int k = 0; k < leafCount - 1; ++k) {
      const auto a = takeSmallest();
      const auto b = takeSmallest();
      nodeWeight[innerCount] = a.second + b.second;
      parent[a.first] = leafCount + innerCount;
      parent[b.first] = leafCount + innerCount;
      ++innerCount;
    }
    // Depths: the root is the last inner node; parents always come later.
    std::vector<int> depth(2 * leafCount - 1, 0);
    for (int node = 2 * leafCount - 3; node >= 0; --node)
      depth[node] = depth[parent[node]] + 1;
    int longest = 0;
    for (int i = 0; i < leafCount; ++i)
      longest = std::max(longest, depth[i]);
    if (longest <= maxBits) {
      for (int i = 0; i < leafCount; ++i)
        lengths[leaves[i]] = static_cast<uint8_t>(depth[i]);
      return used;
    }
    // Too deep: flatten the frequencies and build again; all-equal weights give
    // depth ceil(log2(n)) <= 9, so this ends.
    for (int i = 0; i < n; ++i)
      if (weight[i])
        weight[i] = (weight[i] + 1) / 2;
  }
}

// Canonical codes: shorter codes first, equal lengths in symbol order.
void MakeCodes(const uint8_t* lengths, int n, uint16_t* codes)
{
  int count[kLzhMaxCodeBits + 2] = {};
  for (int i = 0; i < n; ++i)
    count[lengths[i]]++;
  count[0] = 0;
  uint32_t next[kLzhMaxCodeBits + 2] = {};
  uint32_t code = 0;
  for (int len = 1; len <= kLzhMaxCodeBits; ++len) {
    next[len] = code;
    code = (code + count[len]) << 1;
  }
  for (int i = 0; i < n; ++i)
    codes[i] = lengths[i] ? static_cast<uint16_t>(next[lengths[i]]++) : 0;
}

// ---------------------------------------------------------------------------

class TBitWriter {
public:
  explicit TBitWriter(const LzhWriteFn& write) : write_(write), buffer_(kOutBufferSize) {}

  void Put(int n, uint32_t bits)
  {
    if (n == 0)
      return;
    acc_ = (acc_ << n) | (bits & ((1u << n) - 1));
    count_ += n;
    while (count_ >= 8) {
      count_ -= 8;
      buffer_[used_++] = static_cast<uint8_t>(acc_ >> count_);
      if (used_ == kOutBufferSize)
        Flush();
    }
  }

  // Completes the last partial byte with zero bits; whatever is still short of a
  // byte after the 7 bits is dropped.
  void Finish() { Put(7, 0); }

  void Flush()
  {
    if (used_ > 0 && !failed_) {
      if (write_(buffer_.data(), used_) != used_)
        failed_ = true;
      written_ += used_;
    }
    used_ = 0;
  }

  bool Failed() const { return failed_; }

private:
  const LzhWriteFn& write_;
  std::vector<uint8_t> buffer_;
  size_t used_ = 0;
  uint64_t acc_ = 0;
  int count_ = 0;
  bool failed_ = false;
  int64_t written_ = 0;
};

// Reads coded bytes through the callback; past the end it supplies zero bits but
// remembers when a bit beyond the end was actually consumed.
class TBitReader {
public:
  explicit TBitReader(const LzhReadFn& read) : read_(read), buffer_(kOutBufferSize) {}

  uint32_t Peek(int n)
  {
    Fill();
    return n == 0 ? 0 : static_cast<uint32_t>(bits_ >> (64 - n));
  }

  void Consume(int n)
  {
    if (n > count_) {
      overrun_ = true;
      bits_ = 0;
      count_ = 0;
      return;
    }
    bits_ <<= n;
    count_ -= n;
  }

  uint32_t Get(int n)
  {
    const uint32_t v = Peek(n);
    Consume(n);
    return v;
  }

  bool Overrun() const { return overrun_; }
  bool ReadFailed() const { return readFailed_; }
  // Coded bytes taken from the source that hold at least one consumed bit.
  int64_t BytesUsed() const { return total_ - static_cast<int64_t>(end_ - pos_) - count_ / 8; }

private:
  void Fill()
  {
    while (count_ <= 56) {
      if (pos_ == end_ && !Refill())
        return;
      bits_ |= static_cast<uint64_t>(buffer_[pos_++]) << (56 - count_);
      count_ += 8;
    }
  }

  bool Refill()
  {
    if (atEnd_)
      return false;
    const int64_t got = read_(buffer_.data(), kInPieceSize);
    if (got <= 0) {
      atEnd_ = true;
      readFailed_ = got < 0;
      return false;
    }
    pos_ = 0;
    end_ = static_cast<size_t>(std::min<int64_t>(got, kInPieceSize));
    total_ += static_cast<int64_t>(end_);
    return true;
  }

  const LzhReadFn& read_;
  std::vector<uint8_t> buffer_;
  size_t pos_ = 0, end_ = 0;
  int64_t total_ = 0;
  uint64_t bits_ = 0; // left-aligned: the next bit is bit 63
  int count_ = 0;
  bool atEnd_ = false;
  bool overrun_ = false;
  bool readFailed_ = false;
};

// A decoding table for one Huffman code: a direct lookup for short codes and a
// canonical search for the longer ones.
class THuffDecoder {
public:
  explicit THuffDecoder(int lookBits) : lookBits_(lookBits), fast_(size_t{1} << lookBits) {}

  void SetSingle(int symbol)
  {
    single_ = symbol;
  }

  // False for an over-subscribed or empty set of lengths.
  bool Build(const uint8_t* lengths, int n)
  {
    single_ = -1;
    int count[kLzhMaxCodeBits + 1] = {};
    for (int i = 0; i < n; ++i) {
      if (lengths[i] > kLzhMaxCodeBits)
        return false;
      count[lengths[i]]++;
    }
    count[0] = 0;
    uint32_t code = 0;
    int offset = 0;
    uint32_t first[kLzhMaxCodeBits + 1] = {};
    int base[kLzhMaxCodeBits + 1] = {};
    for (int len = 1; len <= kLzhMaxCodeBits; ++len) {
      first[len] = code;
      base[len] = offset;
      offset += count[len];
      end_[len] = (code + count[len]) << (kLzhMaxCodeBits - len);
      if (end_[len] > (1u << kLzhMaxCodeBits))
        return false; // more codes than the bits can hold
      firstCode_[len] = first[len];
      base_[len] = base[len];
      code = (code + count[len]) << 1;
    }
    if (offset == 0)
      return false;
    sorted_.assign(offset, 0);
    uint32_t next[kLzhMaxCodeBits + 1];
    std::copy(std::begin(first), std::end(first), next);
    int fill[kLzhMaxCodeBits + 1];
    std::copy(std::begin(base), std::end(base), fill);
    std::fill(fast_.begin(), fast_.end(), 0u);
    for (int sym = 0; sym < n; ++sym) {
      const int len = lengths[sym];
      if (!len)
        continue;
      sorted_[fill[len]++] = static_cast<uint16_t>(sym);
      const uint32_t c = next[len]++;
      if (len <= lookBits_) {
        const uint32_t from = c << (lookBits_ - len);
        const uint32_t to = (c + 1) << (lookBits_ - len);
        const uint32_t entry = (static_cast<uint32_t>(len) << 16) | static_cast<uint32_t>(sym);
        std::fill(fast_.begin() + from, fast_.begin() + to, entry);
      }
    }
    return true;
  }

  // The next symbol, or -1 when the bits match no code.
  int Decode(TBitReader& in) const
  {
    if (single_ >= 0)
      return single_;
    const uint32_t v = in.Peek(kLzhMaxCodeBits);
    const uint32_t entry = fast_[v >> (kLzhMaxCodeBits - lookBits_)];
    if (entry) {
      in.Consume(static_cast<int>(entry >> 16));
      return static_cast<int>(entry & 0xFFFF);
    }
    for (int len = lookBits_ + 1; len <= kLzhMaxCodeBits; ++len) {
      if (v < end_[len]) {
        const uint32_t code = v >> (kLzhMaxCodeBits - len);
        if (code < firstCode_[len])
          return -1;
        in.Consume(len);
        return sorted_[base_[len] + static_cast<int>(code - firstCode_[len])];
      }
    }
    return -1; // an unassigned code of an incomplete table
  }

private:
  int lookBits_;
  std::vector<uint32_t> fast_;
  std::vector<uint16_t> sorted_;
  uint32_t end_[kLzhMaxCodeBits + 1] = {};
  uint32_t firstCode_[kLzhMaxCodeBits + 1] = {};
  int base_[kLzhMaxCodeBits + 1] = {};
  int single_ = -1;
};

} // namespace

const char* LzhResultText(int result)
{
  switch (result) {
  case LzhOk: return "ok";
  case LzhNoMemory: return "out of memory";
  case LzhWriteFailed: return "write failed";
  case LzhReadFailed: return "read failed";
  case LzhTruncated: return "packed data cut short";
  case LzhCorrupt: return "packed data corrupt";
  case LzhBadSize: return "invalid unpacked size";
  case LzhOpenFailed: return "file cannot be opened";
  case LzhBadSignature: return "not a packed file of this kind";
  default: return "unknown error";
  }
}

// ===========================================================================
// Encoder

struct TLzhEncoder::TState {
  static constexpr int kBufferCapacity = 65536;
  static constexpr int kHashBits = 15;
  static constexpr int kHashSize = 1 << kHashBits;
  static constexpr int kMaxChain = 128;

  std::vector<uint8_t> text = std::vector<uint8_t>(kBufferCapacity);
  std::vector<int32_t> head = std::vector<int32_t>(kHashSize, -1);
  std::vector<int32_t> prev = std::vector<int32_t>(kBufferCapacity, -1);
  int pos = 0;
  int end = 0;
  bool sourceEnded = false;
  bool readFailed = false;
  int64_t consumedBase = 0; // source bytes moved out of the front of the buffer

  // Symbols of the block being collected.
  std::vector<uint16_t> codes;
  std::vector<uint16_t> distances;
  int blockBytes = 0;
  uint32_t charFreq[kLzhCharCodes] = {};
  uint32_t posFreq[kLzhPositionCodes] = {};

  int longestCode = 0;
  int blocks = 0;

  const LzhReadFn* read = nullptr;
  const LzhProgressFn* progress = nullptr;
  TBitWriter* out = nullptr;

  void Reset()
  {
    std::fill(head.begin(), head.end(), -1);
    std::fill(prev.begin(), prev.end(), -1);
    pos = end = 0;
    sourceEnded = readFailed = false;
    consumedBase = 0;
    codes.clear();
    distances.clear();
    blockBytes = 0;
    std::fill(std::begin(charFreq), std::end(charFreq), 0u);
    std::fill(std::begin(posFreq), std::end(posFreq), 0u);
    longestCode = 0;
    blocks = 0;
  }

  // Keeps at least a full match of look-ahead behind the position while the
  // source lasts, moving the window down when the buffer is full.
  void Refill()
  {
    if (sourceEnded || end - pos > kLzhMaxMatch)
      return;
    if (end == kBufferCapacity)
      Slide();
    while (end < kBufferCapacity && !sourceEnded) {
      const int64_t got = (*read)(text.data() + end, static_cast<size_t>(kBufferCapacity - end));
      if (got <= 0) {
        sourceEnded = true;
        readFailed = got < 0;
        break;
      }
      end += static_cast<int>(std::min<int64_t>(got, kBufferCapacity - end));
    }
    if (*progress)
      (*progress)(consumedBase + end);
  }

  void Slide()
  {
    const int delta = pos - kLzhDictionary;
    if (delta <= 0)
      return;
    std::memmove(text.data(), text.data() + delta, static_cast<size_t>(end - delta));
    std::memmove(prev.data(), prev.data() + delta, static_cast<size_t>(end - delta) * sizeof(int32_t));
    auto shift = [delta](int32_t& v) { v = v >= delta ? v - delta : -1; };
    for (auto& v : head)
      shift(v);
    for (int i = 0; i < end - delta; ++i)
      shift(prev[i]);
    std::fill(prev.begin() + (end - delta), prev.end(), -1);
    pos -= delta;
    end -= delta;
    consumedBase += delta;
  }

  int Hash(int at) const
  {
    return ((text[at] << 10) ^ (text[at + 1] << 5) ^ text[at + 2]) & (kHashSize - 1);
  }

  // Enters the current position into the hash chains and moves past it.
  void Advance()
  {
    if (pos + 2 < end) {
      const int h = Hash(pos);
      prev[pos] = head[h];
      head[h] = pos;
    }
    ++pos;
    Refill();
  }

  // The longest earlier match at the position, at most the bytes that remain.
  // Returns its length (0 when below the minimum) and the distance back to it.
  int FindMatch(int& distance) const
  {
    const int limit = std::min(kLzhMaxMatch, end - pos);
    distance = 0;
    if (limit < kLzhMinMatch)
      return 0;
    int best = 0;
    int chain = kMaxChain;
    for (int cand = head[Hash(pos)]; cand >= 0 && pos - cand <= kLzhDictionary && chain-- > 0; cand = prev[cand]) {
      if (text[cand + best] != text[pos + best] || text[cand] != text[pos])
        continue;
      int len = 0;
      while (len < limit && text[cand + len] == text[pos + len])
        ++len;
      if (len > best) {
        best = len;
        distance = pos - cand;
        if (len >= limit)
          break;
      }
    }
    return best >= kLzhMinMatch ? best : 0;
  }

  void EmitSymbol(uint16_t code, uint16_t distanceValue, bool match)
  {
    if (codes.size() % 8 == 0) {
      if (blockBytes >= kBlockBufferBytes)
        CodeBlock();
      blockBytes += 1;
    }
    codes.push_back(code);
    distances.push_back(distanceValue);
    charFreq[code]++;
    if (match) {
      posFreq[BitLength(distanceValue)]++;
      blockBytes += 3;
    } else {
      blockBytes += 1;
    }
  }

  void CodeBlock();
  void WriteTableLengths(const uint8_t* lengths, int n, int countBits, int special);
  void CountLengthFreq(const uint8_t* charLen, uint32_t* lengthFreq) const;
  void WriteCharLengths(const uint8_t* charLen, const uint8_t* lengthLen, const uint16_t* lengthCode);

  int Run(const LzhReadFn& readFn, TBitWriter& writer, const LzhProgressFn& progressFn);
};

void TLzhEncoder::TState::WriteTableLengths(const uint8_t* lengths, int n, int countBits, int special)
{
  while (n > 0 && lengths[n - 1] == 0)
    --n;
  out->Put(countBits, static_cast<uint32_t>(n));
  int i = 0;
  while (i < n) {
    const int k = lengths[i++];
    if (k <= 6)
      out->Put(3, static_cast<uint32_t>(k));
    else
      out->Put(k - 3, (1u << (k - 3)) - 2); // 111, then k - 7 ones, then a 0
    if (i == special) {
      while (i < 6 && lengths[i] == 0)
        ++i;
      out->Put(2, static_cast<uint32_t>(i - 3));
    }
  }
}

// Walks the character/length code lengths the way WriteCharLengths codes them,
// calling emit(code-length symbol, extra bit count, extra bits).
template <class Emit>
static void WalkCharLengths(const uint8_t* charLen, Emit emit)
{
  int n = kLzhCharCodes;
  while (n > 0 && charLen[n - 1] == 0)
    --n;
  int i = 0;
  while (i < n) {
    const int k = charLen[i++];
    if (k != 0) {
      emit(k + 2, 0, 0u);
      continue;
    }
    int run = 1;
    while (i < n && charLen[i] == 0) {
      ++i;
      ++run;
    }
    if (run <= 2) {
      for (int j = 0; j < run; ++j)
        emit(0, 0, 0u);
    } else if (run <= 18) {
      emit(1, 4, static_cast<uint32_t>(run - 3));
    } else if (run == 19) {
      emit(0, 0, 0u);
      emit(1, 4, 15u);
    } else {
      emit(2, kCharBits, static_cast<uint32_t>(run - 20));
    }
  }
}

void TLzhEncoder::TState::CountLengthFreq(const uint8_t* charLen, uint32_t* lengthFreq) const
{
  std::fill(lengthFreq, lengthFreq + kLzhLengthCodes, 0u);
  WalkCharLengths(charLen, [&](int symbol, int, uint32_t) { lengthFreq[symbol]++; });
}

void TLzhEncoder::TState::WriteCharLengths(const uint8_t* charLen, const uint8_t* lengthLen,
                                           const uint16_t* lengthCode)
{
  int n = kLzhCharCodes;
  while (n > 0 && charLen[n - 1] == 0)
    --n;
  out->Put(kCharBits, static_cast<uint32_t>(n));
  WalkCharLengths(charLen, [&](int symbol, int extraBits, uint32_t extra) {
    out->Put(lengthLen[symbol], lengthCode[symbol]);
    out->Put(extraBits, extra);
  });
}

void TLzhEncoder::TState::CodeBlock()
{
  const int symbolCount = static_cast<int>(codes.size());
  uint8_t charLen[kLzhCharCodes];
  uint16_t charCode[kLzhCharCodes];
  uint8_t posLen[kLzhPositionCodes];
  uint16_t posCode[kLzhPositionCodes];
  int charSingle = 0, posSingle = 0;

  const int charUsed = MakeCodeLengths(charFreq, kLzhCharCodes, kLzhMaxCodeBits, charLen, charSingle);
  MakeCodes(charLen, kLzhCharCodes, charCode);
  out->Put(16, static_cast<uint32_t>(symbolCount));
  if (charUsed >= 2) {
    uint32_t lengthFreq[kLzhLengthCodes];
    uint8_t lengthLen[kLzhLengthCodes];
    uint16_t lengthCode[kLzhLengthCodes];
    int lengthSingle = 0;
    CountLengthFreq(charLen, lengthFreq);
    const int lengthUsed = MakeCodeLengths(lengthFreq, kLzhLengthCodes, kLzhMaxCodeBits, lengthLen, lengthSingle);
    MakeCodes(lengthLen, kLzhLengthCodes, lengthCode);
    if (lengthUsed >= 2) {
      WriteTableLengths(lengthLen, kLzhLengthCodes, kLengthBits, kLengthSpecial);
    } else {
      out->Put(kLengthBits, 0);
      out->Put(kLengthBits, static_cast<uint32_t>(lengthSingle));
    }
    WriteCharLengths(charLen, lengthLen, lengthCode);
    for (int i = 0; i < kLzhLengthCodes; ++i)
      longestCode = std::max<int>(longestCode, lengthLen[i]);
  } else {
    // One character code: every symbol takes it with 0 bits.
    out->Put(kLengthBits, 0);
    out->Put(kLengthBits, 0);
    out->Put(kCharBits, 0);
    out->Put(kCharBits, static_cast<uint32_t>(charSingle));
  }

  const int posUsed = MakeCodeLengths(posFreq, kLzhPositionCodes, kLzhMaxCodeBits, posLen, posSingle);
  MakeCodes(posLen, kLzhPositionCodes, posCode);
  if (posUsed >= 2) {
    WriteTableLengths(posLen, kLzhPositionCodes, kPositionBits, -1);
  } else {
    out->Put(kPositionBits, 0);
    out->Put(kPositionBits, static_cast<uint32_t>(posSingle));
  }
  for (int i = 0; i < kLzhCharCodes; ++i)
    longestCode = std::max<int>(longestCode, charLen[i]);
  for (int i = 0; i < kLzhPositionCodes; ++i)
    longestCode = std::max<int>(longestCode, posLen[i]);

  for (int s = 0; s < symbolCount && !out->Failed(); ++s) {
    const int c = codes[s];
    out->Put(charLen[c], charCode[c]);
    if (c >= 256) {
      const unsigned d = distances[s];
      const int p = BitLength(d);
      out->Put(posLen[p], posCode[p]);
      if (p > 1)
        out->Put(p - 1, d);
    }
  }

  codes.clear();
  distances.clear();
  blockBytes = 0;
  std::fill(std::begin(charFreq), std::end(charFreq), 0u);
  std::fill(std::begin(posFreq), std::end(posFreq), 0u);
  ++blocks;
}

int TLzhEncoder::TState::Run(const LzhReadFn& readFn, TBitWriter& writer, const LzhProgressFn& progressFn)
{
  Reset();
  read = &readFn;
  progress = &progressFn;
  out = &writer;
  Refill();

  int distance = 0;
  int length = FindMatch(distance);
  while (pos < end && !out->Failed() && !readFailed) {
    const int lastLength = length;
    const int lastDistance = distance;
    Advance();
    length = pos < end ? FindMatch(distance) : 0;
    if (length <= lastLength && lastLength >= kLzhMinMatch) {
      EmitSymbol(static_cast<uint16_t>(lastLength + 253), static_cast<uint16_t>(lastDistance - 1), true);
      for (int k = 0; k < lastLength - 1; ++k)
        Advance();
      length = pos < end ? FindMatch(distance) : 0;
    } else {
      EmitSymbol(text[pos - 1], 0, false);
    }
  }
  if (readFailed)
    return LzhReadFailed;
  if (!out->Failed()) {
    CodeBlock();
    out->Finish();
  }
  out->Flush();
  return out->Failed() ? LzhWriteFailed : LzhOk;
}

TLzhEncoder::TLzhEncoder() = default;

TLzhEncoder::~TLzhEncoder()
{
  delete state_;
}

int TLzhEncoder::Encode(const LzhReadFn& read, const LzhWriteFn& write, const LzhProgressFn& progress)
{
  try {
    if (!state_)
      state_ = new TState;
    TBitWriter writer(write);
    return state_->Run(read, writer, progress);
  } catch (const std::bad_alloc&) {
    return LzhNoMemory;
  }
}

int TLzhEncoder::LongestCodeSeen() const
{
  return state_ ? state_->longestCode : 0;
}

int TLzhEncoder::BlocksWritten() const
{
  return state_ ? state_->blocks : 0;
}

// ===========================================================================
// Decoder

struct TLzhDecoder::TState {
  THuffDecoder lengthTable{8};
  THuffDecoder charTable{12};
  THuffDecoder posTable{8};
  std::vector<uint8_t> window = std::vector<uint8_t>(kLzhDictionary);
  int64_t bytesUsed = 0;

  // Reads a code-length or position table. False when it is invalid.
  bool ReadTableLengths(TBitReader& in, THuffDecoder& table, int n, int countBits, int special)
  {
    uint8_t lengths[kLzhLengthCodes] = {};
    const int count = static_cast<int>(in.Get(countBits));
    if (count == 0) {
      const int symbol = static_cast<int>(in.Get(countBits));
      if (symbol >= n)
        return false;
      table.SetSingle(symbol);
      return true;
    }
    if (count > n)
      return false;
    int i = 0;
    while (i < count) {
      int len = static_cast<int>(in.Get(3));
      if (len == 7) {
        while (in.Get(1) == 1) {
          if (++len > kLzhMaxCodeBits)
            return false;
        }
      }
      lengths[i++] = static_cast<uint8_t>(len);
      if (i == special) {
        int zeros = static_cast<int>(in.Get(2));
        while (zeros-- > 0 && i < n)
          lengths[i++] = 0;
      }
      if (in.Overrun())
        return false;
    }
    return table.Build(lengths, n);
  }

  bool ReadCharLengths(TBitReader& in)
  {
    uint8_t lengths[kLzhCharCodes] = {};
    const int count = static_cast<int>(in.Get(kCharBits));
    if (count == 0) {
      const int symbol = static_cast<int>(in.Get(kCharBits));
      if (symbol >= kLzhCharCodes)
        return false;
      charTable.SetSingle(symbol);
      return true;
    }
    if (count > kLzhCharCodes)
      return false;
    int i = 0;
    while (i < count) {
      const int c = lengthTable.Decode(in);
      if (c < 0 || in.Overrun())
        return false;
      if (c > 2) {
        lengths[i++] = static_cast<uint8_t>(c - 2);
        continue;
      }
      int run = 1;
      if (c == 1)
        run = static_cast<int>(in.Get(4)) + 3;
      else if (c == 2)
        run = static_cast<int>(in.Get(kCharBits)) + 20;
      if (run > count - i)
        return false;
      i += run; // lengths are already 0
    }
    return charTable.Build(lengths, kLzhCharCodes);
  }

  int Run(TBitReader& in, const LzhWriteFn& write, int64_t count)
  {
    std::fill(window.begin(), window.end(), 0);
    int64_t remaining = count;
    uint32_t blockLeft = 0;
    int outPos = 0;
    auto flush = [&](int n) { return n == 0 || write(window.data(), static_cast<size_t>(n)) == static_cast<size_t>(n); };
    auto put = [&](uint8_t byte) {
      window[outPos++] = byte;
      --remaining;
      if (outPos == kLzhDictionary) {
        outPos = 0;
        return flush(kLzhDictionary);
      }
      return true;
    };

    while (remaining > 0) {
      if (blockLeft == 0) {
        blockLeft = in.Get(16);
        if (!ReadTableLengths(in, lengthTable, kLzhLengthCodes, kLengthBits, kLengthSpecial) || !ReadCharLengths(in) ||
            !ReadTableLengths(in, posTable, kLzhPositionCodes, kPositionBits, -1))
          return in.ReadFailed() ? LzhReadFailed : in.Overrun() ? LzhTruncated : LzhCorrupt;
        if (in.Overrun())
          return in.ReadFailed() ? LzhReadFailed : LzhTruncated;
        continue;
      }
      --blockLeft;
      const int c = charTable.Decode(in);
      if (c < 0)
        return LzhCorrupt;
      if (c < 256) {
        if (!put(static_cast<uint8_t>(c)))
          return LzhWriteFailed;
      } else {
        const int length = c - 253;
        const int p = posTable.Decode(in);
        if (p < 0)
          return LzhCorrupt;
        const unsigned distance = p <= 1 ? static_cast<unsigned>(p) : (1u << (p - 1)) + in.Get(p - 1);
        int from = (outPos - static_cast<int>(distance) - 1) & (kLzhDictionary - 1);
        for (int k = 0; k < length && remaining > 0; ++k) {
          if (!put(window[from]))
            return LzhWriteFailed;
          from = (from + 1) & (kLzhDictionary - 1);
        }
      }
      if (in.Overrun())
        return in.ReadFailed() ? LzhReadFailed : LzhTruncated;
    }
    return flush(outPos) ? LzhOk : LzhWriteFailed;
  }
};

TLzhDecoder::TLzhDecoder() = default;

TLzhDecoder::~TLzhDecoder()
{
  delete state_;
}

int TLzhDecoder::Decode(const LzhReadFn& read, const LzhWriteFn& write, int64_t count)
{
  if (state_)
    state_->bytesUsed = 0;
  if (count < 0)
    return LzhBadSize;
  if (count == 0)
    return LzhOk;
  try {
    if (!state_)
      state_ = new TState;
    TBitReader in(read);
    const int rc = state_->Run(in, write, count);
    state_->bytesUsed = in.BytesUsed();
    return rc;
  } catch (const std::bad_alloc&) {
    return LzhNoMemory;
  }
}

int64_t TLzhDecoder::BytesUsed() const
{
  return state_ ? state_->bytesUsed : 0;
}

int LzhEncode(const LzhReadFn& read, const LzhWriteFn& write, const LzhProgressFn& progress)
{
  TLzhEncoder encoder;
  return encoder.Encode(read, write, progress);
}

int LzhDecode(const LzhReadFn& read, const LzhWriteFn& write, int64_t count)
{
  TLzhDecoder decoder;
  return decoder.Decode(read, write, count);
}

int LzhEncodeBytes(const uint8_t* data, size_t size, std::vector<uint8_t>& coded)
{
  coded.clear();
  size_t at = 0;
  return LzhEncode(
      [&](uint8_t* buffer, size_t n) {
        const size_t take = std::min(n, size - at);
        if (take)
          std::memcpy(buffer, data + at, take);
        at += take;
        return static_cast<int64_t>(take);
      },
      [&](const uint8_t* buffer, size_t n) {
        coded.insert(coded.end(), buffer, buffer + n);
        return n;
      });
}

int LzhDecodeBytes(const uint8_t* coded, size_t size, int64_t count, std::vector<uint8_t>& out)
{
  out.clear();
  size_t at = 0;
  return LzhDecode(
      [&](uint8_t* buffer, size_t n) {
        const size_t take = std::min(n, size - at);
        if (take)
          std::memcpy(buffer, coded + at, take);
        at += take;
        return static_cast<int64_t>(take);
      },
      [&](const uint8_t* buffer, size_t n) {
        out.insert(out.end(), buffer, buffer + n);
        return n;
      },
      count);
}
