#pragma once
// A broken property aborts: libFuzzer then keeps the input as a crash, and
// the corpus replay fails its test.
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(c) \
    ((c) ? void() : (std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #c), std::abort()))
