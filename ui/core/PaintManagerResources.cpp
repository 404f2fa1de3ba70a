// The process-wide skin sources and language strings of CPaintManagerUI.
#include "PaintManager.h"

#include "ZipArchive.h"

#include <climits>
#include <cwchar>
#include <string>
#include <vector>

namespace Facet {

HINSTANCE CPaintManagerUI::m_hInstance = nullptr;
HINSTANCE CPaintManagerUI::m_hResourceInstance = nullptr;
CFacetString CPaintManagerUI::m_pStrResourcePath;
CFacetString CPaintManagerUI::m_pStrResourceZip;
bool CPaintManagerUI::m_bCachedResourceZip = true;
CZipArchive* CPaintManagerUI::m_hResourceZip = nullptr;
const void* CPaintManagerUI::m_pResourceZipData = nullptr;
unsigned int CPaintManagerUI::m_nResourceZipLength = 0;
bool CPaintManagerUI::m_bResourceZipClosedByTerm = false;

namespace {

// The name under which an archive in memory is recorded.
const wchar_t kMemoryZipName[] = L"membuffer";

// How deep tokens inside substituted language strings are expanded.
const int kMaxTokenNesting = 8;
// The most substitutions in one text, and the longest text they may make:
// strings of many tokens that name one another grow geometrically, and
// every text is processed again at each paint.
const int kMaxTokenSubstitutions = 1024;
const size_t kMaxExpandedLength = 256 * 1024;

// The language strings: text number -> owned CFacetString. The texts are freed
// with the table at process exit.
class LanguageStringTable
{
public:
    ~LanguageStringTable() { RemoveAll(); }

    CFacetStringPtrMap& Map() { return m_map; }

    void RemoveAll() { m_map.DeleteValues<CFacetString>(); }

private:
    CFacetStringPtrMap m_map;
};

LanguageStringTable& LanguageStrings()
{
    static LanguageStringTable table;
    return table;
}

// The decimal text of a number, the key of numbered tables.
CFacetString NumberKey(int id)
{
    wchar_t key[16] = {};
    std::swprintf(key, sizeof(key) / sizeof(key[0]), L"%d", id);
    return CFacetString(key);
}

// Reads a token "%{digits}" at `text`; on success gives its length and number
// (no digits read as 0). A number beyond the range of int can name no string
// and gives -1.
bool ReadToken(const wchar_t* text, int& length, int& number)
{
    if (text[0] != L'%' || text[1] != L'{')
        return false;
    const wchar_t* p = text + 2;
    long long value = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p) {
        if (value <= INT_MAX)
            value = value * 10 + (*p - L'0');
    }
    if (*p != L'}')
        return false;
    length = static_cast<int>(p + 1 - text);
    number = value <= INT_MAX ? static_cast<int>(value) : -1;
    return true;
}

// The part of a text that the substitution of string `number` produced.
struct Substitution
{
    size_t start;
    size_t end;
    int number;
};

// Whether the token at `pos` may be replaced by string `number`: not when it
// lies in a substitution of that same string (so a string that names itself
// ends there) nor below kMaxTokenNesting substitutions.
bool MayExpand(const std::vector<Substitution>& done, size_t pos, int number)
{
    int depth = 0;
    for (const Substitution& span : done) {
        if (span.start <= pos && pos < span.end) {
            if (span.number == number)
                return false;
            ++depth;
        }
    }
    return depth < kMaxTokenNesting;
}

// Replaces the token of `length` characters at `pos`. Scanning never goes
// back, so every earlier substitution starts at or before `pos`; one that
// holds the token (or its start) now holds the whole replacement.
void Substitute(std::wstring& text, std::vector<Substitution>& done, size_t pos, size_t length,
                const wchar_t* replacement, int number)
{
    const size_t added = wcslen(replacement);
    text.replace(pos, length, replacement, added);
    for (Substitution& span : done) {
        if (span.end <= pos)
            continue;
        span.end = span.end >= pos + length ? span.end - length + added : pos + added;
    }
    done.push_back(Substitution{pos, pos + added, number});
}

// A module file name of any length.
CFacetString ModuleFileName(HMODULE module)
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return CFacetString();
        if (length < buffer.size())
            return CFacetString(buffer.data(), static_cast<int>(length));
        if (buffer.size() >= 0x8000)
            return CFacetString(); // beyond the longest path the system knows
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace

// -- Settings --

HINSTANCE CPaintManagerUI::GetInstance()
{
    return m_hInstance;
}

void CPaintManagerUI::SetInstance(HINSTANCE hInst)
{
    m_hInstance = hInst;
}

HINSTANCE CPaintManagerUI::GetResourceDll()
{
    return m_hResourceInstance != nullptr ? m_hResourceInstance : m_hInstance;
}

void CPaintManagerUI::SetResourceDll(HINSTANCE hInst)
{
    m_hResourceInstance = hInst;
}

CFacetString CPaintManagerUI::GetInstancePath()
{
    if (m_hInstance == nullptr)
        return CFacetString();
    const CFacetString fileName = ModuleFileName(m_hInstance);
    return fileName.Left(fileName.ReverseFind(L'\\') + 1);
}

CFacetString CPaintManagerUI::GetCurrentPath()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0)
            return CFacetString();
        if (length < buffer.size())
            return CFacetString(buffer.data(), static_cast<int>(length));
        buffer.resize(length + 1); // the size asked for, terminator included
    }
}

void CPaintManagerUI::SetCurrentPath(const wchar_t* path)
{
    ::SetCurrentDirectoryW(path);
}

void CPaintManagerUI::SetResourcePath(const wchar_t* path)
{
    m_pStrResourcePath = path;
    if (m_pStrResourcePath.IsEmpty())
        return;
    const wchar_t last = m_pStrResourcePath[m_pStrResourcePath.GetLength() - 1];
    if (last != L'\\' && last != L'/')
        m_pStrResourcePath += L'\\';
}

const CFacetString& CPaintManagerUI::GetResourcePath()
{
    return m_pStrResourcePath;
}

void CPaintManagerUI::CloseResourceZip()
{
    delete m_hResourceZip;
    m_hResourceZip = nullptr;
}

void CPaintManagerUI::SetResourceZip(const wchar_t* zipName, bool cached)
{
    // An unchanged setting changes nothing, unless Term closed the archive
    // that it keeps open: then the same setting opens it again.
    const bool inMemory = IsResourceZipInMemory();
    if (!inMemory && m_pStrResourceZip == (zipName != nullptr ? zipName : L"") && m_bCachedResourceZip == cached &&
        !(cached && m_bResourceZipClosedByTerm))
        return;
    m_bResourceZipClosedByTerm = false;
    CloseResourceZip();
    m_pResourceZipData = nullptr;
    m_nResourceZipLength = 0;
    m_pStrResourceZip = zipName;
    m_bCachedResourceZip = cached;
    if (cached && !m_pStrResourceZip.IsEmpty()) {
        const CFacetString path = m_pStrResourcePath + m_pStrResourceZip;
        m_hResourceZip = CZipArchive::OpenFile(path);
    }
}

void CPaintManagerUI::SetResourceZip(const void* data, unsigned int length)
{
    // The same block again keeps the open archive (after Term it is opened anew).
    if (IsResourceZipInMemory() && data == m_pResourceZipData && length == m_nResourceZipLength &&
        m_hResourceZip != nullptr)
        return;
    CloseResourceZip();
    m_bResourceZipClosedByTerm = false;
    m_pStrResourceZip = kMemoryZipName;
    m_bCachedResourceZip = true;
    m_pResourceZipData = data;
    m_nResourceZipLength = length;
    if (data != nullptr)
        m_hResourceZip = CZipArchive::OpenMemory(data, length);
}

const CFacetString& CPaintManagerUI::GetResourceZip()
{
    return m_pStrResourceZip;
}

bool CPaintManagerUI::IsCachedResourceZip()
{
    return m_bCachedResourceZip;
}

CZipArchive* CPaintManagerUI::GetResourceZipHandle()
{
    return m_hResourceZip;
}

bool CPaintManagerUI::IsResourceZipInMemory()
{
    return m_pResourceZipData != nullptr;
}

void CPaintManagerUI::Term()
{
    CloseResourceZip();
    m_bResourceZipClosedByTerm = true;
}

// -- Language strings --

CFacetStringPtrMap& CPaintManagerUI::MultiLanguageStrings()
{
    return LanguageStrings().Map();
}

void CPaintManagerUI::AddMultiLanguageString(int id, const wchar_t* text)
{
    CFacetString* stored = new CFacetString(text);
    delete static_cast<CFacetString*>(MultiLanguageStrings().Set(NumberKey(id), stored));
}

const wchar_t* CPaintManagerUI::GetMultiLanguageString(int id)
{
    const CFacetString* text = static_cast<const CFacetString*>(MultiLanguageStrings().Find(NumberKey(id)));
    return text != nullptr ? text->GetData() : nullptr;
}

bool CPaintManagerUI::RemoveMultiLanguageString(int id)
{
    const CFacetString key = NumberKey(id);
    CFacetStringPtrMap& map = MultiLanguageStrings();
    CFacetString* text = static_cast<CFacetString*>(map.Find(key, false));
    if (text == nullptr)
        return false;
    map.Remove(key);
    delete text;
    return true;
}

void CPaintManagerUI::RemoveAllMultiLanguageString()
{
    LanguageStrings().RemoveAll();
}

void CPaintManagerUI::ProcessMultiLanguageTokens(CFacetString& text)
{
    if (text.Find(L"%{") < 0)
        return;
    std::wstring work(text.GetData());
    std::vector<Substitution> done;
    size_t pos = 0;
    while ((pos = work.find(L'%', pos)) != std::wstring::npos) {
        int length = 0;
        int number = 0;
        if (!ReadToken(work.c_str() + pos, length, number)) {
            ++pos;
            continue;
        }
        const wchar_t* replacement = number >= 0 ? GetMultiLanguageString(number) : nullptr;
        if (replacement == nullptr || !MayExpand(done, pos, number) ||
            static_cast<int>(done.size()) >= kMaxTokenSubstitutions ||
            work.size() - static_cast<size_t>(length) + wcslen(replacement) > kMaxExpandedLength) {
            pos += static_cast<size_t>(length);
            continue;
        }
        // The scan goes on at the replacement's first character: it is read
        // again together with the text after it, which may complete a token.
        Substitute(work, done, pos, static_cast<size_t>(length), replacement, number);
    }
    if (!done.empty())
        text = work.c_str();
}

} // namespace Facet
