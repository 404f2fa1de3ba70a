#include "ControlFactory.h"

#include "../control/ButtonUI.h"
#include "../control/CheckBoxUI.h"
#include "../control/ControlUI.h"
#include "../control/EditUI.h"
#include "../control/LabelUI.h"
#include "../control/OptionUI.h"
#include "../control/ProgressUI.h"
#include "../control/ScrollBarUI.h"
#include "../layout/ContainerUI.h"
#include "../layout/HorizontalLayoutUI.h"
#include "../layout/TabLayoutUI.h"
#include "../layout/VerticalLayoutUI.h"
// Lists, combo box and tree view.
#include "../control/ComboUI.h"
#include "../control/ListUI.h"
#include "../control/ListUIContainerElement.h"
#include "../control/ListUIElement.h"
#include "../control/ListUIHeader.h"
#include "../control/TreeViewUI.h"

// The further controls.
#include "../control/ActiveXUI.h"
#include "../control/DateTimeUI.h"
#include "../control/GifAnimUI.h"
#include "../control/RichEditUI.h"
#include "../control/SliderUI.h"
#include "../control/TextUI.h"
#include "../control/WebBrowserUI.h"
#include "../layout/AnimationPaneUI.h"
#include "../layout/ChildLayoutUI.h"
#include "../layout/TileLayoutUI.h"

#include <cwchar>

namespace Facet {

namespace {

template <typename Control>
CControlUI* Make()
{
    return new Control();
}

// The one element name that is compared with its case.
const wchar_t kGifAnim[] = L"GifAnim";

struct FactoryEntry
{
    const wchar_t* name;
    CControlUI* (*create)();
};

const FactoryEntry kFactory[] = {
    {L"Control", Make<CControlUI>},
    {L"Container", Make<CContainerUI>},
    {L"VerticalLayout", Make<CVerticalLayoutUI>},
    {L"VBox", Make<CVerticalLayoutUI>},
    {L"HorizontalLayout", Make<CHorizontalLayoutUI>},
    {L"HBox", Make<CHorizontalLayoutUI>},
    {L"TabLayout", Make<CTabLayoutUI>},
    {L"Label", Make<CLabelUI>},
    {L"Button", Make<CButtonUI>},
    {L"Option", Make<COptionUI>},
    {L"CheckBox", Make<CCheckBoxUI>},
    {L"Progress", Make<CProgressUI>},
    {L"ScrollBar", Make<CScrollBarUI>},
    {L"Edit", Make<CEditUI>},
    // Lists, combo box and tree view.
    {L"Combo", Make<CComboUI>},
    {L"ComboBox", Make<CComboUI>},
    {L"List", Make<CListUI>},
    {L"ListHeader", Make<CListHeaderUI>},
    {L"ListHeaderItem", Make<CListHeaderItemUI>},
    {L"ListTextElement", Make<CListTextElementUI>},
    {L"ListLabelElement", Make<CListLabelElementUI>},
    {L"ListHBoxElement", Make<CListHBoxElementUI>},
    {L"ListContainerElement", Make<CListContainerElementUI>},
    {L"Tree", Make<CTreeViewUI>},
    {L"TreeView", Make<CTreeViewUI>},
    {L"TileLayout", Make<CTileLayoutUI>},
    {L"ChildLayout", Make<CChildLayoutUI>},
    {L"AnimationPane", Make<CAnimationPaneUI>},
    {L"Text", Make<CTextUI>},
    {L"Slider", Make<CSliderUI>},
    {L"RichEdit", Make<CRichEditUI>},
    {L"DateTime", Make<CDateTimeUI>},
    {L"ActiveX", Make<CActiveXUI>},
    {L"WebBrowser", Make<CWebBrowserUI>},
};

} // namespace

std::vector<const wchar_t*> FactoryControlNames()
{
    std::vector<const wchar_t*> names;
    for (const FactoryEntry& entry : kFactory)
        names.push_back(entry.name);
    names.push_back(kGifAnim);
    return names;
}

CControlUI* CreateFactoryControl(const wchar_t* className)
{
    if (className == nullptr)
        return nullptr;
    // The one element name that is compared with its case.
    if (wcscmp(className, kGifAnim) == 0)
        return new CGifAnimUI();
    for (const FactoryEntry& entry : kFactory) {
        if (_wcsicmp(className, entry.name) == 0)
            return entry.create();
    }
    return nullptr;
}

} // namespace Facet
