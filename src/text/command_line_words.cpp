#include "text/command_line_words.h"

namespace vantrel {

namespace {

bool IsBlankOrTab(char c) {
    return c == ' ' || c == '\t';
}

// Where the program's name ends, and the first argument may begin.
std::size_t AfterProgramName(std::string_view line) {
    std::size_t i = 0;
    if (!line.empty() && line[0] == '"') {
        const std::size_t close = line.find('"', 1);
        i = close == std::string_view::npos ? line.size() : close + 1;
    } else {
        while (i < line.size() && !IsBlankOrTab(line[i])) ++i;
    }
    return i;
}

}  // namespace

std::vector<std::string> WindowsCommandLineArguments(std::string_view line) {
    std::vector<std::string> arguments;
    std::string word;
    bool started = false;  // a word is begun, if only by quotes: "" is an empty argument
    bool quoted = false;
    std::size_t backslashes = 0;
    for (std::size_t i = AfterProgramName(line); i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\\') {
            ++backslashes;
            started = true;
            continue;
        }
        if (c == '"') {
            started = true;
            word.append(backslashes / 2, '\\');
            const bool escaped = backslashes % 2 == 1;
            backslashes = 0;
            if (escaped) {
                word += '"';
                continue;
            }
            // A run of quotes: counted from the one that opened the stretch, every third is a
            // literal quote, and the count left over says whether the stretch goes on.
            int count = quoted ? 2 : 1;
            for (; i + 1 < line.size() && line[i + 1] == '"'; ++i) {
                if (++count == 3) {
                    word += '"';
                    count = 0;
                }
            }
            quoted = count == 1;
            continue;
        }
        word.append(backslashes, '\\');
        backslashes = 0;
        if (IsBlankOrTab(c) && !quoted) {
            if (started) arguments.push_back(std::move(word));
            word.clear();
            started = false;
            continue;
        }
        word += c;
        started = true;
    }
    word.append(backslashes, '\\');
    if (started) arguments.push_back(std::move(word));
    return arguments;
}

}  // namespace vantrel
