#pragma once
// Framings around the LZH coder:
// - a packed image: the int32 unpacked size N (little-endian), then the coded bits;
// - a packed file: a signature's characters exactly (no length, no terminator),
//   then the packed image of the whole source file ("%GMFPK" project files,
//   "%MDFPK" lattice side files);
// - a packed heap block: a packed image held in memory, expanded in place.
// Every function reports failure: sizes read from a file are checked, corrupt or
// cut-short data give an error result, and destination files are written under a
// temporary name and put in place only when complete.
#include <cstdint>
#include <string>
#include <vector>

#include "data/LzhCoder.h"

class TStream;

// The largest block that LzhUnpackBlock expands in memory.
constexpr int64_t kLzhMaxBlockSize = int64_t{1} << 30;

// Writes the number of bytes from the source's position to its end as int32, then
// codes those bytes. Returns an LzhResult (LzhBadSize for a source of 2 GiB or more).
int LzhEncodeStream(TStream& source, TStream& destination, const LzhProgressFn& progress = {});

// Reads the int32 size N at the source's position, empties the destination and
// decodes exactly N bytes into it from position 0. Returns an LzhResult; an N that
// is negative or above maxSize gives LzhBadSize and leaves the destination as it was.
// On success the source is positioned right after the last coded byte used.
int LzhDecodeStream(TStream& source, TStream& destination, int64_t maxSize = kLzhMaxUnpackedSize);

// Expands a packed image held in block, replacing it by the unpacked bytes.
// On failure block is left as it was. Returns an LzhResult.
int LzhUnpackBlock(std::vector<uint8_t>& block, int64_t maxSize = kLzhMaxBlockSize);

// Packs a whole file: the signature's characters, then the packed image of the
// source. False when a file cannot be opened or created, a read or write fails, or
// the source is too large; the destination is then left as it was. The detailed
// LzhResult goes to *result when given.
bool LzhPackFile(const std::string& sourcePath, const std::string& destinationPath, const std::string& signature,
                 const LzhProgressFn& progress = {}, int* result = nullptr);

// Unpacks a file packed under the signature. False when the source cannot be
// opened, does not start with the signature's characters (also when shorter), its
// packed image is invalid, or the destination cannot be written; the destination
// is then left as it was.
bool LzhUnpackFile(const std::string& sourcePath, const std::string& destinationPath, const std::string& signature,
                   int* result = nullptr);
