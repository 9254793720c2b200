# The search window's results and the user information window.
if(TARGET tazu_shell)
  tazu_bench(shell2_bench SOURCES Shell2Bench.cpp QtMain.cpp DEPS tazu_shell tazu_net_qt)
  add_dependencies(shell2_bench tazu_skin_files)
endif()
