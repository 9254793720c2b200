# tazud: searches against a store of many users.
tazu_bench(tazud_bench SOURCES TazudBench.cpp DEPS tazu_tazud)
