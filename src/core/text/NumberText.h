#pragma once

#include <string_view>

namespace quellstone::text {

// The number at the start of a text, read the way a loosely typed language
// reads a decimal number from text: spaces, tabs and line feeds are ignored
// anywhere; an optional sign, digits, one decimal point and an exponent ("E"
// or "D") are taken; "&H" and "&O" start hexadecimal and octal numbers;
// reading stops at the first character that cannot continue the number. No
// digits give 0.
double LeadingNumber(std::string_view text);

// LeadingNumber rounded to the nearest whole number, halves to the even one.
double LeadingWholeNumber(std::string_view text);

}  // namespace quellstone::text
