// Command lines at their limits, window titles and the program-extension
// list, on plain data.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "process/logic.h"

namespace proc = gt::proc;

TEST(CommandLine, QuotedAndBoundedBy1024Bytes) {
    // "run.exe " and the arguments: 1023 characters, or one more.
    const std::string fits(1024 - 1 - 8, 'a'), over = fits + "a";
    // Quoted, "a b.exe" takes 9 characters: 1024 with the blank.
    const std::string overQuoted(1024 - 10, 'a');
    struct Row { const char* name; const char* program; const char* args; bool ok; std::string line; };
    const Row rows[] = {
        {"quoted path stays as it is", "\"C:\\a b\\r.exe\"", nullptr, true, "\"C:\\a b\\r.exe\""},
        {"line that just fits", "run.exe", fits.c_str(), true, "run.exe " + fits},
        {"one byte over", "run.exe", over.c_str(), false, ""},
        {"quotes count", "a b.exe", overQuoted.c_str(), false, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::string line = "stale";
        EXPECT_EQ(proc::buildCommandLine(row.program, row.args, proc::ArgsRule::WhenNonEmpty, proc::kExecuteLineSize,
                                         line),
                  row.ok);
        EXPECT_EQ(line, row.line);
    }
}

TEST(WindowTitles, NameWithoutDirectoryExtensionOrQuotes) {
    const std::string longName(250, 'n');
    struct Row { const char* name; std::string program; std::string title; std::string finished; };
    const Row rows[] = {
        {"quoted path with blanks", "\"C:\\a b\\Tool Box.exe\"", "Tool Box", "Finished - Tool Box"},
        {"name longer than 100 bytes", "C:\\" + longName + ".exe", longName, "Finished - " + longName},
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
        {"a letter of an entry", "exe com", "e", false},
        {"empty extension", "exe com", "", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(proc::isProgramExtension(row.list, row.ext), row.program);
    }
}
