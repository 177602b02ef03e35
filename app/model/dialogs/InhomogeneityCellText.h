#pragma once
// What the shape and transparency cells of the inhomogeneity table show for
// the integers they hold. Qt-free.
#include <string>

// "эллипсоид" for 1, else "кубик" in double quotes (a text that is not an
// integer counts as 0).
std::string ShapeCellText(const std::string& cell);
// 100 - t div 655 followed by "%" (a text that is not an integer counts as
// 65536, opaque): 65536 shows "0%", 6554 "90%".
std::string AlphaCellText(const std::string& cell);
