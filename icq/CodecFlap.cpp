#include "icq/CodecFlap.h"

namespace tazu::icq {

std::string MontarFlap(uint8_t canal, uint16_t sequencia, std::string_view dados) {
  if (dados.size() > kMaxDadosFlap) dados = dados.substr(0, kMaxDadosFlap);
  TPacote p;
  p.U8(0x2A).U8(canal).U16(sequencia).U16(static_cast<uint16_t>(dados.size())).Bytes(dados);
  return p.Tomar();
}

std::string MontarSnac(uint16_t familia, uint16_t subtipo, uint16_t flags, uint32_t id,
                       std::string_view dados) {
  TPacote p(10 + kMaxDadosFlap);
  p.U16(familia).U16(subtipo).U16(flags).U32(id).Bytes(dados);
  return p.Tomar();
}

bool LerSnac(std::string_view dados, TSnac& snac) {
  TLeitor l(dados);
  snac.familia = l.U16();
  snac.subtipo = l.U16();
  snac.flags = l.U16();
  snac.id = l.U32();
  if (l.Falhou()) return false;
  snac.dados = l.Resto();
  return true;
}

void TMontadorFlap::Alimentar(std::string_view bytes) {
  if (parado_) return;
  // What was handed back already goes before more is appended, so the buffer
  // holds at most one frame and a read.
  if (inicio_ > 0) {
    buffer_.erase(0, inicio_);
    inicio_ = 0;
  }
  buffer_.append(bytes);
}

TMontadorFlap::Resultado TMontadorFlap::Proximo(TFlap& quadro) {
  if (parado_) return Resultado::Malformado;
  const std::size_t resta = buffer_.size() - inicio_;
  if (resta < kCabecalhoFlap) return Resultado::Incompleto;
  const auto* b = reinterpret_cast<const unsigned char*>(buffer_.data() + inicio_);
  const uint16_t tamanho = static_cast<uint16_t>(b[4] << 8 | b[5]);
  if (tamanho > kMaxDadosFlap) {
    tamanhoLido_ = tamanho;
    parado_ = true;
    return Resultado::Longo;
  }
  if (b[0] != 0x2A) {
    parado_ = true;
    return Resultado::Malformado;
  }
  if (resta < kCabecalhoFlap + tamanho) return Resultado::Incompleto;
  quadro.canal = b[1];
  quadro.sequencia = static_cast<uint16_t>(b[2] << 8 | b[3]);
  quadro.dados = std::string_view(buffer_).substr(inicio_ + kCabecalhoFlap, tamanho);
  quadro.bruto = std::string_view(buffer_).substr(inicio_, kCabecalhoFlap + tamanho);
  inicio_ += kCabecalhoFlap + tamanho;
  return Resultado::Quadro;
}

void TMontadorFlap::Limpar() {
  buffer_.clear();
  inicio_ = 0;
  tamanhoLido_ = 0;
  parado_ = false;
}

std::string AssarSenha(std::string_view senha) {
  static constexpr unsigned char kTabela[16] = {0xF3, 0x26, 0x81, 0xC4, 0x39, 0x86, 0xDB, 0x92,
                                                0x71, 0xA3, 0xB9, 0xE6, 0x53, 0x7A, 0x95, 0x7C};
  std::string assada(senha);
  for (std::size_t i = 0; i < assada.size(); ++i)
    assada[i] = static_cast<char>(static_cast<unsigned char>(assada[i]) ^ kTabela[i % 16]);
  return assada;
}

std::string BlocoDeVersao(uint16_t versao) {
  TPacote p;
  p.U16(6).TlvU16(0x0001, versao);
  return p.Tomar();
}

}  // namespace tazu::icq
