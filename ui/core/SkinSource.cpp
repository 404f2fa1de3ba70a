#include "SkinSource.h"

#include "PaintManager.h"
#include "UniqueHandle.h"
#include "ZipArchive.h"

#include <cwchar>
#include <memory>
#include <new>

namespace Facet {

const wchar_t* const CSkinSource::kColorType = L"*COLOR*";

namespace {

// Sizes the buffer; false when memory runs out.
bool MakeRoom(std::vector<unsigned char>& bytes, unsigned long size)
{
    try {
        bytes.assign(size, 0);
        return true;
    } catch (const std::bad_alloc&) {
        bytes.clear();
        return false;
    }
}

bool IsEmptyName(const wchar_t* name)
{
    return name == nullptr || name[0] == L'\0';
}

// The absolute form of a path, its long name when the file exists; the path
// as given when it cannot be resolved.
CFacetString FullPath(const CFacetString& path)
{
    std::vector<wchar_t> full(MAX_PATH);
    DWORD length = ::GetFullPathNameW(path, static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
        full.resize(length + 1);
        length = ::GetFullPathNameW(path, static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    if (length == 0 || length >= full.size())
        return path;
    std::vector<wchar_t> longName(full.size());
    DWORD longLength = ::GetLongPathNameW(full.data(), longName.data(), static_cast<DWORD>(longName.size()));
    if (longLength >= longName.size()) {
        longName.resize(longLength + 1);
        longLength = ::GetLongPathNameW(full.data(), longName.data(), static_cast<DWORD>(longName.size()));
    }
    if (longLength > 0 && longLength < longName.size())
        return CFacetString(longName.data(), static_cast<int>(longLength));
    return CFacetString(full.data(), static_cast<int>(length));
}

// An archive entry name with "/" separators, without empty and "." steps, and
// with each ".." taking away the step before it.
CFacetString EntryPath(const wchar_t* name)
{
    std::vector<CFacetString> steps;
    const wchar_t* p = name;
    while (*p != L'\0') {
        const wchar_t* end = p;
        while (*end != L'\0' && *end != L'/' && *end != L'\\')
            ++end;
        const CFacetString step(p, static_cast<int>(end - p));
        if (step == L"..") {
            if (!steps.empty())
                steps.pop_back();
        } else if (!step.IsEmpty() && step != L".") {
            steps.push_back(step);
        }
        p = *end != L'\0' ? end + 1 : end;
    }
    CFacetString path;
    for (size_t i = 0; i < steps.size(); ++i) {
        if (i > 0)
            path += L"/";
        path += steps[i];
    }
    return path;
}

} // namespace

CFacetString CSkinSource::DocumentIdentity(const wchar_t* name)
{
    if (IsEmptyName(name))
        return CFacetString();
    CFacetString identity = CPaintManagerUI::GetResourceZip().IsEmpty()
                                ? FullPath(CPaintManagerUI::GetResourcePath() + name)
                                : EntryPath(name);
    identity.MakeLower();
    return identity;
}

CSkinSource::Status CSkinSource::ReadFile(const wchar_t* path, std::vector<unsigned char>& bytes, unsigned long maxSize)
{
    bytes.clear();
    if (IsEmptyName(path))
        return kFileOpenFailed;
    const UniqueKernelHandle file(
        ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return kFileOpenFailed;
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(file.Get(), &size))
        return kFileReadFailed;
    if (size.QuadPart == 0)
        return kFileEmpty;
    if (static_cast<unsigned long long>(size.QuadPart) > maxSize)
        return kFileTooLarge;
    const unsigned long total = static_cast<unsigned long>(size.QuadPart);
    if (!MakeRoom(bytes, total))
        return kFileReadFailed;
    unsigned long done = 0;
    while (done < total) {
        DWORD read = 0;
        if (!::ReadFile(file.Get(), bytes.data() + done, total - done, &read, nullptr) || read == 0)
            break;
        done += read;
    }
    if (done < total) {
        bytes.clear();
        return kFileReadFailed;
    }
    return kOk;
}

CSkinSource::Status CSkinSource::ReadZipEntry(CZipArchive& archive, const wchar_t* name,
                                              std::vector<unsigned char>& bytes, unsigned long maxSize)
{
    bytes.clear();
    unsigned long size = 0;
    if (IsEmptyName(name) || !archive.FindEntry(name, &size))
        return kZipEntryMissing;
    if (size == 0)
        return kFileEmpty;
    if (size > maxSize)
        return kFileTooLarge;
    if (!MakeRoom(bytes, size))
        return kZipEntryReadFailed;
    if (!archive.ReadEntry(bytes.data(), size)) {
        bytes.clear();
        return kZipEntryReadFailed;
    }
    return kOk;
}

CSkinSource::Status CSkinSource::ReadResource(HMODULE module, STRINGorID name, const wchar_t* type,
                                              std::vector<unsigned char>& bytes, unsigned long maxSize)
{
    bytes.clear();
    if (!name.IsId() && IsEmptyName(name.m_lpstr))
        return kNoName;
    // Resources need no release: they live as long as the module is loaded.
    HRSRC info = ::FindResourceW(module, name.m_lpstr, type);
    if (info == nullptr)
        return kResourceMissing;
    const DWORD size = ::SizeofResource(module, info);
    if (size == 0)
        return kFileEmpty;
    if (size > maxSize)
        return kFileTooLarge;
    HGLOBAL loaded = ::LoadResource(module, info);
    const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (data == nullptr)
        return kResourceReadFailed;
    const unsigned char* first = static_cast<const unsigned char*>(data);
    try {
        bytes.assign(first, first + size);
    } catch (const std::bad_alloc&) {
        bytes.clear();
        return kResourceReadFailed;
    }
    return kOk;
}

CSkinSource::Status CSkinSource::ReadDocument(const wchar_t* name, std::vector<unsigned char>& bytes,
                                              unsigned long maxSize)
{
    bytes.clear();
    if (IsEmptyName(name))
        return kNoName;
    const CFacetString& resourcePath = CPaintManagerUI::GetResourcePath();
    const CFacetString& zipName = CPaintManagerUI::GetResourceZip();
    if (zipName.IsEmpty())
        return ReadFile(resourcePath + name, bytes, maxSize);

    // An archive in memory is always the one kept open.
    if (CPaintManagerUI::IsCachedResourceZip() || CPaintManagerUI::IsResourceZipInMemory()) {
        CZipArchive* archive = CPaintManagerUI::GetResourceZipHandle();
        if (archive == nullptr)
            return kZipOpenFailed;
        return ReadZipEntry(*archive, name, bytes, maxSize);
    }
    std::unique_ptr<CZipArchive> archive(CZipArchive::OpenFile(resourcePath + zipName));
    if (!archive)
        return kZipOpenFailed;
    return ReadZipEntry(*archive, name, bytes, maxSize);
}

CSkinSource::Status CSkinSource::ReadImage(STRINGorID name, const wchar_t* type, std::vector<unsigned char>& bytes)
{
    bytes.clear();
    const bool isResource = !IsEmptyName(type) && std::wcscmp(type, kColorType) != 0;
    Status status = kNoName;
    if (isResource) {
        STRINGorID resource = name;
        if (!name.IsId() && name.m_lpstr != nullptr && name.m_lpstr[0] >= L'0' && name.m_lpstr[0] <= L'9')
            resource = STRINGorID(static_cast<unsigned int>(std::wcstoul(name.m_lpstr, nullptr, 10)));
        status = ReadResource(CPaintManagerUI::GetResourceDll(), resource, type, bytes);
    } else if (!name.IsId()) {
        status = ReadDocument(name.m_lpstr, bytes, kNoSizeLimit);
    }
    if (status == kOk || name.IsId() || IsEmptyName(name.m_lpstr))
        return status;

    // Last chance: the name by itself, as an absolute path or relative to the current folder.
    if (ReadFile(name.m_lpstr, bytes) == kOk)
        return kOk;
    return status;
}

const wchar_t* CSkinSource::GetStatusMessage(Status status)
{
    switch (status) {
    case kOk:
        return L"";
    case kFileOpenFailed:
        return L"Error opening file";
    case kFileEmpty:
        return L"File is empty";
    case kFileTooLarge:
        return L"File too large";
    case kFileReadFailed:
        return L"Could not read file";
    case kZipOpenFailed:
        return L"Error opening zip file";
    case kZipEntryMissing:
        return L"Could not find ziped file";
    case kZipEntryReadFailed:
        return L"Could not unzip file";
    case kResourceMissing:
        return L"Could not find resource";
    case kResourceReadFailed:
        return L"Could not load resource";
    case kNoName:
        return L"Error opening file";
    }
    return L"";
}

} // namespace Facet
