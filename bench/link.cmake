korvanta_bench(bench_link SOURCES bench_link.cpp LIBS korvanta_link)
