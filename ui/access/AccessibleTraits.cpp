#include "AccessibleTraits.h"

#include <oleacc.h>

#include <cwchar>
#include <cwctype>
#include <string>

#include "../control/ButtonUI.h"
#include "../control/ComboUI.h"
#include "../control/ControlUI.h"
#include "../control/EditUI.h"
#include "../control/LabelUI.h"
#include "../control/ListUI.h"
#include "../control/OptionUI.h"
#include "../control/ProgressUI.h"
#include "../control/RichEditUI.h"
#include "../control/ScrollBarUI.h"
#include "../control/TreeViewUI.h"
#include "../core/PaintManager.h"
#include "../layout/ContainerUI.h"
#include "../layout/TabLayoutUI.h"
#include "../render/HtmlTextTokens.h"

namespace Facet {
namespace accessibility {

namespace {

// What a click does, as far as assistive technology is concerned.
enum class Action { None, Press, Toggle, OpenDropDown, SelectRow, ExpandNode };
// Where a control's value comes from.
enum class Value { None, Text, Percent, Position, ScrollPercent, SelectedText, TreeLevel };

struct Kind
{
    const wchar_t* interfaceName; // asked of GetInterface; the first match wins
    LONG role;
    Action action;
    Value value;
    bool namedByLabel; // shows a value, so its text is not its name
    bool leaf;         // its own controls are not shown as children
};

// Most specific first: a check box is also an option, a button and a label.
const Kind kKinds[] = {
    {L"TreeNode", ROLE_SYSTEM_OUTLINEITEM, Action::ExpandNode, Value::TreeLevel, false, true},
    {L"TreeView", ROLE_SYSTEM_OUTLINE, Action::None, Value::None, true, false},
    {L"ListItem", ROLE_SYSTEM_LISTITEM, Action::SelectRow, Value::None, false, false},
    {L"ListHeaderItem", ROLE_SYSTEM_COLUMNHEADER, Action::None, Value::None, false, false},
    {L"Combo", ROLE_SYSTEM_COMBOBOX, Action::OpenDropDown, Value::SelectedText, true, false},
    {L"List", ROLE_SYSTEM_LIST, Action::None, Value::None, true, false},
    {L"CheckBox", ROLE_SYSTEM_CHECKBUTTON, Action::Toggle, Value::None, false, false},
    {L"Option", ROLE_SYSTEM_RADIOBUTTON, Action::Toggle, Value::None, false, false},
    {L"Button", ROLE_SYSTEM_PUSHBUTTON, Action::Press, Value::None, false, false},
    {L"RichEdit", ROLE_SYSTEM_TEXT, Action::None, Value::Text, true, true},
    {L"Edit", ROLE_SYSTEM_TEXT, Action::None, Value::Text, true, false},
    {L"DateTime", ROLE_SYSTEM_TEXT, Action::None, Value::Text, true, false},
    {L"Slider", ROLE_SYSTEM_SLIDER, Action::None, Value::Position, true, false},
    {L"Progress", ROLE_SYSTEM_PROGRESSBAR, Action::None, Value::Percent, true, false},
    {L"ScrollBar", ROLE_SYSTEM_SCROLLBAR, Action::None, Value::ScrollPercent, true, false},
    {L"GifAnim", ROLE_SYSTEM_ANIMATION, Action::None, Value::None, false, false},
    {L"Label", ROLE_SYSTEM_STATICTEXT, Action::None, Value::None, false, false},
    {L"TabLayout", ROLE_SYSTEM_PAGETABLIST, Action::None, Value::None, false, false},
    {L"ActiveX", ROLE_SYSTEM_CLIENT, Action::None, Value::None, false, true},
    {L"IContainer", ROLE_SYSTEM_GROUPING, Action::None, Value::None, false, false},
};

// A plain control: a picture when it shows one, else empty space.
const Kind kPicture = {L"Control", ROLE_SYSTEM_GRAPHIC, Action::None, Value::None, false, false};
const Kind kSpace = {L"Control", ROLE_SYSTEM_WHITESPACE, Action::None, Value::None, false, false};
// A page of a tab layout.
const Kind kPage = {L"IContainer", ROLE_SYSTEM_PROPERTYPAGE, Action::None, Value::None, false, false};

bool Is(CControlUI& control, const wchar_t* interfaceName)
{
    return control.GetInterface(interfaceName) != nullptr;
}

bool IsTabPage(CControlUI& control)
{
    return InterfaceCast<CTabLayoutUI>(control.GetParent()) != nullptr;
}

const Kind& KindOf(CControlUI& control)
{
    if (IsTabPage(control) && InterfaceCast<IContainerUI>(&control) != nullptr)
        return kPage;
    for (const Kind& kind : kKinds) {
        if (Is(control, kind.interfaceName))
            return kind;
    }
    const wchar_t* image = control.GetBkImage();
    return (image != nullptr && *image != L'\0') ? kPicture : kSpace;
}

std::wstring Trimmed(const std::wstring& text)
{
    const size_t first = text.find_first_not_of(L" \t\r\n");
    if (first == std::wstring::npos)
        return std::wstring();
    const size_t last = text.find_last_not_of(L" \t\r\n");
    return text.substr(first, last - first + 1);
}

// The characters a mark-up text shows, tags left out.
std::wstring WithoutMarkup(const wchar_t* text)
{
    std::wstring shown;
    htmltext::TokenReader reader(text);
    for (htmltext::Token token = reader.Next(); token.kind != htmltext::TokenKind::End; token = reader.Next()) {
        if (token.kind == htmltext::TokenKind::Text)
            shown.append(token.text, static_cast<size_t>(token.length));
        else if (token.kind == htmltext::TokenKind::Space || token.kind == htmltext::TokenKind::LineBreak)
            shown += L' ';
    }
    return shown;
}

// The text as the control shows it.
std::wstring ShownText(CControlUI& control)
{
    CFacetString text = control.GetText();
    CPaintManagerUI::ProcessMultiLanguageTokens(text);
    const CLabelUI* label = InterfaceCast<CLabelUI>(&control);
    if (label != nullptr && label->IsShowHtml())
        return Trimmed(WithoutMarkup(text.GetData()));
    return Trimmed(text.GetData());
}

std::wstring ToolTipText(CControlUI& control)
{
    CFacetString tip = control.GetToolTip();
    CPaintManagerUI::ProcessMultiLanguageTokens(tip);
    return Trimmed(tip.GetData());
}

bool IsSpacer(CControlUI& control)
{
    const Kind& kind = KindOf(control);
    return (kind.role == ROLE_SYSTEM_WHITESPACE || kind.role == ROLE_SYSTEM_GRAPHIC) && ShownText(control).empty();
}

// The text of the label that stands just before `control` among its
// siblings (spacers between them are passed over), without a final colon.
std::wstring LabelBefore(CControlUI& control)
{
    CControlUI* parent = ParentOf(control);
    if (parent == nullptr)
        return std::wstring();
    const std::vector<CControlUI*> siblings = ChildrenOf(*parent);
    for (size_t i = 0; i < siblings.size(); ++i) {
        if (siblings[i] != &control)
            continue;
        while (i-- > 0) {
            CControlUI& before = *siblings[i];
            if (IsSpacer(before))
                continue;
            if (KindOf(before).role != ROLE_SYSTEM_STATICTEXT)
                return std::wstring();
            std::wstring text = ShownText(before);
            while (!text.empty() && (text.back() == L':' || text.back() == L'\xFF1A'))
                text.pop_back();
            return Trimmed(text);
        }
        break;
    }
    return std::wstring();
}

bool IsChecked(CControlUI& control)
{
    const COptionUI* option = InterfaceCast<COptionUI>(&control);
    return option != nullptr && option->IsSelected();
}

bool IsDroppedDown(CControlUI& control)
{
    const CComboUI* combo = InterfaceCast<CComboUI>(&control);
    return combo != nullptr && combo->GetDropWindow() != nullptr;
}

bool HasChildNodes(CControlUI& control)
{
    const CTreeNodeUI* node = InterfaceCast<CTreeNodeUI>(&control);
    return node != nullptr && node->GetCountChild() > 0;
}

LONG ButtonStates(CControlUI& control)
{
    const CButtonUI* button = InterfaceCast<CButtonUI>(&control);
    if (button == nullptr)
        return 0;
    LONG states = 0;
    if ((button->GetButtonState() & UISTATE_PUSHED) != 0)
        states |= STATE_SYSTEM_PRESSED;
    if ((button->GetButtonState() & UISTATE_HOT) != 0)
        states |= STATE_SYSTEM_HOTTRACKED;
    return states;
}

LONG RoleStates(CControlUI& control, const Kind& kind)
{
    LONG states = 0;
    switch (kind.role) {
    case ROLE_SYSTEM_CHECKBUTTON:
    case ROLE_SYSTEM_RADIOBUTTON:
        if (IsChecked(control))
            states |= STATE_SYSTEM_CHECKED;
        break;
    case ROLE_SYSTEM_TEXT:
        if (const CEditUI* edit = InterfaceCast<CEditUI>(&control)) {
            if (edit->IsPasswordMode())
                states |= STATE_SYSTEM_PROTECTED;
            if (edit->IsReadOnly())
                states |= STATE_SYSTEM_READONLY;
        } else if (const CRichEditUI* rich = InterfaceCast<CRichEditUI>(&control)) {
            if (rich->IsPasswordMode())
                states |= STATE_SYSTEM_PROTECTED;
            if (rich->IsReadOnly())
                states |= STATE_SYSTEM_READONLY;
        }
        states |= STATE_SYSTEM_FOCUSABLE;
        break;
    case ROLE_SYSTEM_STATICTEXT:
    case ROLE_SYSTEM_PROGRESSBAR:
        states |= STATE_SYSTEM_READONLY;
        break;
    case ROLE_SYSTEM_LISTITEM:
    case ROLE_SYSTEM_OUTLINEITEM: {
        states |= STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
        const IListItemUI* row = AsListItem(&control);
        if (row != nullptr && row->IsSelected())
            states |= STATE_SYSTEM_SELECTED;
        if (kind.role == ROLE_SYSTEM_OUTLINEITEM && HasChildNodes(control))
            states |= row != nullptr && row->IsExpanded() ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED;
        if (const CTreeNodeUI* node = InterfaceCast<CTreeNodeUI>(&control)) {
            if (node->IsChecked())
                states |= STATE_SYSTEM_CHECKED;
        }
        break;
    }
    case ROLE_SYSTEM_COMBOBOX:
        states |= IsDroppedDown(control) ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED;
        break;
    case ROLE_SYSTEM_PROPERTYPAGE: {
        CControlUI* parent = control.GetParent();
        if (parent != nullptr && SelectionOf(*parent) == &control)
            states |= STATE_SYSTEM_SELECTED;
        break;
    }
    default:
        break;
    }
    return states | ButtonStates(control);
}

bool ValueFromText(CControlUI& control, CFacetString& value)
{
    const CEditUI* edit = InterfaceCast<CEditUI>(&control);
    const CRichEditUI* rich = InterfaceCast<CRichEditUI>(&control);
    if ((edit != nullptr && edit->IsPasswordMode()) || (rich != nullptr && rich->IsPasswordMode()))
        return false;
    value = control.GetText();
    return true;
}

CFacetString Number(long long number)
{
    wchar_t text[32] = {};
    swprintf(text, 32, L"%lld", number);
    return CFacetString(text);
}

long long PercentOf(long long value, long long low, long long high)
{
    if (high <= low)
        return 0;
    return (value - low) * 100 / (high - low);
}

CFacetString SelectedItemText(CControlUI& control)
{
    CFacetString text = control.GetText();
    if (!text.IsEmpty())
        return text;
    CComboUI* combo = InterfaceCast<CComboUI>(&control);
    if (combo == nullptr)
        return text;
    CControlUI* item = combo->GetItemAt(combo->GetCurSel());
    return item != nullptr ? item->GetText() : text;
}

bool IsUsable(CControlUI& control)
{
    return control.IsVisible() && control.IsEnabled();
}

} // namespace

LONG RoleOf(CControlUI& control)
{
    return KindOf(control).role;
}

LONG StatesOf(CControlUI& control, bool hasFocus)
{
    LONG states = 0;
    if (!control.IsVisible())
        states |= STATE_SYSTEM_INVISIBLE;
    if (!control.IsEnabled())
        states |= STATE_SYSTEM_UNAVAILABLE;
    if ((control.GetControlFlags() & UIFLAG_TABSTOP) != 0 && control.IsKeyboardEnabled())
        states |= STATE_SYSTEM_FOCUSABLE;
    if (hasFocus)
        states |= STATE_SYSTEM_FOCUSED | STATE_SYSTEM_FOCUSABLE;
    return states | RoleStates(control, KindOf(control));
}

CFacetString NameOf(CControlUI& control)
{
    const CFacetString given = control.GetAccessibleName();
    if (!given.IsEmpty())
        return given;
    if (const CTreeNodeUI* node = InterfaceCast<CTreeNodeUI>(&control))
        return node->GetItemText();
    std::wstring name;
    if (KindOf(control).namedByLabel) {
        name = ToolTipText(control);
        if (name.empty())
            name = LabelBefore(control);
    } else {
        name = ShownText(control);
        if (name.empty())
            name = ToolTipText(control);
    }
    return CFacetString(name.c_str());
}

CFacetString DescriptionOf(CControlUI& control)
{
    const std::wstring tip = ToolTipText(control);
    if (tip.empty() || tip == NameOf(control).GetData())
        return CFacetString();
    return CFacetString(tip.c_str());
}

ValueAnswer ValueOf(CControlUI& control, CFacetString& value)
{
    switch (KindOf(control).value) {
    case Value::Text:
        return ValueFromText(control, value) ? ValueAnswer::Value : ValueAnswer::Protected;
    case Value::Percent: {
        const CProgressUI* progress = InterfaceCast<CProgressUI>(&control);
        value = Number(PercentOf(progress->GetValue(), progress->GetMinValue(), progress->GetMaxValue()));
        value += L"%";
        return ValueAnswer::Value;
    }
    case Value::Position:
        value = Number(InterfaceCast<CProgressUI>(&control)->GetValue());
        return ValueAnswer::Value;
    case Value::ScrollPercent: {
        const CScrollBarUI* bar = InterfaceCast<CScrollBarUI>(&control);
        value = Number(PercentOf(bar->GetScrollPos(), 0, bar->GetScrollRange()));
        return ValueAnswer::Value;
    }
    case Value::SelectedText:
        value = SelectedItemText(control);
        return ValueAnswer::Value;
    case Value::TreeLevel:
        value = Number(InterfaceCast<CTreeNodeUI>(&control)->GetTreeLevel());
        return ValueAnswer::Value;
    case Value::None:
        break;
    }
    return ValueAnswer::None;
}

CFacetString DefaultActionOf(CControlUI& control)
{
    const Kind& kind = KindOf(control);
    switch (kind.action) {
    case Action::Press:
        return CFacetString(L"Press");
    case Action::Toggle:
        // A selected option of a group stays selected when pressed again.
        return CFacetString(kind.role == ROLE_SYSTEM_CHECKBUTTON && IsChecked(control) ? L"Uncheck" : L"Check");
    case Action::OpenDropDown:
        return CFacetString(IsDroppedDown(control) ? L"Close" : L"Open");
    case Action::SelectRow:
        return CFacetString(L"Select");
    case Action::ExpandNode: {
        if (!HasChildNodes(control))
            return CFacetString(L"Select");
        const IListItemUI* row = AsListItem(&control);
        return CFacetString(row != nullptr && row->IsExpanded() ? L"Collapse" : L"Expand");
    }
    case Action::None:
        break;
    }
    return CFacetString();
}

bool DoDefaultAction(CControlUI& control)
{
    if (!IsUsable(control))
        return false;
    switch (KindOf(control).action) {
    case Action::Press:
    case Action::Toggle:
    case Action::OpenDropDown:
        return control.Activate();
    case Action::SelectRow:
        return AsListItem(&control)->Select(true);
    case Action::ExpandNode: {
        IListItemUI* row = AsListItem(&control);
        if (!HasChildNodes(control))
            return row->Select(true);
        return row->Expand(!row->IsExpanded());
    }
    case Action::None:
        break;
    }
    return false;
}

CFacetString KeyboardShortcutOf(CControlUI& control)
{
    const wchar_t key = control.GetShortcut();
    if (key == L'\0')
        return CFacetString();
    const wchar_t shortcut[] = {L'A', L'l', L't', L'+', static_cast<wchar_t>(towupper(key)), L'\0'};
    return CFacetString(shortcut);
}

std::vector<CControlUI*> ChildrenOf(CControlUI& control)
{
    std::vector<CControlUI*> children;
    if (KindOf(control).leaf)
        return children;
    const IContainerUI* items = InterfaceCast<IContainerUI>(&control);
    if (items == nullptr)
        return children;
    for (int i = 0; i < items->GetCount(); ++i) {
        if (CControlUI* item = items->GetItemAt(i))
            children.push_back(item);
    }
    // A container's own scroll bars come after what they scroll.
    if (const CContainerUI* container = InterfaceCast<CContainerUI>(&control)) {
        for (CScrollBarUI* bar : {container->GetVerticalScrollBar(), container->GetHorizontalScrollBar()}) {
            if (bar != nullptr)
                children.push_back(bar);
        }
    }
    return children;
}

CControlUI* ParentOf(CControlUI& control)
{
    for (CControlUI* ancestor = control.GetParent(); ancestor != nullptr; ancestor = ancestor->GetParent()) {
        const std::vector<CControlUI*> children = ChildrenOf(*ancestor);
        for (CControlUI* child : children) {
            if (child == &control)
                return ancestor;
        }
    }
    return nullptr;
}

CControlUI* RepresentativeOf(CControlUI& control)
{
    CControlUI* representative = &control;
    for (CControlUI* ancestor = control.GetParent(); ancestor != nullptr; ancestor = ancestor->GetParent()) {
        if (KindOf(*ancestor).leaf)
            representative = ancestor;
    }
    return representative;
}

CControlUI* SelectionOf(CControlUI& control)
{
    if (CTabLayoutUI* tabs = InterfaceCast<CTabLayoutUI>(&control))
        return tabs->GetItemAt(tabs->GetCurSel());
    // A list or a combo box: the owner of rows knows the selected one.
    IListOwnerUI* owner = AsListOwner(&control);
    IContainerUI* items = InterfaceCast<IContainerUI>(&control);
    return (owner != nullptr && items != nullptr) ? items->GetItemAt(owner->GetCurSel()) : nullptr;
}

} // namespace accessibility
} // namespace Facet
