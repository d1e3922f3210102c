// gtx stg: compound documents through ZStgStorage and ZStgStreamFile.
//   gtx stg ls DOC                      the tree: type, size, class id, modified
//   gtx stg cat DOC PATH/STREAM         a stream's bytes to standard output
//   gtx stg put DOC PATH/STREAM FILE    a file into a stream (storages and the
//                                       document are created as needed)
//   gtx stg rm DOC PATH/ELEMENT         removes a stream or a storage
// Storage names are kept in lower case by the class; stream names keep theirs.
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ZFile.h"
#include "ZStgStorage.h"
#include "ZStgStreamFile.h"
#include "gtx.h"

namespace {

constexpr DWORD kRead = STGM_READ | STGM_SHARE_EXCLUSIVE;
constexpr DWORD kWrite = STGM_READWRITE | STGM_SHARE_EXCLUSIVE;

int usage() {
    std::fprintf(stderr,
                 "usage: gtx stg ls DOC\n"
                 "       gtx stg cat DOC PATH/STREAM\n"
                 "       gtx stg put DOC PATH/STREAM FILE\n"
                 "       gtx stg rm DOC PATH/ELEMENT\n");
    return GTX_USAGE;
}

int failed(const char* what, const char* name, int code) {
    std::fprintf(stderr, "gtx: %s %s failed (status 0x%08X)\n", what, name, static_cast<unsigned>(code));
    return GTX_FAILED;
}

std::string narrow(const wchar_t* w) {
    char buf[MAX_PATH * 2] = {};
    WideCharToMultiByte(CP_ACP, 0, w, -1, buf, sizeof(buf), nullptr, nullptr);
    return buf;
}

std::vector<std::string> split(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t slash; (slash = path.find('/', start)) != std::string::npos; start = slash + 1)
        if (slash > start) parts.push_back(path.substr(start, slash - start));
    parts.push_back(path.substr(start));
    return parts;
}

// The storages along a path, root first; each is closed before its parent.
class Chain {
public:
    ~Chain() {
        while (!open_.empty()) {
            open_.back()->Close();
            open_.pop_back();
        }
    }
    ZStgStorage* root() { return open_.empty() ? nullptr : open_.front().get(); }
    ZStgStorage* last() { return open_.back().get(); }
    bool openRoot(const char* doc, DWORD mode, bool create) {
        open_.push_back(std::make_unique<ZStgStorage>());
        ZStgStorage* r = last();
        if (r->Open(mode, doc)) return true;
        return create && r->Create(mode, doc);
    }
    // Descends into storage `name`; creates it when asked.
    bool descend(const std::string& name, DWORD mode, bool create) {
        auto sub = std::make_unique<ZStgStorage>();
        ZStgStorage* parent = last();
        bool ok = parent->OpenSubStorage(mode, name.c_str(), sub.get()) ||
                  (create && parent->CreateSubStorage(mode, name.c_str(), sub.get()));
        if (ok) open_.push_back(std::move(sub));
        return ok;
    }

private:
    std::vector<std::unique_ptr<ZStgStorage>> open_;
};

std::string timeText(const FILETIME& t) {
    if (!t.dwLowDateTime && !t.dwHighDateTime) return "-";
    SYSTEMTIME s;
    if (!FileTimeToSystemTime(&t, &s)) return "-";
    char buf[32];
    std::snprintf(buf, sizeof(buf), "%04u-%02u-%02u %02u:%02u:%02u", s.wYear, s.wMonth, s.wDay, s.wHour, s.wMinute,
                  s.wSecond);
    return buf;
}

std::string clsidText(const CLSID& c) {
    if (IsEqualCLSID(c, CLSID_NULL)) return "-";
    wchar_t w[40];
    StringFromGUID2(c, w, 40);
    return narrow(w);
}

void list(ZStgStorage& s, int depth) {
    IEnumSTATSTG* e = nullptr;
    if (!s.EnumElements(&e) || !e) return;
    STATSTG st;
    ULONG n = 0;
    while (e->Next(1, &st, &n) == S_OK) {
        std::string name = narrow(st.pwcsName);
        CoTaskMemFree(st.pwcsName);
        bool storage = st.type == STGTY_STORAGE;
        std::printf("%*s%-8s %10lu  %-38s  %s  %s\n", depth * 2, "", storage ? "storage" : "stream",
                    static_cast<unsigned long>(st.cbSize.LowPart), clsidText(st.clsid).c_str(),
                    timeText(st.mtime).c_str(), name.c_str());
        if (storage) {
            ZStgStorage sub;
            if (s.OpenSubStorage(kRead, name.c_str(), &sub)) list(sub, depth + 1);
            sub.Close();
        }
    }
    e->Release();
}

int runStg(int argc, char** argv) {
    if (argc < 3) return usage();
    const char* verb = argv[1];
    const char* doc = argv[2];
    Chain chain;
    if (!std::strcmp(verb, "ls") && argc == 3) {
        if (!chain.openRoot(doc, kRead, false)) return failed("open", doc, chain.root()->GetErrorCode());
        STATSTG st = {};
        chain.root()->Stat(&st, STATFLAG_NONAME);
        std::printf("%s  class %s\n", doc, clsidText(st.clsid).c_str());
        list(*chain.root(), 1);
        return GTX_OK;
    }
    if (argc < 4) return usage();
    std::vector<std::string> parts = split(argv[3]);
    bool put = !std::strcmp(verb, "put") && argc == 5;
    bool cat = !std::strcmp(verb, "cat") && argc == 4;
    bool rm = !std::strcmp(verb, "rm") && argc == 4;
    if (!put && !cat && !rm) return usage();
    DWORD mode = cat ? kRead : kWrite;
    if (!chain.openRoot(doc, mode, put)) return failed("open", doc, chain.root()->GetErrorCode());
    for (size_t i = 0; i + 1 < parts.size(); ++i)
        if (!chain.descend(parts[i], mode, put)) return failed("storage", parts[i].c_str(), chain.last()->GetErrorCode());
    const char* leaf = parts.back().c_str();
    if (rm) {
        if (!chain.last()->DestroyElement(leaf)) return failed("remove", leaf, chain.last()->GetErrorCode());
        return GTX_OK;
    }
    ZStgStreamFile stream;
    if (cat) {
        if (!chain.last()->OpenStream(leaf, kRead, &stream)) return failed("stream", leaf, stream.GetErrorCode());
        _setmode(_fileno(stdout), _O_BINARY);
        std::vector<char> buf(64 * 1024);
        for (int n; (n = stream.Read(buf.data(), static_cast<int>(buf.size()))) > 0;)
            std::fwrite(buf.data(), 1, static_cast<size_t>(n), stdout);
        stream.Close();
        return GTX_OK;
    }
    if (!chain.last()->CreateStream(leaf, kWrite | STGM_CREATE, &stream))
        return failed("stream", leaf, stream.GetErrorCode());
    ZNativeFile source(argv[4]);
    if (!source.Open(OF_READ | OF_SHARE_DENY_NONE)) return failed("open", argv[4], source.GetErrorCode());
    // An empty file gives an empty stream; the copy itself wants bytes.
    bool ok = source.GetSize() == 0 || stream.CopyIn(&source);
    source.Close();
    if (!ok) return failed("copy", argv[4], stream.GetErrorCode());
    return stream.Close() ? GTX_OK : failed("commit", leaf, stream.GetErrorCode());
}

}  // namespace

GTX_SUBCOMMAND(stg, "stg", "ls|cat|put|rm elements of a compound document", runStg);
