// Markup parser benchmark. Two documents, the updater's own skin (built in as a
// resource) and a generated skin of about 4 MiB, are each loaded and walked
// (every element name, every attribute name and value) by CMarkup and, in the
// same run on the same UTF-8 bytes, by pugixml (when the benchmark was built
// with it; tools/bench markup does so) and by the platform's XmlLite reader.
// Rounds of the readers are interleaved; each prints the median time per load
// with the range over the rounds, and the median of the rounds' ratios to
// CMarkup.
#include "core/Markup.h"

#include "SkinGenerator.h"
#include "../BenchTiming.h"

#include <windows.h>
#include <objidl.h>
#include <shlwapi.h>
#include <xmllite.h>

#ifdef FACET_BENCH_PUGIXML
#include "pugixml.hpp"
#endif

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

using Facet::CMarkup;
using Facet::CMarkupNode;

namespace {

const size_t kLargeBytes = 4u * 1024u * 1024u;
const int kRounds = 11;
// Each round of one reader lasts at least this long (many loads of a small document).
const double kRoundSeconds = 0.15;
const int kSkinResource = 136;

// IID of IXmlReader, spelled out so that no import library is needed.
const IID kIidXmlReader = {0x7279fc81, 0x709d, 0x4095, {0xb6, 0x3d, 0x69, 0xfe, 0x4b, 0x0d, 0x90, 0x30}};

typedef HRESULT(WINAPI* CreateXmlReaderFunction)(REFIID, void**, IMalloc*);

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
    unsigned long checksum = 0; // keeps the reads from being optimised away
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

bool LoadAndWalkMarkup(CMarkup& markup, std::vector<unsigned char>& bytes, Counts* counts)
{
    if (!markup.LoadFromMem(bytes.data(), static_cast<unsigned long>(bytes.size())))
        return false;
    *counts = WalkMarkup(markup);
    return true;
}

#ifdef FACET_BENCH_PUGIXML
// The element that follows `node` among its siblings, or a null node.
pugi::xml_node NextElement(pugi::xml_node node)
{
    do
        node = node.next_sibling();
    while (node && node.type() != pugi::node_element);
    return node;
}

pugi::xml_node FirstChildElement(pugi::xml_node node)
{
    pugi::xml_node child = node.first_child();
    return child && child.type() != pugi::node_element ? NextElement(child) : child;
}

// The same walk over pugixml's tree.
Counts WalkPugi(const pugi::xml_document& document)
{
    Counts counts;
    const pugi::xml_node root = document.document_element();
    pugi::xml_node node = root;
    while (node) {
        ++counts.elements;
        counts.checksum += static_cast<unsigned char>(node.name()[0]);
        for (pugi::xml_attribute attribute = node.first_attribute(); attribute;
             attribute = attribute.next_attribute()) {
            counts.checksum += static_cast<unsigned char>(attribute.name()[0]) +
                               static_cast<unsigned char>(attribute.value()[0]);
            ++counts.attributes;
        }
        pugi::xml_node next = FirstChildElement(node);
        while (!next && node != root) {
            next = NextElement(node);
            node = node.parent();
        }
        node = next;
    }
    return counts;
}

bool LoadAndWalkPugi(pugi::xml_document& document, const std::vector<unsigned char>& bytes, Counts* counts)
{
    if (!document.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_utf8))
        return false;
    *counts = WalkPugi(document);
    return true;
}

// pugixml takes its memory from the heap in 32-KiB pages (and one block for
// its copy of the text) and gives all of it back when a document is loaded
// again. Under Wine the heap returns such blocks to the system, and touching a
// page of fresh memory is slow there (tens of microseconds on the test
// machine), so most of pugixml's time on a large document goes into the
// memory, not into parsing; on Windows the heap keeps such blocks. The second
// pugixml reader therefore keeps the blocks it was given and hands them out
// again, as CMarkup keeps its own buffers between loads. Every block carries
// its size in front of it, so that a block may be given back through either
// reader's functions (the functions are process-wide in pugixml).
class PugiMemory
{
public:
    // Sets pugixml's functions: blocks kept between loads, or plain heap blocks.
    static void Use(bool keep)
    {
        pugi::set_memory_management_functions(keep ? AllocateKept : Allocate, keep ? Keep : Free);
    }

private:
    struct alignas(16) Header
    {
        size_t size;
    };

    static void* Allocate(size_t size)
    {
        auto* header = static_cast<Header*>(std::malloc(sizeof(Header) + size));
        if (header == nullptr)
            return nullptr;
        header->size = size;
        return header + 1;
    }

    static void Free(void* block)
    {
        if (block != nullptr)
            std::free(static_cast<Header*>(block) - 1);
    }

    static void* AllocateKept(size_t size)
    {
        std::vector<Header*>& kept = Kept()[size];
        if (kept.empty())
            return Allocate(size);
        Header* header = kept.back();
        kept.pop_back();
        return header + 1;
    }

    static void Keep(void* block)
    {
        if (block == nullptr)
            return;
        Header* header = static_cast<Header*>(block) - 1;
        Kept()[header->size].push_back(header);
    }

    static std::map<size_t, std::vector<Header*>>& Kept()
    {
        static std::map<size_t, std::vector<Header*>> kept;
        return kept;
    }
};

bool LoadAndWalkPugiWith(bool keepMemory, pugi::xml_document& document, const std::vector<unsigned char>& bytes,
                         Counts* counts)
{
    PugiMemory::Use(keepMemory);
    return LoadAndWalkPugi(document, bytes, counts);
}
#endif

// Reads the document once with XmlLite, visiting every element and attribute.
bool WalkXmlLite(IXmlReader* reader, const std::vector<unsigned char>& bytes, Counts* counts)
{
    ComRef<IStream> stream;
    *stream.Out() = SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size()));
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
    return SUCCEEDED(hr);
}

// One reader of the comparison: a load and walk of the document, and the
// milliseconds per load of each round.
struct Reader
{
    const char* name;
    std::function<bool(Counts*)> once;
    std::vector<double> msPerLoad;
    Counts counts;
    bool failed = false;
};

// Times loads until a round's minimum time has passed; milliseconds per load.
bool TimeRound(Reader& reader)
{
    int loads = 0;
    bench::Clock clock;
    do {
        if (!reader.once(&reader.counts))
            return false;
        ++loads;
    } while (clock.Seconds() < kRoundSeconds);
    reader.msPerLoad.push_back(clock.Seconds() * 1000.0 / loads);
    return true;
}

void Compare(const char* title, std::vector<unsigned char>& bytes, std::vector<Reader>& readers)
{
    std::printf("\n%s: %zu bytes of UTF-8\n", title, bytes.size());
    for (Reader& reader : readers) {
        reader.failed = !reader.once(&reader.counts); // warm-up
        if (reader.failed)
            std::printf("  %s cannot read the document\n", reader.name);
    }
    for (int round = 0; round < kRounds; ++round) {
        // The readers take turns, starting with a different one each round.
        for (size_t k = 0; k < readers.size(); ++k) {
            Reader& reader = readers[(k + static_cast<size_t>(round)) % readers.size()];
            if (!reader.failed)
                reader.failed = !TimeRound(reader);
        }
    }
    const Reader& base = readers.front();
    std::printf("  %u elements, %u attributes; median of %d interleaved rounds (range)\n",
                static_cast<unsigned>(base.counts.elements), static_cast<unsigned>(base.counts.attributes), kRounds);
    for (const Reader& reader : readers) {
        if (reader.failed)
            continue;
        const bench::Spread time = bench::SpreadOf(reader.msPerLoad);
        std::printf("  %-26s %9.3f ms per load+walk (%.3f .. %.3f)  %7.1f MB/s", reader.name, time.median, time.low,
                    time.high, static_cast<double>(bytes.size()) / (time.median / 1000.0) / 1e6);
        if (&reader != &base) {
            std::vector<double> ratios;
            for (size_t i = 0; i < reader.msPerLoad.size() && i < base.msPerLoad.size(); ++i)
                ratios.push_back(base.msPerLoad[i] / reader.msPerLoad[i]);
            const bench::Spread ratio = bench::SpreadOf(ratios);
            std::printf("  CMarkup/%s x%.2f (%.2f .. %.2f)", reader.name, ratio.median, ratio.low, ratio.high);
            if (reader.counts.elements != base.counts.elements || reader.counts.attributes != base.counts.attributes)
                std::printf("  [saw %u elements, %u attributes]", static_cast<unsigned>(reader.counts.elements),
                            static_cast<unsigned>(reader.counts.attributes));
        }
        std::printf("\n");
    }
    std::fflush(stdout);
}

std::vector<unsigned char> UpdaterSkin()
{
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(kSkinResource), L"XML");
    HGLOBAL loaded = found != nullptr ? LoadResource(nullptr, found) : nullptr;
    const unsigned char* data = loaded != nullptr ? static_cast<const unsigned char*>(LockResource(loaded)) : nullptr;
    if (data == nullptr)
        return {};
    return std::vector<unsigned char>(data, data + SizeofResource(nullptr, found));
}

} // namespace

int main()
{
    std::printf("Markup parsers: load and walk (every element name, attribute name and value) of the same bytes.\n");
    std::printf("A ratio CMarkup/peer below 1 means CMarkup takes less time. MB = 10^6 bytes of input.\n");
#ifdef FACET_BENCH_PUGIXML
    std::printf("pugixml %d.%d (UTF-8 mode, parse_default, load_buffer); \"memory kept\": its heap blocks are kept\n"
                "between loads and given out again, as CMarkup keeps its buffers.\n",
                PUGIXML_VERSION / 1000, PUGIXML_VERSION % 1000 / 10);
#else
    std::printf("pugixml: not built in (tools/bench markup builds the benchmark with it).\n");
#endif

    HMODULE xmllite = LoadLibraryW(L"xmllite.dll");
    CreateXmlReaderFunction create = xmllite != nullptr
                                         ? reinterpret_cast<CreateXmlReaderFunction>(
                                               reinterpret_cast<void*>(GetProcAddress(xmllite, "CreateXmlReader")))
                                         : nullptr;
    ComRef<IXmlReader> xmlReader;
    if (create == nullptr || FAILED(create(kIidXmlReader, reinterpret_cast<void**>(xmlReader.Out()), nullptr)))
        std::printf("XmlLite: not available\n");

    const std::string large = bench::GenerateSkin(kLargeBytes, 2024);
    struct Document
    {
        const char* title;
        std::vector<unsigned char> bytes;
    } documents[] = {
        {"The updater's skin", UpdaterSkin()},
        {"A generated skin of 4 MiB", std::vector<unsigned char>(large.begin(), large.end())},
    };

    for (Document& document : documents) {
        if (document.bytes.empty()) {
            std::printf("\n%s: not found\n", document.title);
            continue;
        }
        CMarkup markup;
        std::vector<Reader> readers;
        readers.push_back({"CMarkup", [&](Counts* c) { return LoadAndWalkMarkup(markup, document.bytes, c); }, {}, {}});
#ifdef FACET_BENCH_PUGIXML
        pugi::xml_document pugiDocument;
        readers.push_back({"pugixml",
                           [&](Counts* c) { return LoadAndWalkPugiWith(false, pugiDocument, document.bytes, c); },
                           {},
                           {}});
        pugi::xml_document pugiKeptDocument;
        readers.push_back({"pugixml, memory kept",
                           [&](Counts* c) { return LoadAndWalkPugiWith(true, pugiKeptDocument, document.bytes, c); },
                           {},
                           {}});
#endif
        if (xmlReader.Get() != nullptr) {
            readers.push_back({"XmlLite",
                               [&](Counts* c) {
                                   *c = Counts();
                                   return WalkXmlLite(xmlReader.Get(), document.bytes, c);
                               },
                               {},
                               {}});
        }
        Compare(document.title, document.bytes, readers);
    }
    return 0;
}
