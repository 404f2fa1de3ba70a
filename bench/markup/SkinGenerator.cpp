#include "SkinGenerator.h"

#include <random>

namespace bench {

namespace {

const char* const kControls[] = {"Button", "Label", "Edit", "Option", "Progress", "Text", "Control"};
const char* const kTexts[] = {
    "Download &amp; install",
    "Proxy &quot;address&quot;",
    "&lt;none&gt;",
    "It&apos;s ready",
    "\xE4\xB8\x8B\xE8\xBD\xBD\xE5\xAE\x8C\xE6\x88\x90", // non-ASCII text
    "Retry",
};

class Generator
{
public:
    Generator(size_t target, unsigned seed) : m_target(target), m_rng(seed) {}

    std::string Run()
    {
        m_out.reserve(m_target + 4096);
        m_out += "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
        m_out += "<Window size=\"680,440\" caption=\"0,0,0,30\" roundcorner=\"4,4\" mininfo=\"680,440\">\n";
        m_out += "  <Font id=\"0\" name=\"Microsoft YaHei\" size=\"12\" bold=\"false\"/>\n";
        m_out += "  <Default name=\"Button\" value=\"textcolor=&quot;#FF000000&quot;\"/>\n";
        while (m_out.size() < m_target)
            Layout(1);
        m_out += "</Window>\n";
        return m_out;
    }

private:
    unsigned Pick(unsigned n) { return static_cast<unsigned>(m_rng() % n); }

    void Indent(int depth) { m_out.append(static_cast<size_t>(depth) * 2, ' '); }

    void Layout(int depth)
    {
        const char* name = Pick(2) ? "VerticalLayout" : "HorizontalLayout";
        Indent(depth);
        m_out += "<";
        m_out += name;
        m_out += " name=\"layout" + std::to_string(m_counter++) + "\" padding=\"4,2,4,2\" bkcolor=\"#FFF5F5F5\"";
        m_out += " inset=\"1,1,1,1\" childpadding=\"" + std::to_string(Pick(10)) + "\">\n";
        if (Pick(8) == 0) {
            Indent(depth + 1);
            m_out += "<!-- section " + std::to_string(m_counter) + " -->\n";
        }
        const unsigned children = 3 + Pick(6);
        for (unsigned i = 0; i < children && m_out.size() < m_target; ++i) {
            if (depth < 8 && Pick(4) == 0)
                Layout(depth + 1);
            else
                Control(depth + 1);
        }
        Indent(depth);
        m_out += "</";
        m_out += name;
        m_out += ">\n";
    }

    void Control(int depth)
    {
        const char* name = kControls[Pick(7)];
        Indent(depth);
        m_out += "<";
        m_out += name;
        m_out += " name=\"ctl" + std::to_string(m_counter++) + "\"";
        m_out += " pos=\"" + std::to_string(Pick(680)) + "," + std::to_string(Pick(440)) + ",100,30\"";
        m_out += " text=\"";
        m_out += kTexts[Pick(6)];
        m_out += "\" font=\"0\" textcolor=\"#FF333333\" align=\"center\"";
        const unsigned extra = Pick(7);
        for (unsigned a = 0; a < extra; ++a)
            m_out += " attr" + std::to_string(a) + "=\"value " + std::to_string(Pick(1000)) + "\"";
        if (Pick(5) == 0) {
            m_out += " normalimage=\"file='btn.png' source='0,0,80,30' corner='4,4,4,4'\"";
            m_out += " hotimage=\"file='btn.png' source='0,30,80,60'\"";
        }
        if (Pick(6) == 0) {
            m_out += ">";
            m_out += kTexts[Pick(6)];
            m_out += "</";
            m_out += name;
            m_out += ">\n";
        } else {
            m_out += "/>\n";
        }
    }

    size_t m_target;
    std::mt19937 m_rng;
    std::string m_out;
    unsigned m_counter = 0;
};

} // namespace

std::string GenerateSkin(size_t targetBytes, unsigned seed)
{
    return Generator(targetBytes, seed).Run();
}

} // namespace bench
