// Parsing skin documents from text: structure, attributes, entities, errors.
#include "core/Markup.h"

#include "MarkupTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using Facet::CMarkup;
using Facet::CMarkupNode;
using testsupport::ErrorLocation;
using testsupport::ErrorMessage;

namespace {

std::wstring Nested(const std::wstring& name, unsigned int depth)
{
    std::wstring open, close;
    for (unsigned int i = 0; i < depth; ++i) {
        open += L"<" + name + L">";
        close += L"</" + name + L">";
    }
    return open + close;
}

} // namespace

TEST(MarkupParse, WindowWithButtonDecodesAttributeAndHasEmptyValue)
{
    CMarkup markup;
    ASSERT_TRUE(markup.Load(L"<Window><Button text=\"a &amp; b\"/></Window>"));
    CMarkupNode root = markup.GetRoot();
    ASSERT_TRUE(root.IsValid());
    EXPECT_STREQ(root.GetName(), L"Window");
    EXPECT_STREQ(root.GetValue(), L"");
    EXPECT_FALSE(root.HasAttributes());
    EXPECT_FALSE(root.HasSiblings());

    CMarkupNode button = root.GetChild();
    ASSERT_TRUE(button.IsValid());
    EXPECT_STREQ(button.GetName(), L"Button");
    EXPECT_STREQ(button.GetValue(), L"");
    EXPECT_EQ(button.GetAttributeCount(), 1);
    EXPECT_STREQ(button.GetAttributeName(0), L"text");
    EXPECT_STREQ(button.GetAttributeValue(L"text"), L"a & b");
    EXPECT_FALSE(button.HasChildren());
    EXPECT_FALSE(button.GetSibling().IsValid());
    EXPECT_STREQ(button.GetParent().GetName(), L"Window");
    EXPECT_FALSE(root.GetParent().IsValid());
}

TEST(MarkupParse, MissingRootEndTagAndSeveralTopLevelElements)
{
    CMarkup markup;
    ASSERT_TRUE(markup.Load(L"<Window><Button/>"));
    EXPECT_STREQ(markup.GetRoot().GetChild().GetName(), L"Button");

    ASSERT_TRUE(markup.Load(L"<First a=\"1\"/>\r\n<Second/>"));
    CMarkupNode root = markup.GetRoot();
    EXPECT_STREQ(root.GetName(), L"First");
    ASSERT_TRUE(root.HasSiblings());
    EXPECT_STREQ(root.GetSibling().GetName(), L"Second");
    EXPECT_FALSE(root.GetSibling().GetParent().IsValid());

    // The document may end inside the root's text: name and text stay separate.
    ASSERT_TRUE(markup.Load(L"<Window>some &lt;text&gt;"));
    EXPECT_STREQ(markup.GetRoot().GetName(), L"Window");
    EXPECT_STREQ(markup.GetRoot().GetValue(), L"some <text>");
}

TEST(MarkupParse, RootTextEndsBeforeItsChildrenWhenTheRootEndTagIsMissing)
{
    CMarkup markup;
    ASSERT_TRUE(markup.Load(L"<Window>a&amp;b<Button/>"));
    EXPECT_STREQ(markup.GetRoot().GetValue(), L"a&b");
    EXPECT_STREQ(markup.GetRoot().GetChild().GetName(), L"Button");

    // A closed child in between, and an element name right after the text.
    ASSERT_TRUE(markup.Load(L"<Window>x &lt; y<VBox>in</VBox><Label/>"));
    EXPECT_STREQ(markup.GetRoot().GetValue(), L"x < y");
    EXPECT_STREQ(markup.GetRoot().GetChild().GetValue(), L"in");
    EXPECT_STREQ(markup.GetRoot().GetChild().GetSibling().GetName(), L"Label");
}

TEST(MarkupParse, DeclarationAndCommentsAreSkipped)
{
    CMarkup markup;
    ASSERT_TRUE(markup.Load(L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!-- skin -->\n"
                            L"<Window><!-- first --><A/><!-- between --><B/><!-- last --></Window>\n<!-- after -->"));
    CMarkupNode root = markup.GetRoot();
    EXPECT_STREQ(root.GetName(), L"Window");
    EXPECT_STREQ(root.GetChild().GetName(), L"A");
    EXPECT_STREQ(root.GetChild().GetSibling().GetName(), L"B");
    EXPECT_FALSE(root.GetChild().GetSibling().HasSiblings());

    // Anything that starts with "!" ends at the first "->".
    ASSERT_TRUE(markup.Load(L"<!DOCTYPE x -><Window/>"));
    EXPECT_STREQ(markup.GetRoot().GetName(), L"Window");
    // An unterminated comment runs to the end: the document has no element.
    ASSERT_TRUE(markup.Load(L"<!-- open <Window/>"));
    EXPECT_FALSE(markup.GetRoot().IsValid());
}

TEST(MarkupParse, EmptyTextLoadsWithoutRootAndNullFails)
{
    CMarkup markup;
    ASSERT_TRUE(markup.Load(L"  \r\n "));
    EXPECT_TRUE(markup.IsValid());
    EXPECT_FALSE(markup.GetRoot().IsValid());

    EXPECT_FALSE(markup.Load(nullptr));
    EXPECT_FALSE(markup.IsValid());
    EXPECT_FALSE(ErrorMessage(markup).empty());
}

TEST(MarkupParse, TextContentAndChildren)
{
    CMarkup markup;
    ASSERT_TRUE(markup.Load(L"<List>head &quot;x&quot;<Item>one</Item><Item>two</Item></List>"));
    CMarkupNode list = markup.GetRoot();
    EXPECT_STREQ(list.GetValue(), L"head \"x\"");
    CMarkupNode first = list.GetChild(L"Item");
    EXPECT_STREQ(first.GetValue(), L"one");
    EXPECT_STREQ(first.GetSibling().GetValue(), L"two");
    EXPECT_STREQ(first.GetName(), L"Item");

    ASSERT_TRUE(markup.Load(L"<A></A>"));
    EXPECT_STREQ(markup.GetRoot().GetValue(), L"");
    ASSERT_TRUE(markup.Load(L"<A  >x</ A >"));
    EXPECT_STREQ(markup.GetRoot().GetName(), L"A");
    EXPECT_STREQ(markup.GetRoot().GetValue(), L"x");
}

TEST(MarkupParse, ElementNamesTakeLettersDigitsUnderscoreAndColon)
{
    CMarkup markup;
    ASSERT_TRUE(markup.Load(L"<ns:Item_2 a=\"1\"/>"));
    EXPECT_STREQ(markup.GetRoot().GetName(), L"ns:Item_2");
    EXPECT_STREQ(markup.GetRoot().GetAttributeValue(L"a"), L"1");
    // "-" ends the name and the rest reads as attributes.
    EXPECT_FALSE(markup.Load(L"<a-b/>"));
    EXPECT_EQ(ErrorMessage(markup), L"Error while parsing attributes");
}

TEST(MarkupParse, ChildAndAttributeLookupIsCaseSensitive)
{
    CMarkup markup;
    ASSERT_TRUE(markup.Load(L"<Window><button/><Button Text=\"T\" text=\"t\"/></Window>"));
    CMarkupNode root = markup.GetRoot();
    CMarkupNode button = root.GetChild(L"Button");
    ASSERT_TRUE(button.IsValid());
    EXPECT_FALSE(button.HasSiblings());
    EXPECT_STREQ(button.GetAttributeValue(L"text"), L"t");
    EXPECT_STREQ(button.GetAttributeValue(L"Text"), L"T");
    EXPECT_TRUE(button.HasAttribute(L"Text"));
    EXPECT_FALSE(button.HasAttribute(L"TEXT"));
    EXPECT_STREQ(button.GetAttributeValue(L"TEXT"), L"");
    EXPECT_FALSE(root.GetChild(L"BUTTON").IsValid());
}

TEST(MarkupParse, AttributesInDocumentOrderWithIndexAndBufferAccess)
{
    CMarkup markup;
    ASSERT_TRUE(markup.Load(L"<A x = \"&lt;&gt;\"\ty=\"2\"\r\n z=\"\" w=\"&amp;&amp;&amp;end\">body</A>"));
    CMarkupNode node = markup.GetRoot();
    ASSERT_EQ(node.GetAttributeCount(), 4);
    EXPECT_STREQ(node.GetAttributeName(0), L"x");
    EXPECT_STREQ(node.GetAttributeValue(0), L"<>");
    EXPECT_STREQ(node.GetAttributeName(1), L"y");
    EXPECT_STREQ(node.GetAttributeValue(1), L"2");
    EXPECT_STREQ(node.GetAttributeName(2), L"z");
    EXPECT_STREQ(node.GetAttributeValue(2), L"");
    EXPECT_STREQ(node.GetAttributeValue(3), L"&&&end");
    EXPECT_STREQ(node.GetValue(), L"body");

    // Out of range: empty text, not null.
    ASSERT_NE(node.GetAttributeName(4), nullptr);
    EXPECT_STREQ(node.GetAttributeName(4), L"");
    EXPECT_STREQ(node.GetAttributeValue(-1), L"");

    wchar_t buffer[8];
    EXPECT_TRUE(node.GetAttributeValue(3, buffer, 8));
    EXPECT_STREQ(buffer, L"&&&end");
    EXPECT_TRUE(node.GetAttributeValue(L"w", buffer, 4)); // cut to fit, terminated
    EXPECT_STREQ(buffer, L"&&&");
    EXPECT_FALSE(node.GetAttributeValue(4, buffer, 8));
    EXPECT_FALSE(node.GetAttributeValue(L"missing", buffer, 8));
}

TEST(MarkupParse, AtMostSixtyFourAttributesAreVisible)
{
    std::wstring xml = L"<Control";
    for (int i = 0; i < 65; ++i)
        xml += L" a" + std::to_wstring(i) + L"=\"v" + std::to_wstring(i) + L"\"";
    xml += L"/>";
    CMarkup markup;
    ASSERT_TRUE(markup.Load(xml.c_str()));
    CMarkupNode node = markup.GetRoot();
    EXPECT_EQ(node.GetAttributeCount(), 64);
    EXPECT_STREQ(node.GetAttributeValue(L"a63"), L"v63");
    EXPECT_STREQ(node.GetAttributeName(63), L"a63");
    EXPECT_FALSE(node.HasAttribute(L"a64"));
}

TEST(MarkupParse, EntitiesAndWhitespace)
{
    CMarkup markup;
    ASSERT_TRUE(markup.Load(L"<A v=\"&lt;&gt;&amp;&quot;&apos;|&#65;|&amp|&unknown;|a  \t\nb\"/>"));
    EXPECT_STREQ(markup.GetRoot().GetAttributeValue(L"v"), L"<>&\"'|&#65;|&amp|&unknown;|a  \t\nb");

    // Without preserved whitespace a space swallows the whitespace that follows it.
    markup.SetPreserveWhitespace(false);
    ASSERT_TRUE(markup.Load(L"<A v=\"a  \t\nb\tc\">x \r\n y</A>"));
    EXPECT_STREQ(markup.GetRoot().GetAttributeValue(L"v"), L"a b\tc");
    EXPECT_STREQ(markup.GetRoot().GetValue(), L"x y");

    // Entities cut short by the end of the text.
    markup.SetPreserveWhitespace(true);
    ASSERT_TRUE(markup.Load(L"<A>&am"));
    EXPECT_STREQ(markup.GetRoot().GetValue(), L"&am");
    ASSERT_TRUE(markup.Load(L"<A>x&"));
    EXPECT_STREQ(markup.GetRoot().GetValue(), L"x&");
    EXPECT_FALSE(markup.Load(L"<A v=\"&amp"));
    EXPECT_EQ(ErrorMessage(markup), L"Error while parsing attribute string");
}

TEST(MarkupParse, LargeDocumentsGrowTheElementTable)
{
    std::wstring xml = L"<Root>";
    for (int i = 0; i < 3000; ++i)
        xml += L"<Item n=\"" + std::to_wstring(i) + L"\"><Sub/></Item>";
    xml += L"</Root>";
    CMarkup markup;
    ASSERT_TRUE(markup.Load(xml.c_str()));
    int count = 0;
    for (CMarkupNode item = markup.GetRoot().GetChild(); item.IsValid(); item = item.GetSibling()) {
        ASSERT_EQ(std::wstring(item.GetAttributeValue(L"n")), std::to_wstring(count));
        ASSERT_STREQ(item.GetChild().GetName(), L"Sub");
        ++count;
    }
    EXPECT_EQ(count, 3000);
}

TEST(MarkupParse, NestingIsCappedWithAnError)
{
    CMarkup markup;
    const std::wstring deepest = Nested(L"a", CMarkup::kMaxDepth);
    ASSERT_TRUE(markup.Load(deepest.c_str()));
    CMarkupNode node = markup.GetRoot();
    unsigned int depth = 0;
    for (; node.IsValid(); node = node.GetChild())
        ++depth;
    EXPECT_EQ(depth, CMarkup::kMaxDepth);

    const std::wstring tooDeep = Nested(L"a", CMarkup::kMaxDepth + 1);
    EXPECT_FALSE(markup.Load(tooDeep.c_str()));
    EXPECT_EQ(ErrorMessage(markup), L"Elements nested too deeply");
    EXPECT_EQ(ErrorLocation(markup).substr(0, 5), L"a></a");

    // Far deeper than the cap, unclosed: still an error, not a stack overflow.
    std::wstring flood;
    for (int i = 0; i < 200000; ++i)
        flood += L"<b>";
    EXPECT_FALSE(markup.Load(flood.c_str()));
    EXPECT_EQ(ErrorMessage(markup), L"Elements nested too deeply");
}

struct ErrorCase
{
    const wchar_t* xml;
    const wchar_t* message;
    const wchar_t* location;
};

TEST(MarkupParse, EveryParseErrorWithItsLocation)
{
    const ErrorCase cases[] = {
        {L"  x<Window/>", L"Expected start tag", L"x<Window/>"},
        {L"<A/>junk", L"Expected start tag", L"junk"},
        {L"<A><B><C/>", L"Expected start tag", L""},
        {L"<Window", L"Error parsing element name", L""},
        {L"<", L"Error parsing element name", L""},
        {L"<Window /x>", L"Expected start-tag closing", L"/x>"},
        {L"<A><B><C>text", L"Expected end-tag start", L""},
        {L"<A>x</B>", L"Unmatched closing tag", L"B>"},
        {L"<Window>x</Win>", L"Unmatched closing tag", L"Win>"},
        {L"<A>x</A x>", L"Unmatched closing tag", L">"},
        {L"<A></A", L"Unmatched closing tag", L""},
        {L"<A b>", L"Error while parsing attributes", L">"},
        {L"<A b c=\"1\"/>", L"Error while parsing attributes", L"c=\"1\"/>"},
        {L"<A b='1'/>", L"Expected attribute value", L"'1'/>"},
        {L"<A b=>", L"Expected attribute value", L">"},
        {L"<A b=\"1", L"Error while parsing attribute string", L""},
    };
    for (const ErrorCase& c : cases) {
        CMarkup markup;
        EXPECT_FALSE(markup.Load(c.xml)) << c.xml;
        EXPECT_EQ(ErrorMessage(markup), c.message) << c.xml;
        EXPECT_EQ(ErrorLocation(markup), c.location) << c.xml;
        EXPECT_FALSE(markup.IsValid()) << c.xml;
        EXPECT_FALSE(markup.GetRoot().IsValid()) << c.xml;
    }
}

TEST(MarkupParse, ErrorTextsAreCutAndTerminatedWithinTheBuffer)
{
    std::wstring xml = L"?";
    for (int i = 0; i < 100; ++i)
        xml += static_cast<wchar_t>(L'a' + i % 26);
    CMarkup markup;
    ASSERT_FALSE(markup.Load(xml.c_str()));
    EXPECT_EQ(ErrorLocation(markup), xml.substr(0, 49));

    wchar_t small[6];
    for (wchar_t& c : small)
        c = L'#';
    markup.GetLastErrorMessage(small, 5);
    EXPECT_STREQ(small, L"Expe");
    EXPECT_EQ(small[5], L'#');
    markup.GetLastErrorLocation(small, 1);
    EXPECT_STREQ(small, L"");
    small[0] = L'#';
    markup.GetLastErrorMessage(small, 0);
    EXPECT_EQ(small[0], L'#');

    // A successful load clears the texts.
    ASSERT_TRUE(markup.Load(L"<A/>"));
    EXPECT_EQ(ErrorMessage(markup), L"");
    EXPECT_EQ(ErrorLocation(markup), L"");
}

TEST(MarkupParse, ReleasedDocumentHasNoRootAndOldNodesGoInvalid)
{
    CMarkup markup(L"<Window a=\"1\"><Child/></Window>");
    ASSERT_TRUE(markup.IsValid());
    CMarkupNode root = markup.GetRoot();
    ASSERT_TRUE(root.GetChild().IsValid());

    markup.Release();
    EXPECT_FALSE(markup.IsValid());
    EXPECT_FALSE(markup.GetRoot().IsValid());
    EXPECT_EQ(root.GetName(), nullptr);
    EXPECT_EQ(root.GetAttributeCount(), 0);
    EXPECT_FALSE(root.GetChild().IsValid());

    CMarkupNode none;
    EXPECT_FALSE(none.IsValid());
    EXPECT_EQ(none.GetName(), nullptr);
    EXPECT_EQ(none.GetValue(), nullptr);
    EXPECT_EQ(none.GetAttributeValue(L"a"), nullptr);
    EXPECT_FALSE(none.HasAttribute(L"a"));
    EXPECT_FALSE(none.HasChildren());
    EXPECT_FALSE(none.GetParent().IsValid());
    EXPECT_FALSE(none.GetChild(L"x").IsValid());
}

TEST(MarkupParse, FailedLoadReplacesAnEarlierDocument)
{
    CMarkup markup(L"<Window/>");
    ASSERT_TRUE(markup.GetRoot().IsValid());
    EXPECT_FALSE(markup.Load(L"<Window attr/>"));
    EXPECT_FALSE(markup.GetRoot().IsValid());
    EXPECT_EQ(ErrorMessage(markup), L"Error while parsing attributes");
}

namespace {

struct PlaceCase
{
    const wchar_t* xml;
    int line;
    int column;
};

TEST(MarkupParse, ErrorsCarryTheLineAndColumnWhereTheParseStopped)
{
    const PlaceCase cases[] = {
        {L"  x<Window/>", 1, 3},
        {L"<A/>\njunk", 2, 1},
        // A newline right after a name and one inside a value with entities
        // before it are counted although the parse overwrites or moves them.
        {L"<Window\n  size=\"1,1\"\n  caption='0'/>", 3, 11},
        {L"<A t=\"&amp;&lt;\n\"\n b c=\"1\"/>", 3, 4},
        {L"<A>\r\n  <B>\r\n  </C>\r\n</A>", 3, 5},
        // At the end of the text: the place after its last character.
        {L"<A>\n<B>\n<C/>", 3, 5},
        {L"<A b=\"1", 1, 8},
        {L"<A>x</A x>", 1, 10},
    };
    for (const PlaceCase& c : cases) {
        CMarkup markup;
        EXPECT_FALSE(markup.Load(c.xml)) << c.xml;
        EXPECT_EQ(c.line, markup.GetLastErrorLine()) << c.xml;
        EXPECT_EQ(c.column, markup.GetLastErrorColumn()) << c.xml;
    }

    // A good load, and a failure that names no text, have no place.
    CMarkup markup;
    ASSERT_FALSE(markup.Load(L"\n\n<A b>"));
    ASSERT_EQ(3, markup.GetLastErrorLine());
    ASSERT_TRUE(markup.Load(L"<A/>"));
    EXPECT_EQ(0, markup.GetLastErrorLine());
    EXPECT_EQ(0, markup.GetLastErrorColumn());
    ASSERT_FALSE(markup.Load(nullptr));
    EXPECT_EQ(0, markup.GetLastErrorLine());
}

TEST(MarkupParse, ErrorPlacesFromBytesCountTheDecodedText)
{
    // UTF-8 with a byte-order mark and a two-byte character before the error:
    // columns count characters, not bytes, and the mark is no character.
    const std::string utf8 = "\xEF\xBB\xBF<A t=\"\xC3\xA9\"\n  u=\"\xC3\xA9\" v>";
    CMarkup markup;
    ASSERT_FALSE(markup.LoadFromMem(reinterpret_cast<unsigned char*>(const_cast<char*>(utf8.data())),
                                    static_cast<unsigned long>(utf8.size())));
    EXPECT_EQ(L"Error while parsing attributes", ErrorMessage(markup));
    EXPECT_EQ(2, markup.GetLastErrorLine());
    EXPECT_EQ(10, markup.GetLastErrorColumn());

    std::string utf16 = "\xFF\xFE";
    for (const wchar_t c : std::wstring(L"<A>\n<B x=1/></A>")) {
        utf16 += static_cast<char>(c & 0xFF);
        utf16 += static_cast<char>(c >> 8);
    }
    ASSERT_FALSE(
        markup.LoadFromMem(reinterpret_cast<unsigned char*>(&utf16[0]), static_cast<unsigned long>(utf16.size()), 1));
    EXPECT_EQ(L"Expected attribute value", ErrorMessage(markup));
    EXPECT_EQ(2, markup.GetLastErrorLine());
    EXPECT_EQ(6, markup.GetLastErrorColumn());
}

TEST(MarkupParse, NodesTellWhereTheyStandWhenTheDocumentKeepsLinePositions)
{
    const wchar_t xml[] = L"<?xml version=\"1.0\"?>\r\n<Window size=\"1,2\">\n"
                          L"\t<Button\n   name=\"a&amp;b\" text=\"x\"/>\n</Window>";
    CMarkup plain;
    ASSERT_TRUE(plain.Load(xml));
    int line = -1;
    int column = -1;
    EXPECT_FALSE(plain.GetRoot().GetPosition(line, column));

    CMarkup markup;
    markup.SetKeepLinePositions();
    ASSERT_TRUE(markup.Load(xml));
    CMarkupNode root = markup.GetRoot();
    ASSERT_TRUE(root.GetPosition(line, column));
    EXPECT_EQ(2, line);
    EXPECT_EQ(2, column);
    ASSERT_TRUE(root.GetAttributePosition(0, line, column));
    EXPECT_EQ(2, line);
    EXPECT_EQ(9, column);

    CMarkupNode button = root.GetChild();
    ASSERT_TRUE(button.GetPosition(line, column));
    EXPECT_EQ(3, line);
    EXPECT_EQ(3, column);
    ASSERT_TRUE(button.GetAttributePosition(1, line, column));
    EXPECT_STREQ(L"text", button.GetAttributeName(1));
    EXPECT_EQ(4, line);
    EXPECT_EQ(19, column);
    EXPECT_FALSE(button.GetAttributePosition(2, line, column));

    // Released with the document.
    markup.Release();
    EXPECT_FALSE(markup.GetLineColumn(0, line, column));
}

} // namespace

// A markup object keeps its blocks from one load to the next: a smaller
// document after a larger one, and a larger one after it, read only their own
// elements and attributes.
TEST(MarkupParse, EachLoadReadsOnlyItsOwnDocument)
{
    std::wstring large = L"<Window";
    for (int i = 0; i < 30; ++i)
        large += L" a" + std::to_wstring(i) + L"=\"" + std::wstring(50, L'x') + L"\"";
    large += L">";
    for (int i = 0; i < 600; ++i)
        large += L"<Button text=\"b" + std::to_wstring(i) + L"\"/>";
    large += L"</Window>";

    CMarkup markup;
    ASSERT_TRUE(markup.Load(large.c_str()));
    CMarkupNode node = markup.GetRoot();
    EXPECT_EQ(node.GetAttributeCount(), 30);
    ASSERT_TRUE(markup.Load(L"<Label a=\"1\"><Edit/></Label>"));
    node = markup.GetRoot();
    EXPECT_STREQ(node.GetName(), L"Label");
    ASSERT_EQ(node.GetAttributeCount(), 1);
    EXPECT_STREQ(node.GetAttributeName(0), L"a");
    EXPECT_STREQ(node.GetAttributeValue(1), L"");
    CMarkupNode child = node.GetChild();
    EXPECT_EQ(child.GetAttributeCount(), 0);
    EXPECT_STREQ(child.GetAttributeName(0), L"");
    EXPECT_FALSE(child.HasSiblings());

    ASSERT_TRUE(markup.Load(large.c_str()));
    node = markup.GetRoot().GetChild();
    int buttons = 0;
    for (; node.IsValid(); node = node.GetSibling()) {
        ASSERT_EQ(node.GetAttributeCount(), 1);
        EXPECT_EQ(std::wstring(node.GetAttributeValue(L"text")), L"b" + std::to_wstring(buttons));
        ++buttons;
    }
    EXPECT_EQ(buttons, 600);

    // A node that is not valid has no attributes at all.
    CMarkupNode none;
    EXPECT_EQ(none.GetAttributeName(0), nullptr);
    EXPECT_EQ(none.GetAttributeValue(0), nullptr);
    EXPECT_EQ(none.GetAttributeCount(), 0);
}
