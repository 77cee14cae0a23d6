// The class library's WideString: a string of UTF-16 code units, held as they are (no check that
// surrogates pair up, no terminating NUL counted).
#pragma once

#include <string>

class WideString {
public:
    WideString() = default;
    WideString(std::u16string s) : s_(std::move(s)) {}
    WideString(const char16_t* s) : s_(s ? s : u"") {}

    // The number of code units.
    int Length() const { return static_cast<int>(s_.size()); }
    bool IsEmpty() const { return s_.empty(); }
    // The code units, NUL-terminated.
    const char16_t* c_bstr() const { return s_.c_str(); }

    const std::u16string& str() const { return s_; }
    friend bool operator==(const WideString& a, const WideString& b) { return a.s_ == b.s_; }

private:
    std::u16string s_;
};
