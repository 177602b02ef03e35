#pragma once

#include <cstddef>
#include <vector>

class TStream;

// Numbered parameters of a model. The breakdown model registers none, but the
// list keeps its place in the project file.
class TModelParams {
public:
  struct TItem {
    int id;
    double value;
  };

  // Registers an id (with its value) unless it is already there.
  void Add(int id, double value);
  int Find(int id) const;
  // False when the id is not registered.
  bool SetValue(int id, double value);
  int Count() const { return static_cast<int>(items.size()); }
  const TItem &Item(int i) const { return items[static_cast<size_t>(i)]; }

  // int32 count, then per item int32 id and f64 value.
  void Write(TStream &stream) const;
  // Reads the stored pairs and applies those of registered ids; a count that
  // the stream cannot hold reads nothing more. Nothing for a null stream.
  void Read(TStream *stream);

private:
  std::vector<TItem> items;
};
