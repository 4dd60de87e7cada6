// The text forms of numbers in documents, independent of the process locale.
//
// Documents must read and write the same on every machine, so none of these
// consult the locale: the output is what an int stream and printf give in
// the "C" locale, and the input rules are those of C atoi and atof in the
// "C" locale. A decimal comma never appears, and "1346.200" reads as 1346.2
// under any locale.
#pragma once

#include <string>
#include <string_view>

namespace xml {

// Decimal digits with a leading '-' for negative values, no sign for
// positive ones, no padding or grouping.
std::string formatInt(int value);

// printf "%.*f": fixed point with |decimals| places (6 when negative),
// rounded as printf rounds, no exponent; "inf", "-inf", "nan" or "-nan" for
// values that are not finite.
std::string formatReal(double value, int decimals);

// C atoi: leading white space skipped, an optional sign, then decimal
// digits up to the first other character; 0 when no digit follows. A number
// outside the int range saturates to INT_MIN or INT_MAX.
int parseInt(std::string_view text);

// C atof: leading white space skipped, an optional sign, then a decimal
// number with optional fraction and exponent, a hexadecimal number ("0x"),
// "inf", "infinity" or "nan" in any case; the longest such prefix counts;
// 0 when there is none. A magnitude beyond the double range gives infinity,
// one below it zero, as strtod does.
double parseReal(std::string_view text);

}  // namespace xml
