#include "SkinTestSupport.h"

#include "core/ResourceManager.h"

#include <map>
#include <string>

using Facet::CFacetString;
using Facet::CResourceManager;
using Facet::IQueryControlText;
using Facet::STRINGorID;
using testsupport::SkinTest;

namespace {

// A text source that answers from a table and counts the questions.
class CountingTextSource : public IQueryControlText
{
public:
    const wchar_t* QueryText(const wchar_t* id, const wchar_t* type) override
    {
        ++asked[id];
        lastType = type != nullptr ? type : L"(null)";
        auto it = answers.find(id);
        return it != answers.end() ? it->second.c_str() : nullptr;
    }

    std::map<std::wstring, std::wstring> answers;
    std::map<std::wstring, int> asked;
    std::wstring lastType;
};

class ResourceManagerTest : public SkinTest
{
protected:
    void TearDown() override
    {
        manager->Release();
        SkinTest::TearDown();
    }
    static std::wstring Text(const CFacetString& s) { return std::wstring(s.GetData()); }

    CResourceManager* manager = CResourceManager::GetInstance();
};

TEST_F(ResourceManagerTest, OneInstanceUntilReleased)
{
    EXPECT_EQ(manager, CResourceManager::GetInstance());
    manager->SetLanguage(L"en");
    EXPECT_STREQ(L"en", manager->GetLanguage());
    manager->Release();
    manager = CResourceManager::GetInstance();
    ASSERT_NE(nullptr, manager);
    EXPECT_STREQ(L"", manager->GetLanguage());
}

TEST_F(ResourceManagerTest, TextWithoutSourceIsTheIdItself)
{
    EXPECT_EQ(L"title", Text(manager->GetText(L"title")));
    EXPECT_EQ(L"", Text(manager->GetText(nullptr)));
}

TEST_F(ResourceManagerTest, TextSourceIsAskedOncePerId)
{
    CountingTextSource source;
    source.answers[L"title"] = L"Mevra Updater";
    manager->SetTextQueryInterface(&source);

    EXPECT_EQ(L"Mevra Updater", Text(manager->GetText(L"title", L"Label")));
    EXPECT_EQ(L"Label", source.lastType);
    EXPECT_EQ(L"Mevra Updater", Text(manager->GetText(L"title")));
    EXPECT_EQ(1, source.asked[L"title"]);

    // No answer: an empty text, remembered as such.
    EXPECT_EQ(L"", Text(manager->GetText(L"unknown")));
    EXPECT_EQ(L"", Text(manager->GetText(L"unknown")));
    EXPECT_EQ(1, source.asked[L"unknown"]);

    // Reloading asks again for every stored id; answers replace the texts.
    source.answers[L"title"] = L"Mevra Updater 2";
    source.answers[L"unknown"] = L"now known";
    manager->ReloadText();
    EXPECT_EQ(2, source.asked[L"title"]);
    EXPECT_EQ(L"Mevra Updater 2", Text(manager->GetText(L"title")));
    EXPECT_EQ(L"now known", Text(manager->GetText(L"unknown")));

    // After a reset the ids are asked again.
    manager->ResetTextMap();
    EXPECT_EQ(L"Mevra Updater 2", Text(manager->GetText(L"title")));
    EXPECT_EQ(3, source.asked[L"title"]);
    manager->SetTextQueryInterface(nullptr);
}

TEST_F(ResourceManagerTest, LanguageDocumentSetsTexts)
{
    ASSERT_TRUE(manager->LoadLanguage(L"<Language>"
                                      L"<Text id=\"ok\" value=\"OK\"/>"
                                      L"<TEXT ID=\"retry\" VALUE=\"Retry\"/>"
                                      L"<Text id=\"ok\" value=\"Okay\"/>"
                                      L"<Text id=\"novalue\"/>"
                                      L"<Other id=\"other\" value=\"x\"/>"
                                      L"</Language>"));
    EXPECT_EQ(L"Okay", Text(manager->GetText(L"ok")));
    EXPECT_EQ(L"Retry", Text(manager->GetText(L"retry")));
    EXPECT_EQ(L"novalue", Text(manager->GetText(L"novalue")));
    EXPECT_EQ(L"other", Text(manager->GetText(L"other")));

    // A second document overwrites what it names and keeps the rest.
    ASSERT_TRUE(manager->LoadLanguage(L"<Language><Text id=\"ok\" value=\"Fine\"/></Language>"));
    EXPECT_EQ(L"Fine", Text(manager->GetText(L"ok")));
    EXPECT_EQ(L"Retry", Text(manager->GetText(L"retry")));
}

TEST_F(ResourceManagerTest, LanguageDocumentFromASkinFile)
{
    WriteFile(L"lang_en.xml", "<Language><Text id=\"close\" value=\"Close\"/></Language>");
    EXPECT_TRUE(manager->LoadLanguage(L"lang_en.xml"));
    EXPECT_EQ(L"Close", Text(manager->GetText(L"close")));
    EXPECT_FALSE(manager->LoadLanguage(L"absent.xml"));
    EXPECT_FALSE(manager->LoadLanguage(L"<Language><Text id=\"x\" value=\"y\"></Language>"));
    EXPECT_FALSE(manager->LoadLanguage(nullptr));
}

TEST_F(ResourceManagerTest, ResourceListsFillThePathTables)
{
    ASSERT_TRUE(manager->LoadResource(L"<Res>"
                                      L"<Image id=\"logo\" path=\"img/logo.png\"/>"
                                      L"<xml ID=\"main\" Path=\"main.xml\"/>"
                                      L"<Group><Images><Image id=\"deep\" path=\"img/deep.png\"/></Images>"
                                      L"<Image id=\"logo\" path=\"img/other.png\"/></Group>"
                                      L"<Image id=\"nopath\"/>"
                                      L"</Res>"));
    EXPECT_STREQ(L"img/logo.png", manager->GetImagePath(L"logo"));
    EXPECT_STREQ(L"img/deep.png", manager->GetImagePath(L"deep"));
    EXPECT_STREQ(L"main.xml", manager->GetXmlPath(L"main"));
    EXPECT_EQ(nullptr, manager->GetImagePath(L"main"));
    EXPECT_EQ(nullptr, manager->GetXmlPath(L"logo"));
    EXPECT_EQ(nullptr, manager->GetImagePath(L"nopath"));

    manager->ResetResourceMap();
    EXPECT_EQ(nullptr, manager->GetImagePath(L"logo"));
    EXPECT_EQ(nullptr, manager->GetXmlPath(L"main"));
}

TEST_F(ResourceManagerTest, ResourceListFromAResourceOrAFile)
{
    EXPECT_TRUE(manager->LoadResource(STRINGorID(301u), L"XML"));
    EXPECT_STREQ(L"res/logo.png", manager->GetImagePath(L"logo"));
    EXPECT_STREQ(L"main.xml", manager->GetXmlPath(L"main"));
    EXPECT_FALSE(manager->LoadResource(STRINGorID(999u), L"XML"));

    WriteFile(L"list.xml", "<Res><Xml id=\"about\" path=\"about.xml\"/></Res>");
    EXPECT_TRUE(manager->LoadResource(L"list.xml"));
    EXPECT_STREQ(L"about.xml", manager->GetXmlPath(L"about"));
    EXPECT_FALSE(manager->LoadResource(L"absent.xml"));
    EXPECT_FALSE(manager->LoadResource(Facet::CMarkupNode()));
}

} // namespace
