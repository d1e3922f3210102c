// ZProfile: sections and values in the registry or an INI file.
#include "ZProfile.h"

#include <cstring>
#include <new>
#include <utility>

#include "profile/profilekeys.h"
#include "text/mbchar.h"

namespace gt::profile {

namespace {

struct RootName {
    const char* name;
    HKEY key;
};

// Tried in this order; HKEY_PERFORMANCE_DATA has no entry.
const RootName kRoots[] = {
    {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},     {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},   {"HKEY_USERS", HKEY_USERS},
    {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG}, {"HKEY_DYN_DATA", HKEY_DYN_DATA},
};

}  // namespace

HKEY findRootKey(const char* path) {
    if (!path) return nullptr;
    for (const RootName& r : kRoots)
        if (gt::mb::findStr(path, r.name)) return r.key;
    return nullptr;
}

const char* subKeyOf(const char* path) {
    const char* slash = path ? gt::mb::findChar(path, '\\') : nullptr;
    return slash ? slash + 1 : nullptr;
}

}  // namespace gt::profile

namespace pr = gt::profile;

namespace {

constexpr unsigned long kIniReadSize = 255;

// The default into a caller's buffer of `size` bytes (a null default reads
// as empty, as the private-profile functions have it).
void copyDefault(char* buffer, unsigned long size, const char* defaultValue) {
    if (!buffer || size == 0) return;
    gt::mb::copyToBuffer(buffer, size, defaultValue);
}

}  // namespace

// ---------------------------------------------------------------- housekeeping

ZProfile::ZProfile() : ZProfile(nullptr, nullptr) {}

ZProfile::ZProfile(char* profileName, char* registryKey) {
    Init();
    m_bValid = TRUE;
    if (!SetProfileName(profileName)) m_bValid = FALSE;
    if (!SetRegistryKey(registryKey)) m_bValid = FALSE;
    GetTopMostKey();
}

ZProfile::ZProfile(const ZProfile& other) {
    Init();
    m_bValid = CopyFrom(other);
}

ZProfile::~ZProfile() {
    delete[] m_pszRegistryKey;
    delete[] m_pszProfileName;
    Init();
}

ZProfile& ZProfile::operator=(const ZProfile& other) {
    if (this != &other) {
        ZProfile copy(other);
        if (copy.m_bValid || !other.m_bValid) {
            // Take the copy's strings; it frees ours.
            std::swap(m_pszRegistryKey, copy.m_pszRegistryKey);
            std::swap(m_pszProfileName, copy.m_pszProfileName);
            std::swap(m_pszSubKey, copy.m_pszSubKey);
            m_bValid = other.m_bValid;
            m_hTopMostKey = other.m_hTopMostKey;
        } else {
            m_bValid = FALSE;  // out of memory: this store keeps what it had
        }
    }
    return *this;
}

int ZProfile::CopyFrom(const ZProfile& other) {
    m_pszRegistryKey = CreateString(other.m_pszRegistryKey, 0);
    m_pszProfileName = CreateString(other.m_pszProfileName, 0);
    if (m_pszRegistryKey && other.m_pszSubKey)
        m_pszSubKey = m_pszRegistryKey + (other.m_pszSubKey - other.m_pszRegistryKey);
    m_hTopMostKey = other.m_hTopMostKey;
    bool complete = (m_pszRegistryKey || !other.m_pszRegistryKey) && (m_pszProfileName || !other.m_pszProfileName);
    return complete && other.m_bValid;
}

void ZProfile::Init() {
    m_pszRegistryKey = nullptr;
    m_pszProfileName = nullptr;
    m_pszSubKey = nullptr;
    m_bValid = FALSE;
    m_hTopMostKey = nullptr;
}

int ZProfile::IsObjectValid() { return m_bValid; }

char* ZProfile::CreateString(const char* text, unsigned short length) {
    if (!text) return nullptr;
    size_t size = length ? length : std::strlen(text);
    char* s = new (std::nothrow) char[size + 1];
    if (!s) return nullptr;
    std::memset(s, 0, size + 1);
    gt::mb::copyToBuffer(s, size + 1, text);
    return s;
}

void ZProfile::GetTopMostKey() {
    if (m_pszRegistryKey) m_hTopMostKey = pr::findRootKey(m_pszRegistryKey);
}

int ZProfile::SetRegistryKey(char* key) {
    // Copy before freeing: the new key may point into the old one.
    char* copy = CreateString(key, 0);
    delete[] m_pszRegistryKey;
    m_pszRegistryKey = copy;
    m_pszSubKey = nullptr;
    m_hTopMostKey = nullptr;
    if (!key) return TRUE;
    if (!copy) return FALSE;
    m_pszSubKey = const_cast<char*>(pr::subKeyOf(copy));
    GetTopMostKey();
    return TRUE;
}

char* ZProfile::GetRegistryKey(char* buffer, unsigned short length) {
    if (!m_pszRegistryKey) return buffer;
    if (!buffer) return CreateString(m_pszRegistryKey, length);
    // Without a length the buffer holds the whole key.
    const size_t size = (length ? length : std::strlen(m_pszRegistryKey)) + 1;
    gt::mb::copyToBuffer(buffer, size, m_pszRegistryKey);
    return buffer;
}

unsigned long ZProfile::GetMainRegistryKey() { return static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(m_hTopMostKey)); }

char* ZProfile::GetSubRegistryKey() { return m_pszSubKey; }

int ZProfile::SetProfileName(char* name) {
    char* copy = CreateString(name, 0);
    delete[] m_pszProfileName;
    m_pszProfileName = copy;
    return !name || copy ? TRUE : FALSE;
}

char* ZProfile::GetProfileName(char* buffer, unsigned short length) {
    if (!m_pszProfileName) return buffer;
    if (!buffer) return CreateString(m_pszProfileName, length);
    const size_t size = (length ? length : std::strlen(m_pszProfileName)) + 1;
    gt::mb::copyToBuffer(buffer, size, m_pszProfileName);
    return buffer;
}

int ZProfile::ChooseMedium() const {
    if (m_pszRegistryKey) return MEDIUM_REGISTRY;
    if (m_pszProfileName) return MEDIUM_INI;
    return -1;
}

// ---------------------------------------------------------------- registry

HKEY ZProfile::GetSectionRegistryKeyHandle(char* section) {
    if (!m_hTopMostKey || !section) return nullptr;
    gt::Hkey main;
    if (RegOpenKeyExA(m_hTopMostKey, m_pszSubKey, 0, pr::kAccess, main.out()) != ERROR_SUCCESS &&
        RegCreateKeyExA(m_hTopMostKey, m_pszSubKey, 0, nullptr, REG_OPTION_NON_VOLATILE, pr::kAccess, nullptr,
                        main.out(), nullptr) != ERROR_SUCCESS)
        return nullptr;
    gt::Hkey sectionKey;
    if (RegCreateKeyExA(main.get(), section, 0, nullptr, REG_OPTION_NON_VOLATILE, pr::kAccess, nullptr,
                        sectionKey.out(), nullptr) != ERROR_SUCCESS)
        return nullptr;
    return sectionKey.release();
}

char* ZProfile::ReadStringFromRegistry(char* section, char* key, char* defaultValue, char* buffer,
                                       unsigned long size) {
    gt::Hkey k(GetSectionRegistryKeyHandle(section));
    if (!k) return buffer;
    DWORD type = 0, cb = size;
    LONG rc = RegQueryValueExA(k.get(), key, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &cb);
    if (rc == ERROR_SUCCESS && type == REG_SZ) {
        // A value stored without its terminator gets one if there is room.
        if (cb == 0 || buffer[cb - 1] == 0) {
            if (cb == 0) buffer[0] = 0;
            return buffer;
        }
        if (cb < size) {
            buffer[cb] = 0;
            return buffer;
        }
    }
    copyDefault(buffer, size, defaultValue);
    return buffer;
}

char* ZProfile::ReadStringFromIni(char* section, char* key, char* defaultValue, char* buffer, unsigned long size) {
    // At most 255 bytes, and never more than the caller said the buffer holds.
    DWORD cap = size < kIniReadSize ? size : kIniReadSize;
    GetPrivateProfileStringA(section, key, defaultValue, buffer, cap, m_pszProfileName);
    return buffer;
}

// ---------------------------------------------------------------- reads and writes

char* ZProfile::GetProfileStringA(char* section, char* key, char* defaultValue, char* buffer, unsigned long size) {
    int medium = ChooseMedium();
    if (medium < 0) return buffer;
    return GetProfileStringA(medium, section, key, defaultValue, buffer, size);
}

char* ZProfile::GetProfileStringA(int medium, char* section, char* key, char* defaultValue, char* buffer,
                                  unsigned long size) {
    if (size == 0) return nullptr;
    if (!buffer) {
        if (!defaultValue) return nullptr;
        buffer = CreateString(defaultValue, static_cast<unsigned short>(kIniReadSize));
        if (!buffer) return nullptr;
        size = kIniReadSize;
    }
    if (!section || !key) return buffer;
    if (medium == MEDIUM_REGISTRY) return ReadStringFromRegistry(section, key, defaultValue, buffer, size);
    // Without an INI file of its own the store must not fall through to WIN.INI.
    if (medium == MEDIUM_INI && m_pszProfileName)
        return ReadStringFromIni(section, key, defaultValue, buffer, size);
    return buffer;
}

int ZProfile::WriteProfileStringA(char* section, char* key, char* value) {
    int medium = ChooseMedium();
    return medium < 0 ? FALSE : WriteProfileStringA(medium, section, key, value);
}

int ZProfile::WriteProfileStringA(int medium, char* section, char* key, char* value) {
    if (medium == MEDIUM_REGISTRY) {
        if (!section) return FALSE;
        if (!key) {
            // An empty name would delete the store's own key.
            if (!*section || !m_hTopMostKey) return FALSE;
            gt::Hkey main;
            if (RegOpenKeyExA(m_hTopMostKey, m_pszSubKey, 0, pr::kAccess, main.out()) != ERROR_SUCCESS) return FALSE;
            return RegDeleteKeyA(main.get(), section) == ERROR_SUCCESS;
        }
        gt::Hkey k(GetSectionRegistryKeyHandle(section));
        if (!k) return FALSE;
        if (!value) return RegDeleteValueA(k.get(), key) == ERROR_SUCCESS;
        return RegSetValueExA(k.get(), key, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                              static_cast<DWORD>(std::strlen(value) + 1)) == ERROR_SUCCESS;
    }
    if (medium == MEDIUM_INI && m_pszProfileName)
        return WritePrivateProfileStringA(section, key, value, m_pszProfileName) ? TRUE : FALSE;
    return FALSE;
}

int ZProfile::GetProfileIntA(char* section, char* key, int defaultValue) {
    int medium = ChooseMedium();
    return medium < 0 ? -1 : GetProfileIntA(medium, section, key, defaultValue);
}

int ZProfile::GetProfileIntA(int medium, char* section, char* key, int defaultValue) {
    if (!section || !key) return defaultValue;
    if (medium == MEDIUM_REGISTRY) {
        gt::Hkey k(GetSectionRegistryKeyHandle(section));
        if (!k) return defaultValue;
        DWORD type = 0, value = 0, cb = sizeof(value);
        if (RegQueryValueExA(k.get(), key, nullptr, &type, reinterpret_cast<BYTE*>(&value), &cb) == ERROR_SUCCESS &&
            type == REG_DWORD)
            return static_cast<int>(value);
        return defaultValue;
    }
    if (medium == MEDIUM_INI && m_pszProfileName)
        return static_cast<int>(GetPrivateProfileIntA(section, key, defaultValue, m_pszProfileName));
    return defaultValue;
}

int ZProfile::WriteProfileInt(char* section, char* key, int value) {
    int medium = ChooseMedium();
    return medium < 0 ? FALSE : WriteProfileInt(medium, section, key, value);
}

int ZProfile::WriteProfileInt(int medium, char* section, char* key, int value) {
    if (medium == MEDIUM_REGISTRY) {
        if (!section) return FALSE;
        if (!key) return WriteProfileStringA(MEDIUM_REGISTRY, section, nullptr, nullptr);
        gt::Hkey k(GetSectionRegistryKeyHandle(section));
        if (!k) return FALSE;
        DWORD v = static_cast<DWORD>(value);
        return RegSetValueExA(k.get(), key, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof(v)) ==
               ERROR_SUCCESS;
    }
    if (medium == MEDIUM_INI && m_pszProfileName) {
        char text[16];
        wsprintfA(text, "%d", value);
        return WritePrivateProfileStringA(section, key, text, m_pszProfileName) ? TRUE : FALSE;
    }
    return FALSE;
}
