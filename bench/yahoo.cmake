# Yahoo: packets read and written, and a 1,000-buddy login through the hub.
tazu_bench(yahoo_bench SOURCES YahooBench.cpp DEPS tazu_test_support_yahoo)
