// CPaintManagerUI: the paint manager of a window. This header carries the
// process-wide part: where skins and images come from (instance, resource
// module, resource folder, zip archive) and the numbered language strings
// that texts refer to with %{n} tokens.
#pragma once

#include <windows.h>

#include "FacetString.h"
#include "FacetStringPtrMap.h"

namespace Facet {

class CZipArchive;

class CPaintManagerUI
{
public:
    // -- Process-wide skin sources (UI thread; set once at start-up) --

    static HINSTANCE GetInstance();
    static void SetInstance(HINSTANCE hInst);
    // The module that holds compiled resources: the one set, else the instance.
    static HINSTANCE GetResourceDll();
    static void SetResourceDll(HINSTANCE hInst);

    // The folder of the instance's module file with its trailing "\"; empty
    // when no instance is set.
    static CFacetString GetInstancePath();
    static CFacetString GetCurrentPath();
    static void SetCurrentPath(const wchar_t* path);

    // A non-empty path always ends with "\" or "/" ("\" is appended).
    static void SetResourcePath(const wchar_t* path);
    static const CFacetString& GetResourcePath();

    // Skins are read from the zip file `zipName` in the resource folder. With
    // `cached` the archive is opened now and kept for every load; otherwise
    // each load opens and closes it. Nothing happens when both are unchanged.
    static void SetResourceZip(const wchar_t* zipName, bool cached = false);
    // Skins are read from a zip archive in memory (the name becomes
    // "membuffer"). The block must stay valid while it is in use. An archive in
    // memory is always kept open; a different block replaces the current one.
    static void SetResourceZip(const void* data, unsigned int length);
    static const CFacetString& GetResourceZip();
    static bool IsCachedResourceZip();
    // The archive kept open, or null.
    static CZipArchive* GetResourceZipHandle();
    // True when the resource zip is an archive in memory.
    static bool IsResourceZipInMemory();

    // Closes the archive kept open. Called once at shutdown.
    static void Term();

    // -- Language strings (process-wide, UI thread) --

    // Stores a copy of `text` (null counts as empty) under the number `id`,
    // replacing an earlier text of that number.
    static void AddMultiLanguageString(int id, const wchar_t* text);
    // The text of number `id`, or null.
    static const wchar_t* GetMultiLanguageString(int id);
    static bool RemoveMultiLanguageString(int id);
    static void RemoveAllMultiLanguageString();
    // Replaces every token "%{n}" (n: zero or more decimal digits, none
    // meaning 0) whose number has a language string by that string. Tokens
    // inside a substituted string are expanded too, except a token that is
    // already being expanded (so a string that names itself ends the
    // expansion) and beyond a fixed nesting depth. Tokens of numbers without
    // a string, and malformed tokens, stay as they are.
    static void ProcessMultiLanguageTokens(CFacetString& text);

private:
    static CFacetStringPtrMap& MultiLanguageStrings();
    static void CloseResourceZip();

    static HINSTANCE m_hInstance;
    static HINSTANCE m_hResourceInstance;
    static CFacetString m_pStrResourcePath;
    static CFacetString m_pStrResourceZip;
    static bool m_bCachedResourceZip;
    static CZipArchive* m_hResourceZip;
    // The memory block of an archive in memory (null for a zip file).
    static const void* m_pResourceZipData;
    static unsigned int m_nResourceZipLength;
};

} // namespace Facet
