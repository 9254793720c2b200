#include "tests/support/icq/ProcessoExterno.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace tazu::test {

namespace {

sockaddr_in Loopback(uint16_t porta) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(porta);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return a;
}

}  // namespace

ProcessoExterno::ProcessoExterno(std::vector<std::string> argv, const std::string& log) {
  pid_ = fork();
  if (pid_ != 0) return;
  setpgid(0, 0);
  const int fd = open(log.empty() ? "/dev/null" : log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd >= 0) {
    dup2(fd, 1);
    dup2(fd, 2);
  }
  std::vector<char*> args;
  for (std::string& a : argv) args.push_back(a.data());
  args.push_back(nullptr);
  execvp(args[0], args.data());
  _exit(127);
}

ProcessoExterno::~ProcessoExterno() {
  Encerrar();
}

void ProcessoExterno::Encerrar() {
  if (pid_ <= 0) return;
  kill(-pid_, SIGTERM);
  kill(pid_, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
      kill(-pid_, SIGKILL);  // children it forked, if any are left
      pid_ = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(-pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

uint16_t PortaLivre() {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a = Loopback(0);
  bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t n = sizeof a;
  getsockname(s, reinterpret_cast<sockaddr*>(&a), &n);
  close(s);
  return ntohs(a.sin_port);
}

bool EsperarPorta(uint16_t porta, int ms) {
  const auto fim = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < fim) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = Loopback(porta);
    const bool ok = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    close(s);
    if (ok) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

bool Instalado(const std::string& programa) {
  if (programa.find('/') != std::string::npos) return access(programa.c_str(), X_OK) == 0;
  const char* path = std::getenv("PATH");
  std::string resto = path ? path : "/usr/bin:/bin";
  resto += ":/usr/sbin:/sbin";
  std::size_t i = 0;
  while (i <= resto.size()) {
    const std::size_t fim = resto.find(':', i);
    const std::string dir = resto.substr(i, fim == std::string::npos ? std::string::npos : fim - i);
    if (!dir.empty() && access((dir + "/" + programa).c_str(), X_OK) == 0) return true;
    if (fim == std::string::npos) break;
    i = fim + 1;
  }
  return false;
}

}  // namespace tazu::test
