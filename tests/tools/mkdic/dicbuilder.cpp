// The builder is shared with the speller tests and the benchmark.
#include "tests/speller/dicbuilder_support.cpp"
