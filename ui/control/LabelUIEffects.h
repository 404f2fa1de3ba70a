// The plan of a label's effect text: which draws GDI+ makes, in which order
// and at which shift from the text rectangle. LabelUIEffects.cpp carries the
// plan out; keeping it apart lets the geometry be checked without comparing
// anti-aliased pixels.
#pragma once

#include <windows.h>

#include <vector>

namespace Facet {

enum class TextEffectKind {
    Glow,   // blurred copy of the text, drawn through an off-screen bitmap
    Stroke, // the text in the stroke colour
    Shadow, // the text with the shadow brush
    Text,   // the text with the text brush
};

struct TTextEffectDraw
{
    TextEffectKind kind;
    float dx;
    float dy;
};

struct TTextEffectSettings
{
    bool luminous;
    bool stroke;
    bool shadow;
    DWORD strokeColor;
    DWORD shadowColorA;
    DWORD shadowColorB;
    float shadowX;
    float shadowY;
};

// The draws in painting order: the glow (shifted by the shadow shift inside
// its bitmap), four stroke copies one pixel left, right, up and down, the
// shadow at the shadow shift, and last the text itself.
std::vector<TTextEffectDraw> PlanTextEffects(const TTextEffectSettings& settings);

// The size of the glow's reduced bitmap for a text rectangle of `width` by
// `height`: each side divided by `fuzzy`, at least 1. Factors below 1 count
// as 1, so the reduced bitmap is never larger than the text rectangle.
SIZE GlowBitmapSize(int width, int height, float fuzzy);

} // namespace Facet
