#include "SkinChecker.h"

#include "NearestName.h"
#include "PreviewOptions.h"

#include "control/ControlUI.h"
#include "control/TreeViewUI.h"
#include "core/AttributeList.h"
#include "core/ControlFactory.h"
#include "core/DialogBuilder.h"
#include "core/Markup.h"
#include "core/PaintManager.h"
#include "core/SkinSource.h"
#include "render/ImageCodecs.h"
#include "render/ImageDescription.h"
#include "render/RenderEngine.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <map>
#include <memory>
#include <set>

namespace preview {

namespace {

using Facet::CControlUI;
using Facet::CDialogBuilder;
using Facet::CMarkup;
using Facet::CMarkupNode;
using Facet::TAttributeInfo;

// Where a mistake stands.
struct Place
{
    std::wstring file;
    int line = 0;
    int column = 0;
};

// One document of the skin as the checker reads it: with line positions.
struct Document
{
    std::wstring source; // as the skin names it
    std::wstring shown;  // as reports name it
    CMarkup markup;
};

bool SameNoCase(const wchar_t* a, const wchar_t* b)
{
    return a != nullptr && b != nullptr && _wcsicmp(a, b) == 0;
}

// The index of the first attribute called `name` ignoring case (as the
// builder reads its own attributes), else -1.
int AttributeIndexNoCase(CMarkupNode& node, const wchar_t* name)
{
    for (int i = 0; i < node.GetAttributeCount(); ++i) {
        if (SameNoCase(node.GetAttributeName(i), name))
            return i;
    }
    return -1;
}

bool IsHexDigit(wchar_t c)
{
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

// One to eight hexadecimal digits after one optional '#' (and leading blanks
// where the reader skips them), and nothing after.
bool IsColor(const wchar_t* value, bool blanksFirst)
{
    if (blanksFirst) {
        while (*value != L'\0' && *value <= L' ')
            ++value;
    }
    if (*value == L'#')
        ++value;
    int digits = 0;
    for (; IsHexDigit(*value); ++value)
        ++digits;
    return digits >= 1 && digits <= 8 && *value == L'\0';
}

bool FileExists(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::wstring FullPath(const std::wstring& path)
{
    wchar_t full[MAX_PATH * 2] = {};
    const DWORD length = ::GetFullPathNameW(path.c_str(), MAX_PATH * 2, full, nullptr);
    return length > 0 && length < MAX_PATH * 2 ? std::wstring(full, length) : path;
}

std::wstring Quoted(const std::wstring& text)
{
    return L"\"" + text + L"\"";
}

// "; did you mean "x"?" for the nearest of `candidates`, noting a difference
// of case alone; empty when nothing is near.
std::wstring Suggestion(const std::wstring& written, const std::vector<std::wstring>& candidates,
                        const wchar_t* caseNote)
{
    const std::wstring nearest = NearestName(written, candidates);
    if (nearest.empty())
        return std::wstring();
    std::wstring text = L"; did you mean " + Quoted(nearest) + L"?";
    if (SameIgnoringCase(nearest, written))
        text += std::wstring(L" (") + caseNote + L")";
    return text;
}

std::vector<std::wstring> ElementNames()
{
    std::vector<std::wstring> names;
    for (const wchar_t* name : Facet::FactoryControlNames())
        names.push_back(name);
    for (const wchar_t* name : CDialogBuilder::kResourceElements)
        names.push_back(name);
    names.push_back(CDialogBuilder::kIncludeElement);
    names.push_back(CDialogBuilder::kTreeNodeElement);
    return names;
}

template <class Root>
std::vector<std::wstring> TableNames(const Facet::TAttributeTableBase<Root>& table)
{
    std::vector<std::wstring> names;
    table.ForEach([&names](const TAttributeInfo& info) { names.push_back(info.name); });
    return names;
}

// The control an element makes, or null for a name no class has.
CControlUI* MakeControl(const wchar_t* element)
{
    if (SameNoCase(element, CDialogBuilder::kTreeNodeElement))
        return new Facet::CTreeNodeUI();
    return CDialogBuilder::CreateKnownControl(element);
}

struct ControlDeleter
{
    void operator()(CControlUI* control) const { control->Delete(); }
};
using ControlPtr = std::unique_ptr<CControlUI, ControlDeleter>;

class Checker
{
public:
    explicit Checker(const PreviewOptions& options) : m_options(options), m_elementNames(ElementNames()) {}

    CheckResult Run()
    {
        CheckResult result;
        result.loads = CheckDocument(m_options.skinName, nullptr);
        CheckFontUses();
        std::stable_sort(m_diagnostics.begin(), m_diagnostics.end(), [this](const Diagnostic& a, const Diagnostic& b) {
            const size_t fileA = FileOrder(a.file);
            const size_t fileB = FileOrder(b.file);
            if (fileA != fileB)
                return fileA < fileB;
            return a.line != b.line ? a.line < b.line : a.column < b.column;
        });
        result.diagnostics = m_diagnostics;
        result.files.assign(m_files.begin(), m_files.end());
        return result;
    }

private:
    struct FontUse
    {
        int id;
        Place place;
    };

    // -- Documents --

    // False when the document cannot be read or parsed.
    bool CheckDocument(const std::wstring& source, const Place* includedAt)
    {
        // As the builder does, a source that starts with '<' is the document itself.
        const bool isText = !source.empty() && source[0] == L'<';
        Document document;
        document.source = source;
        document.shown = isText ? L"<included text>" : ShownPath(source);
        m_fileOrder.push_back(document.shown);
        if (!isText)
            WatchDocument(source);
        document.markup.SetKeepLinePositions();
        const bool loaded = isText ? document.markup.Load(source.c_str())
                                   : document.markup.LoadFromFile(source.c_str());
        if (!loaded) {
            ReportLoadFailure(document, includedAt);
            return false;
        }
        CMarkupNode root = document.markup.GetRoot();
        if (!root.IsValid()) {
            Report(Severity::kError, Place{document.shown, 0, 0}, L"the document has no root element");
            return false;
        }
        m_sources.push_back(source);
        CheckRoot(document, root, includedAt == nullptr);
        CheckChildren(document, root, true, true);
        m_sources.pop_back();
        return true;
    }

    void ReportLoadFailure(Document& document, const Place* includedAt)
    {
        wchar_t message[100] = {};
        wchar_t location[50] = {};
        document.markup.GetLastErrorMessage(message, 100);
        document.markup.GetLastErrorLocation(location, 50);
        const int line = document.markup.GetLastErrorLine();
        if (line == 0) {
            // Nothing was read: the file itself is missing or unreadable.
            if (includedAt != nullptr)
                Report(Severity::kError, *includedAt,
                       L"included file " + Quoted(document.source) + L" cannot be read (" + message + L")");
            else
                Report(Severity::kError, Place{document.shown, 0, 0},
                       std::wstring(L"the skin cannot be read (") + message + L")");
            return;
        }
        std::wstring text = message;
        // The start of the text where the parse stopped, on its line.
        std::wstring snippet = location;
        snippet = snippet.substr(0, snippet.find_first_of(L"\r\n"));
        if (snippet.size() > 20)
            snippet = snippet.substr(0, 20);
        if (!snippet.empty())
            text += L" near " + Quoted(snippet);
        Report(Severity::kError, Place{document.shown, line, document.markup.GetLastErrorColumn()}, text);
    }

    void CheckRoot(Document& document, CMarkupNode& root, bool isMain)
    {
        for (CMarkupNode extra = root.GetSibling(); extra.IsValid(); extra = extra.GetSibling()) {
            Report(Severity::kError, PlaceOf(document, extra),
                   L"a second root element " + Quoted(extra.GetName()) + L" is ignored");
        }
        if (!SameNoCase(root.GetName(), CDialogBuilder::kWindowElement)) {
            if (root.GetAttributeCount() > 0) {
                Report(Severity::kWarning, PlaceOf(document, root),
                       L"root element " + Quoted(root.GetName()) + L" is not " +
                           Quoted(CDialogBuilder::kWindowElement) + L": its attributes are ignored" +
                           Suggestion(root.GetName(), {CDialogBuilder::kWindowElement}, L"compared ignoring case"));
            }
            return;
        }
        const auto& table = Facet::CPaintManagerUI::GetWindowAttributeTable();
        CheckAttributes(document, root, table, root.GetName(), TableNames(table));
        const TAttributeInfo* size = table.Find(L"size");
        if (isMain && size != nullptr) {
            bool sized = false;
            for (int i = 0; i < root.GetAttributeCount(); ++i)
                sized = sized || Facet::MatchesAttributeName(*size, root.GetAttributeName(i));
            if (!sized)
                Report(Severity::kError, PlaceOf(document, root),
                       Quoted(root.GetName()) + L" has no \"size\": the window has no size");
        }
    }

    // The children of `parent` as the builder makes them; `holds` says whether
    // the parent keeps controls.
    void CheckChildren(Document& document, CMarkupNode& parent, bool underRoot, bool holds)
    {
        for (CMarkupNode node = parent.GetChild(); node.IsValid(); node = node.GetSibling()) {
            const wchar_t* name = node.GetName();
            if (CDialogBuilder::IsResourceElement(name)) {
                if (underRoot)
                    CheckResourceElement(document, node);
                else
                    Report(Severity::kWarning, PlaceOf(document, node),
                           Quoted(name) + L" is read only directly under the root element: this one is ignored");
                continue;
            }
            if (SameNoCase(name, CDialogBuilder::kIncludeElement)) {
                CheckInclude(document, node);
                continue;
            }
            ControlPtr control(MakeControl(name));
            if (!control) {
                Report(Severity::kError, PlaceOf(document, node),
                       L"unknown element " + Quoted(name) + L" is skipped with its contents" +
                           Suggestion(name, m_elementNames, L"this element name is case-sensitive"));
                continue;
            }
            if (!holds && !underRoot && !IsCover(node)) {
                Report(Severity::kWarning, PlaceOf(document, node),
                       Quoted(name) + L" is dropped: " + Quoted(parent.GetName()) + L" holds no children");
            }
            const auto& table = control->GetAttributeTable();
            std::vector<std::wstring> names = TableNames(table);
            names.push_back(CDialogBuilder::kCoverAttribute);
            CheckAttributes(document, node, table, name, names);
            const bool holdsChildren = control->GetInterface(L"IContainer") != nullptr;
            control.reset();
            CheckChildren(document, node, false, holdsChildren);
        }
    }

    static bool IsCover(CMarkupNode& node)
    {
        const int index = AttributeIndexNoCase(node, CDialogBuilder::kCoverAttribute);
        return index >= 0 && wcscmp(node.GetAttributeValue(index), L"true") == 0;
    }

    void CheckResourceElement(Document& document, CMarkupNode& node)
    {
        const wchar_t* name = node.GetName();
        if (SameNoCase(name, L"Font")) {
            CDialogBuilder::TFontElement font = {};
            if (CDialogBuilder::ReadFontElement(node, font))
                m_fonts.insert(font.id);
        } else if (SameNoCase(name, L"Image")) {
            const int index = AttributeIndexNoCase(node, L"name");
            if (index >= 0)
                CheckImage(node.GetAttributeValue(index), AttributePlace(document, node, index));
        } else if (SameNoCase(name, L"Default")) {
            CheckDefault(document, node);
        }
    }

    // A "Default" element: the attribute list every control of a class starts with.
    void CheckDefault(Document& document, CMarkupNode& node)
    {
        const int nameIndex = AttributeIndexNoCase(node, L"name");
        const int valueIndex = AttributeIndexNoCase(node, L"value");
        if (nameIndex < 0)
            return;
        const wchar_t* className = node.GetAttributeValue(nameIndex);
        ControlPtr control(MakeControl(className));
        if (!control) {
            Report(Severity::kWarning, AttributePlace(document, node, nameIndex),
                   L"Default for unknown element " + Quoted(className) +
                       Suggestion(className, m_elementNames, L"this element name is case-sensitive"));
            return;
        }
        if (valueIndex < 0)
            return;
        const Place place = AttributePlace(document, node, valueIndex);
        const auto& table = control->GetAttributeTable();
        const std::vector<std::wstring> names = TableNames(table);
        Facet::ForEachListedAttribute(node.GetAttributeValue(valueIndex),
                                      [&](const wchar_t* attribute, const wchar_t* value) {
                                          CheckAttribute(table, className, names, attribute, value, place);
                                      });
    }

    void CheckInclude(Document& document, CMarkupNode& node)
    {
        const Place place = PlaceOf(document, node);
        const int index = AttributeIndexNoCase(node, L"source");
        if (index < 0) {
            Report(Severity::kWarning, place, L"Include has no \"source\": it includes nothing");
            return;
        }
        const std::wstring source = node.GetAttributeValue(index);
        if (static_cast<int>(m_sources.size()) > CDialogBuilder::kMaxIncludeDepth) {
            Report(Severity::kError, place,
                   L"includes nest deeper than " + std::to_wstring(CDialogBuilder::kMaxIncludeDepth) + L": " +
                       Quoted(source) + L" is skipped");
            return;
        }
        for (const std::wstring& open : m_sources) {
            if (!source.empty() && SameIgnoringCase(open, source)) {
                Report(Severity::kError, place, L"recursive include of " + Quoted(source) + L" is skipped");
                return;
            }
        }
        if (!source.empty())
            CheckDocument(source, &place);
    }

    // -- Attributes --

    template <class Root>
    void CheckAttributes(Document& document, CMarkupNode& node, const Facet::TAttributeTableBase<Root>& table,
                         const wchar_t* className, const std::vector<std::wstring>& names)
    {
        for (int i = 0; i < node.GetAttributeCount(); ++i) {
            const wchar_t* name = node.GetAttributeName(i);
            const wchar_t* value = node.GetAttributeValue(i);
            const Place place = AttributePlace(document, node, i);
            if (SameNoCase(name, CDialogBuilder::kCoverAttribute) && table.Find(name) == nullptr)
                continue;
            if (CheckAttribute(table, className, names, name, value, place) && wcscmp(name, L"name") == 0 &&
                *value != L'\0')
                NoteName(value, place);
        }
    }

    // False when the class does not read the attribute.
    template <class Root>
    bool CheckAttribute(const Facet::TAttributeTableBase<Root>& table, const wchar_t* className,
                        const std::vector<std::wstring>& names, const wchar_t* name, const wchar_t* value,
                        const Place& place)
    {
        const TAttributeInfo* info = table.Find(name);
        if (info == nullptr) {
            Report(Severity::kWarning, place,
                   Quoted(name) + L" is not an attribute of " + className +
                       Suggestion(name, names, L"this attribute name is case-sensitive"));
            return false;
        }
        CheckValue(*info, value, place);
        return true;
    }

    void CheckValue(const TAttributeInfo& info, const wchar_t* value, const Place& place)
    {
        switch (info.kind) {
        case Facet::kValueColor:
        case Facet::kValueBlankColor:
            if (!IsColor(value, info.kind == Facet::kValueBlankColor))
                Report(Severity::kWarning, place,
                       L"colour " + Quoted(value) + L" does not parse: write #AARRGGBB in hexadecimal");
            break;
        case Facet::kValueImage:
            CheckImage(value, place);
            break;
        case Facet::kValueFont:
            m_fontUses.push_back(FontUse{static_cast<int>(wcstol(value, nullptr, 10)), place});
            break;
        default:
            break;
        }
    }

    void NoteName(const std::wstring& name, const Place& place)
    {
        const auto found = m_names.find(name);
        if (found == m_names.end()) {
            m_names.emplace(name, place);
            return;
        }
        const Place& first = found->second;
        Report(Severity::kWarning, place,
               L"control name " + Quoted(name) + L" is already used at " + first.file + L":" +
                   std::to_wstring(first.line) + L":" + std::to_wstring(first.column));
    }

    // -- Images and fonts --

    void CheckImage(const wchar_t* description, const Place& place)
    {
        if (description == nullptr || *description == L'\0')
            return;
        Facet::TDrawInfo info(description);
        Facet::TImageLookup lookup;
        Facet::ParseImageDescription(info, lookup, 1.0);
        const std::wstring type = lookup.sResType.GetData();
        const std::wstring name = info.sImageName.GetData();
        if (name.empty() || type == Facet::CSkinSource::kColorType)
            return;
        std::vector<unsigned char> bytes;
        const Facet::CSkinSource::Status status = Facet::CSkinSource::ReadImage(
            Facet::STRINGorID(name.c_str()), type.empty() ? nullptr : type.c_str(), bytes);
        if (status != Facet::CSkinSource::kOk) {
            Report(Severity::kWarning, place, L"image " + Quoted(name) + L" cannot be found");
            return;
        }
        WatchImage(name);
        if (!Decodes(bytes, name, lookup))
            Report(Severity::kWarning, place, L"image " + Quoted(name) + L" cannot be decoded");
    }

    static bool Decodes(const std::vector<unsigned char>& bytes, const std::wstring& name,
                        const Facet::TImageLookup& lookup)
    {
        if (lookup.bSvg) {
            Facet::RgbaPixels pixels;
            return Facet::DecodeSvgImage(bytes.data(), bytes.size(), 1.0, pixels) == Facet::SvgResult::Ok;
        }
        Facet::TImageInfo* image = Facet::CRenderEngine::DecodeImage(bytes.data(), bytes.size(), name.c_str(),
                                                                     lookup.dwMask);
        Facet::CRenderEngine::FreeImage(image);
        return image != nullptr;
    }

    // Font ids are checked once every document has registered its fonts.
    void CheckFontUses()
    {
        for (const FontUse& use : m_fontUses) {
            if (use.id >= 0 && m_fonts.count(use.id) == 0)
                Report(Severity::kWarning, use.place,
                       L"font " + std::to_wstring(use.id) +
                           L" is not registered by a Font element: the default font is used");
        }
    }

    // -- Files --

    std::wstring ShownPath(const std::wstring& source) const
    {
        if (!m_options.zipName.empty())
            return m_options.shownFolder + m_options.zipName + L"\\" + source;
        return m_options.shownFolder + source;
    }

    void WatchDocument(const std::wstring& source)
    {
        if (!m_options.zipName.empty())
            m_files.insert(m_options.resourceFolder + m_options.zipName);
        else
            m_files.insert(FullPath(m_options.resourceFolder + source));
    }

    // Images of the resource folder or archive, or files beside the current folder.
    void WatchImage(const std::wstring& name)
    {
        if (!m_options.zipName.empty()) {
            m_files.insert(m_options.resourceFolder + m_options.zipName);
        } else if (FileExists(m_options.resourceFolder + name)) {
            m_files.insert(FullPath(m_options.resourceFolder + name));
        } else if (FileExists(name)) {
            m_files.insert(FullPath(name));
        }
    }

    // -- Reports --

    Place PlaceOf(Document& document, const CMarkupNode& node) const
    {
        Place place{document.shown, 0, 0};
        node.GetPosition(place.line, place.column);
        return place;
    }

    Place AttributePlace(Document& document, CMarkupNode& node, int index) const
    {
        Place place{document.shown, 0, 0};
        node.GetAttributePosition(index, place.line, place.column);
        return place;
    }

    void Report(Severity severity, const Place& place, const std::wstring& message)
    {
        Diagnostic diagnostic;
        diagnostic.severity = severity;
        diagnostic.file = place.file;
        diagnostic.line = place.line;
        diagnostic.column = place.column;
        diagnostic.message = message;
        m_diagnostics.push_back(diagnostic);
    }

    size_t FileOrder(const std::wstring& file) const
    {
        return static_cast<size_t>(std::find(m_fileOrder.begin(), m_fileOrder.end(), file) - m_fileOrder.begin());
    }

    const PreviewOptions& m_options;
    const std::vector<std::wstring> m_elementNames;
    std::vector<Diagnostic> m_diagnostics;
    std::vector<std::wstring> m_fileOrder;
    std::set<std::wstring> m_files;
    // The documents being read, the outermost first, for recursive includes.
    std::vector<std::wstring> m_sources;
    std::set<int> m_fonts;
    std::vector<FontUse> m_fontUses;
    std::map<std::wstring, Place> m_names;
};

} // namespace

CheckResult CheckSkin(const PreviewOptions& options)
{
    return Checker(options).Run();
}

std::wstring FormatDiagnostic(const Diagnostic& diagnostic)
{
    std::wstring text = diagnostic.file;
    if (diagnostic.line > 0)
        text += L":" + std::to_wstring(diagnostic.line) + L":" + std::to_wstring(diagnostic.column);
    text += diagnostic.severity == Severity::kError ? L": error: " : L": warning: ";
    return text + diagnostic.message;
}

int SeverityExitCode(const std::vector<Diagnostic>& diagnostics)
{
    int code = 0;
    for (const Diagnostic& diagnostic : diagnostics)
        code = (std::max)(code, diagnostic.severity == Severity::kError ? 2 : 1);
    return code;
}

} // namespace preview
