// Subcommand registry of gtx.  A family adds itself with a static
// GTX_SUBCOMMAND(name, summary, function) in its own source file.
#pragma once

struct Subcommand {
    const char* name;
    const char* summary;
    int (*run)(int argc, char** argv);  // argv[0] is the subcommand's name
};

void registerSubcommand(const Subcommand* cmd);

#define GTX_SUBCOMMAND(ident, name, summary, fn)          \
    static const Subcommand ident##_cmd{name, summary, fn}; \
    static const bool ident##_reg = (registerSubcommand(&ident##_cmd), true)

enum { GTX_OK = 0, GTX_FAILED = 1, GTX_USAGE = 2 };
