// ZProfile - settings store over the registry or an INI file.
//
// Each read or write goes to the registry when a registry key is set, else to
// the INI file; the overloads with a leading medium choose explicitly
// (0 registry, 1 INI file).  The registry key is a whole path such as
// "HKEY_CURRENT_USER\Software\Maker\Product"; each section is a subkey of it.
//
// Exported from gtapi32.dll without virtual functions; callers built with the
// same toolchain use it through the import library.  Strings that a member
// returns newly allocated are released with delete[].
#ifndef ZPROFILE_H
#define ZPROFILE_H

#include <windows.h>

class ZProfile {
public:
    enum { MEDIUM_REGISTRY = 0, MEDIUM_INI = 1 };

    ZProfile();
    ZProfile(char* profileName, char* registryKey);
    // Each store owns copies of its own strings.
    ZProfile(const ZProfile& other);
    ~ZProfile();
    ZProfile& operator=(const ZProfile& other);

    int IsObjectValid();

    int SetRegistryKey(char* key);
    char* GetRegistryKey(char* buffer, unsigned short length);
    unsigned long GetMainRegistryKey();
    char* GetSubRegistryKey();
    int SetProfileName(char* name);
    char* GetProfileName(char* buffer, unsigned short length);

    // Buffer null: a new string (256 bytes, from the default) is returned.
    // INI reads return at most 255 bytes with the terminator.
    char* GetProfileStringA(char* section, char* key, char* defaultValue, char* buffer, unsigned long size);
    char* GetProfileStringA(int medium, char* section, char* key, char* defaultValue, char* buffer,
                            unsigned long size);
    // Value null removes the key; key null removes the section.
    int WriteProfileStringA(char* section, char* key, char* value);
    int WriteProfileStringA(int medium, char* section, char* key, char* value);
    // The form without a medium gives -1 for a store with neither name.
    int GetProfileIntA(char* section, char* key, int defaultValue);
    int GetProfileIntA(int medium, char* section, char* key, int defaultValue);
    int WriteProfileInt(char* section, char* key, int value);
    int WriteProfileInt(int medium, char* section, char* key, int value);

private:
    void Init();
    void GetTopMostKey();
    HKEY GetSectionRegistryKeyHandle(char* section);
    char* ReadStringFromRegistry(char* section, char* key, char* defaultValue, char* buffer, unsigned long size);
    char* ReadStringFromIni(char* section, char* key, char* defaultValue, char* buffer, unsigned long size);
    static char* CreateString(const char* text, unsigned short length);
    int ChooseMedium() const;
    int CopyFrom(const ZProfile& other);

    char* m_pszRegistryKey;
    char* m_pszProfileName;
    char* m_pszSubKey;  // into m_pszRegistryKey, after its first backslash
    BOOL m_bValid;
    HKEY m_hTopMostKey;
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(ZProfile) == 20, "ZProfile layout");
#endif

#endif  // ZPROFILE_H
