// The MSN member of the adapter family: one MSN account for one login of the
// user, translated between the program's vocabulary (status codes, roster
// entries, the adapter events) and the MSN client's.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/Comunicadores.h"
#include "msn/ClienteMSN.h"
#include "net/Runtime.h"

namespace tazu::msn {

class TComunicadorMSN : public TInterfaceComunicador {
 public:
  // The network type of MSN accounts in the program's records.
  static constexpr int kTipo = 4;

  // `status` is the initial status; the account logs in at `host`:`porta`
  // (the dispatch server).
  TComunicadorMSN(net::Runtime& runtime, uint8_t status, const std::string& identificador,
                  const std::string& senha, const std::string& host, uint16_t porta);
  ~TComunicadorMSN() override;

  void Conectar() override;
  void Desconectar(const std::string& motivo) override;
  void EnviarMensagem(const std::string& remetente, const std::string& identificador,
                      const std::string& mensagem) override;
  void MudarStatus(uint8_t status) override;
  void AdicionarContato(const std::string& identificador) override;
  void RemoverContato(const std::string& identificador) override;

  const TClienteMSN& Cliente() const { return *cliente_; }

 private:
  void LigarEventos();
  void AnunciarContato(const std::string& id, const std::string& apelido, uint8_t status);
  void MensagemChegou(const std::string& id, const std::string& apelido, const std::string& texto);
  TUsuario* Registro(const std::string& id, const std::string& apelido, int16_t status);
  void Confirmar(const std::string& id, bool recebido, const std::string& texto);

  std::unique_ptr<TClienteMSN> cliente_;
  // Passed as the user of announcements and messages and as the reason of
  // our own disconnections; nothing assigns it.
  std::string textoNIU_;
  bool desconectado_ = false;  // the base disconnect happened
};

}  // namespace tazu::msn
