/* A SYS.COM stand-in: prints GT_SYS_ANSWER (default "System transferred")
 * and the drives it was given. */
#include <windows.h>
#include <stdio.h>

int main(int argc, char** argv) {
    char answer[128] = "System transferred";
    GetEnvironmentVariableA("GT_SYS_ANSWER", answer, sizeof(answer));
    printf("%s\r\n", answer);
    for (int i = 1; i < argc; ++i) printf("argument %s\r\n", argv[i]);
    return 0;
}
