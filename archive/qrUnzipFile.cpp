// qrUnzipFile: the command record in front of DUNZIP32.DLL's "dunzip".
#include <cstring>

#include "archive/zipcommand.h"
#include "qrZipFile.h"

using namespace gt::archive;

namespace {
const char ALL_FILES[] = "*.*";

char* fileSpecBuffer(const char* spec) {
    if (!spec || !*spec) spec = ALL_FILES;
    size_t n = std::strlen(spec) + 1;
    char* s = new char[n < qrUnzipFile::FILESPEC_SIZE ? size_t(qrUnzipFile::FILESPEC_SIZE) : n]();
    std::memcpy(s, spec, n);
    return s;
}
}  // namespace

qrUnzipFile::qrUnzipFile() : qrUnzipFile(nullptr, nullptr, DEFAULT_FLAGS) {}

qrUnzipFile::qrUnzipFile(const char* zipFileName, const char* destinationDir, unsigned long zipFlags)
    : m_pszZipFileName(nullptr), m_pszDestinationDir(nullptr), m_ulZipFlags(0), m_pszFileSpec(nullptr),
      m_nErrorCode(0), m_pCommand(new UnzipCommand) {
    Init();
    SetZipFilename(zipFileName);
    SetDestinationDir(destinationDir);
    SetZipFlags(zipFlags);
}

// Each copy gets its own names, name pattern and record.
qrUnzipFile::qrUnzipFile(const qrUnzipFile& other)
    : m_pszZipFileName(nullptr), m_pszDestinationDir(nullptr), m_ulZipFlags(0), m_pszFileSpec(nullptr),
      m_nErrorCode(0), m_pCommand(new UnzipCommand) {
    Init();
    *this = other;
}

qrUnzipFile::~qrUnzipFile() {
    delete[] m_pszZipFileName;
    delete[] m_pszDestinationDir;
    delete[] m_pszFileSpec;
    delete m_pCommand;
}

qrUnzipFile& qrUnzipFile::operator=(const qrUnzipFile& other) {
    if (this == &other) return *this;
    char* zip = copyName(other.m_pszZipFileName);
    char* dir = copyName(other.m_pszDestinationDir);
    char* spec = fileSpecBuffer(other.m_pszFileSpec);
    delete[] m_pszZipFileName;
    delete[] m_pszDestinationDir;
    delete[] m_pszFileSpec;
    m_pszZipFileName = zip;
    m_pszDestinationDir = dir;
    m_pszFileSpec = spec;
    m_ulZipFlags = other.m_ulZipFlags;
    m_nErrorCode = other.m_nErrorCode;
    *m_pCommand = *other.m_pCommand;
    m_pCommand->zipFile = m_pszZipFileName;
    m_pCommand->destination = m_pszDestinationDir;
    m_pCommand->fileSpec = m_pszFileSpec;
    return *this;
}

void qrUnzipFile::Init() {
    delete[] m_pszFileSpec;
    m_pszFileSpec = fileSpecBuffer(ALL_FILES);
    setUpUnzipCommand(*m_pCommand);
    m_pCommand->fileSpec = m_pszFileSpec;
    m_pszZipFileName = nullptr;
    m_pszDestinationDir = nullptr;
    m_ulZipFlags = 0;
    m_nErrorCode = 0;
}

void qrUnzipFile::SetZipFilename(const char* name) {
    char* copy = copyName(name);
    delete[] m_pszZipFileName;
    m_pszZipFileName = copy;
    m_pCommand->zipFile = m_pszZipFileName;
}

const char* qrUnzipFile::GetZipFilename() { return m_pszZipFileName; }

void qrUnzipFile::SetDestinationDir(const char* dir) {
    char* copy = copyName(dir);
    delete[] m_pszDestinationDir;
    m_pszDestinationDir = copy;
    m_pCommand->destination = m_pszDestinationDir;
}

const char* qrUnzipFile::GetDestinationDir() { return m_pszDestinationDir; }

void qrUnzipFile::SetZipFlags(unsigned long flags) {
    m_ulZipFlags = flags;
    spreadUnzipFlags(*m_pCommand, flags);
}

unsigned long qrUnzipFile::GetZipFlags() { return m_ulZipFlags; }

void qrUnzipFile::SetFileSpec(const char* spec) {
    char* copy = fileSpecBuffer(spec);
    delete[] m_pszFileSpec;
    m_pszFileSpec = copy;
    m_pCommand->fileSpec = m_pszFileSpec;
}

const char* qrUnzipFile::GetFileSpec() { return m_pszFileSpec; }

int qrUnzipFile::GetErrorCode() { return m_nErrorCode; }

int qrUnzipFile::IsDllLoaded() { return unzipEntry() ? TRUE : FALSE; }

int qrUnzipFile::UnzipFile() {
    m_nErrorCode = runCommand(unzipEntry(), &m_pCommand->function, UNZIPFN_EXTRACT, m_pCommand);
    return m_nErrorCode == QRZ_OK ? TRUE : FALSE;
}
