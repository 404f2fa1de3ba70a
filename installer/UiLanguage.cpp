#include "UiLanguage.h"

#include "ProxySettings.h"

namespace {

const UiText kTraditionalChinese[] = {
    {L"lbl_download_state", L"\x6B63\x5728\x5617\x8A66\x4E0B\x8F09\x6700\x65B0\x7248Mevra\x2026"},
    {L"lbl_downloading", L"\x6B63\x5728\x4E0B\x8F09\x2026."},
    {L"lbl_connect_state", L"\x7121\x6CD5\x9023\x63A5\x5230Mevra"},
    {L"lbl_retry_tip", L"\x8ACB\x6AA2\x67E5\x7DB2\x8DEF\x8A2D\x7F6E\x5F8C\x91CD\x8A66"},
    {L"btn_downlink", L"\x6216\x76F4\x63A5\x4E0B\x8F09"},
    {L"btn_retry", L"\x91CD\x8A66"},
    {L"lbl_proxyTitle", L"\x4EE3\x7406\x8A2D\x7F6E"},
    {L"lbl_ip", L"\x5730\x5740"},
    {L"lbl_port", L"\x7AEF\x53E3"},
    {L"lbl_account", L"\x7528\x6236\x540D"},
    {L"lbl_pwd", L"\x5BC6\x78BC"},
    {L"save_tip_lbl", L"<b>\x4FDD\x5B58\x6210\x529F\xFF0C\x8ACB\x8FD4\x56DE\x91CD\x8A66</b>"},
    {L"chk_useProxy", L"\x4F7F\x7528\x4EE3\x7406"},
    {L"btn_saveProxy", L"\x4FDD\x5B58"},
    {nullptr, nullptr},
};

const UiText kEnglish[] = {
    {L"lbl_download_state", L"Try to download the latest version of MEVRA..."},
    {L"lbl_downloading", L"Downloading..."},
    {L"lbl_connect_state", L"Can not connect to MEVRA"},
    {L"lbl_retry_tip", L"Check the network and try again"},
    {L"btn_downlink", L"Download Directly"},
    {L"btn_retry", L"Retry"},
    {L"lbl_proxyTitle", L"Proxy Settings"},
    {L"lbl_ip", L"Address"},
    {L"lbl_port", L"Port"},
    {L"lbl_account", L"UserName"},
    {L"lbl_pwd", L"Password"},
    {L"save_tip_lbl", L"<b>Changes saved, ready to use</b>"},
    {L"chk_useProxy", L"Enable Proxy"},
    {L"btn_saveProxy", L"Save"},
    {nullptr, nullptr},
};

const UiText kTraditionalChineseNames[] = {
    {L"btn_setting", L"\x8A2D\x7F6E"},     {L"btn_min", L"\x6700\x5C0F\x5316"},
    {L"btn_close", L"\x95DC\x9589"},       {L"btn_setting_1", L"\x8A2D\x7F6E"},
    {L"btn_min_1", L"\x6700\x5C0F\x5316"}, {L"btn_close_1", L"\x95DC\x9589"},
    {L"btn_return", L"\x8FD4\x56DE"},      {L"btn_min_2", L"\x6700\x5C0F\x5316"},
    {L"btn_close_2", L"\x95DC\x9589"},     {nullptr, nullptr},
};

const UiText kEnglishNames[] = {
    {L"btn_setting", L"Settings"}, {L"btn_min", L"Minimize"},
    {L"btn_close", L"Close"},      {L"btn_setting_1", L"Settings"},
    {L"btn_min_1", L"Minimize"},   {L"btn_close_1", L"Close"},
    {L"btn_return", L"Back"},      {L"btn_min_2", L"Minimize"},
    {L"btn_close_2", L"Close"},    {nullptr, nullptr},
};

const UiText kNone[] = {{nullptr, nullptr}};

static_assert(kProxyFieldMaxChars == 255, "the texts of a full field name the limit");

// Red as the retry page's tip, in the tip label's bold.
const wchar_t kSaveFailedSimplified[] =
    L"<b><c #FFEE4545>\x4FDD\x5B58\x5931\x8D25\xFF0C\x8BBE\x7F6E\x672A\x80FD\x5199\x5165\x6587\x4EF6</c></b>";
const wchar_t kSaveFailedTraditional[] =
    L"<b><c #FFEE4545>\x4FDD\x5B58\x5931\x6557\xFF0C\x8A2D\x7F6E\x672A\x80FD\x5BEB\x5165\x6587\x4EF6</c></b>";
const wchar_t kSaveFailedEnglish[] = L"<b><c #FFEE4545>Not saved: the settings file cannot be written</c></b>";

const wchar_t kFieldFullSimplified[] = L"<b>\x6BCF\x680F\x6700\x591A 255 \x4E2A\x5B57\x7B26</b>";
const wchar_t kFieldFullTraditional[] = L"<b>\x6BCF\x6B04\x6700\x591A 255 \x500B\x5B57\x5143</b>";
const wchar_t kFieldFullEnglish[] = L"<b>A field takes at most 255 characters</b>";

// What each set changes; set 0 keeps the skin's texts and names.
struct LanguageSet
{
    const UiText* texts;
    const UiText* names;
    const wchar_t* saveFailed;
    const wchar_t* fieldFull;
    bool widensLabels;
};

// Indexed by set number.
const LanguageSet kSets[] = {
    {kNone, kNone, kSaveFailedSimplified, kFieldFullSimplified, false},
    {kTraditionalChinese, kTraditionalChineseNames, kSaveFailedTraditional, kFieldFullTraditional, false},
    {kEnglish, kEnglishNames, kSaveFailedEnglish, kFieldFullEnglish, true},
    {kEnglish, kEnglishNames, kSaveFailedEnglish, kFieldFullEnglish, true},
};
static_assert(sizeof(kSets) / sizeof(kSets[0]) == kOtherLanguageSet + 1, "one entry per set");

// Any number that is not a set reads as set 0.
const LanguageSet& SetOf(int set)
{
    return kSets[set >= kTraditionalChineseSet && set <= kOtherLanguageSet ? set : kSimplifiedChineseSet];
}

} // namespace

int SelectUiLanguage(LANGID languageId)
{
    switch (languageId) {
    case MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL): // zh-TW, 1028
    case MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_HONGKONG):    // zh-HK, 3076
    case MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_MACAU):       // zh-MO, 5124
        return kTraditionalChineseSet;
    case MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US): // en-US, 1033
        return kUsEnglishSet;
    case MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED): // zh-CN, 2052
        return kSimplifiedChineseSet;
    default:
        return kOtherLanguageSet;
    }
}

const UiText* UiTextsOf(int set)
{
    return SetOf(set).texts;
}

const UiText* UiAccessibleNamesOf(int set)
{
    return SetOf(set).names;
}

const wchar_t* SaveFailedTextOf(int set)
{
    return SetOf(set).saveFailed;
}

const wchar_t* FieldFullTextOf(int set)
{
    return SetOf(set).fieldFull;
}

bool WidensProxyLabels(int set)
{
    return SetOf(set).widensLabels;
}
