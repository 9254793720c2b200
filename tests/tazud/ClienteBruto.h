// A Tazu client on a plain socket over 127.0.0.1, for tests that need the
// kernel: it reads only when told, may keep its receive buffer small, may look
// at what its kernel holds without taking it, and may reset the connection.
#pragma once

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

#include "core/ProtocoloTazu.h"
#include "core/UGlobal.h"

namespace tazu::tazud::test {

class TClienteBruto {
 public:
  explicit TClienteBruto(uint16_t porta, int bufferDeRecepcao = 0) {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    if (bufferDeRecepcao > 0) {
      setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &bufferDeRecepcao, sizeof(int));
    }
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(porta);
    inet_pton(AF_INET, "127.0.0.1", &a.sin_addr);
    conectado_ = connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    cripto_.Chave = 0;
  }
  ~TClienteBruto() {
    if (fd_ >= 0) close(fd_);
  }
  bool Conectado() const { return conectado_; }

  void Enviar(const std::string& linha) {
    const std::string bytes = PrepararEnvio(linha, cripto_);
    ASSERT_EQ(send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(bytes.size()));
  }
  // Reads what is there (at most `limite` bytes), without waiting; false once
  // the server closed.
  bool Ler(std::size_t limite = SIZE_MAX) {
    char b[65536];
    while (limite > 0) {
      const ssize_t n = recv(fd_, b, std::min(sizeof b, limite), MSG_DONTWAIT);
      if (n == 0) return false;
      if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK;
      limite -= static_cast<std::size_t>(n);
      Ler(leitor_, std::string_view(b, static_cast<std::size_t>(n)), linhas);
    }
    return true;
  }
  // The whole lines the kernel holds for us and we have not read, left there.
  std::vector<std::string> Espiar() {
    int n = 0;
    ioctl(fd_, FIONREAD, &n);
    std::string b(static_cast<std::size_t>(n), '\0');
    const ssize_t lidos = n > 0 ? recv(fd_, b.data(), b.size(), MSG_PEEK | MSG_DONTWAIT) : 0;
    std::vector<std::string> espiadas;
    TLeitorDeLinhas copia = leitor_;
    if (lidos > 0)
      Ler(copia, std::string_view(b.data(), static_cast<std::size_t>(lidos)), espiadas);
    return espiadas;
  }
  int BytesEsperando() const {
    int n = 0;
    ioctl(fd_, FIONREAD, &n);
    return n;
  }
  // Ends the connection with a reset: what the kernel held is lost.
  void Derrubar() {
    const linger agora{1, 0};
    setsockopt(fd_, SOL_SOCKET, SO_LINGER, &agora, sizeof agora);
    close(fd_);
    fd_ = -1;
  }
  bool Recebeu(const std::string& prefixo) const {
    for (const auto& l : linhas) {
      if (l.rfind(prefixo, 0) == 0) return true;
    }
    return false;
  }
  void Identificar(uint16_t niu, const std::string& senha) {
    Enviar(MontarLinha("CVER",
                       {"127.0.0.1", "1", std::to_string(niu), "1.0 AA", "P", "Tazu Messenger"}));
    senha_ = senha;
  }

  std::vector<std::string> linhas;

 private:
  void Ler(TLeitorDeLinhas& leitor, std::string_view bytes, std::vector<std::string>& saida) {
    leitor.Alimentar(bytes, [&](std::string_view l) {
      std::string linha = AbrirLinha(l, cripto_);
      // RVER hands out the key of everything after it, and asks for the password.
      if (linha.rfind("[RVER]", 0) == 0 && &saida == &linhas) {
        cripto_.Chave = static_cast<uint8_t>(std::stoi(linha.substr(linha.rfind('\xA7') + 1)));
        Enviar(MontarLinha("CCON", {senha_, "1"}));
      }
      saida.push_back(std::move(linha));
      return true;
    });
  }

  int fd_ = -1;
  bool conectado_ = false;
  std::string senha_;
  TCriptografia cripto_;
  TLeitorDeLinhas leitor_;
};

}  // namespace tazu::tazud::test
