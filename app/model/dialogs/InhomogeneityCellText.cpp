#include "model/dialogs/InhomogeneityCellText.h"

#include "data/TextConversion.h"

namespace {

int IntegerOr(const std::string& text, int fallback)
{
  try {
    return StrToIntStrict(text);
  } catch (const EConvertError&) {
    return fallback;
  }
}

}  // namespace

std::string ShapeCellText(const std::string& cell)
{
  return IntegerOr(cell, 0) == 1 ? "эллипсоид" : "\"кубик\"";
}

std::string AlphaCellText(const std::string& cell)
{
  return std::to_string(100 - IntegerOr(cell, 65536) / 655) + "%";
}
