// The Windows rules by which a started program splits its command line into arguments (the C
// run-time's rules): blanks and tabs separate arguments outside double quotes; 2n backslashes
// before a quote give n backslashes and the quote opens or closes a quoted part, 2n+1 give n
// and a literal quote; other backslashes are literal; "" inside a quoted part is one literal quote.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Splits UTF-8 text (where no byte of a multi-byte character is a backslash or a quote).
std::vector<std::string> SplitCommandLineArguments(std::string_view text);
