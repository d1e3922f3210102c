/* A CTL3D32.DLL stand-in whose answers the test chooses through the
 * environment (GT_CTL3D_REGISTER, GT_CTL3D_AUTOSUBCLASS; 1 when unset) and
 * which counts its calls. */
#include <windows.h>
#include <stdlib.h>

static LONG registers, autoSubclasses, unregisters;

static BOOL answer(const char* variable) {
    char value[16];
    DWORD n = GetEnvironmentVariableA(variable, value, sizeof(value));
    return (n > 0 && n < sizeof(value)) ? atoi(value) : 1;
}

BOOL WINAPI Ctl3dRegister(HANDLE instance) {
    (void)instance;
    InterlockedIncrement(&registers);
    return answer("GT_CTL3D_REGISTER");
}

BOOL WINAPI Ctl3dAutoSubclass(HANDLE instance) {
    (void)instance;
    InterlockedIncrement(&autoSubclasses);
    return answer("GT_CTL3D_AUTOSUBCLASS");
}

BOOL WINAPI Ctl3dUnregister(HANDLE instance) {
    (void)instance;
    InterlockedIncrement(&unregisters);
    return TRUE;
}

/* Calls so far: registers, auto-subclasses, unregisters. */
void WINAPI Ctl3dStandInCalls(LONG* counts) {
    counts[0] = registers;
    counts[1] = autoSubclasses;
    counts[2] = unregisters;
}
