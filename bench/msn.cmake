# MSN: a 1,000-contact forward list to the hub, switchboard payloads per second.
tazu_bench(msn_bench SOURCES MsnBench.cpp DEPS tazu_test_support_msn)
