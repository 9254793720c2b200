// The Yahoo member of the adapter family: one TClienteYahoo, and the
// translation between it and the program's vocabulary (status codes, roster
// entries, the adapter events of core/Comunicadores.h).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/Comunicadores.h"
#include "net/Runtime.h"
#include "yahoo/ClienteYahoo.h"

namespace tazu::yahoo {

struct TStatusYahoo {
  uint32_t status;
  bool ausente;
};
// Program status code → Yahoo presence and away flag.
TStatusYahoo StatusYahoo(int32_t codigo);
// Yahoo presence and away flag → program status code.
int32_t StatusDoPrograma(uint32_t status, bool ausente);

class TComunicadorYahoo : public TInterfaceComunicador {
 public:
  // The creation arguments every adapter gets; the second text is not used.
  TComunicadorYahoo(net::Runtime& runtime, int32_t status, const std::string& ignorado,
                    const std::string& niu, const std::string& senha, const std::string& conta);

  // Where the login server is (core/ServidoresExternos has the setting).
  void DefinirServidor(const std::string& host, uint16_t porta);
  TClienteYahoo& Sessao() { return sessao_; }
  bool Conectado() const { return conectado_; }

  void Conectar() override;
  void Desconectar(const std::string& motivo) override;
  void EnviarMensagem(const std::string& remetente, const std::string& identificador,
                      const std::string& mensagem) override;
  void MudarStatus(uint8_t status) override;
  void AdicionarContato(const std::string& identificador) override;
  void RemoverContato(const std::string& identificador) override;

 private:
  void Ligar();
  void Anunciar(const std::string& id, uint32_t status, bool ausente);
  void MensagemRecebida(const std::string& id, const std::string& texto, bool utf8);

  TClienteYahoo sessao_;
  bool conectado_ = false;
  bool desligado_ = false;  // the base Desconectar ran: this adapter is done
  std::string niu_;
  // Messages sent while the login was under way, oldest first.
  std::vector<std::pair<std::string, std::string>> aEnviar_;
  void NaoEntregues();
};

}  // namespace tazu::yahoo
