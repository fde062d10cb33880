// Time of one generation of the largest model: reading the ASF text, checking
// the model and writing the SystemC text, apart and together.
#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>

#include "LargestModel.h"
#include "conversion/AsfReader.h"
#include "conversion/ModelCheck.h"
#include "conversion/SystemCWriter.h"
#include "extensions/ModulePlan.h"

namespace {

using kestrom::Diagnostics;
using kestrom::FsmModel;

const std::string& AsfText() {
    static const std::string text = kestrom::bench::LargestAsfText();
    return text;
}

std::unique_ptr<FsmModel> ReadLargest() {
    auto model = std::make_unique<FsmModel>();
    kestrom::ReadAsfText(AsfText(), *model);
    if (model->StateCount != kestrom::bench::kObjectsPerKind)
        throw std::logic_error("the largest model did not read as 150 states");
    return model;
}

void BM_Read(benchmark::State& state) {
    auto model = std::make_unique<FsmModel>();
    for (auto _ : state) {
        kestrom::ReadAsfText(AsfText(), *model);
        benchmark::DoNotOptimize(model->StateCount);
    }
    state.SetBytesProcessed(state.iterations() * AsfText().size());
}
BENCHMARK(BM_Read)->Unit(benchmark::kMillisecond);

void BM_Check(benchmark::State& state) {
    const auto model = ReadLargest();
    for (auto _ : state) {
        Diagnostics warnings = kestrom::CheckModel(*model);
        benchmark::DoNotOptimize(warnings.data());
    }
}
BENCHMARK(BM_Check)->Unit(benchmark::kMillisecond);

void BM_Write(benchmark::State& state) {
    const auto model = ReadLargest();
    std::size_t bytes = 0;
    for (auto _ : state) {
        Diagnostics warnings;
        const std::string text = kestrom::WriteSystemC(*model, warnings);
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["output_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_Write)->Unit(benchmark::kMillisecond);

// The writer alone, its text handed to a sink that keeps nothing: what the
// batch tool spends besides the file's own writes.
class DiscardingOutput : public kestrom::TextOutput {
protected:
    void Take(std::string_view chunk) override { benchmark::DoNotOptimize(chunk.data()); }
};

void BM_WriteStreamed(benchmark::State& state) {
    const auto model = ReadLargest();
    for (auto _ : state) {
        Diagnostics warnings;
        DiscardingOutput out;
        kestrom::WriteSystemC(*model, warnings, out);
        benchmark::DoNotOptimize(warnings.data());
    }
}
BENCHMARK(BM_WriteStreamed)->Unit(benchmark::kMillisecond);

// The warnings every plain run adds after the writer: actions not written and
// conditional transitions of equal priority.
void BM_PlainWarnings(benchmark::State& state) {
    const auto model = ReadLargest();
    for (auto _ : state) {
        Diagnostics warnings;
        benchmark::DoNotOptimize(kestrom::PlaceActions(*model, nullptr, warnings).data());
        kestrom::WarnEqualPriorities(*model, warnings);
        benchmark::DoNotOptimize(warnings.data());
    }
}
BENCHMARK(BM_PlainWarnings)->Unit(benchmark::kMillisecond);

// One whole generation in memory, as the batch tool runs it less the files.
void BM_Generation(benchmark::State& state) {
    auto model = std::make_unique<FsmModel>();
    for (auto _ : state) {
        kestrom::ReadAsfText(AsfText(), *model);
        Diagnostics warnings = kestrom::CheckModel(*model);
        const std::string text = kestrom::WriteSystemC(*model, warnings);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_Generation)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
