// CDialogBuilder: turns a skin document into a live control tree. It registers
// the document's fonts, images, default attribute lists and language strings
// with a paint manager, applies the root "Window" element's attributes to it and
// creates one control per element through the factory table, the loaded
// plug-ins and the application's callback.
#pragma once

#include <windows.h>

#include "FacetString.h"
#include "Markup.h"
#include "StringOrId.h"

namespace Facet {

class CControlUI;
class IContainerUI;
class CPaintManagerUI;

class IDialogBuilderCallback
{
public:
    // A new control for an element name the builder does not know, or null.
    virtual CControlUI* CreateControl(const wchar_t* className) = 0;

protected:
    ~IDialogBuilderCallback() = default;
};

class CDialogBuilder
{
public:
    // How deep "Include" elements may nest, and how often one may repeat: a
    // skin that includes itself, or repeats without bound, ends there.
    static constexpr int kMaxIncludeDepth = 16;
    static constexpr int kMaxIncludeCount = 1000;
    // The most controls one build may create, and the most builds of included
    // documents (each repetition counts) it may run. Repetitions multiply
    // along a chain of includes; these bound the memory and time one skin can
    // take (a control costs a few kilobytes) far above any real window, and a
    // build that passes either fails with a message. The depth of the whole
    // built tree, includes joined in, is bounded by the parser's
    // CMarkup::kMaxDepth.
    static constexpr int kMaxControls = 20000;
    static constexpr int kMaxIncludedDocuments = 2 * kMaxIncludeCount;

    // The element and attribute names the builder reads itself, compared
    // ignoring case: the root element whose attributes are the window's, the
    // resource elements read directly under the root, "Include", "TreeNode",
    // and "cover" on any control.
    static constexpr const wchar_t* kWindowElement = L"Window";
    static constexpr const wchar_t* kResourceElements[] = {L"Image", L"Font", L"Default", L"MultiLanguage"};
    static constexpr const wchar_t* kIncludeElement = L"Include";
    static constexpr const wchar_t* kTreeNodeElement = L"TreeNode";
    static constexpr const wchar_t* kCoverAttribute = L"cover";

    // What a "Font" element registers.
    struct TFontElement
    {
        int id;
        const wchar_t* name;
        int size;
        bool bold;
        bool underline;
        bool italic;
        bool shared;
        bool isDefault;
    };

    CDialogBuilder();
    CDialogBuilder(const CDialogBuilder&) = delete;
    CDialogBuilder& operator=(const CDialogBuilder&) = delete;

    // Loads the document (a numbered resource of `type` from the resource
    // module, XML text starting with "<", or a file through the skin sources)
    // and builds it. Null when the document does not load, builds nothing, or
    // passes one of the bounds above (nothing it built is left behind, not
    // even in `parent`).
    CControlUI* Create(STRINGorID xml, const wchar_t* type = nullptr, IDialogBuilderCallback* callback = nullptr,
                       CPaintManagerUI* manager = nullptr, CControlUI* parent = nullptr);
    // Builds the document already loaded; returns the first control created
    // directly under the root element.
    CControlUI* Create(IDialogBuilderCallback* callback = nullptr, CPaintManagerUI* manager = nullptr,
                       CControlUI* parent = nullptr);

    CMarkup* GetMarkup();
    // The parser's message and location, or after a build that passed a bound
    // what passed it ("Elements nested too deeply", "Too many controls",
    // "Too many included documents") and the element where it stopped.
    void GetLastErrorMessage(wchar_t* message, unsigned long cch) const;
    void GetLastErrorLocation(wchar_t* source, unsigned long cch) const;

    // The control of an element name: the factory table, then the plug-ins.
    static CControlUI* CreateKnownControl(const wchar_t* className);
    static bool IsResourceElement(const wchar_t* name);
    // The font a "Font" element registers; false when it registers none (no
    // name, or an id below 0).
    static bool ReadFontElement(CMarkupNode& node, TFontElement& font);

private:
    // What one build has spent, shared by the builder that started it and the
    // builders of the documents it includes.
    struct BuildState
    {
        int controls = 0;
        int includedDocuments = 0;
        // Empty while the build may go on.
        CFacetString failure;
        CFacetString failureLocation;
    };

    // `depth` is the level in the whole built tree of the children of `node`.
    CControlUI* Parse(CMarkupNode* node, CControlUI* parent, CPaintManagerUI* manager, int depth);
    void ApplyGlobalElements(CMarkupNode& root, CPaintManagerUI* manager);
    void ApplyInclude(CMarkupNode& node, CControlUI* parent, CPaintManagerUI* manager, int depth);
    bool ParseTreeNode(CMarkupNode& node, CControlUI* parent, CPaintManagerUI* manager, int depth);
    // Where a control read from the markup went in its parent.
    enum class Placement { kPlaced, kRefused, kNoHolder };
    Placement PlaceInParent(CMarkupNode& node, CControlUI* control, CControlUI* parent, IContainerUI*& container,
                            bool& containerAsked);
    void ApplyAttributes(CMarkupNode& node, CControlUI* control, CPaintManagerUI* manager, const wchar_t* className);
    CControlUI* CreateControl(const wchar_t* className);
    // Whether this builder or one that includes it reads `source` already.
    bool IsBeingBuilt(const CFacetString& source) const;

    // The state of the build this builder takes part in.
    BuildState& State();
    bool HasFailed();
    // Ends the build: `message` becomes the top builder's error.
    void Fail(const wchar_t* message, const wchar_t* location);
    // Counts one more control (or included document); false, and the build
    // failed, past the bound.
    bool CountControl(const wchar_t* className);
    bool CountIncludedDocument(const wchar_t* source);
    // After a failed build into `parent`: removes what the build added after
    // its first `countBefore` children.
    static void RemoveAddedChildren(CControlUI* parent, int countBefore);

    CMarkup m_xml;
    IDialogBuilderCallback* m_pCallback = nullptr;
    const wchar_t* m_pstrtype = nullptr;
    // What this builder read (the identity of a file or zip entry, XML text or
    // "#<number>"), for the self-include check, and the builder whose
    // "Include" made this one.
    CFacetString m_sSource;
    CDialogBuilder* m_pIncluder = nullptr;
    int m_iDepth = 0;
    // The level in the whole tree of this document's root element (its
    // children are one below): 0 for the document a build starts from.
    int m_iRootLevel = 0;
    BuildState m_state;
};

} // namespace Facet
