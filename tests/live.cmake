# Live stations: the cluster line reader, the datagram reader, bands,
# placement and the spot store (no toolkit).
korvanta_gtest(test_live_rules SOURCES test_live_cluster.cpp test_live_wsjtx.cpp test_live_store.cpp
               LIBS korvanta_live_rules)
