# The manager's lists with thousands of contacts.
if(TARGET tazu_shell)
  tazu_bench(shell_bench SOURCES ShellBench.cpp QtMain.cpp DEPS tazu_shell tazu_net_qt)
  add_dependencies(shell_bench tazu_skin_files)
endif()
