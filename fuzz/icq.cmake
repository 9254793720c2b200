# ICQ: the OSCAR codec's readers and framer, the logged-in engine's handlers of
# incoming SNACs, and the simulator facing any client.
tazu_fuzz(icq_codec SOURCES FuzzICQCodec.cpp DEPS tazu_icq_codec tazu_icq)
tazu_fuzz(icq_sessao SOURCES FuzzICQSessao.cpp DEPS tazu_test_support_icq)
tazu_fuzz(icq_simulador SOURCES FuzzICQSimulador.cpp DEPS tazu_test_support_icq)
