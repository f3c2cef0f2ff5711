korvanta_bench(bench_antenna SOURCES bench_antenna.cpp LIBS korvanta_ui)
