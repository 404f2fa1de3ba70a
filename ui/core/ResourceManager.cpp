#include "ResourceManager.h"

#include "PaintManager.h"
#include "SkinSource.h"

#include <cwchar>
#include <mutex>
#include <vector>

namespace Facet {

namespace {

std::mutex g_instanceLock;
CResourceManager* g_instance = nullptr;

// The value of the attribute `name` (compared ignoring case), or null.
const wchar_t* FindAttribute(CMarkupNode& node, const wchar_t* name)
{
    const int count = node.GetAttributeCount();
    for (int i = 0; i < count; ++i) {
        if (_wcsicmp(node.GetAttributeName(i), name) == 0)
            return node.GetAttributeValue(i);
    }
    return nullptr;
}

// Adds `id` -> `path` unless the id is present already.
void AddPath(CFacetStringPtrMap& map, const wchar_t* id, const wchar_t* path)
{
    if (map.Find(id, false) != nullptr)
        return;
    CFacetString* stored = new CFacetString(path);
    if (!map.Insert(id, stored))
        delete stored;
}

const wchar_t* FindPath(const CFacetStringPtrMap& map, const wchar_t* id)
{
    if (id == nullptr)
        return nullptr;
    const CFacetString* path = static_cast<const CFacetString*>(map.Find(id));
    return path != nullptr ? path->GetData() : nullptr;
}

// Loads a document given as text ("<...") or as a skin file name.
bool LoadDocument(CMarkup& markup, const wchar_t* xml)
{
    if (xml == nullptr)
        return false;
    if (xml[0] == L'<')
        return markup.Load(xml);
    return markup.LoadFromFile(xml);
}

} // namespace

CResourceManager::CResourceManager()
    : m_mTextResourceHashMap(CFacetStringPtrMap::kDefaultBuckets), m_pQuerypInterface(nullptr)
{
}

CResourceManager::~CResourceManager()
{
    ResetTextMap();
    ResetResourceMap();
}

CResourceManager* CResourceManager::GetInstance()
{
    std::lock_guard<std::mutex> lock(g_instanceLock);
    if (g_instance == nullptr)
        g_instance = new CResourceManager();
    return g_instance;
}

void CResourceManager::Release()
{
    {
        std::lock_guard<std::mutex> lock(g_instanceLock);
        if (g_instance == this)
            g_instance = nullptr;
    }
    delete this;
}

bool CResourceManager::LoadResource(STRINGorID xml, const wchar_t* type)
{
    bool loaded = false;
    if (xml.IsId()) {
        std::vector<unsigned char> bytes;
        if (type != nullptr &&
            CSkinSource::ReadResource(CPaintManagerUI::GetResourceDll(), xml, type, bytes) == CSkinSource::kOk)
            loaded = m_xml.LoadFromMem(bytes.data(), static_cast<unsigned long>(bytes.size()), 0);
    } else {
        loaded = LoadDocument(m_xml, xml.m_lpstr);
    }
    if (!loaded)
        return false;
    return LoadResource(m_xml.GetRoot());
}

bool CResourceManager::LoadResource(CMarkupNode root)
{
    if (!root.IsValid())
        return false;
    for (CMarkupNode node = root.GetChild(); node.IsValid(); node = node.GetSibling()) {
        if (node.HasChildren()) {
            LoadResource(node);
            continue;
        }
        const wchar_t* name = node.GetName();
        CFacetStringPtrMap* table = nullptr;
        if (_wcsicmp(name, L"Image") == 0)
            table = &m_mImageHashMap;
        else if (_wcsicmp(name, L"Xml") == 0)
            table = &m_mXmlHashMap;
        if (table == nullptr)
            continue;
        const wchar_t* id = FindAttribute(node, L"id");
        const wchar_t* path = FindAttribute(node, L"path");
        if (id != nullptr && path != nullptr)
            AddPath(*table, id, path);
    }
    return true;
}

const wchar_t* CResourceManager::GetImagePath(const wchar_t* id)
{
    return FindPath(m_mImageHashMap, id);
}

const wchar_t* CResourceManager::GetXmlPath(const wchar_t* id)
{
    return FindPath(m_mXmlHashMap, id);
}

bool CResourceManager::LoadLanguage(const wchar_t* xml)
{
    CMarkup markup;
    if (!LoadDocument(markup, xml))
        return false;
    CMarkupNode root = markup.GetRoot();
    if (!root.IsValid())
        return false;
    for (CMarkupNode node = root.GetChild(); node.IsValid(); node = node.GetSibling()) {
        if (_wcsicmp(node.GetName(), L"Text") != 0)
            continue;
        const wchar_t* id = FindAttribute(node, L"id");
        const wchar_t* value = FindAttribute(node, L"value");
        if (id == nullptr || value == nullptr)
            continue;
        CFacetString* text = static_cast<CFacetString*>(m_mTextResourceHashMap.Find(id));
        if (text != nullptr) {
            *text = value;
            continue;
        }
        CFacetString* stored = new CFacetString(value);
        if (!m_mTextResourceHashMap.Insert(id, stored))
            delete stored;
    }
    return true;
}

CFacetString CResourceManager::GetText(const wchar_t* id, const wchar_t* type)
{
    if (id == nullptr)
        return CFacetString();
    CFacetString* text = static_cast<CFacetString*>(m_mTextResourceHashMap.Find(id));
    if (text == nullptr && m_pQuerypInterface != nullptr) {
        // The answer (or its absence) is stored so that each id is asked once.
        text = new CFacetString(m_pQuerypInterface->QueryText(id, type));
        if (!m_mTextResourceHashMap.Insert(id, text)) {
            delete text;
            text = nullptr;
        }
    }
    return text != nullptr ? *text : CFacetString(id);
}

void CResourceManager::ReloadText()
{
    if (m_pQuerypInterface == nullptr)
        return;
    // By index, not ForEach: the application's answer may look texts up (and
    // add them) while the walk goes on.
    for (int i = 0; i < m_mTextResourceHashMap.GetSize(); ++i) {
        const wchar_t* id = m_mTextResourceHashMap.GetAt(i);
        if (id == nullptr)
            continue;
        const wchar_t* answer = m_pQuerypInterface->QueryText(id, nullptr);
        if (answer == nullptr)
            continue;
        CFacetString* text = static_cast<CFacetString*>(m_mTextResourceHashMap.Find(id, false));
        if (text != nullptr)
            *text = answer;
    }
}

void CResourceManager::ResetTextMap()
{
    m_mTextResourceHashMap.DeleteValues<CFacetString>();
}

void CResourceManager::ResetResourceMap()
{
    m_mImageHashMap.DeleteValues<CFacetString>();
    m_mXmlHashMap.DeleteValues<CFacetString>();
}

} // namespace Facet
