// The paint manager's resource tables: fonts, images, default attribute lists,
// default colours and the process-wide HSL adjustment.
#include "PaintManager.h"

#include "../render/RenderEngine.h"

#include <algorithm>
#include <cwchar>

namespace Facet {

TResInfo CPaintManagerUI::m_SharedResInfo;
bool CPaintManagerUI::m_bUseHSL = false;
short CPaintManagerUI::m_H = 180;
short CPaintManagerUI::m_S = 100;
short CPaintManagerUI::m_L = 100;

namespace {

// The decimal key under which a numbered resource is stored ("12").
CFacetString NumberKey(int id)
{
    wchar_t text[16];
    _itow(id, text, 10);
    return CFacetString(text);
}

// Takes the entry stored under `key` out of `table`: null when there is none
// (or no key); otherwise the caller frees it.
template <class T>
T* TakeEntry(CFacetStringPtrMap& table, const wchar_t* key)
{
    T* entry = key != nullptr ? static_cast<T*>(table.Find(key)) : nullptr;
    if (entry != nullptr)
        table.Remove(key);
    return entry;
}

void ClearFontInfo(TFontInfo& info)
{
    info.hFont = nullptr;
    info.sFontName.Empty();
    info.iSize = 0;
    info.bBold = false;
    info.bUnderline = false;
    info.bItalic = false;
    ZeroMemory(&info.tm, sizeof(info.tm));
}

void DeleteFontInfo(TFontInfo* info)
{
    if (info == nullptr)
        return;
    if (info->hFont != nullptr)
        DeleteObject(info->hFont);
    delete info;
}

// A font like the default GUI font with the given face, height, weight and styles.
HFONT CreateSkinFont(const wchar_t* name, int size, bool bold, bool underline, bool italic)
{
    LOGFONTW lf = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    if (name != nullptr) {
        // The face name field holds 31 characters and its terminator.
        const size_t capacity = sizeof(lf.lfFaceName) / sizeof(lf.lfFaceName[0]);
        wcsncpy(lf.lfFaceName, name, capacity - 1);
        lf.lfFaceName[capacity - 1] = L'\0';
    }
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = -size;
    if (bold)
        lf.lfWeight = (std::min)(static_cast<LONG>(lf.lfWeight + FW_BOLD), static_cast<LONG>(1000));
    if (underline)
        lf.lfUnderline = TRUE;
    if (italic)
        lf.lfItalic = TRUE;
    return CreateFontIndirectW(&lf);
}

bool Matches(const TFontInfo& info, const wchar_t* name, int size, bool bold, bool underline, bool italic)
{
    return info.sFontName == name && info.iSize == size && info.bBold == bold && info.bUnderline == underline &&
           info.bItalic == italic;
}

} // namespace

void CPaintManagerUI::InitSharedResources()
{
    static bool initialised = false;
    if (initialised)
        return;
    initialised = true;
    m_SharedResInfo.m_dwDefaultDisabledColor = 0xFFA7A6AA;
    m_SharedResInfo.m_dwDefaultFontColor = 0xFF000000;
    m_SharedResInfo.m_dwDefaultLinkFontColor = 0xFF0000FF;
    m_SharedResInfo.m_dwDefaultLinkHoverFontColor = 0xFFD3215F;
    m_SharedResInfo.m_dwDefaultSelectedBkColor = 0xFFBAE4FF;

    LOGFONTW lf = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    lf.lfCharSet = DEFAULT_CHARSET;
    TFontInfo& font = m_SharedResInfo.m_DefaultFontInfo;
    ClearFontInfo(font);
    font.hFont = CreateFontIndirectW(&lf);
    font.sFontName = lf.lfFaceName;
    font.iSize = -lf.lfHeight;
    font.bBold = lf.lfWeight >= FW_BOLD;
    font.bUnderline = lf.lfUnderline != 0;
    font.bItalic = lf.lfItalic != 0;
}

void CPaintManagerUI::InitWindowResources()
{
    m_ResInfo.m_dwDefaultDisabledColor = m_SharedResInfo.m_dwDefaultDisabledColor;
    m_ResInfo.m_dwDefaultFontColor = m_SharedResInfo.m_dwDefaultFontColor;
    m_ResInfo.m_dwDefaultLinkFontColor = m_SharedResInfo.m_dwDefaultLinkFontColor;
    m_ResInfo.m_dwDefaultLinkHoverFontColor = m_SharedResInfo.m_dwDefaultLinkHoverFontColor;
    m_ResInfo.m_dwDefaultSelectedBkColor = m_SharedResInfo.m_dwDefaultSelectedBkColor;
    ClearFontInfo(m_ResInfo.m_DefaultFontInfo);
}

void CPaintManagerUI::FreeWindowResources()
{
    RemoveAllFonts(false);
    RemoveAllImages(false);
    RemoveAllDefaultAttributeList(false);
    if (m_ResInfo.m_DefaultFontInfo.hFont != nullptr)
        DeleteObject(m_ResInfo.m_DefaultFontInfo.hFont);
    ClearFontInfo(m_ResInfo.m_DefaultFontInfo);
    for (int i = 0; i < m_aRetiredImages.GetSize(); ++i)
        delete static_cast<TImageInfo*>(m_aRetiredImages[i]);
    m_aRetiredImages.Empty();
}

TResInfo& CPaintManagerUI::TargetTables(bool shared)
{
    return (shared || m_bForceUseSharedRes) ? m_SharedResInfo : m_ResInfo;
}

void CPaintManagerUI::MeasureFont(TFontInfo& info) const
{
    if (!m_hDcPaint || info.hFont == nullptr)
        return;
    const ScopedSelect font(m_hDcPaint.Get(), info.hFont);
    GetTextMetricsW(m_hDcPaint.Get(), &info.tm);
}

// -- Fonts --

HFONT CPaintManagerUI::AddFont(int id, const wchar_t* name, int size, bool bold, bool underline, bool italic,
                               bool shared)
{
    CFacetStringPtrMap& fonts = TargetTables(shared).m_CustomFonts;
    const CFacetString key = NumberKey(id);
    // Any earlier font of this number goes, even when the new one fails.
    if (TFontInfo* old = static_cast<TFontInfo*>(fonts.Find(key))) {
        fonts.Remove(key);
        DeleteFontInfo(old);
    }
    HFONT font = CreateSkinFont(name, size, bold, underline, italic);
    if (font == nullptr)
        return nullptr;
    TFontInfo* info = new TFontInfo();
    ClearFontInfo(*info);
    info->hFont = font;
    info->sFontName = name;
    info->iSize = size;
    info->bBold = bold;
    info->bUnderline = underline;
    info->bItalic = italic;
    // Measured on first need (GetFontInfo): realizing each of a skin's fonts
    // up front, most of which the first page never draws, slows the start.
    if (!fonts.Insert(key, info)) {
        DeleteFontInfo(info);
        return nullptr;
    }
    return font;
}

HFONT CPaintManagerUI::GetFont(int id)
{
    if (id >= 0) {
        const CFacetString key = NumberKey(id);
        if (TFontInfo* info = static_cast<TFontInfo*>(m_ResInfo.m_CustomFonts.Find(key)))
            return info->hFont;
        if (TFontInfo* info = static_cast<TFontInfo*>(m_SharedResInfo.m_CustomFonts.Find(key)))
            return info->hFont;
    }
    return GetDefaultFontInfo()->hFont;
}

HFONT CPaintManagerUI::GetFont(const wchar_t* name, int size, bool bold, bool underline, bool italic)
{
    HFONT found = nullptr;
    for (TResInfo* tables : {&m_ResInfo, &m_SharedResInfo}) {
        tables->m_CustomFonts.ForEach([&](const wchar_t*, void* value) {
            const TFontInfo* info = static_cast<const TFontInfo*>(value);
            if (found == nullptr && info != nullptr && Matches(*info, name, size, bold, underline, italic))
                found = info->hFont;
        });
        if (found != nullptr)
            return found;
    }
    return nullptr;
}

int CPaintManagerUI::GetFontIndex(HFONT font, bool shared)
{
    int index = -1;
    (shared ? m_SharedResInfo : m_ResInfo).m_CustomFonts.ForEach([&](const wchar_t* key, void* value) {
        const TFontInfo* info = static_cast<const TFontInfo*>(value);
        if (index < 0 && info != nullptr && info->hFont == font)
            index = _wtoi(key);
    });
    return index;
}

int CPaintManagerUI::GetFontIndex(const wchar_t* name, int size, bool bold, bool underline, bool italic, bool shared)
{
    int index = -1;
    (shared ? m_SharedResInfo : m_ResInfo).m_CustomFonts.ForEach([&](const wchar_t* key, void* value) {
        const TFontInfo* info = static_cast<const TFontInfo*>(value);
        if (index < 0 && info != nullptr && Matches(*info, name, size, bold, underline, italic))
            index = _wtoi(key);
    });
    return index;
}

TFontInfo* CPaintManagerUI::GetFontInfo(int id)
{
    TFontInfo* info = nullptr;
    if (id >= 0) {
        const CFacetString key = NumberKey(id);
        info = static_cast<TFontInfo*>(m_ResInfo.m_CustomFonts.Find(key));
        if (info == nullptr)
            info = static_cast<TFontInfo*>(m_SharedResInfo.m_CustomFonts.Find(key));
    }
    if (info == nullptr)
        return GetDefaultFontInfo();
    if (info->tm.tmHeight == 0)
        MeasureFont(*info);
    return info;
}

TFontInfo* CPaintManagerUI::GetFontInfo(HFONT font)
{
    TFontInfo* found = nullptr;
    for (TResInfo* tables : {&m_ResInfo, &m_SharedResInfo}) {
        tables->m_CustomFonts.ForEach([&](const wchar_t*, void* value) {
            TFontInfo* info = static_cast<TFontInfo*>(value);
            if (found == nullptr && info != nullptr && info->hFont == font)
                found = info;
        });
        if (found != nullptr)
            break;
    }
    if (found == nullptr)
        return GetDefaultFontInfo();
    if (found->tm.tmHeight == 0)
        MeasureFont(*found);
    return found;
}

TFontInfo* CPaintManagerUI::GetDefaultFontInfo()
{
    TFontInfo& info = m_ResInfo.m_DefaultFontInfo.sFontName.IsEmpty() ? m_SharedResInfo.m_DefaultFontInfo
                                                                      : m_ResInfo.m_DefaultFontInfo;
    if (info.tm.tmHeight == 0)
        MeasureFont(info);
    return &info;
}

void CPaintManagerUI::SetDefaultFont(const wchar_t* name, int size, bool bold, bool underline, bool italic, bool shared)
{
    HFONT font = CreateSkinFont(name, size, bold, underline, italic);
    if (font == nullptr)
        return;
    TFontInfo& info = TargetTables(shared).m_DefaultFontInfo;
    if (info.hFont != nullptr)
        DeleteObject(info.hFont);
    ClearFontInfo(info);
    info.hFont = font;
    info.sFontName = name;
    info.iSize = size;
    info.bBold = bold;
    info.bUnderline = underline;
    info.bItalic = italic;
    MeasureFont(info);
}

bool CPaintManagerUI::RemoveFont(int id, bool shared)
{
    TFontInfo* info = TakeEntry<TFontInfo>((shared ? m_SharedResInfo : m_ResInfo).m_CustomFonts, NumberKey(id));
    if (info == nullptr)
        return false;
    DeleteFontInfo(info);
    return true;
}

bool CPaintManagerUI::RemoveFont(HFONT font, bool shared)
{
    const int id = GetFontIndex(font, shared);
    return id >= 0 && RemoveFont(id, shared);
}

void CPaintManagerUI::RemoveAllFonts(bool shared)
{
    CFacetStringPtrMap& fonts = (shared ? m_SharedResInfo : m_ResInfo).m_CustomFonts;
    fonts.ForEach([](const wchar_t*, void* value) { DeleteFontInfo(static_cast<TFontInfo*>(value)); });
    fonts.RemoveAll();
}

int CPaintManagerUI::GetCustomFontCount(bool shared) const
{
    return (shared ? m_SharedResInfo : m_ResInfo).m_CustomFonts.GetSize();
}

// -- Images --

TImageInfo* CPaintManagerUI::LoadTableImage(const wchar_t* name, const wchar_t* type, DWORD mask, bool svg)
{
    if (type != nullptr && *type != L'\0') {
        // A name that starts with a digit is a resource number.
        if (name[0] >= L'0' && name[0] <= L'9')
            return CRenderEngine::LoadImage(STRINGorID(static_cast<unsigned int>(_wtoi(name))), type, mask);
        return CRenderEngine::LoadImage(name, type, mask);
    }
    if (svg)
        return CRenderEngine::LoadSvgImage(name);
    return CRenderEngine::LoadImage(name, nullptr, mask);
}

bool CPaintManagerUI::PrepareHSL(TImageInfo& image)
{
    const size_t bytes = static_cast<size_t>(image.nX) * static_cast<size_t>(image.nY) * 4;
    delete[] image.pSrcBits;
    image.pSrcBits = nullptr;
    if (image.pBits == nullptr || bytes == 0)
        return false;
    GdiFlush();
    image.pSrcBits = new (std::nothrow) BYTE[bytes];
    if (image.pSrcBits == nullptr)
        return false;
    CopyMemory(image.pSrcBits, image.pBits, bytes);
    if (m_bUseHSL)
        CRenderEngine::AdjustImage(true, &image, m_H, m_S, m_L);
    return true;
}

void CPaintManagerUI::RetireImage(TImageInfo* image)
{
    // Draw infos of controls may still point at the record: its bitmap goes now,
    // the record itself when this manager goes.
    CRenderEngine::FreeImage(image, false);
    m_aRetiredImages.Add(image);
}

const TImageInfo* CPaintManagerUI::AddImage(const wchar_t* name, const wchar_t* type, DWORD mask, bool useHSL,
                                            bool shared, bool svg)
{
    if (name == nullptr || *name == L'\0')
        return nullptr;
    CFacetStringPtrMap& images = TargetTables(shared).m_ImageHash;
    TImageInfo* old = static_cast<TImageInfo*>(images.Find(name));
    TImageInfo* loaded = LoadTableImage(name, type, mask, svg);
    if (loaded == nullptr) {
        if (old != nullptr) {
            images.Remove(name);
            RetireImage(old);
        }
        return nullptr;
    }
    loaded->bUseHSL = useHSL;
    if (type != nullptr)
        loaded->sResType = type;
    loaded->dwMask = mask;
    if (useHSL)
        PrepareHSL(*loaded);
    if (old == nullptr) {
        if (!images.Insert(name, loaded)) {
            CRenderEngine::FreeImage(loaded);
            return nullptr;
        }
        return loaded;
    }
    // The replacement goes into the existing record, which controls may hold.
    CRenderEngine::FreeImage(old, false);
    *old = *loaded;
    loaded->pSrcBits = nullptr;
    delete loaded;
    return old;
}

const TImageInfo* CPaintManagerUI::AddImage(const wchar_t* name, HBITMAP bitmap, int width, int height, bool alpha)
{
    if (name == nullptr || *name == L'\0' || bitmap == nullptr || width <= 0 || height <= 0)
        return nullptr;
    if (m_SharedResInfo.m_ImageHash.Find(name) != nullptr)
        return nullptr;
    TImageInfo* image = new TImageInfo();
    image->hBitmap = bitmap;
    image->pBits = nullptr;
    image->pSrcBits = nullptr;
    image->nX = width;
    image->nY = height;
    image->bAlpha = alpha;
    image->bUseHSL = false;
    image->dwMask = 0;
    if (!m_SharedResInfo.m_ImageHash.Insert(name, image)) {
        delete image;
        return nullptr;
    }
    return image;
}

const TImageInfo* CPaintManagerUI::GetImage(const wchar_t* name)
{
    if (name == nullptr)
        return nullptr;
    if (const TImageInfo* image = static_cast<const TImageInfo*>(m_ResInfo.m_ImageHash.Find(name)))
        return image;
    return static_cast<const TImageInfo*>(m_SharedResInfo.m_ImageHash.Find(name));
}

const TImageInfo* CPaintManagerUI::GetImageEx(const wchar_t* name, const wchar_t* type, DWORD mask, bool useHSL,
                                              bool svg)
{
    if (const TImageInfo* image = GetImage(name))
        return image;
    AddImage(name, type, mask, useHSL, false, svg);
    return static_cast<const TImageInfo*>(TargetTables(false).m_ImageHash.Find(name));
}

bool CPaintManagerUI::RemoveImage(const wchar_t* name, bool shared)
{
    TImageInfo* image = TakeEntry<TImageInfo>((shared ? m_SharedResInfo : m_ResInfo).m_ImageHash, name);
    if (image == nullptr)
        return false;
    RetireImage(image);
    return true;
}

void CPaintManagerUI::RemoveAllImages(bool shared)
{
    CFacetStringPtrMap& images = (shared ? m_SharedResInfo : m_ResInfo).m_ImageHash;
    images.ForEach([this](const wchar_t*, void* value) { RetireImage(static_cast<TImageInfo*>(value)); });
    images.RemoveAll();
}

void CPaintManagerUI::ReloadImageTable(CFacetStringPtrMap& images)
{
    images.ForEach([](const wchar_t* name, void* value) {
        TImageInfo* image = static_cast<TImageInfo*>(value);
        if (image == nullptr || image->pBits == nullptr)
            return; // a registered bitmap has nothing to reload from
        const wchar_t* type = image->sResType.IsEmpty() ? nullptr : image->sResType.GetData();
        TImageInfo* fresh = LoadTableImage(name, type, image->dwMask, false);
        if (fresh == nullptr)
            return;
        const bool useHSL = image->bUseHSL;
        const CFacetString resType = image->sResType;
        const DWORD mask = image->dwMask;
        CRenderEngine::FreeImage(image, false);
        *image = *fresh;
        fresh->pSrcBits = nullptr;
        delete fresh;
        image->bUseHSL = useHSL;
        image->sResType = resType;
        image->dwMask = mask;
        if (useHSL)
            PrepareHSL(*image);
    });
}

// -- Default attribute lists --

void CPaintManagerUI::AddDefaultAttributeList(const wchar_t* className, const wchar_t* list, bool shared)
{
    if (className == nullptr || list == nullptr)
        return;
    CFacetStringPtrMap& lists = TargetTables(shared).m_AttrHash;
    CFacetString* copy = new CFacetString(list);
    delete static_cast<CFacetString*>(lists.Set(className, copy));
}

const wchar_t* CPaintManagerUI::GetDefaultAttributeList(const wchar_t* className) const
{
    if (className == nullptr)
        return nullptr;
    const CFacetString* list = static_cast<const CFacetString*>(m_ResInfo.m_AttrHash.Find(className));
    if (list == nullptr)
        list = static_cast<const CFacetString*>(m_SharedResInfo.m_AttrHash.Find(className));
    return list != nullptr ? list->GetData() : nullptr;
}

bool CPaintManagerUI::RemoveDefaultAttributeList(const wchar_t* className, bool shared)
{
    CFacetString* list = TakeEntry<CFacetString>((shared ? m_SharedResInfo : m_ResInfo).m_AttrHash, className);
    if (list == nullptr)
        return false;
    delete list;
    return true;
}

void CPaintManagerUI::RemoveAllDefaultAttributeList(bool shared)
{
    (shared ? m_SharedResInfo : m_ResInfo).m_AttrHash.DeleteValues<CFacetString>();
}

// -- Default colours --

namespace {

void SetColour(DWORD TResInfo::*field, DWORD color, bool shared, TResInfo& window, TResInfo& process)
{
    if (shared) {
        if (window.*field == process.*field)
            window.*field = color;
        process.*field = color;
    } else {
        window.*field = color;
    }
}

} // namespace

DWORD CPaintManagerUI::GetDefaultDisabledColor() const
{
    return m_ResInfo.m_dwDefaultDisabledColor;
}
DWORD CPaintManagerUI::GetDefaultFontColor() const
{
    return m_ResInfo.m_dwDefaultFontColor;
}
DWORD CPaintManagerUI::GetDefaultLinkFontColor() const
{
    return m_ResInfo.m_dwDefaultLinkFontColor;
}
DWORD CPaintManagerUI::GetDefaultLinkHoverFontColor() const
{
    return m_ResInfo.m_dwDefaultLinkHoverFontColor;
}
DWORD CPaintManagerUI::GetDefaultSelectedBkColor() const
{
    return m_ResInfo.m_dwDefaultSelectedBkColor;
}

void CPaintManagerUI::SetDefaultDisabledColor(DWORD color, bool shared)
{
    SetColour(&TResInfo::m_dwDefaultDisabledColor, color, shared, m_ResInfo, m_SharedResInfo);
}
void CPaintManagerUI::SetDefaultFontColor(DWORD color, bool shared)
{
    SetColour(&TResInfo::m_dwDefaultFontColor, color, shared, m_ResInfo, m_SharedResInfo);
}
void CPaintManagerUI::SetDefaultLinkFontColor(DWORD color, bool shared)
{
    SetColour(&TResInfo::m_dwDefaultLinkFontColor, color, shared, m_ResInfo, m_SharedResInfo);
}
void CPaintManagerUI::SetDefaultLinkHoverFontColor(DWORD color, bool shared)
{
    SetColour(&TResInfo::m_dwDefaultLinkHoverFontColor, color, shared, m_ResInfo, m_SharedResInfo);
}
void CPaintManagerUI::SetDefaultSelectedBkColor(DWORD color, bool shared)
{
    SetColour(&TResInfo::m_dwDefaultSelectedBkColor, color, shared, m_ResInfo, m_SharedResInfo);
}

// -- HSL --

void CPaintManagerUI::AdjustImageTable(CFacetStringPtrMap& images)
{
    images.ForEach([](const wchar_t*, void* value) {
        TImageInfo* image = static_cast<TImageInfo*>(value);
        if (image != nullptr && image->bUseHSL)
            CRenderEngine::AdjustImage(m_bUseHSL, image, m_H, m_S, m_L);
    });
}

void CPaintManagerUI::SetHSL(bool useHSL, short h, short s, short l)
{
    h = (std::max)(static_cast<short>(0), (std::min)(h, static_cast<short>(360)));
    s = (std::max)(static_cast<short>(0), (std::min)(s, static_cast<short>(200)));
    l = (std::max)(static_cast<short>(0), (std::min)(l, static_cast<short>(200)));
    if (!m_bUseHSL && !useHSL)
        return;
    // Switching on or off alone changes the images too: off gives them back
    // their own colours.
    if (useHSL == m_bUseHSL && h == m_H && s == m_S && l == m_L)
        return;
    m_bUseHSL = useHSL;
    m_H = h;
    m_S = s;
    m_L = l;
    AdjustImageTable(m_SharedResInfo.m_ImageHash);
    for (int i = 0; i < m_aPaintManagers.GetSize(); ++i) {
        CPaintManagerUI* manager = static_cast<CPaintManagerUI*>(m_aPaintManagers[i]);
        AdjustImageTable(manager->m_ResInfo.m_ImageHash);
        manager->Invalidate();
    }
}

bool CPaintManagerUI::GetHSL(short* h, short* s, short* l)
{
    if (h != nullptr)
        *h = m_H;
    if (s != nullptr)
        *s = m_S;
    if (l != nullptr)
        *l = m_L;
    return m_bUseHSL;
}

void CPaintManagerUI::ReloadImages()
{
    ReloadImageTable(m_ResInfo.m_ImageHash);
    Invalidate();
}

void CPaintManagerUI::ReloadSharedImages()
{
    ReloadImageTable(m_SharedResInfo.m_ImageHash);
}

void CPaintManagerUI::ReloadSkin()
{
    ReloadSharedImages();
    for (int i = 0; i < m_aPaintManagers.GetSize(); ++i)
        static_cast<CPaintManagerUI*>(m_aPaintManagers[i])->ReloadImages();
}

void CPaintManagerUI::SetForceUseSharedRes(bool force)
{
    m_bForceUseSharedRes = force;
}

bool CPaintManagerUI::IsForceUseSharedRes() const
{
    return m_bForceUseSharedRes;
}

} // namespace Facet
