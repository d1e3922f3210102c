// A C++ caller: the exported classes through the import library.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "ZFile.h"
#include "ZProfile.h"
#include "qrZipFile.h"

static int failures;

static void check(bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    if (!ok) failures++;
}

static void checkProfile() {
    char dir[MAX_PATH];
    GetCurrentDirectoryA(sizeof(dir), dir);
    char ini[MAX_PATH + 32];
    std::snprintf(ini, sizeof(ini), "%s\\consumer.ini", dir);
    DeleteFileA(ini);

    ZProfile store(ini, nullptr);
    check(store.IsObjectValid() != 0, "ZProfile over an INI file is valid");
    check(store.WriteProfileStringA((char*)"Window", (char*)"Title", (char*)"Reports") != 0, "WriteProfileStringA");
    char value[64] = "";
    store.GetProfileStringA((char*)"Window", (char*)"Title", (char*)"", value, sizeof(value));
    check(std::strcmp(value, "Reports") == 0, "the value reads back");

    ZProfile copy(store);
    check(copy.GetProfileIntA((char*)"Window", (char*)"Missing", 42) == 42, "a copy reads the same store");
    DeleteFileA(ini);
}

static std::string hereName(const char* file) {
    char dir[MAX_PATH];
    GetCurrentDirectoryA(sizeof(dir), dir);
    return std::string(dir) + "\\" + file;
}

static void checkRecordFile() {
    const std::string name = hereName("consumer.dat");
    DeleteFileA(name.c_str());
    ZNativeFile records(name.c_str());
    records.SetHeaderSize(4);
    check(records.Create(OF_READWRITE) != FALSE, "ZNativeFile::Create");
    const char bytes[] = "HEADaaaabbbbcccc";
    check(records.Write(bytes, 16, 2) == 16, "header and three records written");
    check(records.GetTotalRecords(4) == 3, "three records of four bytes");
    check(records.Remove(4, 4) != 0, "the first record removed");
    char last[4] = {};
    check(records.GetLast(last, 4) >= 0, "GetLast");
    check(std::memcmp(last, "cccc", 4) == 0, "the last record is still the last");
    check(records.Delete() != FALSE, "ZNativeFile::Delete");
}

static void checkZip() {
    const std::string source = hereName("consumer.ini");
    const std::string archive = hereName("consumer.zip");
    ZProfile store((char*)source.c_str(), nullptr);
    store.WriteProfileStringA((char*)"Zip", (char*)"Entry", (char*)"packed");
    DeleteFileA(archive.c_str());
    qrZipFile zip(source.c_str(), archive.c_str(), 9, qrZipFile::DEFAULT_FLAGS);
    check(zip.IsDllLoaded() != 0, "the archiving companion is loaded");
    check(zip.ZipFile() != 0, "qrZipFile::ZipFile");
    check(GetFileAttributesA(archive.c_str()) != INVALID_FILE_ATTRIBUTES, "the archive exists");
    DeleteFileA(archive.c_str());
    DeleteFileA(source.c_str());
}

int main() {
    checkProfile();
    checkRecordFile();
    checkZip();
    return failures ? 1 : 0;
}
