// Layout and paint benchmark: a 680 x 440 window whose scrolling vertical
// layout holds rows (horizontal layouts) of plain controls with a background
// colour and a border, 1,000, 10,000 and 100,000 controls in all. For each
// size it tells the memory the tree takes per control, and times one layout
// pass of the whole tree, a full repaint of the window and a repaint of one
// 20 x 20 dirty rectangle. The sizes are measured in interleaved rounds; each
// figure is the median of the rounds with their range.
#include "Facet.h"
#include "../BenchTiming.h"
#include "../../tests/support/TestWindow.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <vector>

using namespace Facet;

namespace {

const int kWidth = 680;
const int kHeight = 440;
const int kCellsPerRow = 10;
const int kRowHeight = 20;
const int kSizes[] = {1000, 10000, 100000};
const int kRounds = 7;
const double kMinSeconds = 0.3;
const int kMinRuns = 3;

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

// The bytes of every allocated block of every heap of the process, block
// overheads included: what the tree takes from the heap.
double HeapBytes()
{
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
    heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
    double bytes = 0;
    for (HANDLE heap : heaps) {
        if (!HeapLock(heap))
            continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heap, &entry)) {
            if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0)
                bytes += static_cast<double>(entry.cbData) + entry.cbOverhead;
        }
        HeapUnlock(heap);
    }
    return bytes;
}

// Milliseconds per run of `step`, over at least kMinSeconds and kMinRuns.
template <typename Step>
double TimePerRun(Step step)
{
    return bench::SecondsPerRun(step, kMinSeconds, kMinRuns) * 1000.0;
}

// One window with its tree, laid out and painted once.
struct Scene
{
    explicit Scene(int count) : controls(count), window(kWidth, kHeight)
    {
        const double before = HeapBytes();
        root = BuildTree(controls);
        window.manager.AttachDialog(root);
        window.Pump(); // first layout and paint
        // Rows count too: a row is a control the tree needs for every ten cells.
        bytesPerControl = (HeapBytes() - before) / controls;
    }

    int controls;
    testsupport::TestWindow window;
    CVerticalLayoutUI* root = nullptr;
    double bytesPerControl = 0;
    std::vector<double> layoutMs, fullPaintMs, smallPaintMs;
};

void MeasureRound(Scene& scene)
{
    HWND hwnd = scene.window.Handle();
    RECT client;
    GetClientRect(hwnd, &client);
    scene.layoutMs.push_back(TimePerRun([&] { scene.root->SetPos(client, false); }));
    scene.fullPaintMs.push_back(TimePerRun([&] {
        InvalidateRect(hwnd, nullptr, FALSE);
        UpdateWindow(hwnd);
    }));
    RECT dirty = {300, 200, 320, 220};
    scene.smallPaintMs.push_back(TimePerRun([&] {
        scene.window.manager.Invalidate(dirty);
        UpdateWindow(hwnd);
    }));
}

void PrintFigure(const char* label, const bench::Spread& s, const char* unit)
{
    std::printf("   %-22s %10.3f %s  (%.3f .. %.3f)\n", label, s.median, unit, s.low, s.high);
}

// Microseconds per control of each round's layout pass.
bench::Spread LayoutPerControl(const Scene& scene)
{
    std::vector<double> perControl;
    for (double ms : scene.layoutMs)
        perControl.push_back(ms * 1000.0 / scene.controls);
    return bench::SpreadOf(perControl);
}

} // namespace

int main()
{
    std::printf("Layout and paint of a %d x %d window: a scrolling vertical layout of rows of %d controls\n", kWidth,
                kHeight, kCellsPerRow);
    std::printf("(each control: background colour and a 1-pixel border; rows %d pixels high).\n", kRowHeight);
    CControlUI probe;
    const auto sizeEventEnd = reinterpret_cast<const char*>(&probe.OnSize + 1) - reinterpret_cast<const char*>(&probe);
    std::printf("sizeof(CControlUI) %zu, sizeof(CHorizontalLayoutUI) %zu bytes; a layout pass reads the first %td "
                "bytes of a control (prefetch hint %u)\n\n",
                sizeof(CControlUI), sizeof(CHorizontalLayoutUI), sizeEventEnd, CControlUI::kLayoutBytes);
    std::fflush(stdout);

    std::vector<std::unique_ptr<Scene>> scenes;
    for (int size : kSizes)
        scenes.push_back(std::make_unique<Scene>(size));
    for (int round = 0; round < kRounds; ++round) {
        for (auto& scene : scenes)
            MeasureRound(*scene);
    }

    std::printf("median of %d interleaved rounds (range)\n", kRounds);
    for (const auto& scene : scenes) {
        std::printf("%6d controls: %.0f bytes per control (heap blocks of the tree, rows included)\n", scene->controls,
                    scene->bytesPerControl);
        PrintFigure("layout pass", bench::SpreadOf(scene->layoutMs), "ms");
        PrintFigure("layout per control", LayoutPerControl(*scene), "us");
        PrintFigure("full paint", bench::SpreadOf(scene->fullPaintMs), "ms");
        PrintFigure("20x20 dirty paint", bench::SpreadOf(scene->smallPaintMs), "ms");
    }
    const Scene& small = *scenes.front();
    const Scene& large = *scenes.back();
    std::vector<double> ratios;
    for (size_t i = 0; i < large.layoutMs.size() && i < small.layoutMs.size(); ++i)
        ratios.push_back(large.layoutMs[i] / large.controls / (small.layoutMs[i] / small.controls));
    const bench::Spread ratio = bench::SpreadOf(ratios);
    std::printf("\nLayout time per control, %d against %d controls, median of the rounds' ratios: x%.2f (%.2f .. %.2f; "
                "flat would be x1.00)\n",
                large.controls, small.controls, ratio.median, ratio.low, ratio.high);
    std::printf("Growth for %.0fx the controls: full paint x%.1f, dirty paint x%.1f\n",
                static_cast<double>(large.controls) / small.controls,
                bench::SpreadOf(large.fullPaintMs).median / bench::SpreadOf(small.fullPaintMs).median,
                bench::SpreadOf(large.smallPaintMs).median / bench::SpreadOf(small.smallPaintMs).median);
    return 0;
}
