// The 16-bit glue.  Two ways into 16-bit code exist:
//
// * QT_Thunk (KERNEL32): the caller builds a frame with EBP, leaves 0x40
//   bytes of scratch space below it, pushes the 16-bit arguments in pascal
//   order (first argument first, so the last lies at ESP), puts the 16:16
//   target in EDX and calls QT_Thunk, which copies EBP-ESP-0x40 bytes of
//   arguments to the 16-bit stack.  The result comes back in DX:AX and the
//   16-bit callee's pops are applied to ESP, so the caller restores ESP from
//   EBP afterwards.
// * WOWCallback16Ex (WOW32): the same argument bytes passed by address.
//
// The NT family (and Wine) pass QT_Thunk's arguments but lose its result, so
// calls take WOWCallback16Ex wherever WOW32 offers it and QT_Thunk only where
// it does not (the Windows 95 family).
//
// SMapLS_IP_EBP_8 maps the pointer found at [EBP+8] of its caller, that is
// the first argument of a function with a standard frame, writes the 16:16
// alias back there and returns it in EAX; SUnMapLS_IP_EBP_8 releases the
// alias found at the same place.  The two helpers below are such functions.
#include "legacy/thunk16.h"

#include <cstring>

extern "C" {
DWORD __cdecl gt16_callQtThunk(FARPROC qtThunk, DWORD target, const void* args, DWORD argBytes);
DWORD __cdecl gt16_mapFirst(void* pointer, FARPROC smapLS);
void __cdecl gt16_unmapFirst(DWORD alias, FARPROC sunmapLS);
}

asm(R"(
    .intel_syntax noprefix
    .text
    .globl _gt16_callQtThunk
_gt16_callQtThunk:
    push ebx
    push esi
    push edi
    push ebp
    mov ebp, esp
    sub esp, 0x40
    mov ecx, [ebp+32]
    sub esp, ecx
    mov edi, esp
    mov esi, [ebp+28]
    cld
    rep movsb
    mov edx, [ebp+24]
    call dword ptr [ebp+20]
    mov esp, ebp
    pop ebp
    pop edi
    pop esi
    pop ebx
    ret

    .globl _gt16_mapFirst
_gt16_mapFirst:
    push ebp
    mov ebp, esp
    call dword ptr [ebp+12]
    pop ebp
    ret

    .globl _gt16_unmapFirst
_gt16_unmapFirst:
    push ebp
    mov ebp, esp
    call dword ptr [ebp+12]
    pop ebp
    ret
    .att_syntax prefix
)");

namespace gt::legacy {

void Args16::word(WORD v) {
    if (size_ + 2 > sizeof(bytes_)) return;
    size_ += 2;
    std::memcpy(bytes_ + sizeof(bytes_) - size_, &v, 2);
}

void Args16::dword(DWORD v) {
    if (size_ + 4 > sizeof(bytes_)) return;
    size_ += 4;
    std::memcpy(bytes_ + sizeof(bytes_) - size_, &v, 4);
}

namespace {

constexpr DWORD kWcb16Pascal = 0;
using WowCallback16Ex = BOOL(WINAPI*)(DWORD target, DWORD flags, DWORD argBytes, void* args, DWORD* result);
using Load16 = DWORD(WINAPI*)(LPCSTR name);
using Free16 = void(WINAPI*)(DWORD module);
using Proc16 = DWORD(WINAPI*)(DWORD module, LPCSTR name);

WowCallback16Ex findWowCallback() {
    // WOW32 stays loaded for the life of the process once we need it.
    HMODULE wow = GetModuleHandleA("WOW32.DLL");
    if (!wow) wow = LoadLibraryA("WOW32.DLL");
    return wow ? reinterpret_cast<WowCallback16Ex>(GetProcAddress(wow, "WOWCallback16Ex")) : nullptr;
}

class PlatformThunk16 final : public Thunk16 {
public:
    PlatformThunk16(const frame::Thunks& entries, CallPath path) : e_(entries) {
        if (path != CallPath::QtThunk) wow_ = findWowCallback();
        if (path == CallPath::WowCallback && !wow_) usable_ = false;
    }
    bool usable() const { return usable_; }

    Handle16 load(const char* name) override {
        return LOWORD(reinterpret_cast<Load16>(e_.loadLibrary16)(name));
    }
    void free(Handle16 module) override { reinterpret_cast<Free16>(e_.freeLibrary16)(module); }
    SegPtr procedure(Handle16 module, const char* name) override {
        return reinterpret_cast<Proc16>(e_.getProcAddress16)(module, name);
    }
    DWORD call(SegPtr proc, const Args16& args) override {
        if (!proc) return 0;
        if (wow_) {
            BYTE copy[32];
            std::memcpy(copy, args.data(), args.size());
            DWORD result = 0;
            return wow_(proc, kWcb16Pascal, args.size(), copy, &result) ? result : 0;
        }
        return gt16_callQtThunk(e_.qtThunk, proc, args.data(), args.size());
    }
    SegPtr map(void* p) override { return gt16_mapFirst(p, e_.smapLS); }
    void unmap(SegPtr alias) override { gt16_unmapFirst(alias, e_.sunmapLS); }

private:
    frame::Thunks e_;
    WowCallback16Ex wow_ = nullptr;
    bool usable_ = true;
};

Thunk16* g_override = nullptr;
bool g_overridden = false;

}  // namespace

Thunk16* platformThunk16(const frame::Thunks& entries, CallPath path) {
    if (!entries.complete()) return nullptr;
    auto* t = new PlatformThunk16(entries, path);  // one per path, kept for the process
    if (!t->usable()) {
        delete t;
        return nullptr;
    }
    return t;
}

Thunk16* thunk16() {
    if (g_overridden) return g_override;
    const frame::Thunks& entries = frame::state().thunks;
    if (!entries.complete()) return nullptr;
    static Thunk16* platform = platformThunk16(entries, CallPath::Automatic);
    return platform;
}

void setThunk16ForTests(Thunk16* thunk) {
    g_override = thunk;
    g_overridden = thunk != nullptr;
}

}  // namespace gt::legacy
