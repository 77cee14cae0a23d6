// AnsiString: the class library's reference-counted 8-bit string, here a value type over
// std::string holding code page 932 (Shift-JIS) bytes. Indexes are 1-based, as in the original.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class AnsiString {
public:
    AnsiString() = default;
    AnsiString(const char* s) : s_(s ? s : "") {}
    AnsiString(const char* s, int length) : s_(s, static_cast<std::size_t>(length)) {}
    AnsiString(std::string s) : s_(std::move(s)) {}
    AnsiString(std::string_view s) : s_(s) {}
    explicit AnsiString(char c) : s_(1, c) {}

    const char* c_str() const { return s_.c_str(); }
    const char* data() const { return s_.data(); }
    int Length() const { return static_cast<int>(s_.size()); }
    bool IsEmpty() const { return s_.empty(); }

    // 1-based byte access.
    char operator[](int index) const { return s_[static_cast<std::size_t>(index - 1)]; }
    char& operator[](int index) { return s_[static_cast<std::size_t>(index - 1)]; }

    // Bytes from the 1-based index, at most count of them; out-of-range parts are dropped.
    AnsiString SubString(int index, int count) const;
    // 1-based index of the first occurrence of sub, 0 when there is none.
    int Pos(const AnsiString& sub) const;
    // 1-based index of the last byte that is one of delimiters and no trail byte, 0 when none.
    int LastDelimiter(const AnsiString& delimiters) const;
    // True when the byte at the 1-based index is the given delimiter and no trail byte.
    bool IsDelimiter(const AnsiString& delimiters, int index) const;

    AnsiString& operator+=(const AnsiString& other) { s_ += other.s_; return *this; }
    friend AnsiString operator+(AnsiString a, const AnsiString& b) { a += b; return a; }
    friend AnsiString operator+(const char* a, const AnsiString& b) { return AnsiString(a) + b; }
    friend bool operator==(const AnsiString& a, const AnsiString& b) { return a.s_ == b.s_; }
    friend bool operator!=(const AnsiString& a, const AnsiString& b) { return a.s_ != b.s_; }
    friend bool operator<(const AnsiString& a, const AnsiString& b) { return a.s_ < b.s_; }

    // The layer's access to the bytes.
    const std::string& str() const { return s_; }
    std::string& str() { return s_; }

private:
    std::string s_;
};

// Code page 932 text from UTF-8 source text; the one way Japanese literals enter the programs:
//     Label1->Caption = "明朝"_cp932;
AnsiString operator""_cp932(const char* utf8, std::size_t length);

// Lead-byte test of code page 932: 0x81-0x9F and 0xE0-0xFC begin a double-byte character.
bool IsDBCSLeadByte(unsigned char byte);

// True when the 1-based byte index of s is the second byte of a double-byte character.
bool IsTrailByte(const AnsiString& s, int index);

AnsiString IntToStr(int value);
AnsiString IntToHex(unsigned value, int digits);
