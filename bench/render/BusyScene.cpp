#include "BusyScene.h"

#include "core/PaintManager.h"
#include "render/RenderEngine.h"

using Facet::CFacetString;
using Facet::CRenderEngine;

namespace bench {

namespace {

const RECT kNoCorners = {0, 0, 0, 0};

RECT Part(int index, int count, int width, int height)
{
    const int w = width / count;
    return RECT{w * index, 0, w * (index + 1), height};
}

} // namespace

BusyScene::BusyScene(Facet::CPaintManagerUI& manager, const std::map<std::wstring, Facet::TImageInfo*>& images)
    : m_manager(manager), m_images(images)
{
    const CFacetString face = manager.GetDefaultFontInfo()->sFontName;
    manager.AddFont(0, face.GetData(), 12, false, false, false);
    manager.AddFont(1, face.GetData(), 14, true, false, false);
    manager.AddFont(2, face.GetData(), 20, true, false, false);
    manager.AddFont(3, face.GetData(), 12, false, true, false);
}

const Facet::TImageInfo* BusyScene::Find(const wchar_t* name) const
{
    auto found = m_images.find(name);
    return found != m_images.end() ? found->second : nullptr;
}

void BusyScene::Image(HDC dc, const wchar_t* name, const RECT& dest, const RECT& source, const RECT& corners, BYTE fade,
                      bool hole, bool xtiled, bool ytiled)
{
    const Facet::TImageInfo* image = Find(name);
    if (image == nullptr)
        return;
    RECT part = source;
    if (IsRectEmpty(&part))
        part = RECT{0, 0, image->nX, image->nY};
    CRenderEngine::DrawImage(dc, image->hBitmap, dest, dest, part, corners, image->bAlpha, fade, hole, xtiled, ytiled);
    m_imageDraws += 1;
}

void BusyScene::Paint(HDC dc)
{
    m_imageDraws = m_fills = m_texts = 0;
    const RECT empty = {0, 0, 0, 0};
    const RECT corners6 = {6, 6, 6, 6};

    // Window background, banner, shadow frame and logo.
    Image(dc, L"background.png", RECT{0, 0, 680, 440}, empty, kNoCorners);
    Image(dc, L"banner.png", RECT{0, 0, 680, 120}, empty, kNoCorners, 230);
    Image(dc, L"shadow.png", RECT{0, 0, 680, 440}, empty, RECT{12, 12, 12, 12}, 255, true);
    Image(dc, L"logo.png", RECT{24, 16, 112, 104}, empty, kNoCorners);
    Image(dc, L"sysbtn_min.png", RECT{596, 0, 624, 28}, Part(0, 3, 84, 28), kNoCorners);
    Image(dc, L"sysbtn_close.png", RECT{628, 0, 656, 28}, Part(1, 3, 84, 28), kNoCorners);

    // A grid of cards: nine-grid panels, gradients, fills and icons.
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column) {
            const int left = 24 + column * 160;
            const int top = 132 + row * 72;
            const RECT card = {left, top, left + 148, top + 64};
            Image(dc, L"edit_frame.png", card, empty, corners6, (row + column) % 2 == 0 ? 255 : 200, false,
                  column % 2 == 1, row % 2 == 1);
            const RECT band = {left + 6, top + 6, left + 142, top + 22};
            CRenderEngine::DrawGradient(dc, band, 0xFFE8F0FF, 0xFFB0C8F0, column % 2 == 0, 64);
            CRenderEngine::DrawColor(dc, RECT{left + 6, top + 48, left + 142, top + 58}, 0xFFDDE4EE);
            CRenderEngine::DrawColor(dc, RECT{left + 6, top + 24, left + 40, top + 46}, 0x8040A0E0);
            m_fills += 3;
            Image(dc, (row + column) % 2 == 0 ? L"icon_ok.png" : L"icon_warn.png",
                  RECT{left + 112, top + 24, left + 136, top + 48}, empty, kNoCorners);
            Image(dc, L"checkbox.png", RECT{left + 46, top + 28, left + 62, top + 44},
                  Part((row + column) % 4, 4, 64, 16), kNoCorners);
            RECT caption = {left + 66, top + 26, left + 110, top + 46};
            CRenderEngine::DrawText(dc, &m_manager, caption, L"Option", 0xFF303030, 0,
                                    DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
            m_texts += 1;
            CRenderEngine::DrawRect(dc, card, 1, 0xFF90A0B0);
        }
    }

    // Progress bar: tiled background, stretched foreground.
    Image(dc, L"progress_bk.png", RECT{24, 356, 656, 368}, empty, RECT{4, 4, 4, 4}, 255, false, true, false);
    Image(dc, L"progress_fore.png", RECT{24, 356, 420, 368}, empty, RECT{4, 4, 4, 4});

    // Buttons with captions.
    const wchar_t* captions[] = {L"Retry", L"Proxy settings", L"Download page"};
    for (int i = 0; i < 3; ++i) {
        RECT button = {24 + i * 212, 384, 24 + i * 212 + 200, 424};
        Image(dc, i == 0 ? L"button.png" : L"button_light.png", button, Part(i, 3, 360, 40), corners6);
        CRenderEngine::DrawText(dc, &m_manager, button, captions[i], i == 0 ? 0xFFFFFFFF : 0xFF204060, 1,
                                DT_SINGLELINE | DT_CENTER | DT_VCENTER);
        m_texts += 1;
    }

    // Title and mark-up texts.
    RECT title = {128, 30, 580, 60};
    CRenderEngine::DrawText(dc, &m_manager, title, L"Mevra Cloud Meetings", 0xFFFFFFFF, 2, DT_SINGLELINE);
    RECT status = {128, 66, 580, 110};
    CRenderEngine::DrawText(dc, &m_manager, status,
                            L"Downloading the newest client. This takes a few minutes on a slow connection.",
                            0xFFE0F0FF, 0, DT_WORDBREAK);
    m_texts += 2;

    RECT links[4];
    CFacetString linkTexts[4];
    RECT note = {24, 340, 656, 356};
    int count = 4;
    CRenderEngine::DrawHtmlText(dc, &m_manager, note,
                                L"{b}Progress{/b} {c #FF207020}62%{/c} of 48 MB {x 12}{i icon_ok.png} "
                                L"{a download}download page{/a} or {a proxy}proxy settings{/a}",
                                0xFF303030, links, linkTexts, count, 0, DT_SINGLELINE | DT_VCENTER);
    for (int i = 0; i < 3; ++i) {
        RECT block = {24 + i * 212, 348 - 130 + 2, 24 + i * 212 + 200, 348 - 130 + 40};
        count = 4;
        CRenderEngine::DrawHtmlText(dc, &m_manager, block,
                                    L"{f 1}Step{/f} {c #FF2060C0}one{/c}, {u}two{/u} and {i}three{/i}: "
                                    L"a {s}selected{/s} word wraps{n}onto {a more}more lines{/a}",
                                    0xFF404040, links, linkTexts, count, 0, DT_WORDBREAK);
    }
    m_texts += 4;
}

} // namespace bench
