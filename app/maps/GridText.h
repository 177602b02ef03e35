#pragma once
// Grid text as other programs exchange it: a TAB between the cells of a row and
// a line feed after every row. Qt-free, so the cutting rules are tested alone.
#include <string>
#include <string_view>
#include <vector>

using TGridTextRow = std::vector<std::string>;
using TGridTextRows = std::vector<TGridTextRow>;

// The lines of a text. A line ends at CR, at LF, or at a CR LF or LF CR pair;
// a line end that closes the text starts no further (empty) line.
std::vector<std::string> CutGridLines(std::string_view text);

// The cells of one line, cut at every TAB; a TAB that ends the line makes no
// empty cell after it, while an empty line is one empty cell.
TGridTextRow CutGridCells(std::string_view line);

// Lines, then cells; an empty text has no rows.
TGridTextRows ParseGridText(std::string_view text);

// One row of grid text with its line feed; with lineBreaksToBlanks every line
// feed inside a cell becomes a blank, so the row stays one line.
std::string JoinGridTextRow(const TGridTextRow& cells, bool lineBreaksToBlanks);
