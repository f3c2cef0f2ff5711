korvanta_bench(bench_dxlists SOURCES bench_dxlists.cpp LIBS korvanta_dx)
