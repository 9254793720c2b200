# Yahoo: what a server sends to the client, what a client sends to the
# simulated server.
tazu_fuzz(yahoo SOURCES FuzzYahoo.cpp DEPS tazu_test_support_yahoo)
tazu_fuzz(sim_yahoo SOURCES FuzzSimYahoo.cpp DEPS tazu_test_support_yahoo)
