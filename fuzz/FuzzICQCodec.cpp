// Whatever bytes arrive, the FLAP framer and every reader of the OSCAR codec
// stay within what they were given (ASan watches) and a frame handed back
// lies inside the stream.
#include <cstdint>
#include <string>
#include <vector>

#include "icq/CodecCliente.h"
#include "icq/CodecLista.h"
#include "icq/CodecMeta.h"
#include "icq/CodecServidor.h"
#include "icq/Rtf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tazu::icq;
  const std::string_view b(reinterpret_cast<const char*>(data), size);
  TMontadorFlap montador;
  std::size_t corte = size ? 1 + data[0] % 17 : 1;
  for (std::size_t i = 0; i < size; i += corte) {
    montador.Alimentar(b.substr(i, corte));
    TFlap q;
    while (montador.Proximo(q) == TMontadorFlap::Resultado::Quadro)
      if (q.dados.size() > kMaxDadosFlap || q.bruto.size() != q.dados.size() + 6) __builtin_trap();
  }
  TSnac s;
  const std::string_view dados = LerSnac(b, s) ? s.dados : b;
  TPresenca p;
  TMensagemRecebida m;
  TConfirmacao c;
  TPedidoAutorizacao pa;
  TRespostaAutorizacao ra;
  std::vector<TItemLista> itens;
  uint16_t codigo = 0;
  std::string uin;
  cliente::LerRespostaLogin(dados);
  cliente::LerPresenca(dados, p);
  cliente::LerContatoSaiu(dados, uin);
  cliente::LerMensagem(dados, m);
  cliente::LerConfirmacao(dados, c);
  cliente::LerResultadoLista(dados, codigo);
  cliente::LerPedidoAutorizacao(dados, pa);
  cliente::LerRespostaAutorizacao(dados, ra);
  cliente::LerAdicionouVoce(dados, uin);
  if (lista::LerLista(dados, itens)) lista::Entradas(itens);
  meta::TMeta mt;
  if (meta::Ler(dados, mt)) {
    meta::TRespostaInfo r;
    meta::TInfoGeral g;
    meta::TInfoMais mais;
    meta::TInfoTrabalho t;
    meta::TInfoCurta curta;
    meta::TResultadoBusca busca;
    meta::TMensagemOffline o;
    meta::TPedidoInfo pedido;
    meta::LerMensagemOffline(mt.dados, o);
    meta::LerPedidoInfo(mt.dados, pedido);
    if (meta::LerRespostaInfo(mt.dados, r)) {
      meta::LerGeral(r.dados, g);
      meta::LerMais(r.dados, mais);
      meta::LerTrabalho(r.dados, t);
      meta::LerCurta(r.dados, curta);
      meta::LerResultadoBusca(r.dados, busca);
    }
  }
  servidor::TLogin login;
  TMensagemEnviada e;
  TConfirmacaoEnviada ce;
  TInfoDireta d;
  uint32_t status;
  bool temDireta;
  servidor::LerQuadroLogin(dados, login);
  servidor::LerMensagemEnviada(dados, e);
  servidor::LerConfirmacaoEnviada(dados, ce);
  servidor::LerStatus(dados, status, d, temDireta);
  servidor::LerUins(dados);
  TextoDaMensagem(dados);
  return 0;
}
