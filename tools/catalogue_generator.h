// A large, deterministic catalogue for benchmarks and load tests: 29,999 companies, a tree of
// 3,000 nodes, 60,000 company links and 300,000 products, all texts GBK within their limits.
#pragma once

#include "catalogue.h"

// The same catalogue, byte for byte, on every run, compiler and platform: a fixed pseudo-random
// generator with a fixed start value drives every choice.
Catalogue generateLargeCatalogue();
