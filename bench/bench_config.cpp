// Loading and saving a full configuration file, beside the naive save that
// rewrites the file once per entry as the Windows profile functions do.
#include "bench_report.h"
#include "config/configuration.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

using namespace tarvenix;

namespace {

std::filesystem::path scratchFile()
{
    static const std::filesystem::path dir = [] {
        char name[] = "/tmp/tarvenix-bench-XXXXXX";
        return std::filesystem::path(mkdtemp(name));
    }();
    return dir / "full.mbvkt";
}

void BM_Load(benchmark::State& state)
{
    saveConfiguration(scratchFile(), bench::fullForm());
    for (auto _ : state)
        benchmark::DoNotOptimize(loadConfiguration(scratchFile()));
}

void BM_Save(benchmark::State& state)
{
    const FormSnapshot form = bench::fullForm();
    for (auto _ : state)
        benchmark::DoNotOptimize(saveConfiguration(scratchFile(), form));
}

void BM_NaiveSave(benchmark::State& state)
{
    const FormSnapshot form = bench::fullForm();
    for (auto _ : state) {
        for (const ConfigEntry& entry : configEntries())
            writeProfileString(scratchFile(), entry.section, entry.key, configValue(form, entry));
    }
}

} // namespace

BENCHMARK(BM_Load)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Save)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NaiveSave)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(scratchFile().parent_path());
    return 0;
}
