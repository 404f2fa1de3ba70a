// Mark-up that is cut off, nested deeply or unbalanced: the token reader
// never reads past the terminator, stacks grow and unwind safely, and the
// caller's device context comes back unchanged.
#include "TextTestSupport.h"

#include "../support/GdiObjectCount.h"

#include "render/HtmlTextLayout.h"
#include "render/HtmlTextTokens.h"

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

using namespace Facet;
using namespace Facet::htmltext;
using namespace testsupport;

namespace {

// Text placed so that its terminator is the last character before a page
// that may not be read: any read past the end faults.
class GuardedText
{
public:
    explicit GuardedText(const wchar_t* text)
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        m_page = info.dwPageSize;
        m_block = static_cast<BYTE*>(VirtualAlloc(nullptr, 2 * m_page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(m_block + m_page, m_page, PAGE_NOACCESS, &old);
        const size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
        m_text = reinterpret_cast<wchar_t*>(m_block + m_page - bytes);
        std::memcpy(m_text, text, bytes);
    }
    ~GuardedText() { VirtualFree(m_block, 0, MEM_RELEASE); }
    GuardedText(const GuardedText&) = delete;
    GuardedText& operator=(const GuardedText&) = delete;
    const wchar_t* Get() const { return m_text; }

private:
    DWORD m_page = 0;
    BYTE* m_block = nullptr;
    wchar_t* m_text = nullptr;
};

std::vector<Token> ReadAll(const wchar_t* text)
{
    std::vector<Token> tokens;
    TokenReader reader(text);
    for (Token token = reader.Next(); token.kind != TokenKind::End; token = reader.Next())
        tokens.push_back(token);
    return tokens;
}

std::wstring TextOf(const Token& token)
{
    return std::wstring(token.text, token.length);
}

TEST(MarkupTokens, TagsCutOffAtTheEndAreReadWithinTheText)
{
    const wchar_t* cutOff[] = {L"{c #FF", L"<a", L"{i name 3", L"x{", L"x<",      L"{/",        L"</b",      L"{/b",
                               L"<{",     L"{<", L"<{>",       L"{a", L"{a link", L"{r}raw{/r", L"{r}raw</", L"{"};
    for (const wchar_t* text : cutOff) {
        GuardedText guarded(text);
        const std::vector<Token> tokens = ReadAll(guarded.Get());
        EXPECT_FALSE(tokens.empty()) << "text: " << testing::PrintToString(std::wstring(text));
        for (const Token& token : tokens) {
            if (token.length > 0) {
                EXPECT_GE(token.text, guarded.Get());
                EXPECT_LE(token.text + token.length, guarded.Get() + std::wcslen(text));
            }
        }
    }

    GuardedText colour(L"{c #FF");
    std::vector<Token> tokens = ReadAll(colour.Get());
    ASSERT_EQ(tokens.size(), 1u);
    EXPECT_EQ(tokens[0].kind, TokenKind::OpenTag);
    EXPECT_EQ(tokens[0].letter, L'c');
    EXPECT_EQ(TextOf(tokens[0]), L"#FF");

    GuardedText link(L"<a");
    tokens = ReadAll(link.Get());
    ASSERT_EQ(tokens.size(), 1u);
    EXPECT_EQ(tokens[0].kind, TokenKind::Text);
    EXPECT_EQ(TextOf(tokens[0]), L"<a");

    GuardedText raw(L"{r}a{b}{/r");
    tokens = ReadAll(raw.Get());
    ASSERT_EQ(tokens.size(), 2u);
    EXPECT_EQ(tokens[1].kind, TokenKind::Text);
    EXPECT_EQ(TextOf(tokens[1]), L"a{b}{/r");
}

TEST(MarkupTokens, RunsSpacesBreaksAndTagsAreSeparated)
{
    const std::vector<Token> tokens = ReadAll(L"ab cd\n{b}e<{>f{/b}{i x.png 2 1}");
    const TokenKind kinds[] = {TokenKind::Text,     TokenKind::Space,  TokenKind::Text, TokenKind::LineBreak,
                               TokenKind::OpenTag,  TokenKind::Text,   TokenKind::Text, TokenKind::Text,
                               TokenKind::CloseTag, TokenKind::OpenTag};
    ASSERT_EQ(tokens.size(), sizeof(kinds) / sizeof(kinds[0]));
    for (size_t i = 0; i < tokens.size(); ++i)
        EXPECT_EQ(tokens[i].kind, kinds[i]) << "token " << i;
    EXPECT_EQ(TextOf(tokens[6]), L"{");
    EXPECT_FALSE(tokens[4].spaced);
    EXPECT_TRUE(tokens[9].spaced);
    EXPECT_EQ(TextOf(tokens[9]), L"x.png 2 1");
}

class HtmlRobustness : public TextTest
{
};

TEST_F(HtmlRobustness, CutOffTagsDrawWithoutReadingPastTheText)
{
    const wchar_t* cutOff[] = {L"text {c #FF", L"text <a", L"text {i name 3", L"{f ", L"{f 2",   L"{v",
                               L"{x 1",        L"{y",      L"{p 3",           L"a{/", L"{a link"};
    for (const wchar_t* text : cutOff) {
        RECT rects[2] = {};
        CFacetString texts[2];
        int count = 2;
        RECT rc = {0, 0, 400, 200};
        CRenderEngine::DrawHtmlText(m_canvas.Dc(), &m_manager, rc, text, 0xFF000000, rects, texts, count, kNormalFont,
                                    DT_WORDBREAK);
        EXPECT_LE(count, 1);
    }
    RECT rects[2] = {};
    CFacetString texts[2];
    int count = 2;
    RECT rc = {0, 0, 400, 200};
    CRenderEngine::DrawHtmlText(m_canvas.Dc(), &m_manager, rc, L"see {a link", 0xFF000000, rects, texts, count,
                                kNormalFont, 0);
    EXPECT_EQ(count, 1);
    EXPECT_STREQ(texts[0].GetData(), L"link");
}

TEST_F(HtmlRobustness, DeepNestingAndStrayEndTagsAreHarmless)
{
    std::wstring text;
    for (int i = 0; i < 3000; ++i)
        text += L"{c #FF00FF00}{b}{v top}{a x}";
    text += L"WWW";
    for (int i = 0; i < 3000; ++i)
        text += L"{/a}{/v}{/b}{/c}";
    // More end tags than start tags: the base colour and font stay.
    text += L"{/c}{/c}{/b}{/f}{/a}{/v}{/p}{/s}{/i}{/u}MMM";
    Draw(text.c_str(), RECT{0, 0, 400, 200});
    const RECT all = {0, 0, 400, 200};
    // Nested links use the link colour; after them the base colour is back.
    EXPECT_GT(CountPixels(m_canvas, all, [&](uint32_t p) { return IsNear(p, m_manager.GetDefaultLinkFontColor()); }),
              5);
    EXPECT_GT(CountPixels(m_canvas, all, [](uint32_t p) { return IsNear(p, 0x000000); }), 5);
    // The nested bold derived one font, found again each time.
    EXPECT_LE(m_manager.GetCustomFontCount(), 6);
}

TEST_F(HtmlRobustness, LinesAreNeverCutInsideASurrogatePair)
{
    std::wstring text;
    for (int i = 0; i < 40; ++i)
        text += L"\xD83D\xDE00"; // U+1F600, one character in two code units
    for (const bool wordBreak : {false, true}) {
        LayoutOptions options;
        options.width = 45;
        options.wordBreak = wordBreak;
        StyleState style(m_manager.GetFontInfo(kNormalFont), 0xFF000000);
        LinkTable links(nullptr, nullptr, 0);
        Layout layout(m_canvas.Dc(), &m_manager, options, style, links, CFacetString());
        layout.Run(text.c_str());
        ASSERT_GT(layout.Lines().size(), 1u);
        int total = 0;
        for (const Line& line : layout.Lines()) {
            for (const Piece& piece : line.pieces) {
                EXPECT_EQ(piece.length % 2, 0);
                EXPECT_EQ((piece.text - text.c_str()) % 2, 0);
                total += piece.length;
            }
        }
        EXPECT_EQ(total, static_cast<int>(text.size()));
    }
}

TEST_F(HtmlRobustness, TheContextComesBackAsItWas)
{
    HDC dc = m_canvas.Dc();
    HRGN callerClip = CreateRectRgn(10, 10, 220, 190);
    SelectClipRgn(dc, callerClip);
    DeleteObject(callerClip);
    SetTextColor(dc, RGB(9, 8, 7));
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(1, 1, 1));
    SetTextAlign(dc, TA_BASELINE);
    const HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
    const wchar_t* text = L"{b}x{/b} {s}sel{/s} {a l}link{/a} {f 2}big{/f} {f Tahoma 20 italic}face{/f}";
    const auto drawOnce = [&] {
        RECT rects[2] = {};
        CFacetString texts[2];
        int count = 2;
        RECT rc = {0, 0, 400, 200};
        CRenderEngine::DrawHtmlText(dc, &m_manager, rc, text, 0xFF000000, rects, texts, count, kNormalFont,
                                    DT_CENTER | DT_VCENTER);
        RECT plain = {0, 0, 400, 200};
        CRenderEngine::DrawText(dc, &m_manager, plain, L"plain", 0xFF000000, kBigFont, DT_SINGLELINE);
    };
    // The first draw adds the fonts the mark-up asks for to the manager's table.
    drawOnce();
    const DWORD objectsBefore = testsupport::CountGdiObjects();
    for (int i = 0; i < 20; ++i)
        drawOnce();
    const DWORD objectsAfter = testsupport::CountGdiObjects();

    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
    EXPECT_EQ(GetTextColor(dc), RGB(9, 8, 7));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(GetBkColor(dc), RGB(1, 1, 1));
    EXPECT_EQ(GetTextAlign(dc), static_cast<UINT>(TA_BASELINE));
    RECT box = {};
    GetClipBox(dc, &box);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.top, 10);
    EXPECT_EQ(box.right, 220);
    EXPECT_EQ(box.bottom, 190);
    // Drawing stayed inside the caller's clip (the centred text reaches
    // beyond x = 220 when not clipped).
    const RECT ink = InkBox(m_canvas);
    EXPECT_FALSE(IsRectEmpty(&ink));
    EXPECT_TRUE(Contains(RECT{10, 10, 220, 190}, ink));
    EXPECT_GE(ink.right, 215);
    // No GDI object (font, region, brush) is left behind.
    ASSERT_GT(objectsBefore, 0u);
    EXPECT_EQ(objectsAfter, objectsBefore);
    SelectClipRgn(dc, nullptr);
}

} // namespace
