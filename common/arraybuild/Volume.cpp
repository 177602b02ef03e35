#include "arraybuild/Volume.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "data/NoValue.h"
#include "data/TextConversion.h"

namespace {

// Truncation toward zero that cannot overflow an int.
int Trunc(double v)
{
  if (!(v > -2e9))
    return -2000000000;
  if (v >= 2e9)
    return 2000000000;
  return static_cast<int>(v);
}

// Index of the lower of the two centres around a coordinate, and the weight of
// the upper one, clamped at both ends of the axis.
void AxisBlend(const TVolumeAxis& axis, double coordinate, int& index, int& next, double& fraction)
{
  if (axis.count < 2) {
    index = next = 0;
    fraction = 0;
    return;
  }
  const double offset = coordinate - 0.5 * axis.Cell() - axis.origin;
  index = Trunc(offset * axis.Inverse());
  fraction = (offset - index * axis.Cell()) * axis.Inverse();
  if (index < 0) {
    index = 0;
    fraction = 0;
  } else if (index >= axis.count - 1) {
    index = axis.count - 2;
    fraction = 1;
  }
  next = index + 1;
}

int Clamp(int v, int count)
{
  return v < 0 ? 0 : (v >= count ? count - 1 : v);
}

TCellBox Clamped(const TVolume& volume, TCellBox box)
{
  box.i1 = Clamp(box.i1, volume.ax.count);
  box.i2 = Clamp(box.i2, volume.ax.count);
  box.j1 = Clamp(box.j1, volume.ay.count);
  box.j2 = Clamp(box.j2, volume.ay.count);
  box.k1 = Clamp(box.k1, volume.az.count);
  box.k2 = Clamp(box.k2, volume.az.count);
  return box;
}

int Step(int from, int to)
{
  return to >= from ? 1 : -1;
}

// Visits the box in the export's order: k outermost, then j, then i, each from
// its first index toward its second; `endOfRun` after each finished run of i
// and of j.
template <class Cell, class EndI, class EndJ>
void WalkBox(const TCellBox& b, Cell cell, EndI endOfI, EndJ endOfJ)
{
  const int si = Step(b.i1, b.i2), sj = Step(b.j1, b.j2), sk = Step(b.k1, b.k2);
  for (int k = b.k1;; k += sk) {
    for (int j = b.j1;; j += sj) {
      for (int i = b.i1;; i += si) {
        if (!cell(i, j, k))
          return;
        if (i == b.i2)
          break;
      }
      endOfI();
      if (j == b.j2)
        break;
    }
    endOfJ();
    if (k == b.k2)
      break;
  }
}

std::string Formatted(const char* format, double a)
{
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, a);
  return buffer;
}

// A scanner of numbers in the manner of "%lf" and "%i": blanks (any white
// space) skipped, then the longest number; a failure leaves the position.
class TNumberScanner {
public:
  explicit TNumberScanner(std::string text) : text(std::move(text)) {}

  bool AtEnd()
  {
    SkipBlanks();
    return pos >= text.size();
  }
  bool ReadDouble(double& value) { return ReadNumber(value); }
  bool ReadInt(int& value) { return ReadNumber(value); }
  // Line number (from 1) of the next unread character.
  int Line() const
  {
    int line = 1;
    for (size_t p = 0; p < pos && p < text.size(); ++p)
      if (text[p] == '\n')
        ++line;
    return line;
  }

private:
  template <typename Number>
  bool ReadNumber(Number& value)
  {
    SkipBlanks();
    const char* first = text.data() + pos;
    const char* last = text.data() + text.size();
    if (first < last && *first == '+')
      ++first;
    const auto result = std::from_chars(first, last, value);
    if (result.ec != std::errc())
      return false;
    pos = static_cast<size_t>(result.ptr - text.data());
    return true;
  }
  void SkipBlanks()
  {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\n' || text[pos] == '\r' ||
                                 text[pos] == '\v' || text[pos] == '\f'))
      ++pos;
  }

  std::string text;
  size_t pos = 0;
};

struct TStagedValue {
  long index;
  double value;
};

std::string NotANumber(const TNumberScanner& scanner)
{
  return "Ошибка в строке " + std::to_string(scanner.Line()) + ": ожидалось число. Данные не изменены.";
}

bool StageValuesInOrder(const TVolume& volume, const TCellBox& box, TNumberScanner& scanner,
                        std::vector<TStagedValue>& staged, std::string& why)
{
  bool bad = false;
  WalkBox(
      box,
      [&](int i, int j, int k) {
        if (scanner.AtEnd())
          return false;
        double value = 0;
        if (!scanner.ReadDouble(value)) {
          bad = true;
          return false;
        }
        staged.push_back({volume.Index(i, j, k), value});
        return true;
      },
      [] {}, [] {});
  if (bad)
    why = NotANumber(scanner);
  return !bad;
}

bool StageIndexedLines(const TVolume& volume, TNumberScanner& scanner, std::vector<TStagedValue>& staged,
                       std::string& why)
{
  while (!scanner.AtEnd()) {
    int i = 0, j = 0, k = 0;
    double value = 0;
    if (!scanner.ReadInt(i) || !scanner.ReadInt(j) || !scanner.ReadInt(k) || !scanner.ReadDouble(value)) {
      why = NotANumber(scanner);
      return false;
    }
    if (volume.Contains(i, j, k))
      staged.push_back({volume.Index(i, j, k), value});
  }
  return true;
}

bool StagePlacedLines(const TVolume& volume, TNumberScanner& scanner, std::vector<TStagedValue>& staged,
                      std::string& why)
{
  while (!scanner.AtEnd()) {
    double u = 0, v = 0, w = 0, value = 0;
    if (!scanner.ReadDouble(u) || !scanner.ReadDouble(v) || !scanner.ReadDouble(w) || !scanner.ReadDouble(value)) {
      why = NotANumber(scanner);
      return false;
    }
    int i = 0, j = 0, k = 0;
    if (volume.CellIndex(u, v, w, i, j, k))
      staged.push_back({volume.Index(i, j, k), value});
  }
  return true;
}

} // namespace

bool TVolume::CellPosition(double u, double v, double w, double& fi, double& fj, double& fk) const
{
  fi = (u - ax.origin) * ax.Inverse();
  fj = (v - ay.origin) * ay.Inverse();
  fk = (w - az.origin) * az.Inverse();
  return fi >= 0 && fi < ax.count && fj >= 0 && fj < ay.count && fk >= 0 && fk < az.count;
}

bool TVolume::CellIndex(double u, double v, double w, int& i, int& j, int& k) const
{
  double fi = 0, fj = 0, fk = 0;
  const bool inside = CellPosition(u, v, w, fi, fj, fk);
  i = Trunc(fi);
  j = Trunc(fj);
  k = Trunc(fk);
  return inside;
}

bool InterpolateVolume(const TVolume& volume, double u, double v, double w, double& value)
{
  value = NoValue;
  int ci = 0, cj = 0, ck = 0;
  const bool inside = volume.CellIndex(u, v, w, ci, cj, ck);
  if (volume.values == nullptr || volume.ax.count < 1 || volume.ay.count < 1 || volume.az.count < 1)
    return inside;
  int i0, i1, j0, j1, k0, k1;
  double fx, fy, fz;
  AxisBlend(volume.ax, u, i0, i1, fx);
  AxisBlend(volume.ay, v, j0, j1, fy);
  AxisBlend(volume.az, w, k0, k1, fz);
  const double c000 = volume.values[volume.Index(i0, j0, k0)], c100 = volume.values[volume.Index(i1, j0, k0)];
  const double c010 = volume.values[volume.Index(i0, j1, k0)], c110 = volume.values[volume.Index(i1, j1, k0)];
  const double c001 = volume.values[volume.Index(i0, j0, k1)], c101 = volume.values[volume.Index(i1, j0, k1)];
  const double c011 = volume.values[volume.Index(i0, j1, k1)], c111 = volume.values[volume.Index(i1, j1, k1)];
  for (double c : {c000, c100, c010, c110, c001, c101, c011, c111})
    if (c == NoValue)
      return inside;
  const double x00 = c000 * (1 - fx) + c100 * fx, x10 = c010 * (1 - fx) + c110 * fx;
  const double x01 = c001 * (1 - fx) + c101 * fx, x11 = c011 * (1 - fx) + c111 * fx;
  const double y0 = x00 * (1 - fy) + x10 * fy, y1 = x01 * (1 - fy) + x11 * fy;
  value = y0 * (1 - fz) + y1 * fz;
  return inside;
}

void FillFailedLevels(TVolume& volume, const std::vector<bool>& built, int mode)
{
  const int nz = volume.az.count;
  if (mode == LevelFillNone || nz <= 0 || static_cast<int>(built.size()) != nz || volume.values == nullptr)
    return;
  int builtCount = 0;
  for (bool b : built)
    builtCount += b ? 1 : 0;
  if (builtCount == 0 || builtCount == nz)
    return;
  const long plane = volume.CellsPerLevel();
  for (int k = 0; k < nz; ++k) {
    if (built[static_cast<size_t>(k)])
      continue;
    int below = -1, above = -1;
    for (int a = k; a >= 0 && below < 0; --a)
      if (built[static_cast<size_t>(a)])
        below = a;
    for (int b = k; b < nz && above < 0; ++b)
      if (built[static_cast<size_t>(b)])
        above = b;
    if (below < 0)
      below = above;
    if (above < 0)
      above = below;
    double* target = volume.values + k * plane;
    const double* a = volume.values + below * plane;
    const double* b = volume.values + above * plane;
    const double factor = above == below ? 0.0 : static_cast<double>(k - below) / (above - below);
    for (long c = 0; c < plane; ++c) {
      if (mode == LevelFillFromBelowIndex)
        target[c] = a[c];
      else if (mode == LevelFillFromAboveIndex)
        target[c] = b[c];
      else if (mode == LevelFillLinear)
        target[c] = a[c] + (b[c] - a[c]) * factor;
    }
  }
}

bool ExportVolumeText(const TVolume& volume, TCellBox box, int mode, const std::string& fileName)
{
  if (volume.values == nullptr || volume.CellCount() <= 0)
    return false;
  std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
  if (!file)
    return false;
  box = Clamped(volume, box);
  const bool rowsOfI = box.i1 != box.i2;
  const bool rowsOfJ = box.i1 == box.i2 && box.j1 != box.j2;
  WalkBox(
      box,
      [&](int i, int j, int k) {
        const double value = volume.values[volume.Index(i, j, k)];
        std::string line;
        char buffer[160];
        if (mode == 0) {
          line = Formatted("%.6e\t", value);
        } else if (mode == 1) {
          std::snprintf(buffer, sizeof buffer, "%i\t%i\t%i\t%.6e\n", i, j, k, value);
          line = buffer;
        } else if (mode == 2) {
          std::snprintf(buffer, sizeof buffer, "%.6e\t%.6e\t%.6e\t%.6e\n", volume.ax.Centre(i), volume.ay.Centre(j),
                        volume.az.Centre(Clamp(k, volume.az.count)), value);
          line = buffer;
        }
        FixDecimalSeparator(line);
        file << line;
        return true;
      },
      [&] {
        if (mode == 0 && rowsOfI)
          file << "\n";
      },
      [&] {
        if (mode == 0 && rowsOfJ)
          file << "\n";
      });
  return static_cast<bool>(file);
}

bool ImportVolumeText(TVolume& volume, TCellBox box, int mode, const std::string& fileName, std::string& why)
{
  why.clear();
  if (volume.values == nullptr || volume.CellCount() <= 0) {
    why = "Массив пуст. Данные не изменены.";
    return false;
  }
  if (mode < 0 || mode > 2) {
    why = "Неизвестный формат файла.";
    return false;
  }
  std::ifstream file(fileName, std::ios::binary);
  if (!file) {
    why = "Не удалось открыть файл " + fileName;
    return false;
  }
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  CommaToPoint(text);
  TNumberScanner scanner(std::move(text));
  std::vector<TStagedValue> staged;
  bool good = false;
  if (mode == 0)
    good = StageValuesInOrder(volume, Clamped(volume, box), scanner, staged, why);
  else if (mode == 1)
    good = StageIndexedLines(volume, scanner, staged, why);
  else
    good = StagePlacedLines(volume, scanner, staged, why);
  if (!good)
    return false;
  for (const TStagedValue& s : staged)
    volume.values[s.index] = s.value;
  return true;
}
