// The process-wide skin sources and language strings of CPaintManagerUI.
#include "PaintManager.h"

#include "ZipArchive.h"

#include <climits>
#include <cwchar>
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

namespace {

// The name under which an archive in memory is recorded.
const wchar_t kMemoryZipName[] = L"membuffer";

// How deep tokens inside substituted language strings are expanded.
const int kMaxTokenNesting = 8;

// The language strings: text number -> owned CFacetString. The texts are freed
// with the table at process exit.
class LanguageStringTable
{
public:
    ~LanguageStringTable() { RemoveAll(); }

    CFacetStringPtrMap& Map() { return m_map; }

    void RemoveAll()
    {
        for (int i = 0; i < m_map.GetSize(); ++i) {
            const wchar_t* key = m_map.GetAt(i);
            if (key != nullptr)
                delete static_cast<CFacetString*>(m_map.Find(key, false));
        }
        m_map.RemoveAll();
    }

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

// Appends `text` to `out` with its tokens expanded. `active` holds the numbers
// being expanded by the callers; such a token is copied unchanged, so a string
// that refers to itself cannot expand for ever.
bool ExpandTokens(const wchar_t* text, CFacetString& out, std::vector<int>& active)
{
    bool changed = false;
    const wchar_t* runStart = text;
    const wchar_t* p = text;
    while (*p != L'\0') {
        int length = 0;
        int number = 0;
        if (*p != L'%' || !ReadToken(p, length, number)) {
            ++p;
            continue;
        }
        const wchar_t* replacement = number >= 0 ? CPaintManagerUI::GetMultiLanguageString(number) : nullptr;
        bool blocked = static_cast<int>(active.size()) >= kMaxTokenNesting;
        for (int n : active)
            blocked = blocked || n == number;
        if (replacement == nullptr || blocked) {
            p += length;
            continue;
        }
        out.Append(CFacetString(runStart, static_cast<int>(p - runStart)));
        active.push_back(number);
        ExpandTokens(replacement, out, active);
        active.pop_back();
        changed = true;
        p += length;
        runStart = p;
    }
    out.Append(runStart);
    return changed;
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
    const bool inMemory = IsResourceZipInMemory();
    if (!inMemory && m_pStrResourceZip == (zipName != nullptr ? zipName : L"") && m_bCachedResourceZip == cached)
        return;
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
    if (IsResourceZipInMemory() && data == m_pResourceZipData && length == m_nResourceZipLength)
        return;
    CloseResourceZip();
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
    CFacetString expanded;
    std::vector<int> active;
    if (ExpandTokens(text, expanded, active))
        text = expanded;
}

} // namespace Facet
