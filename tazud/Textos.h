// The server's own words, as Windows-1252 bytes: error texts sent with RERR,
// the welcome text of a registration, the origin of every session.
#pragma once

#include <string_view>

#include "base/Cp1252.h"

namespace tazu::tazud::textos {

// Where our users connect from. Every client of this server is a PC client.
inline constexpr std::string_view OrigemPC = "TPC";

inline constexpr std::string_view BoasVindas1 = "Bem-vindo(a) à comunidade Tazu Messenger, "_cp;
inline constexpr std::string_view BoasVindas2 = "! Seu número de usuário (NIU) é "_cp;
inline constexpr std::string_view BoasVindas3 = ". Guarde-o junto com sua senha."_cp;

// Presence of an offline message: anything but "C" (online now).
inline constexpr std::string_view PresencaGuardada = "D";
inline constexpr std::string_view PresencaAoVivo = "C";

// Names of the registration fields that must be filled, as the registration
// window names them.
inline constexpr std::string_view CampoApelido = "Apelido"_cp;
inline constexpr std::string_view CampoNome = "Nome Completo"_cp;
inline constexpr std::string_view CampoEMail = "E-Mail"_cp;
inline constexpr std::string_view CampoSenha = "Senha"_cp;

// RERR numbers and texts. Numbers start at 101 so they never read as one of the
// client's own error numbers.
struct TErro {
  int numero;
  std::string_view texto;
};

inline constexpr TErro ErroSemCodigo{101, "Mensagem não reconhecida."_cp};
inline constexpr TErro ErroComandoDesconhecido{102, "Comando inválido: "_cp};
inline constexpr TErro ErroMalFormado{103, "Comando mal formado: "_cp};
inline constexpr TErro ErroNaoIdentificado{104, "Identifique-se antes de usar este comando."_cp};
inline constexpr TErro ErroLinhaLonga{105, "Linha longa demais. A conexão será encerrada."_cp};
inline constexpr TErro ErroUsuarioInexistente{106, "Usuário não cadastrado."_cp};
inline constexpr TErro ErroSenha{107, "Senha incorreta."_cp};
inline constexpr TErro ErroApelidoEmUso{
    108, "O apelido escolhido já está em uso. Por favor, escolha outro."_cp};
inline constexpr TErro ErroCampoObrigatorio1{109, "O campo "_cp};
inline constexpr std::string_view ErroCampoObrigatorio2 = " é de preenchimento obrigatório."_cp;
inline constexpr TErro ErroSemNumeros{110,
                                      "Não há mais números disponíveis para novos usuários."_cp};
inline constexpr TErro ErroAutoAdicao{111, "Você não pode se adicionar à sua própria lista."_cp};
inline constexpr TErro ErroSemPedido{112,
                                     "Não há pedido de autorização pendente deste usuário."_cp};
inline constexpr TErro ErroOcupado{113, "Servidor ocupado. Tente novamente em instantes."_cp};
inline constexpr TErro ErroConexoesDemais{114, "Há conexões demais a partir do seu endereço."_cp};
inline constexpr TErro ErroCaixaCheia1{115, "A caixa de mensagens de "_cp};
inline constexpr std::string_view ErroCaixaCheia2 = " está cheia. Tente mais tarde."_cp;
inline constexpr TErro ErroJaIdentificado{116, "Você já está identificado."_cp};
inline constexpr TErro ErroStatus{117, "Status inválido."_cp};
inline constexpr TErro ErroErrosDemais{118, "Erros demais. A conexão será encerrada."_cp};
inline constexpr TErro ErroIndisponivel{119, "Informação não disponível."_cp};
inline constexpr TErro ErroInterno{120, "Erro interno do servidor. Tente novamente."_cp};
inline constexpr TErro ErroTempoEsgotado{121, "Tempo de identificação esgotado."_cp};
inline constexpr TErro ErroBloco{122, "Bloco de informações inválido."_cp};
inline constexpr TErro ErroServidorCheio{
    123, "O servidor está com conexões demais. Tente novamente mais tarde."_cp};
inline constexpr TErro ErroCaractereInvalido{
    124, "Quebras de linha e caracteres nulos não são aceitos: "_cp};
inline constexpr TErro ErroTentativasDemais{
    125, "Tentativas demais a partir do seu endereço. Aguarde alguns instantes."_cp};
inline constexpr TErro ErroCadastrosDoEndereco{
    126, "Cadastros demais a partir do seu endereço. Tente novamente mais tarde."_cp};
inline constexpr TErro ErroCadastrosDaConexao{
    127, "Esta conexão já fez todos os cadastros permitidos."_cp};
inline constexpr TErro ErroCotaDoRemetente1{
    128, "Você já deixou o máximo de mensagens guardadas para "_cp};
inline constexpr std::string_view ErroCotaDoRemetente2 = ". Aguarde até que sejam lidas."_cp;

}  // namespace tazu::tazud::textos
