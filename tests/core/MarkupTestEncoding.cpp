// Loading documents from bytes in UTF-8, UTF-16 (either byte order) and the ANSI code page.
#include "core/Markup.h"

#include "MarkupTestSupport.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

using Facet::CMarkup;
using testsupport::ErrorMessage;

namespace {

// Bytes in a page that cannot be written: a parser that writes into its input crashes.
class ReadOnlyBytes
{
public:
    explicit ReadOnlyBytes(const std::string& bytes) : m_size(bytes.size())
    {
        m_memory = static_cast<unsigned char*>(
            VirtualAlloc(nullptr, bytes.size() + 1, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        memcpy(m_memory, bytes.data(), bytes.size());
        DWORD old = 0;
        VirtualProtect(m_memory, bytes.size() + 1, PAGE_READONLY, &old);
    }
    ~ReadOnlyBytes() { VirtualFree(m_memory, 0, MEM_RELEASE); }
    unsigned char* Data() const { return m_memory; }
    unsigned long Size() const { return static_cast<unsigned long>(m_size); }

private:
    unsigned char* m_memory;
    size_t m_size;
};

std::string Utf16(const std::wstring& text, bool bigEndian, bool withMark = true)
{
    std::string bytes;
    if (withMark)
        bytes += bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (wchar_t c : text) {
        const char high = static_cast<char>((c >> 8) & 0xFF);
        const char low = static_cast<char>(c & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

const wchar_t kSkin[] = L"<Window caption=\"\u4F1A\u8BAE \u00E9\"><Label text=\"\u00FCber\"/></Window>";

void ExpectSkin(CMarkup& markup)
{
    ASSERT_TRUE(markup.GetRoot().IsValid());
    EXPECT_STREQ(markup.GetRoot().GetName(), L"Window");
    EXPECT_STREQ(markup.GetRoot().GetAttributeValue(L"caption"), L"\u4F1A\u8BAE \u00E9");
    EXPECT_STREQ(markup.GetRoot().GetChild().GetAttributeValue(L"text"), L"\u00FCber");
}

} // namespace

TEST(MarkupEncoding, Utf8WithAndWithoutByteOrderMarkLoadTheSame)
{
    // UTF-8 of kSkin, written out so that the test does not depend on the source encoding.
    const std::string utf8 = "<Window caption=\"\xE4\xBC\x9A\xE8\xAE\xAE \xC3\xA9\"><Label text=\"\xC3\xBC"
                             "ber\"/></Window>";
    CMarkup markup;
    ReadOnlyBytes plain(utf8);
    ASSERT_TRUE(markup.LoadFromMem(plain.Data(), plain.Size()));
    ExpectSkin(markup);

    ReadOnlyBytes marked("\xEF\xBB\xBF" + utf8);
    ASSERT_TRUE(markup.LoadFromMem(marked.Data(), marked.Size(), 0));
    ExpectSkin(markup);
}

TEST(MarkupEncoding, Utf16LittleAndBigEndianFromReadOnlyMemory)
{
    CMarkup markup;
    ReadOnlyBytes little(Utf16(kSkin, false));
    ASSERT_TRUE(markup.LoadFromMem(little.Data(), little.Size(), 1));
    ExpectSkin(markup);

    ReadOnlyBytes big(Utf16(kSkin, true));
    ASSERT_TRUE(markup.LoadFromMem(big.Data(), big.Size(), 1));
    ExpectSkin(markup);
    EXPECT_EQ(memcmp(big.Data(), Utf16(kSkin, true).data(), big.Size()), 0);

    // Unknown encodings read as UTF-16.
    ASSERT_TRUE(markup.LoadFromMem(big.Data(), big.Size(), 7));
    ExpectSkin(markup);
}

TEST(MarkupEncoding, Utf16OddTrailingByteIsIgnored)
{
    CMarkup markup;
    std::string bytes = Utf16(L"<A v=\"1\"/>", false) + "<";
    ASSERT_TRUE(
        markup.LoadFromMem(reinterpret_cast<unsigned char*>(&bytes[0]), static_cast<unsigned long>(bytes.size()), 1));
    EXPECT_STREQ(markup.GetRoot().GetAttributeValue(L"v"), L"1");
    EXPECT_FALSE(markup.GetRoot().HasSiblings());

    // Only the mark and one odd byte: an empty document.
    std::string markOnly = "\xFE\xFF"
                           "x";
    ASSERT_TRUE(markup.LoadFromMem(reinterpret_cast<unsigned char*>(&markOnly[0]), 3, 1));
    EXPECT_FALSE(markup.GetRoot().IsValid());
}

TEST(MarkupEncoding, Utf16WithoutByteOrderMarkFails)
{
    CMarkup markup;
    std::string bytes = Utf16(L"<A/>", false, false);
    EXPECT_FALSE(
        markup.LoadFromMem(reinterpret_cast<unsigned char*>(&bytes[0]), static_cast<unsigned long>(bytes.size()), 1));
    EXPECT_FALSE(ErrorMessage(markup).empty());
    EXPECT_FALSE(markup.IsValid());

    unsigned char one = 0xFF;
    EXPECT_FALSE(markup.LoadFromMem(&one, 1, 1));
    EXPECT_FALSE(ErrorMessage(markup).empty());
    EXPECT_FALSE(markup.LoadFromMem(&one, 0, 1));
}

TEST(MarkupEncoding, AnsiUsesTheProcessCodePage)
{
    const std::string ansi = "<A v=\"caf\xE9 \x80\"/>";
    wchar_t expected[32] = {};
    MultiByteToWideChar(CP_ACP, 0, "caf\xE9 \x80", -1, expected, 32);

    CMarkup markup;
    ReadOnlyBytes bytes(ansi);
    ASSERT_TRUE(markup.LoadFromMem(bytes.Data(), bytes.Size(), 2));
    EXPECT_STREQ(markup.GetRoot().GetAttributeValue(L"v"), expected);

    // The UTF-8 mark is not special for ANSI text.
    ReadOnlyBytes marked("\xEF\xBB\xBF" + ansi);
    EXPECT_FALSE(markup.LoadFromMem(marked.Data(), marked.Size(), 2));
    EXPECT_EQ(ErrorMessage(markup), L"Expected start tag");
}

TEST(MarkupEncoding, EmptyAndShortInput)
{
    CMarkup markup;
    unsigned char mark[] = {0xEF, 0xBB, 0xBF};
    ASSERT_TRUE(markup.LoadFromMem(mark, 3));
    EXPECT_FALSE(markup.GetRoot().IsValid());
    ASSERT_TRUE(markup.LoadFromMem(mark, 0));
    EXPECT_FALSE(markup.GetRoot().IsValid());
    // Two bytes of a mark are not a mark: they stay in the text.
    EXPECT_FALSE(markup.LoadFromMem(mark, 2));
    EXPECT_EQ(ErrorMessage(markup), L"Expected start tag");
}

namespace {

// The wide text the platform makes of UTF-8 bytes.
std::wstring PlatformUtf8(const std::string& bytes)
{
    if (bytes.empty())
        return std::wstring();
    const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], length);
    return text;
}

// The content of a one-element document around `bytes`, as the platform
// converts the whole document.
std::wstring PlatformContentOf(const std::string& bytes)
{
    const std::wstring whole = PlatformUtf8("<a>" + bytes + "</a>");
    if (whole.size() < 7 || whole.compare(0, 3, L"<a>") != 0 || whole.compare(whole.size() - 4, 4, L"</a>") != 0)
        return L"<markup lost>";
    return whole.substr(3, whole.size() - 7);
}

// The content of a one-element document around `bytes`, as the parser reads it.
std::wstring ContentOf(const std::string& bytes)
{
    std::string xml = "<a>" + bytes + "</a>";
    CMarkup markup;
    if (!markup.LoadFromMem(reinterpret_cast<unsigned char*>(&xml[0]), static_cast<unsigned long>(xml.size())))
        return L"<failed>";
    return markup.GetRoot().GetValue();
}

} // namespace

// The parser decodes well-formed UTF-8 itself and leaves the rest to the
// platform's converter: every mix of well-formed and ill-formed bytes must
// come out as the platform makes of the whole text (ill-formed bytes just
// before the markup included).
TEST(MarkupEncoding, Utf8DecodesAsThePlatformConvertsTheWholeText)
{
    const char* const cases[] = {
        "plain ascii text longer than eight bytes",
        "\xC3\xA9\xE4\xB8\x8B\xF0\x9F\x98\x80 mixed",      // 2, 3 and 4 bytes
        "\xC0\x80 \xC1\xBF overlong two",                  // overlong 2-byte forms
        "\xE0\x80\x80 \xE0\x9F\xBF overlong three",        // overlong 3-byte forms
        "\xF0\x80\x80\x80 \xF0\x8F\xBF\xBF overlong four", // overlong 4-byte forms
        "\xED\xA0\x80 \xED\xBF\xBF surrogates",            // encoded surrogates
        "\xF4\x90\x80\x80 \xF5\x80\x80\x80 beyond",        // above U+10FFFF
        "lone \x80\xBF continuations",                     // continuation bytes alone
        "cut \xE4\xB8",                                    // a sequence cut short by the markup
        "cut \xF0\x9F\x98",
        "\xEF\xBF\xBF\xEF\xBF\xBE noncharacters",
        "\xFE\xFF\xC2",
    };
    for (const char* bytes : cases)
        EXPECT_EQ(ContentOf(bytes), PlatformContentOf(bytes)) << bytes;

    // Random runs of letters, lead bytes and continuation bytes.
    std::mt19937 rng(22);
    for (int round = 0; round < 400; ++round) {
        std::string bytes;
        const int length = static_cast<int>(rng() % 40);
        for (int i = 0; i < length; ++i) {
            switch (rng() % 4) {
            case 0:
                bytes += static_cast<char>('a' + rng() % 26);
                break;
            case 1:
                bytes += static_cast<char>(0x80 + rng() % 0x40);
                break;
            case 2:
                bytes += static_cast<char>(0xC0 + rng() % 0x40);
                break;
            default:
                bytes += "\xE6\x96\x87";
                break;
            }
        }
        EXPECT_EQ(ContentOf(bytes), PlatformContentOf(bytes)) << "round " << round;
    }
}
