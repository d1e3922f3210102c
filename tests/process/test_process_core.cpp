// Command lines, window titles, the program-extension list and the stop
// box's style and answer, on plain data.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "process/logic.h"

namespace proc = gt::proc;

TEST(CommandLine, BuiltQuotedAndBounded) {
    // "run.exe " and the arguments: 1023 characters, or one more.
    const std::string fits(1024 - 1 - 8, 'a'), over = fits + "a";
    // Quoted, "a b.exe" takes 9 characters: 1024 with the blank.
    const std::string overQuoted(1024 - 10, 'a');
    struct Row {
        const char* name;
        const char* program;
        const char* args;
        proc::ArgsRule rule;
        size_t size;
        bool ok;
        std::string line;
    };
    const Row rows[] = {
        {"program and arguments", "C:\\t\\run.exe", "-x 1", proc::ArgsRule::WhenNonEmpty, 1024, true,
         "C:\\t\\run.exe -x 1"},
        {"empty arguments add nothing", "run.exe", "", proc::ArgsRule::WhenNonEmpty, 1024, true, "run.exe"},
        {"empty arguments keep the blank when given", "run.exe", "", proc::ArgsRule::WhenGiven, 521, true,
         "run.exe "},
        {"null arguments add nothing when given", "run.exe", nullptr, proc::ArgsRule::WhenGiven, 521, true,
         "run.exe"},
        {"blank in the path is quoted", "C:\\Program Files\\run.exe", "a", proc::ArgsRule::WhenNonEmpty, 1024, true,
         "\"C:\\Program Files\\run.exe\" a"},
        {"quoted path stays as it is", "\"C:\\a b\\r.exe\"", nullptr, proc::ArgsRule::WhenNonEmpty, 1024, true,
         "\"C:\\a b\\r.exe\""},
        {"line that just fits", "run.exe", fits.c_str(), proc::ArgsRule::WhenNonEmpty, 1024, true,
         "run.exe " + fits},
        {"one byte over", "run.exe", over.c_str(), proc::ArgsRule::WhenNonEmpty, 1024, false, ""},
        {"quotes count", "a b.exe", overQuoted.c_str(), proc::ArgsRule::WhenNonEmpty, 1024, false, ""},
        {"empty program", "", "a", proc::ArgsRule::WhenGiven, 521, false, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::string line = "stale";
        EXPECT_EQ(proc::buildCommandLine(row.program, row.args, row.rule, row.size, line), row.ok);
        EXPECT_EQ(line, row.line);
    }
}

TEST(WindowTitles, NameWithoutDirectoryExtensionOrQuotes) {
    const std::string longName(250, 'n');
    struct Row { const char* name; std::string program; std::string title; std::string finished; };
    const Row rows[] = {
        {"full path", "C:\\Tools\\run.exe", "run", "Finished - run"},
        {"quoted path with blanks", "\"C:\\a b\\Tool Box.exe\"", "Tool Box", "Finished - Tool Box"},
        {"name beyond the old 100-byte titles", "C:\\" + longName + ".exe", longName, "Finished - " + longName},
        {"path too long to split", "C:\\" + std::string(300, 'p') + ".exe", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string name = proc::programTitleName(row.program.c_str());
        EXPECT_EQ(name, row.title);
        EXPECT_EQ(proc::finishedTitle(name), row.finished);
    }
}

TEST(ProgramsList, WholeEntriesInAnyCase) {
    struct Row { const char* name; const char* list; const char* ext; bool program; };
    const Row rows[] = {
        {"listed", "exe com", "exe", true},
        {"with its dot, other case", "exe com", ".COM", true},
        {"tab and double blanks separate", "exe  com\tpif", "pif", true},
        {"a letter of an entry", "exe com", "e", false},
        {"the start of an entry", "exe com", "ex", false},
        {"the end of an entry", "exe com", "xe", false},
        {"two entries' joint", "exe com", "e c", false},
        {"empty extension", "exe com", "", false},
        {"a dot alone", "exe com", ".", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(proc::isProgramExtension(row.list, row.ext), row.program);
    }
}

TEST(AssocLine, ProgramAloneOrWithTheDocument) {
    // "C:\v.exe", a blank and the document: 259 characters fit 260 bytes.
    const std::string fits(250, 'd'), over = fits + "d";
    struct Row { const char* name; std::string document; bool isProgram; bool ok; std::string line; };
    const Row rows[] = {
        {"document appended unchanged", "my doc.txt", false, true, "C:\\v.exe my doc.txt"},
        {"program alone", "tool.exe", true, true, "C:\\v.exe"},
        {"259 characters fit", fits, false, true, "C:\\v.exe " + fits},
        {"260 characters do not", over, false, false, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::string line = "stale";
        EXPECT_EQ(proc::assocCommandLine("C:\\v.exe", row.document.c_str(), row.isProgram, 260, line), row.ok);
        EXPECT_EQ(line, row.line);
    }
}

TEST(StopBox, StyleAndAnswer) {
    struct Row { const char* name; UINT style; DWORD help; UINT boxStyle; };
    const Row rows[] = {
        {"no help context", MB_YESNO, 0, MB_YESNO | MB_SETFOREGROUND},
        {"help context", MB_YESNO | MB_ICONQUESTION, 12, MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND | MB_HELP},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(proc::stopBoxStyle(row.style, row.help), row.boxStyle);
    }
    struct Answer { const char* name; int answer; int flag; };
    const Answer answers[] = {{"yes", IDYES, 1}, {"no", IDNO, 0}, {"cancel", IDCANCEL, 0}, {"ok", IDOK, 0}};
    for (const Answer& a : answers) {
        SCOPED_TRACE(a.name);
        EXPECT_EQ(proc::stopFlagFromAnswer(a.answer), a.flag);
    }
}
