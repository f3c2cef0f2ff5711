# Live stations: the cluster line reader, the datagram reader, bands,
# placement and the spot store (no toolkit).
korvanta_gtest(test_live_rules SOURCES test_live_cluster.cpp test_live_wsjtx.cpp test_live_store.cpp
               LIBS korvanta_live_rules)
korvanta_gtest(test_live_endpoint SOURCES test_live_endpoint.cpp test_live_labels.cpp LIBS korvanta_live_rules)

# The network ends and korvanta-spots with a cluster stand-in and a UDP
# sender on loopback (no windows).
add_executable(test_live_net test_live_net.cpp ClusterStandIn.h)
target_link_libraries(test_live_net PRIVATE Qt6::Test korvanta_live)
target_compile_definitions(test_live_net PRIVATE KORVANTA_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                           KORVANTA_SPOTS_TOOL="$<TARGET_FILE:korvanta-spots>")
add_dependencies(test_live_net korvanta-spots)
add_test(NAME test_live_net COMMAND test_live_net)

# The viewer's live stations component with real network ends on loopback.
korvanta_qtest(test_live_viewer SOURCES test_live_viewer.cpp ClusterStandIn.h)

# The live stations inside the real viewer: the viewer's hub layer and its
# answer to a chosen spot.
korvanta_qtest(test_live_inviewer SOURCES test_live_inviewer.cpp)
