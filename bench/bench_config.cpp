// Loading and saving a full configuration file, beside the naive save that
// rewrites the file once per entry as the Windows profile functions do.
#include "config/configuration.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

using namespace tarvenix;

namespace {

FormSnapshot fullForm()
{
    FormSnapshot form;
    form.portText = "3";
    form.baudText = "9600";
    for (std::size_t i = 0; i < form.keyRows.size(); ++i) {
        form.keyRows[i] = {1 + static_cast<int>(i % 8), 1, std::string(58, 'B')};
        form.voiceRows[i] = {1 + static_cast<int>(i), std::string(58, 'C')};
    }
    return form;
}

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
    saveConfiguration(scratchFile(), fullForm());
    for (auto _ : state)
        benchmark::DoNotOptimize(loadConfiguration(scratchFile()));
}

void BM_Save(benchmark::State& state)
{
    const FormSnapshot form = fullForm();
    for (auto _ : state)
        benchmark::DoNotOptimize(saveConfiguration(scratchFile(), form));
}

void BM_NaiveSave(benchmark::State& state)
{
    const FormSnapshot form = fullForm();
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
