// Element names, interfaces and stored attributes of the list family, the
// combo box and the tree view, created through the factory table.
#include "../support/LayoutTestSupport.h"

#include "../support/DibCanvas.h"
#include "core/ControlFactory.h"

#include <memory>

using namespace Facet;
using testsupport::ScopedDpi;

namespace {

struct ControlDeleter
{
    void operator()(CControlUI* control) const { control->Delete(); }
};
using ControlPtr = std::unique_ptr<CControlUI, ControlDeleter>;

ControlPtr Make(const wchar_t* name)
{
    return ControlPtr(CreateFactoryControl(name));
}

TEST(ListFactory, ElementNamesGiveTheirClassesAndAliasesTheSameClass)
{
    const struct
    {
        const wchar_t* element;
        const wchar_t* className;
    } cases[] = {
        {L"List", L"List"},
        {L"ListHeader", L"ListHeader"},
        {L"ListHeaderItem", L"ListHeaderItem"},
        {L"ListTextElement", L"ListTextElement"},
        {L"ListLabelElement", L"ListLabelElement"},
        {L"ListHBoxElement", L"ListHBoxElement"},
        {L"ListContainerElement", L"ListContainerElement"},
        {L"Combo", L"Combo"},
        {L"ComboBox", L"Combo"},
        {L"combobox", L"Combo"},
        {L"Tree", L"TreeView"},
        {L"TreeView", L"TreeView"},
        {L"treeview", L"TreeView"},
    };
    for (const auto& c : cases) {
        ControlPtr control = Make(c.element);
        ASSERT_NE(control, nullptr) << c.element;
        EXPECT_STREQ(control->GetClass(), c.className) << c.element;
        EXPECT_EQ(control->GetInterface(c.className), control.get()) << c.element;
        EXPECT_NE(control->GetInterface(L"Control"), nullptr) << c.element;
    }
}

TEST(ListFactory, InterfacesFollowTheBaseClasses)
{
    ControlPtr list = Make(L"List");
    EXPECT_NE(list->GetInterface(L"IList"), nullptr);
    EXPECT_NE(list->GetInterface(L"IListOwner"), nullptr);
    EXPECT_NE(list->GetInterface(L"VerticalLayout"), nullptr);
    EXPECT_NE(list->GetInterface(L"IContainer"), nullptr);
    EXPECT_EQ(list->GetInterface(L"TreeView"), nullptr);

    ControlPtr tree = Make(L"Tree");
    EXPECT_NE(tree->GetInterface(L"List"), nullptr);
    EXPECT_NE(tree->GetInterface(L"IListOwner"), nullptr);
    EXPECT_EQ(tree->GetInterface(L"INotify"),
              static_cast<INotifyUI*>(static_cast<CTreeViewUI*>(tree->GetInterface(L"TreeView"))));

    ControlPtr combo = Make(L"Combo");
    EXPECT_NE(combo->GetInterface(L"IListOwner"), nullptr);
    EXPECT_NE(combo->GetInterface(L"IContainer"), nullptr);
    EXPECT_EQ(combo->GetInterface(L"IList"), nullptr);

    ControlPtr header = Make(L"ListHeader");
    EXPECT_NE(header->GetInterface(L"HorizontalLayout"), nullptr);
    for (const wchar_t* row : {L"ListTextElement", L"ListLabelElement", L"ListHBoxElement", L"ListContainerElement"}) {
        ControlPtr element = Make(row);
        EXPECT_NE(element->GetInterface(L"ListItem"), nullptr) << row;
    }
    ControlPtr text = Make(L"ListTextElement");
    EXPECT_NE(text->GetInterface(L"ListLabelElement"), nullptr);
    EXPECT_NE(text->GetInterface(L"ListElement"), nullptr);
    ControlPtr hbox = Make(L"ListHBoxElement");
    EXPECT_NE(hbox->GetInterface(L"ListContainerElement"), nullptr);

    CTreeNodeUI node;
    EXPECT_NE(node.GetInterface(L"TreeNode"), nullptr);
    EXPECT_NE(node.GetInterface(L"ListContainerElement"), nullptr);
    EXPECT_STREQ(node.GetClass(), L"TreeNode");
}

TEST(ListFactory, BodiesNameThemselvesAndKnowTheirOwners)
{
    ControlPtr list = Make(L"List");
    CListUI* owner = static_cast<CListUI*>(list->GetInterface(L"List"));
    CControlUI* body = owner->GetList();
    EXPECT_STREQ(body->GetClass(), L"ListBody");
    EXPECT_EQ(body->GetInterface(L"ListBody"), static_cast<CListBodyUI*>(body));
    EXPECT_NE(body->GetInterface(L"VerticalLayout"), nullptr);
    EXPECT_EQ(body->GetInterface(L"ComboBody"), nullptr);
    EXPECT_EQ(static_cast<CListBodyUI*>(body)->GetOwner(), owner);

    ControlPtr combo = Make(L"Combo");
    CComboUI* comboOwner = static_cast<CComboUI*>(combo->GetInterface(L"Combo"));
    ControlPtr comboBody(new CComboBodyUI(comboOwner));
    EXPECT_STREQ(comboBody->GetClass(), L"ComboBody");
    EXPECT_EQ(comboBody->GetInterface(L"ComboBody"), static_cast<CComboBodyUI*>(comboBody.get()));
    EXPECT_NE(comboBody->GetInterface(L"VerticalLayout"), nullptr);
    EXPECT_EQ(comboBody->GetInterface(L"ListBody"), nullptr);
    EXPECT_EQ(static_cast<CComboBodyUI*>(comboBody.get())->GetOwner(), comboOwner);
}

TEST(ListAttributes, ListStoresItemAttributesAndPassesOthersOn)
{
    ScopedDpi dpi(96);
    CListUI list;
    list.SetAttributeList(L"itemheight=\"24\" itemfont=\"2\" itemalign=\"center\" itemvalign=\"top\" "
                          L"itemendellipsis=\"true\" itemtextpadding=\"1,2,3,4\" itemtextcolor=\"#FF112233\" "
                          L"itembkcolor=\"#FF445566\" itemaltbk=\"true\" itemselectedtextcolor=\"#FF000001\" "
                          L"itemselectedbkcolor=\"#FF000002\" itemhottextcolor=\"#FF000003\" "
                          L"itemhotbkcolor=\"#FF000004\" itemdisabledtextcolor=\"#FF000005\" "
                          L"itemdisabledbkcolor=\"#FF000006\" itemhlinesize=\"1\" itemhlinecolor=\"#FF000007\" "
                          L"itemvlinesize=\"2\" itemvlinecolor=\"#FF000008\" itemshowhtml=\"true\" "
                          L"itemselectedimage=\"sel.png\" multiexpanding=\"true\" scrollselect=\"true\" "
                          L"header=\"hidden\" headerbkimage=\"head.png\" bkcolor=\"#FF0000FF\" name=\"l\"");
    const TListInfoUI* info = list.GetListInfo();
    EXPECT_EQ(info->nItemHeight, 24);
    EXPECT_EQ(info->nFont, 2);
    EXPECT_EQ(info->uTextStyle & (DT_CENTER | DT_VCENTER | DT_END_ELLIPSIS | DT_SINGLELINE),
              static_cast<UINT>(DT_CENTER | DT_END_ELLIPSIS | DT_SINGLELINE));
    EXPECT_EQ(testsupport::R(info->rcTextPadding), (testsupport::Rect{1, 2, 3, 4}));
    EXPECT_EQ(info->dwTextColor, 0xFF112233u);
    EXPECT_EQ(info->dwBkColor, 0xFF445566u);
    EXPECT_TRUE(info->bAlternateBk);
    EXPECT_EQ(info->dwSelectedTextColor, 0xFF000001u);
    EXPECT_EQ(info->dwSelectedBkColor, 0xFF000002u);
    EXPECT_EQ(info->dwHotTextColor, 0xFF000003u);
    EXPECT_EQ(info->dwHotBkColor, 0xFF000004u);
    EXPECT_EQ(info->dwDisabledTextColor, 0xFF000005u);
    EXPECT_EQ(info->dwDisabledBkColor, 0xFF000006u);
    EXPECT_EQ(info->iHLineSize, 1);
    EXPECT_EQ(info->dwHLineColor, 0xFF000007u);
    EXPECT_EQ(info->iVLineSize, 2);
    EXPECT_EQ(info->dwVLineColor, 0xFF000008u);
    EXPECT_TRUE(info->bShowHtml);
    EXPECT_TRUE(info->bMultiExpandable);
    EXPECT_EQ(info->diSelected.sDrawString, L"sel.png");
    EXPECT_TRUE(list.IsScrollSelect());
    EXPECT_FALSE(list.IsShowHeader());
    EXPECT_STREQ(list.GetHeader()->GetBkImage(), L"head.png");
    EXPECT_EQ(list.GetBkColor(), 0xFF0000FFu);
    EXPECT_EQ(list.GetName(), L"l");

    // Multi-line item text drops the single-line flag.
    list.SetAttribute(L"itemmultiline", L"true");
    EXPECT_EQ(info->uTextStyle & (DT_SINGLELINE | DT_WORDBREAK), static_cast<UINT>(DT_WORDBREAK));
}

TEST(ListAttributes, ComboHeaderItemAndTreeStoreTheirOwn)
{
    ScopedDpi dpi(96);
    CComboUI combo;
    combo.SetAttributeList(L"textpadding=\"4,1,2,3\" showtext=\"false\" normalimage=\"n.png\" hotimage=\"h.png\" "
                           L"pushedimage=\"p.png\" focusedimage=\"f.png\" disabledimage=\"d.png\" "
                           L"dropboxsize=\"120,90\" itemheight=\"22\" width=\"50\"");
    combo.SetAttribute(L"dropbox", L"bkcolor=\"#FFFFFFFF\"");
    EXPECT_EQ(testsupport::R(combo.GetTextPadding()), (testsupport::Rect{4, 1, 2, 3}));
    EXPECT_FALSE(combo.IsShowText());
    EXPECT_STREQ(combo.GetNormalImage(), L"n.png");
    EXPECT_STREQ(combo.GetHotImage(), L"h.png");
    EXPECT_STREQ(combo.GetPushedImage(), L"p.png");
    EXPECT_STREQ(combo.GetFocusedImage(), L"f.png");
    EXPECT_STREQ(combo.GetDisabledImage(), L"d.png");
    EXPECT_EQ(combo.GetDropBoxAttributeList(), L"bkcolor=\"#FFFFFFFF\"");
    EXPECT_EQ(combo.GetDropBoxSize().cx, 120);
    EXPECT_EQ(combo.GetDropBoxSize().cy, 90);
    EXPECT_EQ(combo.GetListInfo()->nItemHeight, 22);
    EXPECT_EQ(combo.GetFixedWidth(), 50);

    CListHeaderItemUI item;
    item.SetAttributeList(L"dragable=\"false\" sepwidth=\"-3\" sepcolor=\"#FF010203\" textcolor=\"#FF040506\" "
                          L"align=\"right\" font=\"1\" showhtml=\"true\" normalimage=\"n.png\" sepimage=\"s.png\" "
                          L"text=\"Name\"");
    EXPECT_FALSE(item.IsDragable());
    EXPECT_EQ(item.GetSepWidth(), -3);
    EXPECT_EQ(item.GetSepColor(), 0xFF010203u);
    EXPECT_EQ(item.GetTextColor(), 0xFF040506u);
    EXPECT_EQ(item.GetTextStyle() & (DT_CENTER | DT_RIGHT), static_cast<UINT>(DT_RIGHT));
    EXPECT_EQ(item.GetFont(), 1);
    EXPECT_TRUE(item.IsShowHtml());
    EXPECT_STREQ(item.GetNormalImage(), L"n.png");
    EXPECT_STREQ(item.GetSepImage(), L"s.png");
    EXPECT_EQ(item.GetText(), L"Name");

    CTreeViewUI tree;
    tree.SetAttributeList(L"visiblefolderbtn=\"false\" visiblecheckbtn=\"true\" itemminwidth=\"120\"");
    EXPECT_FALSE(tree.IsVisibleFolderBtn());
    EXPECT_TRUE(tree.IsVisibleCheckBtn());
    EXPECT_EQ(tree.GetItemMinWidth(), 120);

    CTreeNodeUI node;
    node.SetAttributeList(L"text=\"Root\" itemtextcolor=\"#FF0A0B0C\" selitemtextcolor=\"#FF0D0E0F\" "
                          L"selected=\"true\"");
    node.SetAttribute(L"folderattr", L"width=\"30\"");
    node.SetAttribute(L"horizattr", L"inset=\"1,1,1,1\"");
    EXPECT_EQ(node.GetItemText(), L"Root");
    EXPECT_EQ(node.GetItemButton()->GetTextColor(), 0xFF0A0B0C);
    EXPECT_EQ(node.GetItemButton()->GetSelectedTextColor(), 0xFF0D0E0F);
    EXPECT_EQ(node.GetFolderButton()->GetFixedWidth(), 30);
    EXPECT_EQ(node.GetTreeNodeHorizontal()->GetInset().left, 1);
    EXPECT_TRUE(node.IsSelected());
    EXPECT_TRUE(node.GetItemButton()->IsSelected());
}

TEST(ListRows, RowsAreIndexedAndTheSelectionFollowsInsertsAndRemovals)
{
    CListUI list;
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(list.Add(new CListLabelElementUI));
    auto item = [&](int i) { return AsListItem(list.GetItemAt(i)); };
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(item(i)->GetIndex(), i);
        EXPECT_EQ(item(i)->GetOwner(), static_cast<IListOwnerUI*>(&list));
    }
    // The rows are the body's, not the list's own children.
    EXPECT_EQ(list.GetList()->GetCount(), 4);
    EXPECT_EQ(list.GetList()->GetItemAt(0), list.GetItemAt(0));

    EXPECT_TRUE(list.SelectItem(2, false, false));
    EXPECT_TRUE(item(2)->IsSelected());
    ASSERT_TRUE(list.AddAt(new CListLabelElementUI, 0));
    EXPECT_EQ(list.GetCurSel(), 3);
    EXPECT_EQ(item(3)->GetIndex(), 3);
    EXPECT_TRUE(item(3)->IsSelected());

    ASSERT_TRUE(list.RemoveAt(0));
    EXPECT_EQ(list.GetCurSel(), 2);
    EXPECT_EQ(item(0)->GetIndex(), 0);

    CControlUI* selected = list.GetItemAt(2);
    ASSERT_TRUE(list.SetItemIndex(selected, 0));
    EXPECT_EQ(list.GetCurSel(), 0);
    EXPECT_EQ(item(2)->GetIndex(), 2);

    ASSERT_TRUE(list.Remove(selected));
    EXPECT_EQ(list.GetCurSel(), -1);
    EXPECT_EQ(list.GetCount(), 3);

    // A row that selects itself becomes the list's selection.
    item(1)->Select(true);
    EXPECT_EQ(list.GetCurSel(), 1);
    // A hidden selected row clears it.
    list.GetItemAt(1)->SetVisible(false);
    EXPECT_EQ(list.GetCurSel(), -1);
    EXPECT_FALSE(list.SelectItem(1));

    // Header items go to the header, a skin header replaces the empty one.
    auto* header = new CListHeaderUI;
    EXPECT_TRUE(list.Add(header));
    EXPECT_EQ(list.GetHeader(), header);
    EXPECT_TRUE(list.Add(new CListHeaderItemUI));
    EXPECT_EQ(header->GetCount(), 1);
    EXPECT_EQ(list.GetCount(), 3);
    // A second header is refused once the header has columns.
    auto* second = new CListHeaderUI;
    EXPECT_FALSE(list.Add(second));
    second->Delete();
}

TEST(ListRows, RowBackgroundsFollowTheStateAndTheItemAttributes)
{
    ScopedDpi dpi(96);
    testsupport::DibCanvas canvas(100, 100);
    canvas.Fill(0);
    CListUI list;
    list.SetAttributeList(L"itemheight=\"20\" itembkcolor=\"#FFFF0000\" itemselectedbkcolor=\"#FF0000FF\" "
                          L"itemdisabledbkcolor=\"#FF808080\" itemaltbk=\"true\" itemhlinesize=\"1\" "
                          L"itemhlinecolor=\"#FF00FF00\"");
    for (int i = 0; i < 4; ++i)
        list.Add(new CListLabelElementUI);
    list.SetPos(RECT{0, 0, 100, 100});
    list.SelectItem(2);
    list.GetItemAt(3)->SetEnabled(false);
    list.Paint(canvas.Dc(), RECT{0, 0, 100, 100}, nullptr);

    EXPECT_EQ(canvas.Rgb(50, 10), 0xFF0000u); // even row
    EXPECT_EQ(canvas.Rgb(50, 30), 0x000000u); // odd row: no background
    EXPECT_EQ(canvas.Rgb(50, 50), 0x0000FFu); // selected
    EXPECT_EQ(canvas.Rgb(50, 70), 0x808080u); // disabled
    EXPECT_EQ(canvas.Rgb(50, 19), 0x00FF00u); // the line under a row
    EXPECT_EQ(canvas.Rgb(50, 90), 0x000000u); // below the rows
}

} // namespace
