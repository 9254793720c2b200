// The desktop program's own words, as Windows-1252 bytes.
#pragma once

#include <string_view>

#include "base/Cp1252.h"

namespace tazu::textos_shell {

// Start-up and the program as a whole.
inline constexpr std::string_view Tazu = "Tazu"_cp;
inline constexpr std::string_view TazuMessenger = "Tazu Messenger"_cp;
inline constexpr std::string_view JaExisteCopia =
    "Já existe uma cópia do \"Tazu Messenger\" sendo executada."_cp;
inline constexpr std::string_view Desconhecido = "Desconhecido"_cp;
inline constexpr std::string_view Conectando = "Conectando..."_cp;
inline constexpr std::string_view AguardandoServidor =
    "Aguardando conexao com o servidor Tazu Messenger."_cp;
inline constexpr std::string_view AguardeComunidade =
    "Aguarde conexão com a comunidade Tazu Messenger."_cp;
inline constexpr std::string_view ErroNumero = "Erro número "_cp;
inline constexpr std::string_view DesejaEncerrar = "Deseja encerrar o Tazu Messenger?"_cp;

// Client events.
inline constexpr std::string_view AutorizacaoAntes = "O contato \""_cp;
inline constexpr std::string_view AutorizacaoDepois =
    "\" precisa autorizá-lo para que você possa adicioná-lo à sua lista. Envie uma mensagem "
    "identificando-se para que ele possa emitir a autorização."_cp;
inline constexpr std::string_view EventoAdicionou = " adicionou você à sua lista de contatos."_cp;
inline constexpr std::string_view EventoDeseja = " deseja adicioná-lo à sua lista de contatos."_cp;
inline constexpr std::string_view EventoMensagemDe = "Mensagem de "_cp;
inline constexpr std::string_view EventoNaoPermite =
    " não permite que você o adicione à sua lista de contatos."_cp;
inline constexpr std::string_view EventoPermitiu =
    " permitiu que você o adicione à sua lista de contatos."_cp;
inline constexpr std::string_view NaoPublica = " escolheu não publicar seus dados na rede."_cp;

// The manager.
inline constexpr std::string_view Conectados = "Conectados"_cp;
inline constexpr std::string_view ForaDaLista = "Fora da Lista"_cp;
inline constexpr std::string_view Desconectados = "Desconectados"_cp;
inline constexpr std::string_view Aguardando = "Aguardando"_cp;
inline constexpr std::string_view SeuNumero = "Seu número Tazu: "_cp;
inline constexpr std::string_view MnuMensagem = "Mensagem..."_cp;
inline constexpr std::string_view MnuInformacoes = "Informações..."_cp;
inline constexpr std::string_view MnuHistorico = "Histórico..."_cp;
inline constexpr std::string_view MnuRemoverContato = "Remover Contato"_cp;
inline constexpr std::string_view MnuAdicionarALista = "Adicionar à lista"_cp;
inline constexpr std::string_view HistoricoDe = "O histórico de "_cp;
inline constexpr std::string_view EstaVazio = " está vazio."_cp;
inline constexpr std::string_view ExcluirAntes = "Tem certeza que deseja excluir \""_cp;
inline constexpr std::string_view ExcluirDepois = "\" de sua lista?"_cp;
inline constexpr std::string_view Aguarde = "Aguarde..."_cp;
inline constexpr std::string_view Adicionando = "Adicionando \""_cp;
inline constexpr std::string_view ALista = ") à lista de contatos."_cp;
inline constexpr std::string_view ComunicadorAntes = "O comunicador "_cp;
inline constexpr std::string_view NaoHabilitado = " não está habilitado."_cp;
inline constexpr std::string_view EmLoginAntes = "Aguade: O comunicador \""_cp;
inline constexpr std::string_view EmLoginDepois = "\" está em processo de login."_cp;
inline constexpr std::string_view NaoConfigurado =
    "Esse comunicador ainda não foi configurado ou não está ativo no seu Tazu Messenger.\r\n"
    "Utilize a opção \"Comunicadores\" no menu de opções para configurá-lo."_cp;
inline constexpr std::string_view UsarStatusTazu = "Usar Status Tazu"_cp;
inline constexpr std::string_view AdicionarContatoMSN = "Adicionar Contato MSN..."_cp;
inline constexpr std::string_view AdicionarContatoYahoo = "Adicionar Contato Yahoo..."_cp;

// The tray menu.
inline constexpr std::string_view MostrarTazu = "Mostrar Tazu"_cp;
inline constexpr std::string_view MinhasInformacoes = "Minhas Informações..."_cp;
inline constexpr std::string_view Comunicadores = "Comunicadores..."_cp;
inline constexpr std::string_view SelecionarUsuario = "Selecionar Usuário Ativo..."_cp;
inline constexpr std::string_view EstadoDeConexao = "Estado de conexão"_cp;
inline constexpr std::string_view Configuracoes = "Configurações..."_cp;
inline constexpr std::string_view Sair = "Sair"_cp;
inline constexpr std::string_view MensagemDe = "Mensagem de "_cp;
inline constexpr std::string_view ComoRemover =
    "\"Remover Contato\": Para remover um contato da lista, clique sobre o contato com o botão "
    "direito e escolha \"Remover Contato\""_cp;

// Windows that come with a later version: what the user is told meanwhile.
inline constexpr std::string_view AindaNaoAntes = "\""_cp;
inline constexpr std::string_view AindaNaoDepois =
    "\" ainda não está disponível nesta versão do Tazu Messenger."_cp;
inline constexpr std::string_view JanelaBusca = "Adicionar contato"_cp;
inline constexpr std::string_view JanelaComunicadores = "Comunicadores"_cp;
inline constexpr std::string_view JanelaConfiguracoes = "Configurações"_cp;
inline constexpr std::string_view JanelaCadastro = "Cadastro de novo usuário"_cp;
inline constexpr std::string_view JanelaRegistro = "Registrar usuário neste computador"_cp;
inline constexpr std::string_view JanelaInformacoes = "Informações do usuário"_cp;

// Login and users.
inline constexpr std::string_view TituloLogin = "Tazu Messenger (Login)"_cp;
inline constexpr std::string_view LembrarSenha = "Lembrar minha senha"_cp;
inline constexpr std::string_view UsuarioAntes = "O usuário \""_cp;
inline constexpr std::string_view UsuarioNaoRegistrado =
    "\" ainda não foi registrado nesse computador"_cp;
inline constexpr std::string_view InformeNumeroESenha =
    "Informe um Número Tazu Messenger e uma Senha válidos."_cp;
inline constexpr std::string_view TituloOpcoesIniciais = "Tazu Messenger (Opções Iniciais)"_cp;
inline constexpr std::string_view TituloUsuarios = "Usuários"_cp;
inline constexpr std::string_view TituloMenuStatus = "Meu status"_cp;
inline constexpr std::string_view TituloMenuOpcoes = "Opções"_cp;

// Conversations.
inline constexpr std::string_view NaoConectadoAoTazu =
    " não está conectado ao Tazu no momento. A mensagem será enviada quando ele se conectar:"_cp;
inline constexpr std::string_view NaoRecebeu = " não recebeu sua mensagem."_cp;
inline constexpr std::string_view NaoEPossivelEnviar = "Não é possível enviar mensagens para "_cp;
inline constexpr std::string_view NoMomento = " no momento."_cp;
inline constexpr std::string_view VerifiqueComunicador = "Verifique se o comunicador "_cp;
inline constexpr std::string_view EstaConectado = " está conectado."_cp;
inline constexpr std::string_view InformacoesDe = "As informações de "_cp;
inline constexpr std::string_view NaoDisponiveis = " não estão disponíveis agora."_cp;
inline constexpr std::string_view TituloHistorico = "Histórico"_cp;

// About.
inline constexpr std::string_view TituloSobre = "Sobre o Tazu Messenger"_cp;

}  // namespace tazu::textos_shell
