// A program the test starts (a proxy, a server) and ends by its own process
// id when the object goes, with the helpers to give it a free port on
// 127.0.0.1 and to wait until it listens.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tazu::test {

class ProcessoExterno {
 public:
  // Starts `argv` (argv[0] a path or a name looked up in PATH) in a process
  // group of its own, standard output and error into `log` (a file path;
  // empty: /dev/null).
  explicit ProcessoExterno(std::vector<std::string> argv, const std::string& log = {});
  ~ProcessoExterno();
  ProcessoExterno(const ProcessoExterno&) = delete;
  ProcessoExterno& operator=(const ProcessoExterno&) = delete;

  bool Iniciado() const { return pid_ > 0; }
  pid_t Pid() const { return pid_; }
  // Ends the program (and the children it forked) and waits for it.
  void Encerrar();

 private:
  pid_t pid_ = -1;
};

// A port nothing listens on right now (the kernel's pick for port 0).
uint16_t PortaLivre();
// Waits until something accepts connections on 127.0.0.1:porta.
bool EsperarPorta(uint16_t porta, int ms = 5000);
// Whether a program is installed (found in PATH or at that path).
bool Instalado(const std::string& programa);

}  // namespace tazu::test
