# The arrows between the folders, checked by include direction: every
# #include "folder/..." of every C++ file must point at a folder its own folder
# may use, and Qt only where the windows and the Qt runtime live. Folders that
# do not exist yet (shell, app, yahoo, msn, icq, sim) are in the table already;
# a folder of C++ files missing from it fails the check until it is given a
# place.
#
#   cmake -DROOT=<source tree> -P CheckLayers.cmake
cmake_minimum_required(VERSION 3.22)

# A folder's layer is its longest matching entry; a file may have its own.
set(camadas
    base net net/qt net/testing net/epoll core server yahoo msn icq redes skin shell app cli
    cli/main.cpp tazud sim skin-src tools tests tests/support bench fuzz)

# What each layer may include besides itself. X-codec is the codec of network
# X: its files named Codec*, which the server and the simulators use in the
# server role.
set(produto base net net/qt net/testing net/epoll core server yahoo msn icq redes skin shell app
            cli cli/main.cpp tazud sim skin-src)
set(usa_base "")
set(usa_net base)
set(usa_net/qt net base)
set(usa_net/testing net base)
set(usa_net/epoll net base)
set(usa_core net base)
set(usa_server core net base)
set(usa_yahoo core net base)
set(usa_msn core net base)
set(usa_icq core net base)
# Where the programs register the outside networks' adapters with the hub.
set(usa_redes server yahoo msn icq core net base)
set(usa_skin core net base)
set(usa_shell skin server core net base)
set(usa_app shell skin redes server yahoo msn icq core net net/qt base)
set(usa_cli server yahoo msn icq core net base)
# The program picks its runtime (the client's, on Qt's event loop) and
# registers the outside networks.
set(usa_cli/main.cpp cli redes server yahoo msn icq core net net/qt base)
set(usa_tazud core net net/epoll base yahoo-codec msn-codec icq-codec)
set(usa_sim core net net/epoll base yahoo-codec msn-codec icq-codec)
set(usa_skin-src base)
# Tools, tests, benchmarks and fuzz targets use anything; nothing uses them,
# but the tests' shared library serves benchmarks and fuzz targets as well.
set(usa_tools ${produto})
set(usa_tests ${produto} tests/support)
set(usa_tests/support ${produto})
set(usa_bench ${produto} tests/support)
set(usa_fuzz ${produto} tests/support)

set(com_qt net/qt skin shell app cli/main.cpp skin-src tools tests tests/support bench fuzz)

# The layer of a path relative to the root; empty when it has none.
function(camada_de caminho saida)
  set(melhor "")
  foreach(c ${camadas})
    string(LENGTH "${c}" n)
    string(LENGTH "${melhor}" m)
    if((caminho STREQUAL c OR caminho MATCHES "^${c}/") AND n GREATER m)
      set(melhor "${c}")
    endif()
  endforeach()
  if(melhor MATCHES "^(yahoo|msn|icq)$")
    get_filename_component(nome "${caminho}" NAME)
    if(nome MATCHES "^Codec")
      set(melhor "${melhor}-codec")
    endif()
  endif()
  set(${saida} "${melhor}" PARENT_SCOPE)
endfunction()

function(pode_usar origem alvo saida)
  string(REGEX REPLACE "-codec$" "" pasta "${alvo}")
  set(permitidas ${origem} ${usa_${origem}})
  if(alvo IN_LIST permitidas OR pasta IN_LIST permitidas)
    set(${saida} TRUE PARENT_SCOPE)
  elseif(origem STREQUAL "tests" AND alvo MATCHES "^tests")
    set(${saida} TRUE PARENT_SCOPE)  # test folders may share their helpers
  else()
    set(${saida} FALSE PARENT_SCOPE)
  endif()
endfunction()

set(arquivos "")
file(GLOB topo LIST_DIRECTORIES true RELATIVE "${ROOT}" "${ROOT}/*")
foreach(pasta ${topo})
  if(NOT IS_DIRECTORY "${ROOT}/${pasta}" OR pasta MATCHES "^(build|\\.)")
    continue()
  endif()
  file(GLOB_RECURSE achados RELATIVE "${ROOT}" "${ROOT}/${pasta}/*.h" "${ROOT}/${pasta}/*.hpp"
       "${ROOT}/${pasta}/*.cpp" "${ROOT}/${pasta}/*.cc")
  list(APPEND arquivos ${achados})
endforeach()

set(erros "")
foreach(arquivo ${arquivos})
  camada_de("${arquivo}" origem)
  if(origem STREQUAL "")
    list(APPEND erros "${arquivo}: its folder has no place among the layers (tests/CheckLayers.cmake)")
    continue()
  endif()
  string(REGEX REPLACE "-codec$" "" origem "${origem}")
  get_filename_component(dir "${arquivo}" DIRECTORY)
  file(STRINGS "${ROOT}/${arquivo}" linhas REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(linha ${linhas})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*([<\"])([^>\"]*)[>\"].*$" "\\1\\2" inc "${linha}")
    string(SUBSTRING "${inc}" 0 1 aspas)
    string(SUBSTRING "${inc}" 1 -1 inc)
    if(aspas STREQUAL "<")
      if(inc MATCHES "^(Q[A-Za-z0-9_]+|Qt[A-Za-z0-9]*/.*)$" AND NOT origem IN_LIST com_qt)
        list(APPEND erros "${arquivo} includes <${inc}>: no Qt in ${origem}/ (Qt lives in net/qt, skin, shell and app)")
      endif()
      continue()
    endif()
    # Includes name files from the root; a bare name is beside the includer.
    set(alvo_caminho "${inc}")
    if(NOT EXISTS "${ROOT}/${inc}" AND EXISTS "${ROOT}/${dir}/${inc}")
      set(alvo_caminho "${dir}/${inc}")
    endif()
    camada_de("${alvo_caminho}" alvo)
    if(alvo STREQUAL "")
      continue()  # not one of ours (generated, or a library's)
    endif()
    pode_usar("${origem}" "${alvo}" pode)
    if(NOT pode)
      string(REPLACE ";" ", " lista "${usa_${origem}}")
      list(APPEND erros "${arquivo} includes \"${inc}\": ${origem}/ may not use ${alvo}/ (it may use ${lista})")
    endif()
  endforeach()
endforeach()

if(erros)
  string(REPLACE ";" "\n  " texto "${erros}")
  message(FATAL_ERROR "Includes against the layers:\n  ${texto}")
endif()
list(LENGTH arquivos n)
message(STATUS "include direction: ${n} files follow the layers")
