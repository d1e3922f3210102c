/* The program the launch tests start.  Each mode leaves a trace the test
 * can read afterwards:
 *   write NAME         creates NAME in the working directory
 *   sleep MS [NAME]    sleeps, then creates NAME (if given)
 *   show NAME          writes "dwFlags wShowWindow" of its start-up record
 *   exit N             ends with exit code N
 *   (no argument)      writes its own command line to "cmdline.txt"
 * Any other first argument (a program started in its stead gets the rest of
 * the path) creates "<own name>.ran" in the working directory. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int writeText(const char* name, const char* text) {
    FILE* f = fopen(name, "wb");
    if (!f) return 3;
    fputs(text, f);
    fclose(f);
    return 0;
}

static int markOwnName(void) {
    char path[MAX_PATH], mark[MAX_PATH + 8];
    GetModuleFileNameA(NULL, path, MAX_PATH);
    const char* name = strrchr(path, '\\') ? strrchr(path, '\\') + 1 : path;
    char* dot = strrchr(name, '.');
    if (dot) *dot = '\0';
    snprintf(mark, sizeof mark, "%s.ran", name);
    return writeText(mark, "ran");
}

int main(int argc, char** argv) {
    if (argc == 1) return writeText("cmdline.txt", GetCommandLineA());
    if (argc >= 3 && !strcmp(argv[1], "write")) return writeText(argv[2], "written");
    if (argc >= 3 && !strcmp(argv[1], "sleep")) {
        Sleep((DWORD)atoi(argv[2]));
        return argc >= 4 ? writeText(argv[3], "slept") : 0;
    }
    if (argc >= 3 && !strcmp(argv[1], "show")) {
        STARTUPINFOA si;
        char text[32];
        GetStartupInfoA(&si);
        snprintf(text, sizeof text, "%lu %u", (unsigned long)si.dwFlags, (unsigned)si.wShowWindow);
        return writeText(argv[2], text);
    }
    if (argc >= 3 && !strcmp(argv[1], "exit")) return atoi(argv[2]);
    return markOwnName();
}
