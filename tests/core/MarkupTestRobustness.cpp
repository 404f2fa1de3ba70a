// Randomly damaged skins: the parser must neither crash nor leave a half-loaded document.
// The seeds are fixed, so every run checks the same inputs.
#include "core/Markup.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <random>
#include <string>
#include <vector>

using Facet::CMarkup;
using Facet::CMarkupNode;

namespace {

std::string RandomSkin(std::mt19937& rng)
{
    static const char* const kControls[] = {"Button", "Label", "Edit", "Option", "Progress", "Control"};
    static const char* const kValues[] = {
        "0,0,0,0", "#FFDBECFF", "a &amp; b", "&lt;tag&gt;", "&quot;q&quot; &apos;", "file='x.png' dest='0,0,4,4'",
        "&#65;",   "plain text"};
    std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Window size=\"680,440\" caption=\"0,0,0,30\">\n";
    xml += "<Font id=\"0\" name=\"Arial\" size=\"12\"/>\n<!-- layouts -->\n";
    std::vector<std::string> open;
    const int elements = 20 + static_cast<int>(rng() % 60);
    for (int i = 0; i < elements; ++i) {
        const unsigned choice = rng() % 5;
        if (choice == 0 && open.size() < 12) {
            const std::string name = (rng() % 2) ? "VerticalLayout" : "HorizontalLayout";
            xml += "<" + name + " padding=\"1,2,3,4\" bkcolor=\"#FF000000\">";
            open.push_back(name);
        } else if (choice == 1 && !open.empty()) {
            xml += "</" + open.back() + ">\n";
            open.pop_back();
        } else {
            const std::string control = kControls[rng() % 6];
            xml += "<" + control;
            const int attributes = static_cast<int>(rng() % 8);
            for (int a = 0; a < attributes; ++a)
                xml += " attr" + std::to_string(a) + "=\"" + kValues[rng() % 8] + "\"";
            if (rng() % 3 == 0)
                xml += ">text &amp; more</" + control + ">";
            else
                xml += "/>";
            xml += (rng() % 2) ? "\n" : "\t";
        }
    }
    while (!open.empty()) {
        xml += "</" + open.back() + ">";
        open.pop_back();
    }
    xml += "</Window>\n";
    return xml;
}

void Mutate(std::string& xml, std::mt19937& rng)
{
    static const char kInserts[] = {'<', '"', '&', '/', '>', '=', '\0', '!', '?'};
    const size_t at = xml.empty() ? 0 : rng() % (xml.size() + 1);
    switch (rng() % 8) {
    case 0: // truncate
        xml.resize(at);
        break;
    case 1: // flip bits of a byte
        if (!xml.empty())
            xml[at % xml.size()] = static_cast<char>(xml[at % xml.size()] ^ static_cast<char>(1 + rng() % 255));
        break;
    case 2:
    case 3: // a markup character where it does not belong
        xml.insert(at, 1, kInserts[rng() % sizeof(kInserts)]);
        break;
    case 4: { // deep nesting, closed or not
        const size_t depth = 1 + rng() % 3000;
        std::string nest;
        for (size_t i = 0; i < depth; ++i)
            nest += "<n>";
        if (rng() % 2)
            for (size_t i = 0; i < depth; ++i)
                nest += "</n>";
        xml.insert(at, nest);
        break;
    }
    case 5: // cut out a piece
        xml.erase(at, rng() % 64);
        break;
    case 6: // repeat a piece
        xml.insert(at, xml.substr(at, rng() % 128));
        break;
    default: // an entity cut short, possibly at the very end
        xml.insert(rng() % 2 ? xml.size() : at, (rng() % 2) ? "&am" : "&");
        break;
    }
}

// Reads every element and attribute of a loaded document, without recursion.
void WalkDocument(CMarkup& markup, size_t textLength)
{
    std::vector<CMarkupNode> pending;
    for (CMarkupNode top = markup.GetRoot(); top.IsValid(); top = top.GetSibling())
        pending.push_back(top);
    size_t visited = 0;
    while (!pending.empty()) {
        CMarkupNode node = pending.back();
        pending.pop_back();
        ASSERT_LE(++visited, textLength) << "more elements than characters";
        ASSERT_NE(node.GetName(), nullptr);
        ASSERT_NE(node.GetValue(), nullptr);
        ASSERT_LE(wcslen(node.GetName()), textLength);
        ASSERT_LE(wcslen(node.GetValue()), textLength);
        const int count = node.GetAttributeCount();
        ASSERT_GE(count, 0);
        ASSERT_LE(count, 64);
        for (int i = 0; i < count; ++i) {
            ASSERT_LE(wcslen(node.GetAttributeName(i)), textLength);
            ASSERT_LE(wcslen(node.GetAttributeValue(i)), textLength);
            ASSERT_NE(node.GetAttributeValue(node.GetAttributeName(i)), nullptr);
        }
        for (CMarkupNode child = node.GetChild(); child.IsValid(); child = child.GetSibling()) {
            ASSERT_EQ(child.GetParent().GetName(), node.GetName());
            pending.push_back(child);
        }
    }
}

void ExpectCleanFailure(const CMarkup& markup, const std::string& xml)
{
    wchar_t message[100];
    wchar_t location[50];
    wmemset(message, L'#', 100);
    wmemset(location, L'#', 50);
    markup.GetLastErrorMessage(message, 100);
    markup.GetLastErrorLocation(location, 50);
    EXPECT_NE(wmemchr(message, 0, 100), nullptr) << xml;
    EXPECT_NE(wmemchr(location, 0, 50), nullptr) << xml;
    EXPECT_NE(message[0], 0) << "no message for: " << xml;
    EXPECT_FALSE(markup.IsValid()) << xml;
    EXPECT_FALSE(const_cast<CMarkup&>(markup).GetRoot().IsValid()) << xml;
}

std::wstring Widen(const std::string& bytes)
{
    std::wstring wide;
    for (unsigned char c : bytes) {
        if (c == 0)
            break;
        wide += static_cast<wchar_t>(c);
    }
    return wide;
}

} // namespace

TEST(MarkupRobustness, MutatedSkinsLoadOrFailCleanly)
{
    int loaded = 0;
    int failed = 0;
    for (unsigned seed : {11u, 2024u, 31337u, 4242u}) {
        std::mt19937 rng(seed);
        for (int round = 0; round < 1000; ++round) {
            std::string xml = RandomSkin(rng);
            const int mutations = 1 + static_cast<int>(rng() % 4);
            for (int m = 0; m < mutations; ++m)
                Mutate(xml, rng);

            CMarkup markup;
            markup.SetPreserveWhitespace(rng() % 4 != 0);
            bool ok;
            size_t length;
            if (rng() % 3 == 0) {
                const std::wstring wide = Widen(xml);
                length = wide.size();
                ok = markup.Load(wide.c_str());
            } else {
                std::vector<unsigned char> bytes(xml.begin(), xml.end());
                length = bytes.size();
                ok = markup.LoadFromMem(bytes.empty() ? nullptr : bytes.data(),
                                        static_cast<unsigned long>(bytes.size()),
                                        static_cast<int>(rng() % 3) == 2 ? 2 : 0);
            }
            if (ok) {
                ++loaded;
                WalkDocument(markup, length + 1);
            } else {
                ++failed;
                ExpectCleanFailure(markup, xml);
            }
            if (HasFatalFailure() || HasFailure())
                return;
        }
    }
    // Both outcomes must have been exercised for the run to mean anything.
    EXPECT_GT(loaded, 100);
    EXPECT_GT(failed, 100);
}

TEST(MarkupRobustness, RandomBytesInEveryEncoding)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 1500; ++round) {
        std::vector<unsigned char> bytes(rng() % 200);
        for (unsigned char& b : bytes) {
            // Mostly markup characters, so that the parser gets past the first tag now and then.
            static const char kAlphabet[] = "<>/=\"&;!?- abAB\xFF\xFE\xEF\xBB\xBF\x00";
            b = (rng() % 4 == 0) ? static_cast<unsigned char>(rng())
                                 : static_cast<unsigned char>(kAlphabet[rng() % (sizeof(kAlphabet) - 1)]);
        }
        CMarkup markup;
        const int encoding = static_cast<int>(rng() % 4);
        if (markup.LoadFromMem(bytes.empty() ? nullptr : bytes.data(), static_cast<unsigned long>(bytes.size()),
                               encoding))
            WalkDocument(markup, bytes.size() + 1);
        else
            ExpectCleanFailure(markup, std::string(bytes.begin(), bytes.end()));
        if (HasFailure())
            return;
    }
}
