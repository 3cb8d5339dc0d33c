// Small helpers shared by the benchmarks: clocks, memory figures, files and child runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

double nowSeconds();
// CPU time of this process (user + system), unaffected by waiting for a core.
double cpuSeconds();
double median(std::vector<double> values);

// A "Vm..." figure of /proc/self/status in KiB (VmHWM: peak resident set, VmRSS: current), or -1.
long statusKb(const char* field);
// Resets this process's VmHWM to its current resident set (Linux clear_refs "5").
bool resetPeakResident();

std::string makeTempDir(const char* prefix);
void removeTree(const std::string& dir);
bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> readFile(const std::string& path);
long long fileSize(const std::string& path);

// Runs this executable again with the arguments and returns what it printed on standard
// output; a fresh process, so its memory figures are its own.
std::string runSelf(const std::string& arguments);
