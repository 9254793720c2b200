#include "core/DadosLocais.h"

#include <bit>
#include <chrono>
#include <ctime>

#include "base/Eventos.h"
#include "core/Caminhos.h"
#include "core/Textos.h"
#include "core/UCriptografia.h"

namespace tazu {

namespace {

constexpr mode_t kModoDados = 0700;
// The store holds passwords; the settings only need to be ours.
constexpr mode_t kModoArquivo = 0600;

constexpr const char* kArquivoConfiguracao = "Tazu.cfg";
constexpr const char* kArquivoUsuarios = "Usuarios.dat";
constexpr const char* kArquivoTemporario = "Temp.dat";

// ---- Little-endian fields ----

void PorU16(std::string& b, std::size_t pos, uint16_t v) {
  b[pos] = static_cast<char>(v & 0xFF);
  b[pos + 1] = static_cast<char>(v >> 8);
}

uint16_t U16(std::string_view b, std::size_t pos) {
  return static_cast<uint16_t>(static_cast<unsigned char>(b[pos]) |
                               static_cast<unsigned char>(b[pos + 1]) << 8);
}

void PorDouble(std::string& b, std::size_t pos, double v) {
  const auto bits = std::bit_cast<uint64_t>(v);
  for (int i = 0; i < 8; ++i) b[pos + i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
}

double Double(std::string_view b, std::size_t pos) {
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits |= uint64_t{static_cast<unsigned char>(b[pos + i])} << (8 * i);
  return std::bit_cast<double>(bits);
}

// A short string of `tamanho` bytes: length byte, then the characters. A length
// byte beyond the field (written elsewhere, or damaged) reads as the field.
void PorCurta(std::string& b, std::size_t pos, std::size_t tamanho, std::string_view texto) {
  texto = texto.substr(0, tamanho - 1);
  b[pos] = static_cast<char>(texto.size());
  b.replace(pos + 1, texto.size(), texto);
}

std::string_view Curta(std::string_view b, std::size_t pos, std::size_t tamanho) {
  const std::size_t n = static_cast<unsigned char>(b[pos]);
  return b.substr(pos + 1, n < tamanho ? n : tamanho - 1);
}

// ---- The settings record ----

constexpr std::size_t kCfgUltimoUsuario = 0;
constexpr std::size_t kCfgServidor = 2;
constexpr std::size_t kCfgTamanhoServidor = 256;
constexpr std::size_t kCfgPorta = 258;
constexpr std::size_t kCfgPrimeiraGravacao = 264;

// ---- The user record ----

struct Campo {
  std::size_t pos;
  std::size_t tamanho;
};

constexpr Campo kNumero{0, 26};
constexpr Campo kApelido{26, 31};
constexpr Campo kSenha{57, 26};
constexpr Campo kStatus{83, 26};
constexpr Campo kLembrar{109, 26};
constexpr std::size_t kUsos = 135;  // ICQ, MSN, Yahoo
constexpr Campo kNumeroICQ{138, 26};
constexpr Campo kSenhaICQ{164, 26};
constexpr Campo kEmailMSN{190, 128};
constexpr Campo kSenhaMSN{318, 26};
constexpr Campo kIdYahoo{344, 26};
constexpr Campo kSenhaYahoo{370, 26};
static_assert(kSenhaYahoo.pos + kSenhaYahoo.tamanho == kTamanhoRegistroUsuario);

void PorEmbaralhado(std::string& reg, Campo c, const std::string& valor, uint8_t chave) {
  TCriptografia cripto;
  cripto.Chave = chave;
  PorCurta(reg, c.pos, c.tamanho, CortarEmbaralhado(cripto.Embaralhar(valor), c.tamanho - 1));
}

// The key only settles the rare text that reads two ways (the first scrambler
// wrote some escapes of ours as plain bytes).
std::string Desembaralhado(std::string_view reg, Campo c, uint8_t chave) {
  TCriptografia cripto;
  cripto.Chave = chave;
  return cripto.Desembaralhar(std::string(Curta(reg, c.pos, c.tamanho)));
}

// A record is kept even when its status does not read; the user may still
// sign in and choose another.
uint8_t LerStatus(const std::string& texto) {
  uint32_t valor = 0;
  return LerNumero(texto, 255, valor) ? static_cast<uint8_t>(valor) : uint8_t{StatusConectado};
}

TEntradaUsuario EntradaDe(const TRegistroUsuario& r) {
  return {r.Apelido, {static_cast<uint16_t>(r.Dados.NIU), r.Dados.LembrarSenha}};
}

// Reports unreadable records in file order.
void RelatarDefeitos(const TArmazemLido& armazem,
                     const std::function<void(int, TDefeitoRegistro)>& aoDefeito) {
  for (std::size_t i = 0; i < armazem.Registros.size(); ++i) {
    if (!armazem.Registros[i].Usuario) {
      Disparar(aoDefeito, static_cast<int>(i), TDefeitoRegistro::NumeroInvalido);
    }
  }
  if (!armazem.Fragmento.empty()) {
    Disparar(aoDefeito, static_cast<int>(armazem.Registros.size()),
             TDefeitoRegistro::FragmentoFinal);
  }
}

}  // namespace

TConfiguracao Configuracao;
TDadosUsuario UsuarioAtual;
std::vector<TEntradaUsuario> UsuariosLocais;
std::function<void(int, TDefeitoRegistro)> AoEncontrarRegistroDanificado;

void ReiniciarDadosLocais() {
  Configuracao = {};
  UsuarioAtual = {};
  UsuariosLocais.clear();
  AoEncontrarRegistroDanificado = nullptr;
}

// ---- The settings ----

double DataHoraParaDias(int ano, unsigned mes, unsigned dia, unsigned hora, unsigned minuto,
                        double segundo) {
  using namespace std::chrono;
  constexpr sys_days kOrigem = year{1899} / December / 30;
  const sys_days data = year{ano} / month{mes} / day{dia};
  return static_cast<double>((data - kOrigem).count()) +
         (hora * 3600.0 + minuto * 60.0 + segundo) / 86400.0;
}

double DiasNaHoraLocal(net::WallTime quando) {
  const auto segundos = std::chrono::floor<std::chrono::seconds>(quando);
  const std::time_t t = std::chrono::system_clock::to_time_t(segundos);
  std::tm local{};
  localtime_r(&t, &local);
  const double fracao = static_cast<double>((quando - segundos).count()) / 1000.0;
  return DataHoraParaDias(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                          static_cast<unsigned>(local.tm_mday),
                          static_cast<unsigned>(local.tm_hour), static_cast<unsigned>(local.tm_min),
                          local.tm_sec + fracao);
}

std::string CodificarConfiguracao(const TConfiguracao& c) {
  std::string b(kTamanhoConfiguracao, '\0');
  PorU16(b, kCfgUltimoUsuario, c.UltimoUsuario);
  PorCurta(b, kCfgServidor, kCfgTamanhoServidor, c.Servidor.str());
  PorU16(b, kCfgPorta, c.Porta);
  PorDouble(b, kCfgPrimeiraGravacao, c.PrimeiraGravacao);
  return b;
}

std::optional<TConfiguracao> DecodificarConfiguracao(std::string_view b) {
  if (b.size() < kTamanhoConfiguracao) return std::nullopt;
  TConfiguracao c;
  c.UltimoUsuario = U16(b, kCfgUltimoUsuario);
  c.Servidor = Curta(b, kCfgServidor, kCfgTamanhoServidor);
  c.Porta = U16(b, kCfgPorta);
  c.PrimeiraGravacao = Double(b, kCfgPrimeiraGravacao);
  return c;
}

bool CarregarConfiguracao() {
  std::string bytes;
  if (LerArquivo(DiretorioDados() + kArquivoConfiguracao, bytes) != TLeitura::Lido) return false;
  const auto lida = DecodificarConfiguracao(bytes);
  if (!lida) return false;
  Configuracao = *lida;
  return true;
}

bool GravarConfiguracao(net::WallTime agora) {
  const std::string dir = DiretorioDados();
  if (!CriarDiretorio(dir, kModoDados)) return false;
  const bool primeira = Configuracao.PrimeiraGravacao == 0;
  if (primeira) Configuracao.PrimeiraGravacao = DiasNaHoraLocal(agora);
  if (SubstituirArquivo(dir + kArquivoConfiguracao, CodificarConfiguracao(Configuracao),
                        kModoArquivo)) {
    return true;
  }
  // Nothing was saved, so the next save is still the first.
  if (primeira) Configuracao.PrimeiraGravacao = 0;
  return false;
}

// ---- The user record ----

uint8_t ChaveDoRegistro(uint16_t niu) {
  return static_cast<uint8_t>((niu * 37u + 11u) % 256u);
}

std::string CortarEmbaralhado(std::string embaralhado, std::size_t maximo) {
  if (embaralhado.size() <= maximo) return embaralhado;
  // The scrambler escapes a byte as 0xC0 followed by a code 0xD0..0xD5; a
  // 0xC0 it leaves alone is never followed by such a code.
  const auto codigo = static_cast<unsigned char>(embaralhado[maximo]);
  if (maximo > 0 && static_cast<unsigned char>(embaralhado[maximo - 1]) == 0xC0 && codigo >= 0xD0 &&
      codigo <= 0xD5) {
    --maximo;
  }
  embaralhado.resize(maximo);
  return embaralhado;
}

namespace {

// The scrambled text fields under the record key, with the names the user knows
// them by.
struct TCampoDeTexto {
  Campo campo;
  std::string valor;
  std::string_view nome;
};

std::vector<TCampoDeTexto> CamposDeTexto(const TDadosUsuario& u) {
  return {
      {kApelido, u.Apelido, textos::CampoApelido},
      {kSenha, u.Senha, textos::CampoSenha},
      {kStatus, std::to_string(u.StatusPreferido), {}},
      {kLembrar, std::string(u.LembrarSenha ? textos::Sim : textos::Nao), {}},
      {kNumeroICQ, u.NumeroICQ, textos::CampoNumeroICQ},
      {kSenhaICQ, u.SenhaICQ, textos::CampoSenhaICQ},
      {kEmailMSN, u.EmailMSN, textos::CampoEmailMSN},
      {kSenhaMSN, u.SenhaMSN, textos::CampoSenhaMSN},
      {kIdYahoo, u.IdYahoo, textos::CampoIdYahoo},
      {kSenhaYahoo, u.SenhaYahoo, textos::CampoSenhaYahoo},
  };
}

}  // namespace

std::string CampoQueNaoCabe(const TDadosUsuario& u) {
  TCriptografia cripto;
  cripto.Chave = ChaveDoRegistro(static_cast<uint16_t>(u.NIU));
  for (const TCampoDeTexto& c : CamposDeTexto(u)) {
    if (cripto.Embaralhar(c.valor).size() > c.campo.tamanho - 1) return std::string(c.nome);
  }
  return {};
}

std::string CodificarRegistro(const TDadosUsuario& u) {
  std::string reg(kTamanhoRegistroUsuario, '\0');
  PorEmbaralhado(reg, kNumero, std::to_string(u.NIU), TCriptografia::ChavePadrao);
  const uint8_t chave = ChaveDoRegistro(static_cast<uint16_t>(u.NIU));
  for (const TCampoDeTexto& c : CamposDeTexto(u)) PorEmbaralhado(reg, c.campo, c.valor, chave);
  reg[kUsos] = u.UsarICQ ? 1 : 0;
  reg[kUsos + 1] = u.UsarMSN ? 1 : 0;
  reg[kUsos + 2] = u.UsarYahoo ? 1 : 0;
  return reg;
}

std::optional<TRegistroUsuario> DecodificarRegistro(std::string_view reg) {
  if (reg.size() != kTamanhoRegistroUsuario) return std::nullopt;
  uint32_t niu = 0;
  if (!LerNumero(Desembaralhado(reg, kNumero, TCriptografia::ChavePadrao), 65535, niu))
    return std::nullopt;
  const uint8_t chave = ChaveDoRegistro(static_cast<uint16_t>(niu));
  TRegistroUsuario r;
  TDadosUsuario& u = r.Dados;
  u.NIU = static_cast<int32_t>(niu);
  r.Apelido = Desembaralhado(reg, kApelido, chave);
  u.Apelido = r.Apelido;
  u.Senha = Desembaralhado(reg, kSenha, chave);
  u.StatusPreferido = LerStatus(Desembaralhado(reg, kStatus, chave));
  u.LembrarSenha = Desembaralhado(reg, kLembrar, chave) == textos::Sim;
  u.UsarICQ = reg[kUsos] != 0;
  u.UsarMSN = reg[kUsos + 1] != 0;
  u.UsarYahoo = reg[kUsos + 2] != 0;
  u.NumeroICQ = Desembaralhado(reg, kNumeroICQ, chave);
  u.SenhaICQ = Desembaralhado(reg, kSenhaICQ, chave);
  u.EmailMSN = Desembaralhado(reg, kEmailMSN, chave);
  u.SenhaMSN = Desembaralhado(reg, kSenhaMSN, chave);
  u.IdYahoo = Desembaralhado(reg, kIdYahoo, chave);
  u.SenhaYahoo = Desembaralhado(reg, kSenhaYahoo, chave);
  return r;
}

// ---- The store ----

TArmazemLido LerArmazem(std::string_view bytes) {
  TArmazemLido armazem;
  const std::size_t inteiros = bytes.size() / kTamanhoRegistroUsuario;
  armazem.Registros.reserve(inteiros);
  for (std::size_t i = 0; i < inteiros; ++i) {
    const auto reg = bytes.substr(i * kTamanhoRegistroUsuario, kTamanhoRegistroUsuario);
    armazem.Registros.push_back({reg, DecodificarRegistro(reg)});
  }
  armazem.Fragmento = bytes.substr(inteiros * kTamanhoRegistroUsuario);
  return armazem;
}

std::optional<std::string> InserirNoArmazem(
    std::string_view antigo, const TDadosUsuario& usuario, std::vector<TEntradaUsuario>& lista,
    const std::function<void(int, TDefeitoRegistro)>& aoDefeito) {
  if (usuario.NIU < 0 || usuario.NIU > 65535 || !CampoQueNaoCabe(usuario).empty())
    return std::nullopt;
  const TArmazemLido armazem = LerArmazem(antigo);
  RelatarDefeitos(armazem, aoDefeito);

  // Sorted and listed the way it will read back, cuts included.
  const std::string novo = CodificarRegistro(usuario);
  const TRegistroUsuario lido = *DecodificarRegistro(novo);
  const std::string chave = MaiusculasAnsi(lido.Apelido);

  std::string saida;
  saida.reserve(antigo.size() + kTamanhoRegistroUsuario);
  lista.clear();
  bool escrito = false;
  auto escreverNovo = [&] {
    saida += novo;
    lista.push_back(EntradaDe(lido));
    escrito = true;
  };
  for (const TRegistroArmazenado& r : armazem.Registros) {
    if (r.Usuario && r.Usuario->Dados.NIU == lido.Dados.NIU) continue;
    if (r.Usuario && !escrito && MaiusculasAnsi(r.Usuario->Apelido) > chave) escreverNovo();
    saida += r.Bytes;
    if (r.Usuario) lista.push_back(EntradaDe(*r.Usuario));
  }
  if (!escrito) escreverNovo();
  saida += armazem.Fragmento;
  return saida;
}

void LiberarUsuarios() {
  UsuariosLocais.clear();
}

void CarregarUsuarios(int32_t niu) {
  LiberarUsuarios();
  std::string bytes;
  if (LerArquivo(DiretorioDados() + kArquivoUsuarios, bytes) != TLeitura::Lido) return;
  const TArmazemLido armazem = LerArmazem(bytes);
  RelatarDefeitos(armazem, AoEncontrarRegistroDanificado);

  // A store written elsewhere may repeat a number; the later record wins.
  const TRegistroUsuario* escolhido = nullptr;
  const TRegistroUsuario* ultimo = nullptr;
  for (const TRegistroArmazenado& r : armazem.Registros) {
    if (!r.Usuario) continue;
    UsuariosLocais.push_back(EntradaDe(*r.Usuario));
    ultimo = &*r.Usuario;
    if (r.Usuario->Dados.NIU == niu) escolhido = ultimo;
  }
  if (!escolhido) escolhido = ultimo;
  if (escolhido) UsuarioAtual = escolhido->Dados;
}

int LocalizarUsuario(int32_t niu) {
  for (std::size_t i = 0; i < UsuariosLocais.size(); ++i) {
    if (UsuariosLocais[i].Identificador.NIU == niu) return static_cast<int>(i);
  }
  return -1;
}

bool GravarUsuario(const TDadosUsuario& usuario, std::string* erro) {
  if (const std::string campo = CampoQueNaoCabe(usuario); !campo.empty()) {
    if (erro)
      *erro = std::string(textos::NaoCabeAntes) + campo + std::string(textos::NaoCabeDepois);
    return false;
  }
  const std::string dir = DiretorioDados();
  if (!CriarDiretorio(dir, kModoDados, erro)) return false;
  std::string antigo;
  // A store that exists but cannot be read must not be replaced by one user.
  if (LerArquivo(dir + kArquivoUsuarios, antigo, erro) == TLeitura::Falhou) return false;
  std::vector<TEntradaUsuario> lista;
  const auto novo = InserirNoArmazem(antigo, usuario, lista, AoEncontrarRegistroDanificado);
  if (!novo) {
    if (erro) *erro = std::string(textos::NumeroInvalido) + std::to_string(usuario.NIU);
    return false;
  }
  if (!SubstituirArquivoVia(dir + kArquivoUsuarios, dir + kArquivoTemporario, *novo, kModoArquivo,
                            erro)) {
    return false;
  }
  UsuariosLocais = std::move(lista);
  return true;
}

}  // namespace tazu
