#include "shell/Conversa.h"

#include "core/UGlobal.h"
#include "core/UHistorico.h"
#include "shell/Textos.h"

namespace tazu {

namespace {

std::string Juntar(const std::vector<std::string>& linhas) {
  std::string texto;
  for (std::size_t i = 0; i < linhas.size(); ++i) {
    if (i) texto += "\r\n";
    texto += linhas[i];
  }
  return texto;
}

void Acrescentar(std::vector<TTrecho>& trechos, std::vector<std::string>& linhas) {
  for (std::string& linha : linhas) trechos.push_back({std::move(linha), CorPreta, false});
  linhas.clear();
}

}  // namespace

void TConversa::Separar(std::vector<TTrecho>& trechos) {
  if (!vazia_) trechos.push_back({});
  vazia_ = false;
}

std::vector<TTrecho> TConversa::Recebida(uint16_t niuLocal, const std::string& hora,
                                         std::vector<std::string>& linhas) {
  const std::string cabecalho = Apelido + ": ";
  GravaHistorico(niuLocal, Comunicador, Identificador, HistoricoRecebida, hora, Juntar(linhas),
                 cabecalho);
  std::vector<TTrecho> trechos;
  Separar(trechos);
  trechos.push_back({cabecalho, CorAzul, true});
  Acrescentar(trechos, linhas);
  return trechos;
}

std::vector<TTrecho> TConversa::Entregue(uint16_t niuLocal, const std::string& hora,
                                         const std::string& apelidoLocal) {
  const std::string cabecalho = apelidoLocal + ": ";
  GravaHistorico(niuLocal, Comunicador, Identificador, HistoricoEnviada, hora, UltimoEnviado,
                 cabecalho);
  Enviando = false;
  std::vector<TTrecho> trechos;
  Separar(trechos);
  trechos.push_back({cabecalho, CorVerdeAzulada, true});
  std::vector<std::string> linhas = DividirLinhas(UltimoEnviado);
  Acrescentar(trechos, linhas);
  return trechos;
}

std::string TConversa::NotaDeNaoEntrega() const {
  return Apelido + std::string(Comunicador == textos_shell::Tazu ? textos_shell::NaoConectadoAoTazu
                                                                 : textos_shell::NaoRecebeu);
}

std::vector<TTrecho> TConversa::NaoEntregue(uint16_t niuLocal, const std::string& hora,
                                            std::vector<std::string>& linhas) {
  const std::string nota = NotaDeNaoEntrega();
  GravaHistorico(niuLocal, Comunicador, Identificador, HistoricoNaoEntregue, hora, UltimoEnviado,
                 nota);
  Enviando = false;
  std::vector<TTrecho> trechos;
  Separar(trechos);
  trechos.push_back({nota, CorVermelha, true});
  Acrescentar(trechos, linhas);
  return trechos;
}

std::optional<std::vector<std::string>> TConversa::LinhasParaEnviar(const std::string& texto) {
  if (Aparar(RemoverQuebrasFinais(texto)).empty()) return std::nullopt;
  return DividirLinhas(texto);
}

}  // namespace tazu
