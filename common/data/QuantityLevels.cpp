#include "data/QuantityLevels.h"

TQuantityLevels::TQuantityLevels(int capacity) : capacity(capacity < 0 ? 0 : capacity)
{
  items.reserve(static_cast<size_t>(this->capacity));
}

void TQuantityLevels::Add(int key, const std::vector<std::string> &names)
{
  if (static_cast<int>(items.size()) >= capacity) {
    capacity += Growth;
    items.reserve(static_cast<size_t>(capacity));
  }
  TQuantityLevelItem item{key, {}};
  const TQuantityLevelItem *previous = items.empty() ? nullptr : &items.back();
  for (size_t level = 0; level < names.size(); ++level) {
    if (!names[level].empty() || !previous || level >= previous->names.size())
      item.names.push_back(names[level]);
    else
      item.names.push_back(previous->names[level]);
  }
  items.push_back(std::move(item));
}

const TQuantityLevelItem *TQuantityLevels::Find(int key) const
{
  for (const auto &item : items)
    if (item.key == key)
      return &item;
  return nullptr;
}

std::string TQuantityLevels::Name(int key, int level) const
{
  const TQuantityLevelItem *item = Find(key);
  if (item && level >= 0 && level < static_cast<int>(item->names.size()))
    return item->names[static_cast<size_t>(level)];
  return "данные " + std::to_string(key);
}

int TQuantityLevels::Count(int key) const
{
  const TQuantityLevelItem *item = Find(key);
  return item ? static_cast<int>(item->names.size()) : 1;
}

void TQuantityLevels::Clear()
{
  items.clear();
}
