#include "DialogBuilder.h"

#include "../control/ControlUI.h"
#include "../control/TreeViewUI.h"
#include "../layout/ContainerUI.h"
#include "ControlFactory.h"
#include "DpiManager.h"
#include "PaintManager.h"
#include "SkinSource.h"

#include <climits>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace Facet {

namespace {

bool SameNoCase(const wchar_t* a, const wchar_t* b)
{
    return a != nullptr && b != nullptr && _wcsicmp(a, b) == 0;
}

// The value of the first attribute whose name equals `name` ignoring case, or null.
const wchar_t* AttributeNoCase(CMarkupNode& node, const wchar_t* name)
{
    const int count = node.GetAttributeCount();
    for (int i = 0; i < count; ++i) {
        if (SameNoCase(node.GetAttributeName(i), name))
            return node.GetAttributeValue(i);
    }
    return nullptr;
}

bool FlagNoCase(CMarkupNode& node, const wchar_t* name)
{
    return SameNoCase(AttributeNoCase(node, name), L"true");
}

int NumberOr(CMarkupNode& node, const wchar_t* name, int fallback)
{
    const wchar_t* value = AttributeNoCase(node, name);
    return value != nullptr ? static_cast<int>(wcstol(value, nullptr, 10)) : fallback;
}

DWORD ColorOf(const wchar_t* value)
{
    if (value == nullptr)
        return 0;
    if (*value == L'#')
        ++value;
    return static_cast<DWORD>(wcstoul(value, nullptr, 16));
}

// Copies at most `capacity` - 1 characters of an attribute, as the reading
// step of "Include" does ("cover" is only compared with "true").
CFacetString Limited(const wchar_t* value, int capacity)
{
    if (value == nullptr)
        return CFacetString();
    const int length = static_cast<int>(wcslen(value));
    return CFacetString(value, length < capacity ? length : capacity - 1);
}

} // namespace

CDialogBuilder::CDialogBuilder() = default;

bool CDialogBuilder::IsResourceElement(const wchar_t* name)
{
    for (const wchar_t* element : kResourceElements) {
        if (SameNoCase(name, element))
            return true;
    }
    return false;
}

bool CDialogBuilder::ReadFontElement(CMarkupNode& node, TFontElement& font)
{
    font.id = NumberOr(node, L"id", -1);
    font.name = AttributeNoCase(node, L"name");
    if (font.id < 0 || font.name == nullptr)
        return false;
    font.size = NumberOr(node, L"size", 12);
    font.bold = FlagNoCase(node, L"bold");
    font.underline = FlagNoCase(node, L"underline");
    font.italic = FlagNoCase(node, L"italic");
    font.shared = FlagNoCase(node, L"shared");
    font.isDefault = FlagNoCase(node, L"default");
    return true;
}

CMarkup* CDialogBuilder::GetMarkup()
{
    return &m_xml;
}

namespace {

// Copies at most `cch` - 1 characters and terminates inside the buffer.
void CopyInto(wchar_t* buffer, unsigned long cch, const wchar_t* text)
{
    if (buffer != nullptr && cch > 0)
        ::lstrcpynW(buffer, text, static_cast<int>(cch > INT_MAX ? INT_MAX : cch));
}

} // namespace

void CDialogBuilder::GetLastErrorMessage(wchar_t* message, unsigned long cch) const
{
    if (m_state.failure.IsEmpty())
        m_xml.GetLastErrorMessage(message, cch);
    else
        CopyInto(message, cch, m_state.failure);
}

void CDialogBuilder::GetLastErrorLocation(wchar_t* source, unsigned long cch) const
{
    if (m_state.failure.IsEmpty())
        m_xml.GetLastErrorLocation(source, cch);
    else
        CopyInto(source, cch, m_state.failureLocation);
}

CDialogBuilder::BuildState& CDialogBuilder::State()
{
    CDialogBuilder* top = this;
    while (top->m_pIncluder != nullptr)
        top = top->m_pIncluder;
    return top->m_state;
}

bool CDialogBuilder::HasFailed()
{
    return !State().failure.IsEmpty();
}

void CDialogBuilder::Fail(const wchar_t* message, const wchar_t* location)
{
    BuildState& state = State();
    if (!state.failure.IsEmpty())
        return;
    state.failure = message;
    state.failureLocation = location;
}

bool CDialogBuilder::CountControl(const wchar_t* className)
{
    if (++State().controls <= kMaxControls)
        return true;
    Fail(L"Too many controls", className);
    return false;
}

bool CDialogBuilder::CountIncludedDocument(const wchar_t* source)
{
    if (++State().includedDocuments <= kMaxIncludedDocuments)
        return true;
    Fail(L"Too many included documents", source);
    return false;
}

void CDialogBuilder::RemoveAddedChildren(CControlUI* parent, int countBefore)
{
    IContainerUI* container = InterfaceCast<IContainerUI>(parent);
    if (container == nullptr)
        return;
    while (container->GetCount() > countBefore)
        container->RemoveAt(container->GetCount() - 1);
}

CControlUI* CDialogBuilder::Create(STRINGorID xml, const wchar_t* type, IDialogBuilderCallback* callback,
                                   CPaintManagerUI* manager, CControlUI* parent)
{
    if (m_pIncluder == nullptr)
        m_state = BuildState();
    if (xml.IsId()) {
        std::vector<unsigned char> bytes;
        if (CSkinSource::ReadResource(CPaintManagerUI::GetResourceDll(), xml, type, bytes) != CSkinSource::kOk)
            return nullptr;
        if (!m_xml.LoadFromMem(bytes.data(), static_cast<unsigned long>(bytes.size())))
            return nullptr;
        m_pCallback = callback;
        m_pstrtype = type;
        m_sSource = L"#";
        m_sSource += std::to_wstring(xml.GetId()).c_str();
    } else {
        const wchar_t* text = xml.m_lpstr;
        if (text == nullptr)
            return nullptr;
        const bool loaded = *text == L'<' ? m_xml.Load(text) : m_xml.LoadFromFile(text);
        if (!loaded)
            return nullptr;
        // A file is known by its identity, not its spelling.
        m_sSource = *text == L'<' ? CFacetString(text) : CSkinSource::DocumentIdentity(text);
    }
    return Create(callback, manager, parent);
}

CControlUI* CDialogBuilder::Create(IDialogBuilderCallback* callback, CPaintManagerUI* manager, CControlUI* parent)
{
    const bool startsBuild = m_pIncluder == nullptr;
    if (startsBuild)
        m_state = BuildState();
    m_pCallback = callback;
    CMarkupNode root = m_xml.GetRoot();
    if (!root.IsValid())
        return nullptr;
    // What a build that fails has added to the caller's parent is taken out again.
    IContainerUI* container = startsBuild && parent != nullptr ? InterfaceCast<IContainerUI>(parent) : nullptr;
    const int countBefore = container != nullptr ? container->GetCount() : 0;
    if (manager != nullptr) {
        ApplyGlobalElements(root, manager);
        if (SameNoCase(root.GetName(), kWindowElement) && manager->GetPaintWindow() != nullptr) {
            const int count = root.GetAttributeCount();
            for (int i = 0; i < count; ++i)
                manager->SetWindowAttribute(root.GetAttributeName(i), root.GetAttributeValue(i));
        }
    }
    CControlUI* first = Parse(&root, parent, manager, m_iRootLevel + 1);
    if (!HasFailed())
        return first;
    if (first != nullptr && parent == nullptr)
        first->Delete();
    if (container != nullptr)
        RemoveAddedChildren(parent, countBefore);
    return nullptr;
}

void CDialogBuilder::ApplyGlobalElements(CMarkupNode& root, CPaintManagerUI* manager)
{
    for (CMarkupNode node = root.GetChild(); node.IsValid(); node = node.GetSibling()) {
        const wchar_t* name = node.GetName();
        if (SameNoCase(name, L"Image")) {
            const wchar_t* imageName = AttributeNoCase(node, L"name");
            if (imageName != nullptr) {
                // "shared" asks for HSL adjustment; the image goes to this window's table.
                manager->AddImage(imageName, AttributeNoCase(node, L"restype"), ColorOf(AttributeNoCase(node, L"mask")),
                                  FlagNoCase(node, L"shared"), false, false);
            }
        } else if (SameNoCase(name, L"Font")) {
            TFontElement font = {};
            if (!ReadFontElement(node, font))
                continue;
            // A font number names one font of the skin at every scale: the
            // display scale changes the font's pixel size, never which font
            // a control's "font" attribute means.
            const int size = static_cast<int>(font.size * DpiManager::GetInstance()->GetWindowInchPex());
            manager->AddFont(font.id, font.name, size, font.bold, font.underline, font.italic, font.shared);
            if (font.isDefault)
                manager->SetDefaultFont(font.name, size, font.bold, font.underline, font.italic, font.shared);
        } else if (SameNoCase(name, L"Default")) {
            const wchar_t* className = AttributeNoCase(node, L"name");
            const wchar_t* value = AttributeNoCase(node, L"value");
            if (className != nullptr)
                manager->AddDefaultAttributeList(className, value != nullptr ? value : L"",
                                                 FlagNoCase(node, L"shared"));
        } else if (SameNoCase(name, L"MultiLanguage")) {
            const int id = NumberOr(node, L"id", -1);
            const wchar_t* value = AttributeNoCase(node, L"value");
            if (id >= 0 && value != nullptr)
                CPaintManagerUI::AddMultiLanguageString(id, value);
        }
    }
}

CControlUI* CDialogBuilder::CreateControl(const wchar_t* className)
{
    if (CControlUI* control = CreateKnownControl(className))
        return control;
    if (m_pCallback != nullptr)
        return m_pCallback->CreateControl(className);
    return nullptr;
}

CControlUI* CDialogBuilder::CreateKnownControl(const wchar_t* className)
{
    if (CControlUI* control = CreateFactoryControl(className))
        return control;
    CFacetPtrArray* plugins = CPaintManagerUI::GetPlugins();
    for (int i = 0; i < plugins->GetSize(); ++i) {
        auto create = reinterpret_cast<LPCREATECONTROL>((*plugins)[i]);
        if (CControlUI* control = create(className))
            return control;
    }
    return nullptr;
}

bool CDialogBuilder::IsBeingBuilt(const CFacetString& source) const
{
    for (const CDialogBuilder* builder = this; builder != nullptr; builder = builder->m_pIncluder) {
        if (!source.IsEmpty() && builder->m_sSource.CompareNoCase(source) == 0)
            return true;
    }
    return false;
}

void CDialogBuilder::ApplyInclude(CMarkupNode& node, CControlUI* parent, CPaintManagerUI* manager, int depth)
{
    if (node.GetAttributeCount() == 0)
        return;
    const wchar_t* source = AttributeNoCase(node, L"source");
    if (source == nullptr)
        return;
    const CFacetString sourceText = Limited(source, 499);
    int count = static_cast<int>(wcstol(Limited(AttributeNoCase(node, L"count"), 499), nullptr, 10));
    if (AttributeNoCase(node, L"count") == nullptr)
        count = 1;
    // Bounded: an include that names itself, or repeats without end, stops here.
    if (m_iDepth + 1 > kMaxIncludeDepth || count <= 0)
        return;
    if (count > kMaxIncludeCount)
        count = kMaxIncludeCount;

    const unsigned resourceId = static_cast<unsigned>(_wtoi(sourceText)) & 0xFFFFu;
    CFacetString identity;
    if (m_pstrtype != nullptr) {
        identity = L"#";
        identity += std::to_wstring(resourceId).c_str();
    } else {
        identity = sourceText.GetAt(0) == L'<' ? sourceText : CSkinSource::DocumentIdentity(sourceText);
    }
    if (IsBeingBuilt(identity))
        return;

    // On the heap: this runs inside the element parser's recursion, whose
    // frames are kept small.
    std::unique_ptr<CDialogBuilder> builder(new CDialogBuilder);
    CDialogBuilder& included = *builder;
    included.m_pIncluder = this;
    included.m_iDepth = m_iDepth + 1;
    // The included root is not a control: its children take the Include
    // element's own level, under the same parent.
    included.m_iRootLevel = depth - 1;
    for (int i = 0; i < count && !HasFailed(); ++i) {
        if (!CountIncludedDocument(sourceText))
            return;
        CControlUI* made = nullptr;
        if (i == 0) {
            made = m_pstrtype != nullptr
                       ? included.Create(STRINGorID(resourceId), m_pstrtype, m_pCallback, manager, parent)
                       : included.Create(STRINGorID(sourceText.GetData()), nullptr, m_pCallback, manager, parent);
            if (made == nullptr && !included.m_xml.IsValid())
                return;
        } else {
            made = included.Create(m_pCallback, manager, parent);
        }
        // Included controls are not this level's first control: without a
        // parent nothing would own them.
        if (parent == nullptr && made != nullptr)
            made->Delete();
    }
}

void CDialogBuilder::ApplyAttributes(CMarkupNode& node, CControlUI* control, CPaintManagerUI* manager,
                                     const wchar_t* className)
{
    if (manager != nullptr) {
        control->SetManager(manager, nullptr, false);
        if (const wchar_t* defaults = manager->GetDefaultAttributeList(className))
            control->SetAttributeList(defaults);
    }
    const int count = node.GetAttributeCount();
    for (int i = 0; i < count; ++i)
        control->SetAttribute(node.GetAttributeName(i), node.GetAttributeValue(i));
    if (manager != nullptr)
        control->SetManager(nullptr, nullptr, false);
}

bool CDialogBuilder::ParseTreeNode(CMarkupNode& node, CControlUI* parent, CPaintManagerUI* manager, int depth)
{
    // A tree node needs a parent: one at the top level is skipped.
    if (parent == nullptr)
        return true;
    if (!CountControl(L"TreeNode"))
        return true; // the failed build stops at the caller's next step
    CTreeNodeUI* parentNode = InterfaceCast<CTreeNodeUI>(parent);
    CTreeNodeUI* treeNode = new CTreeNodeUI();
    if (parentNode != nullptr && !parentNode->Add(treeNode)) {
        treeNode->Delete();
        return true;
    }
    ApplyAttributes(node, treeNode, manager, L"TreeNode");
    if (node.HasChildren())
        Parse(&node, treeNode, manager, depth + 1);
    if (parentNode != nullptr)
        return true;
    if (HasFailed()) {
        treeNode->Delete();
        return true;
    }
    CTreeViewUI* treeView = InterfaceCast<CTreeViewUI>(parent);
    if (treeView == nullptr) {
        // Nothing can hold the node: it is not leaked.
        treeNode->Delete();
        return false;
    }
    if (!treeView->Add(treeNode))
        treeNode->Delete();
    return true;
}

// Gives `control` to `parent`: as its cover, to the row of a tree node, or to
// the container `parent` is (asked once per level through `container`). The
// caller deletes the control unless it was placed.
CDialogBuilder::Placement CDialogBuilder::PlaceInParent(CMarkupNode& node, CControlUI* control, CControlUI* parent,
                                                        IContainerUI*& container, bool& containerAsked)
{
    const wchar_t* cover = AttributeNoCase(node, kCoverAttribute);
    if (cover != nullptr && wcscmp(cover, L"true") == 0) {
        parent->SetCover(control);
        return Placement::kPlaced;
    }
    if (CTreeNodeUI* parentNode = InterfaceCast<CTreeNodeUI>(parent)) {
        // A control inside a tree node joins the node's row.
        return parentNode->GetTreeNodeHorizontal()->Add(control) ? Placement::kPlaced : Placement::kRefused;
    }
    if (!containerAsked) {
        container = InterfaceCast<IContainerUI>(parent);
        containerAsked = true;
    }
    if (container == nullptr)
        return Placement::kNoHolder; // nothing can hold the control: it is not leaked
    return container->Add(control) ? Placement::kPlaced : Placement::kRefused;
}

CControlUI* CDialogBuilder::Parse(CMarkupNode* root, CControlUI* parent, CPaintManagerUI* manager, int depth)
{
    // The parser's bound on nesting holds for the whole tree, includes joined
    // in: layout, painting and destruction recurse through it on the stack.
    if (depth >= static_cast<int>(CMarkup::kMaxDepth) && root->HasChildren()) {
        Fail(L"Elements nested too deeply", root->GetName());
        return nullptr;
    }
    IContainerUI* container = nullptr;
    bool containerAsked = false;
    CControlUI* first = nullptr;
    // The element being read lives on the heap: this function recurses once
    // per level of nesting, and a node (with its attribute table) is large.
    std::unique_ptr<CMarkupNode> element(new CMarkupNode(root->GetChild()));
    for (; element->IsValid() && !HasFailed(); element.reset(new CMarkupNode(element->GetSibling()))) {
        CMarkupNode& node = *element;
        const wchar_t* className = node.GetName();
        if (IsResourceElement(className))
            continue;
        if (SameNoCase(className, kIncludeElement)) {
            ApplyInclude(node, parent, manager, depth);
            continue;
        }
        if (SameNoCase(className, kTreeNodeElement)) {
            if (!ParseTreeNode(node, parent, manager, depth))
                return nullptr;
            continue;
        }

        CControlUI* control = CreateControl(className);
        if (control == nullptr)
            continue; // unknown: skipped with its subtree
        if (!CountControl(className)) {
            control->Delete();
            break;
        }

        if (node.HasChildren()) {
            Parse(&node, control, manager, depth + 1);
            if (HasFailed()) {
                control->Delete();
                break;
            }
        }

        if (parent != nullptr) {
            const Placement placement = PlaceInParent(node, control, parent, container, containerAsked);
            if (placement != Placement::kPlaced) {
                control->Delete();
                if (placement == Placement::kNoHolder)
                    return nullptr;
                continue;
            }
        }

        ApplyAttributes(node, control, manager, className);

        if (first == nullptr) {
            first = control;
        } else if (parent == nullptr) {
            // Only the first top-level control is returned; the others would
            // belong to no one.
            control->Delete();
        }
    }
    return first;
}

} // namespace Facet
