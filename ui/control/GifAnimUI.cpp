// CGifAnimUI: decoding the frames through GDI+, and the frame timer.
#include "GifAnimUI.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <gdiplus.h>
#include <vector>

#include "../core/PaintManager.h"
#include "../core/SkinSource.h"
#include "../render/GdiplusSession.h"
#include "../render/ImageDescription.h"
#include "../core/AttributeValues.h"

namespace Facet {

using namespace attribute_values;

namespace {

// The GDI+ property that holds the frame delays, in 1/100 s per frame.
const PROPID kFrameDelayProperty = 0x5100;
// Delays below this are what old encoders wrote for "as fast as possible";
// viewers show such frames for the default delay instead.
const UINT kShortestDelay = 20;

// Releases a COM stream.
class StreamHolder
{
public:
    explicit StreamHolder(IStream* stream = nullptr) : m_stream(stream) {}
    ~StreamHolder()
    {
        if (m_stream != nullptr)
            m_stream->Release();
    }
    StreamHolder(const StreamHolder&) = delete;
    StreamHolder& operator=(const StreamHolder&) = delete;
    IStream* Get() const { return m_stream; }

private:
    IStream* m_stream;
};

// A stream over a copy of `bytes` (the stream frees the copy); null on failure.
IStream* StreamOverCopy(const std::vector<unsigned char>& bytes)
{
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (memory == nullptr)
        return nullptr;
    void* target = ::GlobalLock(memory);
    if (target == nullptr) {
        ::GlobalFree(memory);
        return nullptr;
    }
    memcpy(target, bytes.data(), bytes.size());
    ::GlobalUnlock(memory);
    IStream* stream = nullptr;
    if (FAILED(::CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        ::GlobalFree(memory);
        return nullptr;
    }
    return stream;
}

} // namespace

// The decoded image with its frame dimension and delays. The stream must
// outlive the image, which reads from it on every frame change.
class CGifFrames
{
public:
    static std::unique_ptr<CGifFrames> Decode(const std::vector<unsigned char>& bytes)
    {
        if (bytes.empty() || !CGdiplusSession::Ensure())
            return nullptr;
        std::unique_ptr<CGifFrames> frames(new CGifFrames(StreamOverCopy(bytes)));
        if (frames->m_stream.Get() == nullptr)
            return nullptr;
        frames->m_image.reset(new Gdiplus::Image(frames->m_stream.Get()));
        Gdiplus::Image& image = *frames->m_image;
        if (image.GetLastStatus() != Gdiplus::Ok || image.GetWidth() == 0 || image.GetHeight() == 0)
            return nullptr;

        frames->m_count = 1;
        const UINT dimensions = image.GetFrameDimensionsCount();
        if (dimensions > 0) {
            std::vector<GUID> list(dimensions);
            if (image.GetFrameDimensionsList(list.data(), dimensions) == Gdiplus::Ok) {
                frames->m_dimension = list[0];
                frames->m_hasDimension = true;
                frames->m_count = (std::max)(image.GetFrameCount(&frames->m_dimension), 1u);
            }
        }
        frames->ReadDelays();
        return frames;
    }

    UINT Count() const { return m_count; }
    UINT Delay(UINT index) const { return index < m_delays.size() ? m_delays[index] : 0; }
    SIZE Size() const { return SIZE{static_cast<LONG>(m_image->GetWidth()), static_cast<LONG>(m_image->GetHeight())}; }

    bool Select(UINT index)
    {
        if (!m_hasDimension || index >= m_count)
            return false;
        return m_image->SelectActiveFrame(&m_dimension, index) == Gdiplus::Ok;
    }

    void Draw(HDC hDC, const RECT& rc)
    {
        Gdiplus::Graphics graphics(hDC);
        // Frames are pixel art more often than photographs: stretched, each
        // pixel stays one solid block.
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        graphics.DrawImage(m_image.get(), Gdiplus::Rect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top));
    }

private:
    explicit CGifFrames(IStream* stream) : m_stream(stream) {}

    void ReadDelays()
    {
        m_delays.assign(m_count, DefaultDelay());
        const UINT size = m_image->GetPropertyItemSize(kFrameDelayProperty);
        if (size < sizeof(Gdiplus::PropertyItem))
            return;
        std::vector<unsigned char> buffer(size);
        auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
        if (m_image->GetPropertyItem(kFrameDelayProperty, size, item) != Gdiplus::Ok || item->value == nullptr)
            return;
        const UINT available = item->length / sizeof(LONG);
        const auto* values = static_cast<const LONG*>(item->value);
        for (UINT i = 0; i < m_count && i < available; ++i) {
            const long long milliseconds = static_cast<long long>(values[i]) * 10;
            if (milliseconds >= kShortestDelay)
                m_delays[i] = static_cast<UINT>((std::min)(milliseconds, 0x7FFFFFFFLL));
        }
    }

    static UINT DefaultDelay() { return CGifAnimUI::kDefaultFrameDelay; }

    // Declared first so that it is destroyed last.
    StreamHolder m_stream;
    std::unique_ptr<Gdiplus::Image> m_image;
    GUID m_dimension = {};
    bool m_hasDimension = false;
    UINT m_count = 0;
    std::vector<UINT> m_delays;
};

CGifAnimUI::CGifAnimUI()
    : m_bAutoPlay(true), m_bAutoSize(false), m_bPlaying(false), m_bDecodeTried(false), m_nFramePosition(0)
{
}

CGifAnimUI::~CGifAnimUI()
{
    if (m_pManager != nullptr)
        m_pManager->KillTimer(this, kFrameTimerId);
}

const wchar_t* CGifAnimUI::GetClass() const
{
    return L"GifAnim";
}

LPVOID CGifAnimUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"GifAnim") == 0)
        return static_cast<CGifAnimUI*>(this);
    return CControlUI::GetInterface(name);
}

void CGifAnimUI::DoInit()
{
    CControlUI::DoInit();
    EnsureDecoded();
    if (m_bAutoPlay && IsVisible())
        PlayGif();
}

void CGifAnimUI::SetVisible(bool visible)
{
    CControlUI::SetVisible(visible);
    if (!visible)
        StopGif();
    else if (m_bAutoPlay && m_pManager != nullptr)
        PlayGif();
}

void CGifAnimUI::DoEvent(TEventUI& event)
{
    if (event.Type == UIEVENT_TIMER && event.wParam == kFrameTimerId) {
        if (m_bPlaying) {
            AdvanceFrame();
            ScheduleNextFrame();
        } else if (m_pManager != nullptr) {
            m_pManager->KillTimer(this, kFrameTimerId);
        }
        return;
    }
    CControlUI::DoEvent(event);
}

const CControlAttributeTable& CGifAnimUI::GetAttributeTable() const
{
    using C = CGifAnimUI;
    static const TAttribute<CGifAnimUI> kAttributes[] = {
        {L"bkimage", kValueImage, [](C& c, const wchar_t* v) { c.SetBkImage(v); }, kNameAnyCase},
        {L"autoplay", kValueFlag, [](C& c, const wchar_t* v) { c.SetAutoPlay(IsTrue(v)); }, kNameAnyCase},
        {L"autosize", kValueFlag, [](C& c, const wchar_t* v) { c.SetAutoSize(IsTrue(v)); }, kNameAnyCase},
    };
    static const TAttributeTable table(kAttributes, &CControlUI::GetAttributeTable());
    return table;
}

void CGifAnimUI::SetBkImage(const wchar_t* description)
{
    const wchar_t* text = description != nullptr ? description : L"";
    if (m_sBkImage == text)
        return;
    PauseGif();
    m_sBkImage = text;
    m_pFrames.reset();
    m_bDecodeTried = false;
    m_nFramePosition = 0;
    if (m_pManager != nullptr) {
        EnsureDecoded();
        if (m_bAutoPlay && IsVisible())
            PlayGif();
    }
    Invalidate();
}

const wchar_t* CGifAnimUI::GetBkImage() const
{
    return m_sBkImage.GetData();
}

void CGifAnimUI::SetAutoPlay(bool autoPlay)
{
    m_bAutoPlay = autoPlay;
}

bool CGifAnimUI::IsAutoPlay() const
{
    return m_bAutoPlay;
}

void CGifAnimUI::SetAutoSize(bool autoSize)
{
    m_bAutoSize = autoSize;
}

bool CGifAnimUI::IsAutoSize() const
{
    return m_bAutoSize;
}

bool CGifAnimUI::EnsureDecoded()
{
    if (m_bDecodeTried)
        return false;
    m_bDecodeTried = true;
    if (m_sBkImage.IsEmpty())
        return false;

    TDrawInfo info(m_sBkImage.GetData());
    TImageLookup lookup;
    ParseImageDescription(info, lookup, 1.0);
    if (info.sImageName.IsEmpty())
        return false;
    const wchar_t* type = lookup.bByResType && !lookup.sResType.IsEmpty() ? lookup.sResType.GetData() : nullptr;
    std::vector<unsigned char> bytes;
    if (CSkinSource::ReadImage(info.sImageName.GetData(), type, bytes) != CSkinSource::kOk)
        return false;
    m_pFrames = CGifFrames::Decode(bytes);
    if (m_pFrames == nullptr)
        return false;
    m_pFrames->Select(0);
    if (m_bAutoSize) {
        const SIZE size = m_pFrames->Size();
        SetFixedWidth(size.cx);
        SetFixedHeight(size.cy);
    }
    return true;
}

void CGifAnimUI::ScheduleNextFrame()
{
    if (m_pManager == nullptr || m_pFrames == nullptr)
        return;
    // Each frame has its own delay, so the timer is set anew every frame.
    m_pManager->KillTimer(this, kFrameTimerId);
    m_pManager->SetTimer(this, kFrameTimerId, m_pFrames->Delay(m_nFramePosition));
}

void CGifAnimUI::PlayGif()
{
    EnsureDecoded();
    if (m_bPlaying || m_pFrames == nullptr || m_pFrames->Count() < 2 || m_pManager == nullptr)
        return;
    m_bPlaying = true;
    ScheduleNextFrame();
}

void CGifAnimUI::PauseGif()
{
    if (!m_bPlaying)
        return;
    m_bPlaying = false;
    if (m_pManager != nullptr)
        m_pManager->KillTimer(this, kFrameTimerId);
}

void CGifAnimUI::StopGif()
{
    PauseGif();
    if (m_nFramePosition != 0 && m_pFrames != nullptr) {
        m_nFramePosition = 0;
        m_pFrames->Select(0);
        Invalidate();
    }
}

bool CGifAnimUI::IsPlaying() const
{
    return m_bPlaying;
}

UINT CGifAnimUI::GetFrameCount() const
{
    return m_pFrames != nullptr ? m_pFrames->Count() : 0;
}

UINT CGifAnimUI::GetCurrentFrame() const
{
    return m_nFramePosition;
}

UINT CGifAnimUI::GetFrameDelay(UINT index) const
{
    return m_pFrames != nullptr ? m_pFrames->Delay(index) : 0;
}

void CGifAnimUI::AdvanceFrame()
{
    if (m_pFrames == nullptr || m_pFrames->Count() < 2)
        return;
    m_nFramePosition = (m_nFramePosition + 1) % m_pFrames->Count();
    m_pFrames->Select(m_nFramePosition);
    Invalidate();
}

void CGifAnimUI::PaintBkImage(HDC hDC)
{
    // A control that was never initialised (the root of a window) decodes
    // at its first paint, and starts then.
    if (EnsureDecoded() && m_bAutoPlay)
        PlayGif();
    if (m_pFrames != nullptr)
        m_pFrames->Draw(hDC, m_rcItem);
}

} // namespace Facet
