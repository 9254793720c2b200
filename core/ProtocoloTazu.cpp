#include "core/ProtocoloTazu.h"

#include <vector>

#include "core/UGlobal.h"

namespace tazu {

void TLeitorDeLinhas::Limpar() {
  parcial_.clear();
  descartando_ = false;
  cortada_ = false;
}

void TLeitorDeLinhas::Alimentar(std::string_view dados,
                                const std::function<bool(std::string_view)>& aoLinha,
                                const std::function<void()>& aoExcesso) {
  std::size_t i = 0;
  while (i < dados.size()) {
    // The next line end, and a NUL before it.
    std::size_t fim = i;
    std::size_t nulo = std::string_view::npos;
    while (fim < dados.size() && dados[fim] != '\r' && dados[fim] != '\n') {
      if (dados[fim] == '\0' && nulo == std::string_view::npos) nulo = fim;
      ++fim;
    }
    if (!descartando_ && !cortada_) {
      const std::size_t corte = nulo == std::string_view::npos ? fim : nulo;
      parcial_.append(dados.substr(i, corte - i));
      if (nulo != std::string_view::npos) cortada_ = true;
      if (parcial_.size() > limite_) {
        parcial_.clear();
        descartando_ = true;
        if (aoExcesso) aoExcesso();
      }
    }
    if (fim == dados.size()) return;  // unfinished: wait for its end
    // A line ends here.
    const bool descartada = descartando_;
    descartando_ = false;
    cortada_ = false;
    std::string linha;
    linha.swap(parcial_);
    i = fim + 1;
    if (descartada || linha.empty()) continue;
    // Stopped: the handler may have destroyed the reader, so nothing of it is
    // touched again (nothing is kept: the unfinished line was taken above).
    if (!aoLinha(linha)) return;
  }
}

std::string MontarLinha(std::string_view codigo, std::initializer_list<std::string_view> campos) {
  std::string linha;
  linha.reserve(6 + codigo.size());
  linha.push_back('[');
  linha.append(codigo);
  linha.push_back(']');
  for (const std::string_view campo : campos) {
    linha.push_back(kSeparador);
    linha.append(campo);
  }
  return linha;
}

std::string PrepararEnvio(const std::string& texto, const TCriptografia& cripto) {
  const std::string limpo = RemoverQuebrasFinais(texto);
  if (cripto.Chave == 0) return limpo.empty() ? std::string() : limpo + "\r\n";
  std::vector<std::string> linhas = DividirLinhas(limpo);
  std::string saida;
  while (!linhas.empty()) {
    saida += cripto.Embaralhar(PrimeiraLinha(linhas));
    saida += "\r\n";
  }
  return saida;
}

std::string AbrirLinha(std::string_view bruta, const TCriptografia& cripto) {
  if (cripto.Chave == 0) return std::string(Aparar(bruta));
  return std::string(Aparar(cripto.Desembaralhar(std::string(bruta))));
}

}  // namespace tazu
