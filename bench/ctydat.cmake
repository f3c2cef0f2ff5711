korvanta_bench(bench_ctydat SOURCES bench_ctydat.cpp LIBS korvanta_dx korvanta_core)
