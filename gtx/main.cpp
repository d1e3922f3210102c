// gtx - command-line host of gtapi32.dll.
//
// Exit codes: 0 success, 1 the operation failed, 2 bad usage.
// Each subcommand family lives in a file of its own and registers here.
#include <cstdio>
#include <algorithm>
#include <cstring>

#include "gtx.h"

namespace {

const Subcommand* g_commands[64];
int g_count = 0;

int help() {
    std::sort(g_commands, g_commands + g_count,
              [](const Subcommand* a, const Subcommand* b) { return std::strcmp(a->name, b->name) < 0; });
    std::printf("usage: gtx <command> [arguments]\n\ncommands:\n");
    for (int i = 0; i < g_count; ++i)
        std::printf("  %-10s %s\n", g_commands[i]->name, g_commands[i]->summary);
    std::printf("  %-10s %s\n", "--help", "this list");
    return 0;
}

}  // namespace

void registerSubcommand(const Subcommand* cmd) {
    if (g_count < 64) g_commands[g_count++] = cmd;
}

int main(int argc, char** argv) {
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h") ||
        !std::strcmp(argv[1], "help"))
        return argc < 2 ? (help(), 2) : help();
    for (int i = 0; i < g_count; ++i)
        if (!std::strcmp(argv[1], g_commands[i]->name)) return g_commands[i]->run(argc - 1, argv + 1);
    std::fprintf(stderr, "gtx: unknown command '%s' (see gtx --help)\n", argv[1]);
    return 2;
}
