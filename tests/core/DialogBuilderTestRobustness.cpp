// Damaged and extreme skins built into a real window and painted: deep nesting
// of every container kind, huge attribute values, thousands of siblings and
// skins that include themselves. The build either succeeds and the window
// lays out, paints and takes input, or it fails cleanly: no crash, no hang,
// nothing left half-built, and a message when a bound stopped it. The seeds
// are fixed, so every run checks the same skins.
#include "core/DialogBuilder.h"
#include "core/Markup.h"

#include "../support/TestWindow.h"
#include "SkinFolder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace Facet;
using testsupport::SkinFolder;
using testsupport::TestWindow;

namespace {

// Element names that hold children, with the element their children are
// written as when it is not free (a tree view holds tree nodes).
struct ContainerKind
{
    const char* name;
    const char* childWrapper;
};

const ContainerKind kContainers[] = {
    {"VerticalLayout", nullptr},
    {"HorizontalLayout", nullptr},
    {"TabLayout", nullptr},
    {"TileLayout", nullptr},
    {"Container", nullptr},
    {"ChildLayout", nullptr},
    {"AnimationPane", nullptr},
    {"List", "ListContainerElement"},
    {"ListContainerElement", nullptr},
    {"ListHBoxElement", nullptr},
    {"Combo", "ListContainerElement"},
    {"TreeView", "TreeNode"},
    {"TreeNode", nullptr},
};

const char* const kLeaves[] = {
    "Button",    "Label",   "Edit",    "Option",           "CheckBox",        "Progress",       "Slider",  "Text",
    "ScrollBar", "Control", "Unknown", "ListLabelElement", "ListTextElement", "ListHeaderItem", "DateTime"};

const char* const kAttributes[] = {
    "width",      "height",          "pos",        "padding",    "inset",       "childpadding", "columns", "itemsize",
    "text",       "bkcolor",         "bkimage",    "font",       "minwidth",    "maxheight",    "float",   "vscrollbar",
    "hscrollbar", "vscrollbarstyle", "selectedid", "bordersize", "borderround", "textpadding",  "value",   "max",
    "visible",    "itemheight",      "header",     "name",       "tooltip",     "shortcut"};

const char* const kValues[] = {"0",
                               "-1",
                               "2147483647",
                               "-2147483648",
                               "99999999999999999999",
                               "100000,100000,100000,100000",
                               "-100000,-5,7,-9",
                               "1,2",
                               "true",
                               "false",
                               "#FFFF0000",
                               "#",
                               "file='missing.png' dest='0,0,99999,99999' corner='999999,1,1,1'",
                               "width=&quot;100000&quot; thumbcolor=&quot;#FF00FF00&quot;",
                               "hidden",
                               "&amp;&lt;&gt;",
                               "a"};

// A long value of every kind of character the parser decodes.
std::string HugeValue(std::mt19937& rng)
{
    const size_t length = 1000 + rng() % 60000;
    std::string value;
    value.reserve(length);
    for (size_t i = 0; i < length; ++i)
        value += (rng() % 16 == 0) ? "&amp;" : std::string(1, static_cast<char>('a' + rng() % 26));
    return value;
}

std::string Attributes(std::mt19937& rng)
{
    std::string out;
    const int count = static_cast<int>(rng() % 5);
    for (int i = 0; i < count; ++i) {
        out += " ";
        out += kAttributes[rng() % (sizeof(kAttributes) / sizeof(kAttributes[0]))];
        out += "=\"";
        out += (rng() % 40 == 0) ? HugeValue(rng) : kValues[rng() % (sizeof(kValues) / sizeof(kValues[0]))];
        out += "\"";
    }
    return out;
}

const ContainerKind& AnyContainer(std::mt19937& rng)
{
    return kContainers[rng() % (sizeof(kContainers) / sizeof(kContainers[0]))];
}

std::string Leaf(std::mt19937& rng)
{
    return std::string("<") + kLeaves[rng() % (sizeof(kLeaves) / sizeof(kLeaves[0]))] + Attributes(rng) + " />";
}

// `depth` containers of one kind (through its child element when it needs
// one), around a leaf.
std::string DeepChain(const ContainerKind& kind, int depth, std::mt19937& rng)
{
    std::string open;
    std::string close;
    for (int i = 0; i < depth; ++i) {
        open += std::string("<") + kind.name + (i % 50 == 0 ? Attributes(rng) : std::string()) + ">";
        close = std::string("</") + kind.name + ">" + close;
        if (kind.childWrapper != nullptr) {
            open += std::string("<") + kind.childWrapper + ">";
            close = std::string("</") + kind.childWrapper + ">" + close;
        }
    }
    return open + Leaf(rng) + close;
}

// A random tree of containers and leaves.
std::string RandomTree(std::mt19937& rng, int depth)
{
    std::string out;
    const int children = 1 + static_cast<int>(rng() % 4);
    for (int i = 0; i < children; ++i) {
        if (depth < 8 && rng() % 3 == 0) {
            const ContainerKind& kind = AnyContainer(rng);
            std::string inner = RandomTree(rng, depth + 1);
            if (kind.childWrapper != nullptr)
                inner = std::string("<") + kind.childWrapper + ">" + inner + "</" + kind.childWrapper + ">";
            out += std::string("<") + kind.name + Attributes(rng) + ">" + inner + "</" + kind.name + ">";
        } else {
            out += Leaf(rng);
        }
    }
    return out;
}

const char* const kWindowAttributes[] = {
    " size=\"100000,100000\"",      " size=\"-5,-5\"",      " bktrans=\"true\"",     " opacity=\"300\"",
    " roundcorner=\"99999,99999\"", " mininfo=\"90000,1\"", " caption=\"0,0,0,-1\"", " sizebox=\"9999,9999,9999,9999\"",
    " layeredopacity=\"-7\"",       " showdirty=\"true\"",
};

// What a skin of one round is made of.
enum class Shape { Tree, DeepChain, Siblings, SelfInclude, IncludeChain, DeepInclude };
const int kShapes = 6;

struct Skin
{
    std::string text;
    // Further files the skin includes: name and text.
    std::vector<std::pair<std::wstring, std::string>> files;
    // Whether the skin passes a bound (and so must fail).
    bool mustFail = false;
    // What was made, for failure messages.
    std::string description;
};

Skin MakeSkin(std::mt19937& rng, const std::wstring& fileName)
{
    Skin skin;
    std::string window = "<Window";
    for (int i = 0; i < 2; ++i) {
        if (rng() % 3 == 0)
            window += kWindowAttributes[rng() % (sizeof(kWindowAttributes) / sizeof(kWindowAttributes[0]))];
    }
    window +=
        "><Font id=\"0\" name=\"Arial\" size=\"12\" /><Default name=\"VScrollBar\" value=\"width=&quot;9&quot;\" />";
    const std::string self(fileName.begin(), fileName.end());
    std::string body;
    switch (static_cast<Shape>(rng() % kShapes)) {
    case Shape::Tree:
        body = "<VerticalLayout>" + RandomTree(rng, 0) + "</VerticalLayout>";
        skin.description = "random tree";
        break;
    case Shape::DeepChain: {
        const ContainerKind& kind = AnyContainer(rng);
        const int levels = kind.childWrapper != nullptr ? 2 : 1;
        // Up to past the parser's limit (root and leaf are levels too).
        const int depth = static_cast<int>(rng() % (CMarkup::kMaxDepth + 200)) / levels;
        body = DeepChain(kind, depth, rng);
        skin.mustFail = depth * levels + 1 >= static_cast<int>(CMarkup::kMaxDepth);
        skin.description = std::string("chain of ") + std::to_string(depth) + " " + kind.name;
        break;
    }
    case Shape::Siblings: {
        body = "<VerticalLayout vscrollbar=\"true\">";
        const int count = 1000 + static_cast<int>(rng() % 4000);
        for (int i = 0; i < count; ++i)
            body += (i % 100 == 0) ? Leaf(rng) : "<Label text=\"x\" />";
        body += "</VerticalLayout>";
        skin.description = std::to_string(count) + " siblings";
        break;
    }
    case Shape::SelfInclude: {
        // The skin names itself in several spellings, repeating each.
        static const char* const kSpellings[] = {"", ".\\", "./", "sub\\..\\", ".\\.\\"};
        body = "<HorizontalLayout>" + Leaf(rng);
        for (int i = 0; i < 3; ++i) {
            body += std::string("<Include source=\"") + kSpellings[rng() % 5] + self + "\" count=\"" +
                    std::to_string(1 + rng() % 20) + "\" />";
        }
        body += "</HorizontalLayout>";
        skin.description = "includes of itself";
        break;
    }
    case Shape::IncludeChain: {
        // Repetitions that multiply through three more files, one of which
        // makes no control at all, and a way back to the skin itself.
        const int outer = 1 + static_cast<int>(rng() % 60);
        const int empties = static_cast<int>(rng() % 4);
        body = "<VerticalLayout><Include source=\"rows.xml\" count=\"" + std::to_string(outer) + "\" />" + Leaf(rng) +
               "</VerticalLayout>";
        skin.files.push_back({L"rows.xml", "<Window><Include source=\"row.xml\" count=\"40\" />"
                                           "<Include source=\"" +
                                               self + "\" /></Window>"});
        skin.files.push_back({L"row.xml", "<Window><Control /><Label text=\"r\" /><Control />"
                                          "<Include source=\"empty.xml\" count=\"" +
                                              std::to_string(empties) + "\" /></Window>"});
        skin.files.push_back({L"empty.xml", "<Window><Font id=\"1\" name=\"Arial\" size=\"9\" /></Window>"});
        const int documents = outer * (1 + 40 * (1 + empties));
        skin.mustFail = documents > CDialogBuilder::kMaxIncludedDocuments;
        skin.description = std::to_string(documents) + " included documents";
        break;
    }
    case Shape::DeepInclude: {
        // Two chains joined by an include: each fits, together they may not.
        const ContainerKind& kind = AnyContainer(rng);
        const int levels = kind.childWrapper != nullptr ? 2 : 1;
        const int outer = static_cast<int>(rng() % 900) / levels;
        const int inner = static_cast<int>(rng() % 900) / levels;
        const std::string include = "<Include source=\"deep.xml\" />";
        std::string chain = DeepChain(kind, outer, rng);
        // The include takes the place of the leaf at the bottom of the chain.
        const size_t leaf = chain.find(" />");
        const size_t start = chain.rfind('<', leaf);
        chain.replace(start, leaf + 3 - start, include);
        body = chain;
        skin.files.push_back({L"deep.xml", "<Window>" + DeepChain(kind, inner, rng) + "</Window>"});
        // The include's level is where the included controls go; the leaf is one below.
        skin.mustFail = (outer + inner) * levels + 1 >= static_cast<int>(CMarkup::kMaxDepth);
        skin.description = std::string("chains of ") + std::to_string(outer) + " and " + std::to_string(inner) + " " +
                           kind.name + " joined by an include";
        break;
    }
    }
    skin.text = window + body + "</Window>";
    return skin;
}

// The damage of the parser's randomized test, now and then.
void Damage(std::string& xml, std::mt19937& rng)
{
    static const char kInserts[] = {'<', '"', '&', '/', '>', '=', '!', '?'};
    const size_t at = xml.empty() ? 0 : rng() % (xml.size() + 1);
    switch (rng() % 4) {
    case 0:
        xml.resize(at);
        break;
    case 1:
        xml.insert(at, 1, kInserts[rng() % sizeof(kInserts)]);
        break;
    case 2:
        xml.erase(at, rng() % 64);
        break;
    default:
        xml.insert(at, xml.substr(at, rng() % 256));
        break;
    }
}

const wchar_t* const kBoundMessages[] = {L"Elements nested too deeply", L"Too many controls",
                                         L"Too many included documents"};

bool IsBoundMessage(const std::wstring& message)
{
    for (const wchar_t* known : kBoundMessages) {
        if (message == known)
            return true;
    }
    return false;
}

// Lays the window out, paints it (a layered one through its repaint tick) and
// moves and clicks the mouse over it.
void Exercise(TestWindow& window)
{
    window.Pump();
    window.manager.Invalidate();
    window.Send(WM_TIMER, 0x2000, 0);
    window.Send(WM_TIMER, 0x2000, 0);
    window.Pump();
    for (int i = 0; i < 4; ++i) {
        window.MouseMove(10 + i * 40, 10 + i * 30);
        window.ButtonDown(10 + i * 40, 10 + i * 30);
        window.ButtonUp(10 + i * 40, 10 + i * 30);
    }
    window.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(50, 50));
    window.Pump();
}

// Takes the last round's tree and settings away from the window. One window
// serves every round: destroying a shown window costs Wine seconds without a
// window manager.
void Reset(TestWindow& window)
{
    window.manager.AttachDialog(nullptr);
    window.Pump(); // the old tree goes with the posted clean-up
    window.manager.Init(window.Handle());
    window.manager.SetLayered(false);
    window.manager.SetOpacity(255);
    window.manager.SetMinInfo(0, 0);
    window.manager.SetMaxInfo(0, 0);
    SetWindowPos(window.Handle(), nullptr, 0, 0, 240, 180, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

} // namespace

TEST(BuilderRobustness, ExtremeAndDamagedSkinsBuildPaintOrFailCleanly)
{
    SkinFolder skins(L"robust");
    TestWindow window(240, 180);
    int built = 0;
    int failedAtABound = 0;
    int failedToParse = 0;
    for (unsigned seed : {5u, 1977u}) {
        std::mt19937 rng(seed);
        for (int round = 0; round < 30; ++round) {
            const std::wstring fileName = L"skin" + std::to_wstring(round) + L".xml";
            Skin skin = MakeSkin(rng, fileName);
            const bool damaged = rng() % 4 == 0;
            if (damaged)
                Damage(skin.text, rng);
            skins.Write(fileName, skin.text);
            for (const auto& file : skin.files)
                skins.Write(file.first, file.second);

            Reset(window);
            CDialogBuilder builder;
            CControlUI* root = builder.Create(fileName.c_str(), nullptr, nullptr, &window.manager);
            wchar_t message[100] = {};
            builder.GetLastErrorMessage(message, 100);
            const std::string context = "seed " + std::to_string(seed) + " round " + std::to_string(round) + " (" +
                                        skin.description + ")";
            if (root != nullptr) {
                ++built;
                EXPECT_FALSE(skin.mustFail && !damaged) << context << ": built past a bound";
                window.manager.AttachDialog(root);
                Exercise(window);
            } else if (!builder.GetMarkup()->IsValid()) {
                ++failedToParse; // the parser's message says why
                EXPECT_NE(message[0], L'\0') << context;
            } else if (message[0] != L'\0') {
                ++failedAtABound;
                EXPECT_TRUE(IsBoundMessage(message)) << context;
            }
            // Otherwise the skin makes no control at all.
            if (HasFatalFailure())
                return;
        }
    }
    // Every outcome must have been exercised for the run to mean anything.
    EXPECT_GT(built, 15);
    EXPECT_GT(failedAtABound, 3);
    EXPECT_GT(failedToParse, 3);
}
