// Markup parser benchmark: parses one generated skin of about 4 MiB many times with
// CMarkup and, in the same run on the same bytes, with the platform's XmlLite reader
// (xmllite.dll, loaded at run time), and prints throughput and the ratio.
#include "core/Markup.h"

#include "SkinGenerator.h"
#include "../BenchTiming.h"

#include <windows.h>
#include <objidl.h>
#include <shlwapi.h>
#include <xmllite.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

using Facet::CMarkup;
using Facet::CMarkupNode;

namespace {

const size_t kDocumentBytes = 4u * 1024u * 1024u;
const double kMinSeconds = 2.0;
const int kMinRuns = 5;

// IID of IXmlReader, spelled out so that no import library is needed.
const IID kIidXmlReader = {0x7279fc81, 0x709d, 0x4095, {0xb6, 0x3d, 0x69, 0xfe, 0x4b, 0x0d, 0x90, 0x30}};

typedef HRESULT(WINAPI* CreateXmlReaderFunction)(REFIID, void**, IMalloc*);

class Library
{
public:
    explicit Library(const wchar_t* name) : m_module(LoadLibraryW(name)) {}
    ~Library()
    {
        if (m_module != nullptr)
            FreeLibrary(m_module);
    }
    FARPROC Find(const char* name) const { return m_module != nullptr ? GetProcAddress(m_module, name) : nullptr; }

private:
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    HMODULE m_module;
};

// Holds one COM reference.
template <typename T>
class ComRef
{
public:
    ComRef() : m_pointer(nullptr) {}
    ~ComRef()
    {
        if (m_pointer != nullptr)
            m_pointer->Release();
    }
    T** Out() { return &m_pointer; }
    T* operator->() const { return m_pointer; }
    T* Get() const { return m_pointer; }

private:
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    T* m_pointer;
};

struct Counts
{
    size_t elements = 0;
    size_t attributes = 0;
    unsigned long checksum = 0;   // keeps the reads from being optimised away
};

// Visits every element in document order and reads every attribute name and value.
Counts WalkMarkup(CMarkup& markup)
{
    Counts counts;
    CMarkupNode node = markup.GetRoot();
    while (node.IsValid()) {
        ++counts.elements;
        counts.checksum += node.GetName()[0];
        const int attributes = node.GetAttributeCount();
        for (int i = 0; i < attributes; ++i) {
            counts.checksum += node.GetAttributeName(i)[0] + node.GetAttributeValue(i)[0];
            ++counts.attributes;
        }
        if (node.HasChildren()) {
            node = node.GetChild();
            continue;
        }
        while (node.IsValid() && !node.HasSiblings())
            node = node.GetParent();
        if (node.IsValid())
            node = node.GetSibling();
    }
    return counts;
}

// Reads the document once with XmlLite, visiting every element and attribute.
bool WalkXmlLite(IXmlReader* reader, const std::string& bytes, Counts* counts)
{
    ComRef<IStream> stream;
    *stream.Out() = SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size()));
    if (stream.Get() == nullptr || FAILED(reader->SetInput(stream.Get())))
        return false;
    XmlNodeType type = XmlNodeType_None;
    HRESULT hr;
    while ((hr = reader->Read(&type)) == S_OK) {
        if (type != XmlNodeType_Element)
            continue;
        ++counts->elements;
        const wchar_t* text = nullptr;
        reader->GetLocalName(&text, nullptr);
        counts->checksum += text[0];
        for (HRESULT at = reader->MoveToFirstAttribute(); at == S_OK; at = reader->MoveToNextAttribute()) {
            reader->GetLocalName(&text, nullptr);
            counts->checksum += text[0];
            reader->GetValue(&text, nullptr);
            counts->checksum += text[0];
            ++counts->attributes;
        }
    }
    reader->SetInput(nullptr);
    if (FAILED(hr)) {
        UINT line = 0, column = 0;
        reader->GetLineNumber(&line);
        reader->GetLinePosition(&column);
        std::printf("XmlLite failed with 0x%08lX at line %u, column %u\n", static_cast<unsigned long>(hr), line, column);
        return false;
    }
    return true;
}

struct Result
{
    int runs = 0;
    double total = 0;
    double best = 1e30;
    Counts counts;
};

// Repeats `once` until both the minimum time and the minimum number of runs are reached.
template <typename Once>
bool Measure(Once once, Result* result)
{
    Counts warmUp;
    if (!once(&warmUp))
        return false;
    while (result->runs < kMinRuns || result->total < kMinSeconds) {
        Counts counts;
        bench::Clock clock;
        if (!once(&counts))
            return false;
        const double seconds = clock.Seconds();
        result->total += seconds;
        result->best = (std::min)(result->best, seconds);
        result->counts = counts;
        ++result->runs;
    }
    return true;
}

void Print(const char* label, const Result& result, size_t bytes)
{
    const double mean = result.total / result.runs;
    std::printf("%-22s %8.1f MB/s %12.0f elements/s  (mean %.1f ms, best %.1f ms, %d runs)\n", label,
                static_cast<double>(bytes) / mean / 1e6, static_cast<double>(result.counts.elements) / mean, mean * 1e3,
                result.best * 1e3, result.runs);
}

} // namespace

int main()
{
    const std::string skin = bench::GenerateSkin(kDocumentBytes, 2024);
    std::vector<unsigned char> bytes(skin.begin(), skin.end());
    std::printf("document: %zu bytes (%.2f MiB) of UTF-8; MB = 10^6 bytes of input\n", skin.size(),
                static_cast<double>(skin.size()) / (1024.0 * 1024.0));

    CMarkup markup;
    if (!markup.LoadFromMem(bytes.data(), static_cast<unsigned long>(bytes.size()))) {
        wchar_t message[100] = {}, location[50] = {};
        markup.GetLastErrorMessage(message, 100);
        markup.GetLastErrorLocation(location, 50);
        std::printf("CMarkup failed: %ls at \"%ls\"\n", message, location);
        return 1;
    }
    const Counts documentCounts = WalkMarkup(markup);

    Result loadOnly;
    Measure(
        [&](Counts* counts) {
            *counts = documentCounts;
            return markup.LoadFromMem(bytes.data(), static_cast<unsigned long>(bytes.size()));
        },
        &loadOnly);
    Result loadWalk;
    Measure(
        [&](Counts* counts) {
            if (!markup.LoadFromMem(bytes.data(), static_cast<unsigned long>(bytes.size())))
                return false;
            *counts = WalkMarkup(markup);
            return true;
        },
        &loadWalk);
    std::printf("elements: %zu, attributes: %zu\n", loadWalk.counts.elements, loadWalk.counts.attributes);
    Print("CMarkup load", loadOnly, bytes.size());
    Print("CMarkup load+walk", loadWalk, bytes.size());

    Library xmllite(L"xmllite.dll");
    CreateXmlReaderFunction create = reinterpret_cast<CreateXmlReaderFunction>(
        reinterpret_cast<void*>(xmllite.Find("CreateXmlReader")));
    if (create == nullptr) {
        std::printf("XmlLite: xmllite.dll or CreateXmlReader not available\n");
        return 0;
    }
    ComRef<IXmlReader> reader;
    if (FAILED(create(kIidXmlReader, reinterpret_cast<void**>(reader.Out()), nullptr)) || reader.Get() == nullptr) {
        std::printf("XmlLite: CreateXmlReader failed\n");
        return 0;
    }
    Result xml;
    if (!Measure([&](Counts* counts) { return WalkXmlLite(reader.Get(), skin, counts); }, &xml))
        return 1;
    if (xml.counts.elements != loadWalk.counts.elements || xml.counts.attributes != loadWalk.counts.attributes) {
        std::printf("note: XmlLite saw %zu elements and %zu attributes\n", xml.counts.elements, xml.counts.attributes);
    }
    Print("XmlLite read+walk", xml, bytes.size());
    std::printf("ratio CMarkup load+walk / XmlLite: %.2fx faster (mean times %.1f ms vs %.1f ms)\n",
                (xml.total / xml.runs) / (loadWalk.total / loadWalk.runs), loadWalk.total / loadWalk.runs * 1e3,
                xml.total / xml.runs * 1e3);
    return 0;
}
