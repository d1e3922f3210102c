// Command lines, titles and list matching of the process runners; the stop
// box's style and answer.
#include "process/logic.h"

#include <cstring>

#include "fs/pathnames.h"

namespace gt::proc {

UINT stopBoxStyle(UINT style, DWORD helpContext) {
    style |= MB_SETFOREGROUND;
    if (helpContext != 0) style |= MB_HELP;
    return style;
}

int stopFlagFromAnswer(int answer) { return answer == IDYES ? 1 : 0; }

bool needsQuotes(const char* program) {
    if (!program || program[0] == '"') return false;
    return std::strchr(program, ' ') != nullptr;
}

bool buildCommandLine(const char* program, const char* args, ArgsRule rule, size_t lineSize, std::string& line) {
    line.clear();
    if (!program || !*program) return false;
    if (needsQuotes(program)) {
        line += '"';
        line += program;
        line += '"';
    } else {
        line = program;
    }
    const bool addArgs = args && (rule == ArgsRule::WhenGiven || *args);
    if (addArgs) {
        line += ' ';
        line += args;
    }
    if (line.size() + 1 > lineSize) {
        line.clear();
        return false;
    }
    return true;
}

std::string programTitleName(const char* program) {
    if (!program) return {};
    std::string path = program;
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
    GTSPLITPATH split;
    if (!gt::path::split(path.c_str(), split)) return {};
    return split.szName;
}

std::string finishedTitle(const std::string& name) { return name.empty() ? std::string() : kFinishedPrefix + name; }

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

char asciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool sameIgnoringCase(const char* a, size_t aLen, const char* b, size_t bLen) {
    if (aLen != bLen) return false;
    for (size_t i = 0; i < aLen; ++i)
        if (asciiUpper(a[i]) != asciiUpper(b[i])) return false;
    return true;
}

}  // namespace

bool isProgramExtension(const char* list, const char* ext) {
    if (!list || !ext) return false;
    if (*ext == '.') ++ext;
    const size_t extLen = std::strlen(ext);
    if (extLen == 0) return false;
    for (const char* p = list; *p;) {
        while (isBlank(*p)) ++p;
        const char* start = p;
        while (*p && !isBlank(*p)) ++p;
        if (p > start && sameIgnoringCase(start, static_cast<size_t>(p - start), ext, extLen)) return true;
    }
    return false;
}

bool assocCommandLine(const char* program, const char* document, bool documentIsProgram, size_t resultSize,
                      std::string& line) {
    line = program ? program : "";
    if (!documentIsProgram) {
        line += ' ';
        line += document ? document : "";
    }
    if (line.empty() || line.size() + 1 > resultSize) {
        line.clear();
        return false;
    }
    return true;
}

}  // namespace gt::proc
