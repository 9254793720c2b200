# The MSN command and payload parser, through the frame reader and a logged-in
# client on the notification connection or a switchboard.
tazu_fuzz(msn SOURCES FuzzMSN.cpp DEPS tazu_test_support_msn)
