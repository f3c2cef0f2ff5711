# The antenna console: the rotator's rules, its channels and the viewer's component.
korvanta_gtest(test_antenna_rules SOURCES test_antenna_rules.cpp LIBS korvanta_link_rules)
