// libFuzzer target for the form-layout parser: any text is a layout tree or an Exception that
// names its line; nothing else may come out of it, however deep or long the text.
#include <cstdint>
#include <string>

#include "rtl/sysutils.h"
#include "vcl/formtext.h"
#include "check.h"

namespace {

int Lines(const std::string& text) {
    int lines = 1;
    for (char c : text) lines += c == '\n';
    return lines;
}

void CheckObject(const TFormObject& object, int lines) {
    Check(object.Line >= 1 && object.Line <= lines, "an object's line lies in the text");
    for (const TFormProperty& property : object.Properties)
        Check(property.Line >= object.Line && property.Line <= lines, "a property's line lies in its object");
    for (const TFormObject& child : object.Children) CheckObject(child, lines);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    try {
        CheckObject(ParseFormText(text), Lines(text));
    } catch (const Exception& e) {
        Check(e.Message.str().rfind("form layout, line ", 0) == 0, "a parse error names its line");
    }
    return 0;
}
