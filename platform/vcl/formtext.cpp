#include "vcl/formtext.h"

#include <cctype>
#include <cstdlib>

#include "rtl/codepage.h"
#include "rtl/sysutils.h"

namespace {

// Nested objects and lists deeper than this are refused: the parser recurses at each level, and a
// hostile layout must end in a parse error rather than a stack overflow.
constexpr int kMaxNesting = 256;

class TParser {
public:
    explicit TParser(const std::string& text) : s_(text) {}

    TFormObject ParseObject() {
        TNesting nesting(*this);
        SkipBlanks();
        TFormObject object;
        object.Line = line_;
        std::string keyword = Word();
        if (keyword != "object" && keyword != "inherited")
            Fail("\"object\" expected");
        std::string first = Word();
        SkipBlanks();
        if (Peek() == ':') {
            ++i_;
            object.Name = AnsiString(first);
            object.ClassName = AnsiString(Word());
        } else {
            object.ClassName = AnsiString(first);
        }
        for (;;) {
            SkipBlanks();
            if (AtEnd()) Fail("\"end\" expected");
            std::size_t mark = i_;
            int markLine = line_;
            std::string word = Word();
            if (word == "end") return object;
            if (word == "object" || word == "inherited") {
                i_ = mark;
                line_ = markLine;
                object.Children.push_back(ParseObject());
                continue;
            }
            TFormProperty property;
            property.Line = markLine;
            std::string name = word;
            while (Peek() == '.') {
                ++i_;
                name += "." + Word();
            }
            property.Name = AnsiString(name);
            SkipBlanks();
            if (Peek() != '=') Fail("\"=\" expected after " + name);
            ++i_;
            property.Value = Value();
            object.Properties.push_back(std::move(property));
        }
    }

    void ExpectEnd() {
        SkipBlanks();
        if (!AtEnd()) Fail("text after the last \"end\"");
    }

private:
    // One level of objects or lists, counted while it is parsed.
    struct TNesting {
        explicit TNesting(TParser& parser) : p(parser) {
            if (++p.depth_ > kMaxNesting)
                p.Fail("nested more than " + std::to_string(kMaxNesting) + " levels deep");
        }
        ~TNesting() { --p.depth_; }
        TParser& p;
    };

    TFormValue Value() {
        TNesting nesting(*this);
        SkipBlanks();
        TFormValue v;
        char c = Peek();
        if (c == '\'' || c == '#') {
            v.Kind = TFormValue::vaString;
            std::string utf8 = StringPart();
            // Long strings are stored as parts joined by "+".
            for (;;) {
                std::size_t mark = i_;
                int markLine = line_;
                SkipBlanks();
                if (Peek() != '+') { i_ = mark; line_ = markLine; break; }
                ++i_;
                SkipBlanks();
                utf8 += StringPart();
            }
            v.Str = Utf8ToAnsi(utf8);
        } else if (c == '-' || c == '+' || std::isdigit(static_cast<unsigned char>(c))) {
            std::size_t start = i_;
            ++i_;
            while (std::isdigit(static_cast<unsigned char>(Peek()))) ++i_;
            bool isFloat = false;
            while (Peek() == '.' || Peek() == 'e' || Peek() == 'E' ||
                   std::isdigit(static_cast<unsigned char>(Peek()))) {
                isFloat = true;
                ++i_;
            }
            std::string number = s_.substr(start, i_ - start);
            if (isFloat) {
                v.Kind = TFormValue::vaFloat;
                v.Float = std::strtod(number.c_str(), nullptr);
            } else {
                v.Kind = TFormValue::vaInt;
                v.Int = std::strtoll(number.c_str(), nullptr, 10);
            }
        } else if (c == '$') {
            ++i_;
            std::size_t start = i_;
            while (std::isxdigit(static_cast<unsigned char>(Peek()))) ++i_;
            v.Kind = TFormValue::vaInt;
            v.Int = std::strtoll(s_.substr(start, i_ - start).c_str(), nullptr, 16);
        } else if (c == '[') {
            ++i_;
            v.Kind = TFormValue::vaSet;
            for (;;) {
                SkipBlanks();
                if (Peek() == ']') { ++i_; break; }
                if (Peek() == ',') { ++i_; continue; }
                std::string word = Word();
                if (word.empty()) Fail("set element expected");
                v.Set.push_back(AnsiString(word));
            }
        } else if (c == '{') {
            ++i_;
            v.Kind = TFormValue::vaBinary;
            std::string hex;
            while (!AtEnd() && Peek() != '}') {
                char h = s_[i_++];
                if (h == '\n') ++line_;
                if (std::isxdigit(static_cast<unsigned char>(h))) hex += h;
            }
            if (AtEnd()) Fail("\"}\" expected");
            ++i_;
            if (hex.size() % 2) Fail("odd number of hexadecimal digits");
            for (std::size_t k = 0; k < hex.size(); k += 2)
                v.Binary += static_cast<char>(std::strtol(hex.substr(k, 2).c_str(), nullptr, 16));
        } else if (c == '(') {
            ++i_;
            v.Kind = TFormValue::vaList;
            for (;;) {
                SkipBlanks();
                if (Peek() == ')') { ++i_; break; }
                if (AtEnd()) Fail("\")\" expected");
                v.Items.push_back(Value());
            }
        } else {
            std::string word = Word();
            if (word.empty()) Fail("value expected");
            while (Peek() == '.') { ++i_; word += "." + Word(); }
            v.Kind = TFormValue::vaIdent;
            v.Str = AnsiString(word);
        }
        return v;
    }

    // One run of quoted parts and #code characters, as UTF-8.
    std::string StringPart() {
        std::string out;
        for (;;) {
            if (Peek() == '\'') {
                ++i_;
                for (;;) {
                    if (AtEnd() || Peek() == '\n') Fail("unterminated string");
                    char ch = s_[i_++];
                    if (ch == '\'') {
                        if (Peek() == '\'') { out += '\''; ++i_; continue; }
                        break;
                    }
                    out += ch;
                }
            } else if (Peek() == '#') {
                ++i_;
                std::size_t start = i_;
                while (std::isdigit(static_cast<unsigned char>(Peek()))) ++i_;
                if (start == i_) Fail("character code expected after #");
                AppendUtf8(out, std::strtoul(s_.substr(start, i_ - start).c_str(), nullptr, 10));
            } else {
                return out;
            }
        }
    }

    static void AppendUtf8(std::string& out, unsigned long cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | cp >> 6);
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | cp >> 12);
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | cp >> 18);
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    std::string Word() {
        SkipBlanks();
        std::size_t start = i_;
        while (!AtEnd() && (std::isalnum(static_cast<unsigned char>(Peek())) || Peek() == '_')) ++i_;
        return s_.substr(start, i_ - start);
    }

    void SkipBlanks() {
        while (!AtEnd()) {
            char c = s_[i_];
            if (c == '\n') ++line_;
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') { ++i_; continue; }
            if (c == '/' && i_ + 1 < s_.size() && s_[i_ + 1] == '/') {  // a comment line
                while (!AtEnd() && s_[i_] != '\n') ++i_;
                continue;
            }
            break;
        }
    }

    char Peek() const { return AtEnd() ? '\0' : s_[i_]; }
    bool AtEnd() const { return i_ >= s_.size(); }
    [[noreturn]] void Fail(const std::string& what) const {
        throw Exception(AnsiString("form layout, line " + std::to_string(line_) + ": " + what));
    }

    const std::string& s_;
    std::size_t i_ = 0;
    int line_ = 1;
    int depth_ = 0;
};

}  // namespace

TFormObject ParseFormText(const std::string& utf8) {
    TParser parser(utf8);
    TFormObject root = parser.ParseObject();
    parser.ExpectEnd();
    return root;
}
