/* A COMMAND.COM stand-in for the system-disk tests: runs "/C PROGRAM ARGS
 * > FILE" with the program's output in FILE.  With GT_SHELL_NO_REDIRECT set
 * it runs the program but writes no file. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

int main(void) {
    char line[1024];
    char* p = strstr(lstrcpynA(line, GetCommandLineA(), sizeof(line)), "/C ");
    if (!p) return 2;
    p += 3;
    char* redirect = strchr(p, '>');
    char* file = NULL;
    if (redirect) {
        *redirect = 0;
        file = redirect + 1;
        while (*file == ' ') file++;
    }
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), NULL, TRUE};
    HANDLE out = INVALID_HANDLE_VALUE;
    if (file && !GetEnvironmentVariableA("GT_SHELL_NO_REDIRECT", NULL, 0)) {
        out = CreateFileA(file, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, NULL);
    }
    STARTUPINFOA si = {sizeof(si)};
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = out != INVALID_HANDLE_VALUE ? out : GetStdHandle(STD_OUTPUT_HANDLE);
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi;
    DWORD code = 3;
    if (CreateProcessA(NULL, p, NULL, NULL, TRUE, 0, NULL, NULL, &si, &pi)) {
        WaitForSingleObject(pi.hProcess, INFINITE);
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    return (int)code;
}
