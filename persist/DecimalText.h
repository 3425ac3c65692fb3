// Numbers at the start of a text, read the same whatever the host's locale:
// leading blanks skipped, an optional sign, digits, a decimal point and an
// exponent. A text that does not start with a number reads as 0.
#pragma once

#include <string_view>

namespace persist {

double leadingDecimal(std::string_view text);
long leadingInteger(std::string_view text);

}  // namespace persist
