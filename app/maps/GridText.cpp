#include "maps/GridText.h"

#include <algorithm>

namespace {
constexpr char CarriageReturn = '\r';
constexpr char LineFeed = '\n';
constexpr char Tab = '\t';
}

std::vector<std::string> CutGridLines(std::string_view text)
{
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t cr = text.find(CarriageReturn, pos);
    const size_t lf = text.find(LineFeed, pos);
    const size_t first = std::min(cr, lf);
    if (first == std::string_view::npos) {
      lines.emplace_back(text.substr(pos));
      break;
    }
    lines.emplace_back(text.substr(pos, first - pos));
    const size_t second = std::max(cr, lf);
    // CR LF and LF CR end one line together; any other CR or LF ends it alone.
    pos = (second != std::string_view::npos && second == first + 1) ? second + 1 : first + 1;
  }
  return lines;
}

TGridTextRow CutGridCells(std::string_view line)
{
  TGridTextRow cells;
  size_t pos = 0;
  while (true) {
    const size_t tab = line.find(Tab, pos);
    if (tab == std::string_view::npos) {
      cells.emplace_back(line.substr(pos));
      break;
    }
    cells.emplace_back(line.substr(pos, tab - pos));
    pos = tab + 1;
    if (pos == line.size())
      break;
  }
  return cells;
}

TGridTextRows ParseGridText(std::string_view text)
{
  TGridTextRows rows;
  for (const std::string& line : CutGridLines(text))
    rows.push_back(CutGridCells(line));
  return rows;
}

std::string JoinGridTextRow(const TGridTextRow& cells, bool lineBreaksToBlanks)
{
  std::string out;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i > 0)
      out += Tab;
    std::string cell = cells[i];
    if (lineBreaksToBlanks)
      std::replace(cell.begin(), cell.end(), LineFeed, ' ');
    out += cell;
  }
  out += LineFeed;
  return out;
}
