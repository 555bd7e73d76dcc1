#pragma once
// One row of the benchmark table: what was measured, the figure, the target.

#include "config/form.h"

#include <string>
#include <vector>

namespace tarvenix::bench {

void row(const std::string& what, const std::string& measured, const std::string& target);
std::string fixed(double value, int decimals);
double percentile(std::vector<double> values, double p); // p in 0..100
double cpuSeconds(); // user + system time of this process

// Every row of both tables in use, every data box at its longest.
FormSnapshot fullForm();

} // namespace tarvenix::bench
