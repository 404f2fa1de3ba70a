// Layout and paint benchmark: a 680 x 440 window whose scrolling vertical
// layout holds rows (horizontal layouts) of plain controls with a background
// colour and a border, 1,000 and then 10,000 controls in all. For each size it
// times one layout pass of the whole tree, a full repaint of the window, and a
// repaint of one 20 x 20 dirty rectangle, and prints how each grows with the
// number of controls.
#include "Facet.h"
#include "../BenchTiming.h"
#include "../../tests/support/TestWindow.h"

#include <windows.h>

#include <cstdio>
#include <vector>

using namespace Facet;

namespace {

const int kWidth = 680;
const int kHeight = 440;
const int kCellsPerRow = 10;
const int kRowHeight = 20;
const double kMinSeconds = 1.0;
const int kMinRuns = 5;

CVerticalLayoutUI* BuildTree(int controls)
{
    auto* root = new CVerticalLayoutUI;
    root->SetBkColor(0xFFFFFFFF);
    root->EnableScrollBar(true, false);
    root->GetVerticalScrollBar()->SetAttribute(L"thumbcolor", L"#FF808080");
    for (int made = 0; made < controls; made += kCellsPerRow) {
        auto* row = new CHorizontalLayoutUI;
        row->SetFixedHeight(kRowHeight);
        row->SetChildPadding(2);
        for (int i = 0; i < kCellsPerRow; ++i) {
            auto* cell = new CControlUI;
            cell->SetBkColor(0xFF000000 | static_cast<DWORD>((made + i) * 2654435761u & 0xFFFFFF));
            cell->SetBorderColor(0xFF303030);
            cell->SetBorderSize(1);
            row->Add(cell);
        }
        root->Add(row);
    }
    return root;
}

// Milliseconds per run of `step`, over at least kMinSeconds and kMinRuns.
template <typename Step>
double TimePerRun(Step step)
{
    return bench::SecondsPerRun(step, kMinSeconds, kMinRuns) * 1000.0;
}

struct Figures
{
    int controls;
    double layoutMs;
    double fullPaintMs;
    double smallPaintMs;
};

Figures Measure(int controls)
{
    testsupport::TestWindow window(kWidth, kHeight);
    CVerticalLayoutUI* root = BuildTree(controls);
    window.manager.AttachDialog(root);
    window.Pump(); // first layout and paint

    RECT client;
    GetClientRect(window.Handle(), &client);
    Figures figures = {controls, 0.0, 0.0, 0.0};
    figures.layoutMs = TimePerRun([&] { root->SetPos(client, false); });
    figures.fullPaintMs = TimePerRun([&] {
        InvalidateRect(window.Handle(), nullptr, FALSE);
        UpdateWindow(window.Handle());
    });
    RECT dirty = {300, 200, 320, 220};
    figures.smallPaintMs = TimePerRun([&] {
        window.manager.Invalidate(dirty);
        UpdateWindow(window.Handle());
    });
    return figures;
}

} // namespace

int main()
{
    std::printf("Layout and paint of a %d x %d window: a scrolling vertical layout of rows of %d controls\n",
                kWidth, kHeight, kCellsPerRow);
    std::printf("(each control: background colour and a 1-pixel border; rows %d pixels high).\n\n", kRowHeight);
    std::vector<Figures> all;
    for (int controls : {1000, 10000}) {
        all.push_back(Measure(controls));
        const Figures& f = all.back();
        std::printf("%6d controls: layout pass %8.3f ms   full paint %8.3f ms   20x20 dirty paint %8.3f ms\n",
                    f.controls, f.layoutMs, f.fullPaintMs, f.smallPaintMs);
        std::fflush(stdout);
    }
    const Figures& small = all[0];
    const Figures& large = all[1];
    std::printf("\nGrowth for %.0fx the controls: layout x%.1f, full paint x%.1f, dirty paint x%.1f\n",
                static_cast<double>(large.controls) / small.controls, large.layoutMs / small.layoutMs,
                large.fullPaintMs / small.fullPaintMs, large.smallPaintMs / small.smallPaintMs);
    return 0;
}
