// The records of the paint manager's resource tables: fonts by number, images
// by name, default attribute lists by control class, five default colours and
// the language strings. One set per window, one shared by the process.
#pragma once

#include <windows.h>

#include "FacetString.h"
#include "FacetStringPtrMap.h"

namespace Facet {

typedef struct tagTFontInfo
{
    HFONT hFont;
    CFacetString sFontName;
    int iSize; // pixels; the font is created with height -iSize
    bool bBold;
    bool bUnderline;
    bool bItalic;
    TEXTMETRICW tm; // measured on first need; tmHeight 0 = not yet
} TFontInfo;

typedef struct tagTResInfo
{
    DWORD m_dwDefaultDisabledColor;
    DWORD m_dwDefaultFontColor;
    DWORD m_dwDefaultLinkFontColor;
    DWORD m_dwDefaultLinkHoverFontColor;
    DWORD m_dwDefaultSelectedBkColor;
    TFontInfo m_DefaultFontInfo;
    CFacetStringPtrMap m_CustomFonts;       // decimal font number -> owned TFontInfo*
    CFacetStringPtrMap m_ImageHash;         // image name -> owned TImageInfo*
    CFacetStringPtrMap m_AttrHash;          // control class name -> owned CFacetString*
    CFacetStringPtrMap m_MultiLanguageHash; // decimal number -> owned CFacetString*
} TResInfo;

} // namespace Facet
