// CResourceManager: the process-wide tables that map text ids to display
// texts (with an optional text source supplied by the application) and ids to
// image and skin paths.
#pragma once

#include "FacetString.h"
#include "FacetStringPtrMap.h"
#include "Markup.h"
#include "StringOrId.h"

namespace Facet {

// Supplies display texts for text ids.
class IQueryControlText
{
public:
    virtual ~IQueryControlText() = default;
    // The display text for `id`, or null when the source has none.
    virtual const wchar_t* QueryText(const wchar_t* id, const wchar_t* type) = 0;
};

class CResourceManager
{
public:
    // The one instance, created on first use; it lives until Release.
    static CResourceManager* GetInstance();
    // Deletes the instance; the next GetInstance makes a new one.
    void Release();

    void SetLanguage(const wchar_t* name) { m_sLanguage = name; }
    const wchar_t* GetLanguage() const { return m_sLanguage; }

    // The text source asked for ids missing from the text table (not owned).
    void SetTextQueryInterface(IQueryControlText* source) { m_pQuerypInterface = source; }

    // Loads a resource list: with a number, the resource of `type` in the
    // resource module (UTF-8); a text that starts with "<" is the document
    // itself; any other text names a skin file. False when it does not load.
    bool LoadResource(STRINGorID xml, const wchar_t* type = nullptr);
    // Walks the children of `root`: "Image" and "Xml" elements with "id" and
    // "path" fill the image and skin path tables (the first path of an id
    // stays); elements with children are walked in turn. False for an invalid node.
    bool LoadResource(CMarkupNode root);
    // The stored path, or null.
    const wchar_t* GetImagePath(const wchar_t* id);
    const wchar_t* GetXmlPath(const wchar_t* id);

    // Loads a language document (a text starting with "<", else a skin file
    // name): every "Text" child of the root with "id" and "value" sets the
    // display text of that id. False when it does not load or has no root.
    bool LoadLanguage(const wchar_t* xml);
    // The display text of `id`: the stored one, else (once per id) what the
    // text source answers, else the id itself. A null id gives an empty text.
    CFacetString GetText(const wchar_t* id, const wchar_t* type = nullptr);
    // Asks the text source again for every stored id.
    void ReloadText();
    void ResetTextMap();
    void ResetResourceMap();

private:
    CResourceManager();
    ~CResourceManager();
    CResourceManager(const CResourceManager&) = delete;
    CResourceManager& operator=(const CResourceManager&) = delete;

    CFacetStringPtrMap m_mTextResourceHashMap;
    IQueryControlText* m_pQuerypInterface;
    CFacetStringPtrMap m_mImageHashMap;
    CFacetStringPtrMap m_mXmlHashMap;
    CMarkup m_xml;
    CFacetString m_sLanguage;
};

} // namespace Facet
