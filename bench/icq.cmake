# ICQ figures: frame parsing, the server-side list, login through SOCKS5, a
# 1,000-contact account reaching the Tazu client.
tazu_bench(icq_bench SOURCES IcqBench.cpp DEPS tazu_test_support_icq tazu_net_epoll)
