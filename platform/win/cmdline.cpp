#include "win/cmdline.h"

std::vector<std::string> SplitCommandLineArguments(std::string_view text) {
    std::vector<std::string> args;
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto blank = [&](std::size_t at) { return text[at] == ' ' || text[at] == '\t'; };
    for (;;) {
        while (i < n && blank(i)) ++i;
        if (i == n) return args;
        std::string arg;
        bool quoted = false;
        while (i < n && (quoted || !blank(i))) {
            if (text[i] == '\\') {
                std::size_t count = 0;
                while (i < n && text[i] == '\\') ++count, ++i;
                if (i < n && text[i] == '"') {
                    arg.append(count / 2, '\\');
                    if (count % 2 == 1) {
                        arg += '"';
                        ++i;
                    }
                } else {
                    arg.append(count, '\\');
                }
            } else if (text[i] == '"') {
                if (quoted && i + 1 < n && text[i + 1] == '"') {
                    arg += '"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                arg += text[i++];
            }
        }
        args.push_back(std::move(arg));
    }
}
