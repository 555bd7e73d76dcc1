#include "bench_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sys/resource.h>

namespace tarvenix::bench {

void row(const std::string& what, const std::string& measured, const std::string& target)
{
    std::printf("| %s | %s | %s |\n", what.c_str(), measured.c_str(), target.c_str());
    std::fflush(stdout);
}

std::string fixed(double value, int decimals)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    return buf;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(std::ceil(p / 100.0 * static_cast<double>(values.size()))) - 1;
    return values[std::min(index, values.size() - 1)];
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

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

} // namespace tarvenix::bench
