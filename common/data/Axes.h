#pragma once

#include <string>
#include <vector>

// The catalogue of physical quantities by unit code: the name and unit text
// shown on layer captions, plot axes and information windows.
struct TAxisEntry {
  std::string name;
  std::string unit; // possibly empty
  int code;
};

class TAxes {
public:
  void Add(const std::string &name, const std::string &unit, int code);
  void Clear();
  // Clears and adds the program's catalogue of 121 entries.
  void Fill();
  // The first entry with the code, else the first entry of the catalogue.
  // An empty catalogue answers like the filled one for an unknown code.
  const TAxisEntry &Find(int code) const;

  int Count() const { return static_cast<int>(entries.size()); }
  const TAxisEntry &Item(int i) const { return entries[static_cast<size_t>(i)]; }

private:
  std::vector<TAxisEntry> entries;
};
