// Messages between users.
#include <chrono>
#include <string>

#include "core/UGlobal.h"
#include "tazud/Escapes.h"
#include "tazud/Servidor.h"
#include "tazud/Sessao.h"

namespace tazu::tazud {

// [CMSG]§NIU§text (tag-escaped). Stored first; then handed to the recipient
// when online (the sender hears SCEM), or kept for the next login (SNEM).
void TServidor::CMSG(TSessao& s, std::string& resto) {
  const std::string campo = ProximoCampo(resto, Separador);
  const Niu para = LerNiu(s, campo, "CMSG");
  if (para == 0) return;
  const std::string texto = ProtegerTexto(resto);
  TSessao* destino = Online(para);
  std::string apelidoDestino;
  if (destino == nullptr) {
    const std::optional<TUsuario> u = UsuarioExistente(s, para);
    if (!u) return;
    apelidoDestino = u->apelido;
    if (banco_.ContarMensagens(para) >= config_.mensagensGuardadasPorUsuario) {
      std::string texto2(textos::ErroCaixaCheia1.texto);
      texto2 += SemSeparador(apelidoDestino);
      texto2 += textos::ErroCaixaCheia2;
      Enviar(s, MontarLinha("RERR", {std::to_string(textos::ErroCaixaCheia1.numero), texto2}));
      return;
    }
  }
  if (!Gravar(s)) return;
  const auto quando = std::chrono::duration_cast<std::chrono::seconds>(
                          runtime_.WallNow().time_since_epoch())
                          .count();
  const int64_t id = banco_.GravarMensagem(s.niu, para, texto, quando);
  const std::string niu = std::to_string(para);
  if (destino == nullptr) {
    Enviar(s, MontarLinha("SNEM", {niu, texto}));
    return;
  }
  destino->remetentes.insert(s.niu);
  // While older messages are still being handed over, this one waits its turn
  // behind them (it is stored), so the recipient reads them in order.
  if (!destino->maisMensagens) {
    Enviar(*destino, MontarLinha("CMSG", {std::to_string(s.niu), EscreverApelido(s.apelido),
                                          textos::PresencaAoVivo, texto}));
    destino->entregas_.push_back({destino->enviados_ + destino->saida_.size(), true, id});
    if (destino->ultimaMensagem < id) destino->ultimaMensagem = id;
  }
  Enviar(s, MontarLinha("SCEM", {niu}));
}

}  // namespace tazu::tazud
