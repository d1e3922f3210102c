// Decisions of the stop request and the process runners that need no
// process: command lines, window titles, the program-extension list and the
// stop box's style and answer.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

namespace gt::proc {

// --- stop request

// The system-wide mutex that serialises the flag and the stop question.
constexpr const char kStopMutexName[] = "VANTIL_MUTEX_STOP_REQUEST";
// FORMAT_MESSAGE_FROM_STRING with lines broken at 50 columns.
constexpr DWORD kStopFormatFlags = FORMAT_MESSAGE_FROM_STRING | 50;
// Characters of the formatted question, terminator included.
constexpr size_t kStopTextSize = 512;
// The question's language, whatever the caller's UI language.
constexpr WORD kStopLanguage = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// The caller's style, always brought to the foreground; a Help button only
// when there is a help context to show.
UINT stopBoxStyle(UINT style, DWORD helpContext);
// Only Yes asks to stop; every other answer withdraws an earlier request.
int stopFlagFromAnswer(int answer);

// --- command lines

// CreateProcessA takes at most this much (terminator included) from us.
constexpr size_t kExecuteLineSize = 1024;
constexpr size_t kDosLineSize = 521;

// When the arguments join the program on the command line.
enum class ArgsRule {
    WhenNonEmpty,  // null and "" add nothing
    WhenGiven,     // "" still adds the separating blank; null adds nothing
};

// True when the program holds a blank and is not quoted yet: unquoted, the
// system would try each blank-cut prefix of the path as a program first.
bool needsQuotes(const char* program);
// Program (quoted when needsQuotes), then a blank and the arguments as the
// rule says.  False, with nothing usable in the result, when the program is
// empty or the line would not fit in lineSize bytes.
bool buildCommandLine(const char* program, const char* args, ArgsRule rule, size_t lineSize, std::string& line);

// --- console window titles

constexpr const char kFinishedPrefix[] = "Finished - ";
// The system's console window class.
constexpr const char kConsoleClass[] = "tty";

// The program's file name without directory, extension or surrounding
// quotes; empty when the path cannot be split.
std::string programTitleName(const char* program);
// "Finished - " and the name; empty for an empty name.
std::string finishedTitle(const std::string& name);

// --- document associations

// The program-extension list when WIN.INI names none.
constexpr const char kDefaultPrograms[] = "exe com";
constexpr size_t kProgramsSize = 260;
// Room for the command line that opens a document, terminator included.
constexpr size_t kAssocResultSize = MAX_PATH;

// True when ext (with or without its dot) equals one whole blank-separated
// entry of list, in any case.  An empty extension is never a program.
bool isProgramExtension(const char* list, const char* ext);
// The line that opens a document: the program alone when the document is a
// program itself, else the program, a blank and the document unchanged.
// False when the line would not fit in resultSize bytes.
bool assocCommandLine(const char* program, const char* document, bool documentIsProgram, size_t resultSize,
                      std::string& line);

}  // namespace gt::proc
