// qrZipFile: the command record in front of DZIP32.DLL's "dzip".
#include "qrZipFile.h"

#include "archive/zipcommand.h"

using namespace gt::archive;

qrZipFile::qrZipFile() : qrZipFile(nullptr, nullptr, DEFAULT_RATE, DEFAULT_FLAGS) {}

qrZipFile::qrZipFile(const char* sourceFileName, const char* zipFileName, int compressionRate,
                     unsigned long zipFlags)
    : m_pszSourceFileName(nullptr), m_pszZipFileName(nullptr), m_ulZipFlags(0), m_nCompressionRate(0),
      m_nErrorCode(0), m_pCommand(new ZipCommand) {
    Init();
    SetSourceFileName(sourceFileName);
    SetZipFilename(zipFileName);
    SetZipFlags(zipFlags);
    SetCompressionRate(compressionRate);
}

// Member-wise copying would share the names and the record and free them
// twice: each copy gets its own.
qrZipFile::qrZipFile(const qrZipFile& other)
    : m_pszSourceFileName(nullptr), m_pszZipFileName(nullptr), m_ulZipFlags(0), m_nCompressionRate(0),
      m_nErrorCode(0), m_pCommand(new ZipCommand) {
    Init();
    *this = other;
}

qrZipFile::~qrZipFile() {
    delete[] m_pszSourceFileName;
    delete[] m_pszZipFileName;
    delete m_pCommand;
}

qrZipFile& qrZipFile::operator=(const qrZipFile& other) {
    if (this == &other) return *this;
    char* source = copyName(other.m_pszSourceFileName);
    char* zip = copyName(other.m_pszZipFileName);
    delete[] m_pszSourceFileName;
    delete[] m_pszZipFileName;
    m_pszSourceFileName = source;
    m_pszZipFileName = zip;
    m_ulZipFlags = other.m_ulZipFlags;
    m_nCompressionRate = other.m_nCompressionRate;
    m_nErrorCode = other.m_nErrorCode;
    *m_pCommand = *other.m_pCommand;
    m_pCommand->sources = m_pszSourceFileName;
    m_pCommand->zipFile = m_pszZipFileName;
    return *this;
}

void qrZipFile::Init() {
    setUpZipCommand(*m_pCommand);
    m_pszSourceFileName = nullptr;
    m_pszZipFileName = nullptr;
    m_ulZipFlags = 0;
    m_nErrorCode = 0;
}

void qrZipFile::SetSourceFileName(const char* name) {
    char* quoted = quotedName(name);
    delete[] m_pszSourceFileName;
    m_pszSourceFileName = quoted;
    m_pCommand->sources = m_pszSourceFileName;
}

const char* qrZipFile::GetSourceFileName() { return m_pszSourceFileName; }

void qrZipFile::SetZipFilename(const char* name) {
    char* copy = copyName(name);
    delete[] m_pszZipFileName;
    m_pszZipFileName = copy;
    m_pCommand->zipFile = m_pszZipFileName;
}

const char* qrZipFile::GetZipFilename() { return m_pszZipFileName; }

void qrZipFile::SetCompressionRate(int rate) {
    m_nCompressionRate = clampRate(rate);
    m_pCommand->rate = static_cast<DWORD>(m_nCompressionRate);
}

int qrZipFile::GetCompressionRate() { return m_nCompressionRate; }

void qrZipFile::SetZipFlags(unsigned long flags) {
    m_ulZipFlags = flags;
    spreadZipFlags(*m_pCommand, flags);
}

unsigned long qrZipFile::GetZipFlags() { return m_ulZipFlags; }

int qrZipFile::GetErrorCode() { return m_nErrorCode; }

// Tells whether "dzip" was found at start-up.
int qrZipFile::IsDllLoaded() { return zipEntry() ? TRUE : FALSE; }

// Without an entry the call fails with its own code instead of repeating an
// earlier result.
int qrZipFile::ZipFile() {
    m_nErrorCode = runCommand(zipEntry(), &m_pCommand->function, ZIPFN_ADD, m_pCommand);
    return m_nErrorCode == QRZ_OK ? TRUE : FALSE;
}
