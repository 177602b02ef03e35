#pragma once

#include <string>
#include <vector>

// Names of the levels of nested selection menus per model array or output
// quantity id ("исходные" > "потенциал"), so that they can be offered in
// menus and named level by level.
struct TQuantityLevelItem {
  int key;
  std::vector<std::string> names; // level 0 first
};

class TQuantityLevels {
public:
  explicit TQuantityLevels(int capacity);

  // An empty name repeats the name at the same level of the item added just
  // before, so items sharing their upper levels spell them out once.
  void Add(int key, const std::vector<std::string> &names);
  const TQuantityLevelItem *Find(int key) const;
  // The name at a level, or "данные <key>" for an absent key or level.
  std::string Name(int key, int level) const;
  // Number of names of the key; 1 for an absent key.
  int Count(int key) const;
  void Clear();

  int ItemCount() const { return static_cast<int>(items.size()); }
  int Capacity() const { return capacity; }

private:
  static constexpr int Growth = 10;
  std::vector<TQuantityLevelItem> items;
  int capacity;
};
