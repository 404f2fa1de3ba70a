// A control plug-in for the builder tests: it makes "PluginWidget" controls.
#include "control/ControlUI.h"

#include <cwchar>

namespace {

class CPluginWidgetUI : public Facet::CControlUI
{
public:
    const wchar_t* GetClass() const override { return L"PluginWidget"; }
    LPVOID GetInterface(const wchar_t* name) override
    {
        if (wcscmp(name, L"PluginWidget") == 0)
            return this;
        return CControlUI::GetInterface(name);
    }
};

} // namespace

extern "C" __declspec(dllexport) Facet::CControlUI* CreateControl(const wchar_t* className)
{
    if (className != nullptr && _wcsicmp(className, L"PluginWidget") == 0)
        return new CPluginWidgetUI();
    return nullptr;
}
