#include "persist/DecimalText.h"

#include <charconv>
#include <cmath>

namespace persist {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Skips blanks and a plus sign; the rest must start with a digit, a point
// followed by a digit, or a minus sign before either.
std::string_view numberStart(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    if (i < text.size() && text[i] == '+') ++i;
    text.remove_prefix(i);
    std::size_t j = (!text.empty() && text[0] == '-') ? 1 : 0;
    if (j < text.size() && text[j] == '.') ++j;
    if (j >= text.size() || !isDigit(text[j])) return {};
    return text;
}

}  // namespace

double leadingDecimal(std::string_view text) {
    text = numberStart(text);
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || !std::isfinite(value)) return 0.0;
    return value;
}

long leadingInteger(std::string_view text) {
    text = numberStart(text);
    long value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() ? value : 0;
}

}  // namespace persist
