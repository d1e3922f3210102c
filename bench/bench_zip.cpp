// Archiving and extraction of 100 MiB of mixed data (text, binary records,
// already-compressed data, 2000 small files) through qrZipFile/qrUnzipFile,
// against Info-ZIP `zip -5 -r` and `unzip` on the same data in the same run.
// Goals: time at most 1.1x each, archive size within 1%.
//
// Info-ZIP runs natively: Wine starts Unix programs given by their Z: path,
// but does not report their end, so the shell writes a marker file that the
// clock waits for.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>

#include "benchclock.h"
#include "frame/owners.h"
#include "qrZipFile.h"

namespace {

const size_t MiB = 1 << 20;
const int ROUNDS = 3;

void writeFile(const std::string& path, const std::string& data) {
    gt::FileHandle h(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD n = 0;
    WriteFile(h.get(), data.data(), DWORD(data.size()), &n, nullptr);
}

void generate(const std::string& dir) {
    std::mt19937 rng(15);
    CreateDirectoryA(dir.c_str(), nullptr);
    const char* words[] = {"archive", "record", "the", "of", "directory", "entry", "zip", "value", "\r\n", "1997"};
    for (int f = 0; f < 6; ++f) {  // 36 MiB of text
        std::string text;
        while (text.size() < 6 * MiB) (text += words[rng() % 10]) += ' ';
        writeFile(dir + "\\text" + std::to_string(f) + ".txt", text);
    }
    for (int f = 0; f < 4; ++f) {  // 32 MiB of fixed-length binary records
        std::string bin;
        for (uint32_t i = 0; bin.size() < 8 * MiB; ++i) {
            uint32_t rec[8] = {i, i * 3, uint32_t(rng() % 1000), 0, 0xFFFFFFFF, i / 7, uint32_t(rng() % 16), 42};
            bin.append(reinterpret_cast<const char*>(rec), sizeof(rec));
        }
        writeFile(dir + "\\records" + std::to_string(f) + ".bin", bin);
    }
    for (int f = 0; f < 3; ++f) {  // 24 MiB that does not compress
        std::string noise(8 * MiB, '\0');
        for (auto& c : noise) c = char(rng());
        writeFile(dir + "\\packed" + std::to_string(f) + ".jpg", noise);
    }
    for (int d = 0; d < 20; ++d) {  // 2000 small files, 8 MiB
        std::string sub = dir + "\\small" + std::to_string(d);
        CreateDirectoryA(sub.c_str(), nullptr);
        for (int f = 0; f < 100; ++f) {
            std::string s;
            size_t len = 1024 + rng() % 6000;
            while (s.size() < len) (s += words[rng() % 10]) += char('a' + rng() % 26);
            writeFile(sub + "\\note" + std::to_string(f) + ".txt", s);
        }
    }
}

// Runs a shell command natively and waits for its marker.
double timeUnix(const std::string& unixCommand, const std::string& marker, const std::string& markerUnix) {
    DeleteFileA(marker.c_str());
    std::string cmd = "Z:\\bin\\sh -c \"" + unixCommand + "; echo done > " + markerUnix + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    double t0 = bench::now();
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
    gt::Handle thread(pi.hThread), process(pi.hProcess);
    while (GetFileAttributesA(marker.c_str()) == INVALID_FILE_ATTRIBUTES) Sleep(2);
    return bench::now() - t0;
}

unsigned long long sizeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA a{};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &a);
    return (unsigned long long)a.nFileSizeHigh << 32 | a.nFileSizeLow;
}

}  // namespace

int main() {
    const std::string unixBase = "/tmp/gtbench_zip_" + std::to_string(GetCurrentProcessId());
    const std::string base = "Z:" + unixBase;
    std::string winBase = base;
    std::replace(winBase.begin(), winBase.end(), '/', '\\');
    CreateDirectoryA(winBase.c_str(), nullptr);
    generate(winBase + "\\data");
    const std::string marker = winBase + "\\done", markerUnix = unixBase + "/done";

    double ourZip = 1e9, theirZip = 1e9, ourUnzip = 1e9, theirUnzip = 1e9;
    for (int round = 0; round < ROUNDS; ++round) {
        DeleteFileA((winBase + "\\ours.zip").c_str());
        qrZipFile zip((winBase + "\\data").c_str(), (winBase + "\\ours.zip").c_str(), 5, QRZIP_RECURSE);
        double t0 = bench::now();
        if (!zip.ZipFile()) std::printf("qrZipFile failed: %d\n", zip.GetErrorCode());
        ourZip = std::min(ourZip, bench::now() - t0);
        theirZip = std::min(theirZip, timeUnix("cd " + unixBase + " && rm -f infozip.zip && zip -q -r -5 infozip.zip data",
                                               marker, markerUnix));

        qrUnzipFile unzip((winBase + "\\infozip.zip").c_str(), (winBase + "\\ours-out").c_str(), qrUnzipFile::DEFAULT_FLAGS | QRZIP_OVERWRITE);
        t0 = bench::now();
        if (!unzip.UnzipFile()) std::printf("qrUnzipFile failed: %d\n", unzip.GetErrorCode());
        ourUnzip = std::min(ourUnzip, bench::now() - t0);
        theirUnzip = std::min(theirUnzip, timeUnix("unzip -q -o " + unixBase + "/infozip.zip -d " + unixBase + "/their-out",
                                                   marker, markerUnix));
    }
    unsigned long long ourSize = sizeOf(winBase + "\\ours.zip"), theirSize = sizeOf(winBase + "\\infozip.zip");
    std::printf("archiving 100 MiB  qrZipFile %.3f s, zip -5 %.3f s: time ratio %.2f (goal <= 1.10)\n", ourZip,
                theirZip, ourZip / theirZip);
    std::printf("archive size       %llu vs %llu bytes: size ratio %.4f (goal within 1%%)\n", ourSize, theirSize,
                double(ourSize) / double(theirSize));
    std::printf("extracting         qrUnzipFile %.3f s, unzip %.3f s: time ratio %.2f (goal <= 1.10)\n", ourUnzip,
                theirUnzip, ourUnzip / theirUnzip);
    timeUnix("rm -rf " + unixBase + "/data " + unixBase + "/ours-out " + unixBase + "/their-out " + unixBase + "/*.zip",
             marker, markerUnix);
    DeleteFileA(marker.c_str());
    RemoveDirectoryA(winBase.c_str());
    return 0;
}
