#include "UiLanguage.h"

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
    {L"btn_setting", L"\x8A2D\x7F6E"},
    {L"btn_min", L"\x6700\x5C0F\x5316"},
    {L"btn_close", L"\x95DC\x9589"},
    {L"btn_setting_1", L"\x8A2D\x7F6E"},
    {L"btn_min_1", L"\x6700\x5C0F\x5316"},
    {L"btn_close_1", L"\x95DC\x9589"},
    {L"btn_return", L"\x8FD4\x56DE"},
    {L"btn_min_2", L"\x6700\x5C0F\x5316"},
    {L"btn_close_2", L"\x95DC\x9589"},
    {nullptr, nullptr},
};

const UiText kEnglishNames[] = {
    {L"btn_setting", L"Settings"},
    {L"btn_min", L"Minimize"},
    {L"btn_close", L"Close"},
    {L"btn_setting_1", L"Settings"},
    {L"btn_min_1", L"Minimize"},
    {L"btn_close_1", L"Close"},
    {L"btn_return", L"Back"},
    {L"btn_min_2", L"Minimize"},
    {L"btn_close_2", L"Close"},
    {nullptr, nullptr},
};

const UiText kNone[] = {{nullptr, nullptr}};

} // namespace

int SelectUiLanguage(LANGID languageId)
{
    switch (languageId) {
    case 1028:
    case 3076:
    case 5124:
        return 1;
    case 1033:
        return 2;
    case 2052:
        return 0;
    default:
        return 3;
    }
}

const UiText* UiTextsOf(int set)
{
    if (set == 1)
        return kTraditionalChinese;
    if (set == 2 || set == 3)
        return kEnglish;
    return kNone;
}

const UiText* UiAccessibleNamesOf(int set)
{
    if (set == 1)
        return kTraditionalChineseNames;
    if (set == 2 || set == 3)
        return kEnglishNames;
    return kNone;
}

bool WidensProxyLabels(int set)
{
    return set == 2 || set == 3;
}
