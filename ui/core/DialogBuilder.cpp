#include "DialogBuilder.h"

#include "../control/ControlUI.h"
#include "../control/TreeViewUI.h"
#include "../layout/ContainerUI.h"
#include "ControlFactory.h"
#include "PaintManager.h"
#include "SkinSource.h"

#include <cwchar>
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
// step of "Include" and "cover" does.
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

CMarkup* CDialogBuilder::GetMarkup() { return &m_xml; }

void CDialogBuilder::GetLastErrorMessage(wchar_t* message, unsigned long cch) const
{
    m_xml.GetLastErrorMessage(message, cch);
}

void CDialogBuilder::GetLastErrorLocation(wchar_t* source, unsigned long cch) const
{
    m_xml.GetLastErrorLocation(source, cch);
}

CControlUI* CDialogBuilder::Create(STRINGorID xml, const wchar_t* type, IDialogBuilderCallback* callback,
                                   CPaintManagerUI* manager, CControlUI* parent)
{
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
        m_sSource = text;
    }
    return Create(callback, manager, parent);
}

CControlUI* CDialogBuilder::Create(IDialogBuilderCallback* callback, CPaintManagerUI* manager, CControlUI* parent)
{
    m_pCallback = callback;
    CMarkupNode root = m_xml.GetRoot();
    if (!root.IsValid())
        return nullptr;
    if (manager != nullptr) {
        ApplyGlobalElements(root, manager);
        if (SameNoCase(root.GetName(), kWindowElement) && manager->GetPaintWindow() != nullptr) {
            const int count = root.GetAttributeCount();
            for (int i = 0; i < count; ++i)
                manager->SetWindowAttribute(root.GetAttributeName(i), root.GetAttributeValue(i));
        }
    }
    return Parse(&root, parent, manager);
}

void CDialogBuilder::ApplyGlobalElements(CMarkupNode& root, CPaintManagerUI* manager)
{
    for (CMarkupNode node = root.GetChild(); node.IsValid(); node = node.GetSibling()) {
        const wchar_t* name = node.GetName();
        if (SameNoCase(name, L"Image")) {
            const wchar_t* imageName = AttributeNoCase(node, L"name");
            if (imageName != nullptr) {
                // "shared" asks for HSL adjustment; the image goes to this window's table.
                manager->AddImage(imageName, AttributeNoCase(node, L"restype"),
                                  ColorOf(AttributeNoCase(node, L"mask")), FlagNoCase(node, L"shared"), false,
                                  false);
            }
        } else if (SameNoCase(name, L"Font")) {
            TFontElement font = {};
            if (!ReadFontElement(node, font))
                continue;
            manager->AddFont(font.id, font.name, font.size, font.bold, font.underline, font.italic, font.shared);
            if (font.isDefault)
                manager->SetDefaultFont(font.name, font.size, font.bold, font.underline, font.italic, font.shared);
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

void CDialogBuilder::ApplyInclude(CMarkupNode& node, CControlUI* parent, CPaintManagerUI* manager)
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

    CFacetString identity = sourceText;
    if (m_pstrtype != nullptr) {
        identity = L"#";
        identity += std::to_wstring(static_cast<unsigned>(_wtoi(sourceText)) & 0xFFFFu).c_str();
    }
    if (IsBeingBuilt(identity))
        return;

    CDialogBuilder included;
    included.m_pIncluder = this;
    included.m_iDepth = m_iDepth + 1;
    for (int i = 0; i < count; ++i) {
        if (i == 0) {
            if (m_pstrtype != nullptr) {
                const unsigned id = static_cast<unsigned>(_wtoi(sourceText)) & 0xFFFFu;
                if (included.Create(STRINGorID(id), m_pstrtype, m_pCallback, manager, parent) == nullptr &&
                    !included.m_xml.IsValid())
                    return;
            } else if (included.Create(STRINGorID(sourceText.GetData()), nullptr, m_pCallback, manager, parent) ==
                           nullptr &&
                       !included.m_xml.IsValid()) {
                return;
            }
        } else {
            included.Create(m_pCallback, manager, parent);
        }
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

bool CDialogBuilder::ParseTreeNode(CMarkupNode& node, CControlUI* parent, CPaintManagerUI* manager)
{
    // A tree node needs a parent: one at the top level is skipped.
    if (parent == nullptr)
        return true;
    CTreeNodeUI* parentNode = static_cast<CTreeNodeUI*>(parent->GetInterface(L"TreeNode"));
    CTreeNodeUI* treeNode = new CTreeNodeUI();
    if (parentNode != nullptr && !parentNode->Add(treeNode)) {
        treeNode->Delete();
        return true;
    }
    ApplyAttributes(node, treeNode, manager, L"TreeNode");
    if (node.HasChildren())
        Parse(&node, treeNode, manager);
    if (parentNode != nullptr)
        return true;
    CTreeViewUI* treeView = static_cast<CTreeViewUI*>(parent->GetInterface(L"TreeView"));
    if (treeView == nullptr) {
        // Nothing can hold the node: it is not leaked.
        treeNode->Delete();
        return false;
    }
    if (!treeView->Add(treeNode))
        treeNode->Delete();
    return true;
}

CControlUI* CDialogBuilder::Parse(CMarkupNode* root, CControlUI* parent, CPaintManagerUI* manager)
{
    IContainerUI* container = nullptr;
    bool containerAsked = false;
    CControlUI* first = nullptr;
    for (CMarkupNode node = root->GetChild(); node.IsValid(); node = node.GetSibling()) {
        const wchar_t* className = node.GetName();
        if (IsResourceElement(className))
            continue;
        if (SameNoCase(className, kIncludeElement)) {
            ApplyInclude(node, parent, manager);
            continue;
        }
        if (SameNoCase(className, kTreeNodeElement)) {
            if (!ParseTreeNode(node, parent, manager))
                return nullptr;
            continue;
        }

        CControlUI* control = CreateControl(className);
        if (control == nullptr)
            continue; // unknown: skipped with its subtree

        if (node.HasChildren())
            Parse(&node, control, manager);

        if (parent != nullptr) {
            const CFacetString cover = Limited(AttributeNoCase(node, kCoverAttribute), 255);
            CTreeNodeUI* parentNode = static_cast<CTreeNodeUI*>(parent->GetInterface(L"TreeNode"));
            if (cover == L"true") {
                parent->SetCover(control);
            } else if (parentNode != nullptr) {
                // A control inside a tree node joins the node's row.
                if (!parentNode->GetTreeNodeHorizontal()->Add(control)) {
                    control->Delete();
                    continue;
                }
            } else {
                if (!containerAsked) {
                    container = static_cast<IContainerUI*>(parent->GetInterface(L"IContainer"));
                    containerAsked = true;
                }
                if (container == nullptr) {
                    // Nothing can hold the control: it is not leaked.
                    control->Delete();
                    return nullptr;
                }
                if (!container->Add(control)) {
                    control->Delete();
                    continue;
                }
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
