// Time of the drawing's way from text to picture: reading, describing the
// machine, building the picture and writing the SVG, on the largest model's
// file and on a 2,000-state drawing.
#include <benchmark/benchmark.h>

#include <stdexcept>

#include "LargeDrawing.h"
#include "LargestModel.h"
#include "drawing/SvgWriter.h"

namespace {

using namespace kestrom::drawing;

const std::string& Text(int which) {
    static const std::string largest = kestrom::bench::LargestAsfText();
    static const std::string large = kestrom::bench::LargeDrawingAsfText();
    return which == 0 ? largest : large;
}

void Label(benchmark::State& state) {
    state.SetLabel(state.range(0) == 0 ? "largest model" : "2,000-state drawing");
    state.SetBytesProcessed(state.iterations() * Text(state.range(0)).size());
}

void BM_ReadDrawing(benchmark::State& state) {
    for (auto _ : state) {
        const Drawing drawing = ReadDrawingText(Text(state.range(0)));
        benchmark::DoNotOptimize(drawing.Objects.data());
    }
    Label(state);
}
BENCHMARK(BM_ReadDrawing)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ReadDescribePicture(benchmark::State& state) {
    for (auto _ : state) {
        const Drawing drawing = ReadDrawingText(Text(state.range(0)));
        const DrawnMachine machine = DescribeMachine(drawing);
        const Picture picture = BuildPicture(drawing, machine);
        benchmark::DoNotOptimize(picture.Items.data());
    }
    Label(state);
}
BENCHMARK(BM_ReadDescribePicture)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_WriteSvg(benchmark::State& state) {
    const Drawing drawing = ReadDrawingText(Text(state.range(0)));
    const DrawnMachine machine = DescribeMachine(drawing);
    const Picture picture = BuildPicture(drawing, machine);
    if (state.range(0) == 1 && machine.Diagrams[0].States.size() != 2000)
        throw std::logic_error("the large drawing did not read as 2,000 states");
    for (auto _ : state) {
        const std::string svg = WriteSvg(picture);
        benchmark::DoNotOptimize(svg.data());
    }
    Label(state);
}
BENCHMARK(BM_WriteSvg)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
