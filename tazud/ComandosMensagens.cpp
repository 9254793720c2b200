// Messages between users.
#include <chrono>
#include <string>

#include "core/UGlobal.h"
#include "tazud/Escapes.h"
#include "tazud/Servidor.h"
#include "tazud/Sessao.h"

namespace tazu::tazud {

bool TServidor::CabeNaCaixa(TSessao& s, const TUsuario& destino) {
  // A bound per sender as well, so that one sender cannot fill a mailbox and
  // shut everyone else out of it.
  const textos::TErro* erro = nullptr;
  std::string_view fim;
  if (banco_.ContarMensagens(destino.niu, s.niu) >= config_.mensagensGuardadasPorRemetente) {
    erro = &textos::ErroCotaDoRemetente1;
    fim = textos::ErroCotaDoRemetente2;
  } else if (banco_.ContarMensagens(destino.niu) >= config_.mensagensGuardadasPorUsuario) {
    erro = &textos::ErroCaixaCheia1;
    fim = textos::ErroCaixaCheia2;
  }
  if (erro == nullptr) return true;
  std::string texto(erro->texto);
  texto += SemSeparador(destino.apelido);
  texto += fim;
  Enviar(s, MontarLinha("RERR", {std::to_string(erro->numero), texto}));
  return false;
}

// [CMSG]§NIU§text (tag-escaped). Handed to an online recipient's kernel at
// once when nothing for it is ahead (SCEM, no row while the recipient's TCP
// acknowledges it); otherwise stored first, then handed over in its turn
// (SCEM) or kept for the next login (SNEM).
void TServidor::CMSG(TSessao& s, std::string& resto) {
  const std::string campo = ProximoCampo(resto, Separador);
  const Niu para = LerNiu(s, campo, "CMSG");
  if (para == 0) return;
  const std::string texto = TextoLivre(resto);
  const int64_t quando =
      std::chrono::duration_cast<std::chrono::seconds>(runtime_.WallNow().time_since_epoch())
          .count();
  TSessao* destino = Online(para);
  const std::string niu = std::to_string(para);
  std::string linha;
  bool parcial = false;
  if (destino != nullptr) {
    linha = MontarLinha(
        "CMSG", {std::to_string(s.niu), EscreverApelido(s.apelido), textos::PresencaAoVivo, texto});
    const TEntregaDireta entrega = EntregarJa(*destino, linha);
    if (entrega == TEntregaDireta::NoKernel) {
      destino->remetentes.insert(s.niu);
      ManterAteConfirmar(*destino, s.niu, texto, quando);
      Enviar(s, MontarLinha("SCEM", {niu}));
      return;
    }
    // Part of it is on the wire; the rest waits in the socket and dies with
    // the process, so it is stored until the rest has left too.
    parcial = entrega == TEntregaDireta::Parcial;
  } else {
    const std::optional<TUsuario> u = UsuarioExistente(s, para);
    if (!u || !CabeNaCaixa(s, *u)) return;
  }
  if (!Gravar(s)) return;
  const int64_t id = banco_.GravarMensagem(s.niu, para, texto, quando);
  if (destino == nullptr) {
    Enviar(s, MontarLinha("SNEM", {niu, texto}));
    return;
  }
  destino->remetentes.insert(s.niu);
  // While older messages are still being loaded from the store, this one
  // waits there too and the loading reaches it in order. Otherwise it queues
  // behind what is ahead of it and goes out after the commit.
  if (parcial || !destino->maisMensagens) {
    if (!parcial) Enviar(*destino, linha);
    destino->entregas_.push_back(
        TSessao::TEntrega::Guardada(destino->enviados_ + destino->saida_.size(), true, id));
    if (destino->ultimaMensagem < id) destino->ultimaMensagem = id;
  }
  Enviar(s, MontarLinha("SCEM", {niu}));
}

}  // namespace tazu::tazud
