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

// Choosing a community, adding and searching.
inline constexpr std::string_view TituloSelecao = "Escolha a comunidade"_cp;
inline constexpr std::string_view RadioTazu = "Tazu"_cp;
inline constexpr std::string_view RadioICQ = "ICQ"_cp;
inline constexpr std::string_view RadioMSN = "MSN Messenger"_cp;
inline constexpr std::string_view RadioYahoo = "Yahoo! Messenger"_cp;
inline constexpr std::string_view IndiqueComunidade = "Indique uma comunidade."_cp;
inline constexpr std::string_view HabiliteAntes = "Você precisa habilitar o comunicador "_cp;
inline constexpr std::string_view HabiliteDepois =
    " para acessar esta comunidade.\r\nPara configurar seus comunicadores clique em "
    "\"Comunicadores\" na janela \"Menu\"."_cp;
inline constexpr std::string_view TituloAdicionar = "Adicionar contato"_cp;
inline constexpr std::string_view InformeContato = "Informe um contato a ser adicionado."_cp;
inline constexpr std::string_view JaNaLista = "Esse contato já se encontra na sua lista."_cp;
inline constexpr std::string_view NaoPodeSeAdicionar =
    "Você não pode se adicionar à sua própria lista."_cp;
inline constexpr std::string_view EstaDesativado = "\" está desativado."_cp;
inline constexpr std::string_view TituloBusca = "Adicionar novo contato à lista de contatos"_cp;
inline constexpr std::string_view DigiteUm = "Digite um "_cp;
inline constexpr std::string_view AntesDaBusca = " antes de realizar a busca."_cp;
inline constexpr std::string_view CampoNIU = "NIU"_cp;
inline constexpr std::string_view CampoApelidoOuNome = "Apelido ou Nome"_cp;
inline constexpr std::string_view CampoEMail = "E-mail"_cp;
inline constexpr std::string_view Buscando = "Buscando..."_cp;
inline constexpr std::string_view Resultado = " resultado"_cp;
inline constexpr std::string_view Resultados = " resultados"_cp;
inline constexpr std::string_view ParaABusca = " para a busca."_cp;
inline constexpr std::string_view NenhumEncontrado = "Nenhum contato foi encontrado."_cp;
inline constexpr std::string_view AguardandoBusca = "Aguardando busca."_cp;
inline constexpr std::string_view Sim = "Sim"_cp;
inline constexpr std::string_view Nao = "Não"_cp;

// Contact events and authorisation.
inline constexpr std::string_view TituloEvento = "Aviso de contato"_cp;
inline constexpr std::string_view SeVoceSair = "Se você sair, "_cp;
inline constexpr std::string_view SeraRejeitado =
    " será rejeitado e não poderá adicioná-lo à sua lista.\r\nTem certeza que deseja sair?"_cp;
inline constexpr std::string_view TituloPedidoAutorizacao = "Pedido de Autorização"_cp;

// Accounts and settings.
inline constexpr std::string_view TituloComunicadores = "Comunicadores"_cp;
inline constexpr std::string_view CarregandoComunicadores =
    "Aguarde...\r\nCarregando lista de comunicadores do servidor."_cp;
inline constexpr std::string_view UsarICQ = "Usar ICQ"_cp;
inline constexpr std::string_view UsarMSN = "Usar MSN Messenger"_cp;
inline constexpr std::string_view UsarYahoo = "Usar Yahoo! Messenger"_cp;
inline constexpr std::string_view DadosDoICQ = "Informe corretamente os dados do ICQ."_cp;
inline constexpr std::string_view DadosDoMSN = "Informe corretamente os dados do MSN Messenger."_cp;
inline constexpr std::string_view DadosDoYahoo = "Informe corretamente os dados do Yahoo."_cp;
inline constexpr std::string_view TituloConfiguracoes = "Configurações"_cp;
inline constexpr std::string_view EnderecoDoServidor = "Endereço do Servidor:"_cp;
inline constexpr std::string_view PortaDeConexao = "Porta de Conexão:"_cp;
inline constexpr std::string_view Ok = "Ok"_cp;
inline constexpr std::string_view Cancelar = "Cancelar"_cp;
inline constexpr std::string_view EnderecoEPorta =
    "Informe endereço e porta válidos para a comunicação com o servidor."_cp;
inline constexpr std::string_view PaginaTazu = "Servidor Tazu"_cp;
inline constexpr std::string_view PaginaOutrasRedes = "Outras redes"_cp;
inline constexpr std::string_view ServidorYahoo = "Servidor do Yahoo!:"_cp;
inline constexpr std::string_view ServidorMSN = "Servidor do MSN Messenger:"_cp;
inline constexpr std::string_view ServidorICQ = "Servidor do ICQ:"_cp;
inline constexpr std::string_view ProxyICQ = "Proxy do ICQ:"_cp;
inline constexpr std::string_view DicaServidores =
    "Servidores no formato servidor:porta. Proxy do ICQ: tipo://[usuário:senha@]servidor:porta, "
    "com o tipo socks4, socks4a, socks5, https ou http; vazio para não usar proxy. Valem a "
    "partir da próxima conexão de cada comunicador."_cp;
inline constexpr std::string_view DefinidoPor = "Definido pela variável de ambiente "_cp;
inline constexpr std::string_view EnderecoInvalidoAntes = "O endereço \""_cp;
inline constexpr std::string_view EnderecoInvalidoDepois =
    "\" não é válido. Use servidor:porta, por exemplo scs.msg.yahoo.com:5050."_cp;
inline constexpr std::string_view ProxyInvalidoAntes = "O proxy \""_cp;
inline constexpr std::string_view ProxyInvalidoDepois =
    "\" não é válido. Use tipo://[usuário:senha@]servidor:porta, com o tipo socks4, socks4a, "
    "socks5, https ou http, ou deixe o campo vazio."_cp;
inline constexpr std::string_view NaoGravouServidores =
    "Não foi possível gravar os endereços dos servidores: "_cp;

// Registration.
inline constexpr std::string_view TituloCadastro = "Cadastro de novo usuário"_cp;
inline constexpr std::string_view CampoApelido = "Apelido"_cp;
inline constexpr std::string_view CampoNomeCompleto = "Nome Completo"_cp;
inline constexpr std::string_view CampoEMailCadastro = "E-Mail"_cp;
inline constexpr std::string_view CampoSenha = "Senha"_cp;
inline constexpr std::string_view CampoConfirmacao = "Confirmação da Senha"_cp;
inline constexpr std::string_view OCampo = "O campo "_cp;
inline constexpr std::string_view OsCampos = "Os campos "_cp;
inline constexpr std::string_view E = " é "_cp;
inline constexpr std::string_view Sao = " são "_cp;
inline constexpr std::string_view Obrigatorio = "de preenchimento obrigatório."_cp;
inline constexpr std::string_view NaoPreenchido = " não foi preenchido corretamente."_cp;
inline constexpr std::string_view CampoDia = "\"Dia\""_cp;
inline constexpr std::string_view CampoMes = "\"Mês\""_cp;
inline constexpr std::string_view CampoAno = "\"Ano\""_cp;
inline constexpr std::string_view AvisoCelular =
    "Atenção: Um número de celular permitirá acesso à comunidade Tazu Messenger via comandos de "
    "texto em SMS.\r\nPor favor informe corretamente o número: Utilize 10 algarismos sendo os 2 "
    "primeiros o DDD de sua cidade e os ultimos 8 o número local de seu celular.\r\nPor exemplo, "
    "para informar o número \"(31)2222-3333\" (DDD 31 de Belo Horizonte) digite no campo celular: "
    "3122223333"_cp;
inline constexpr std::string_view AvisoCelularSMS =
    "Atenção: Um número de celular da operadora Tazu permitirá acesso à comunidade Tazu Messenger "
    "via comandos de texto em SMS.\r\nPor favor informe corretamente o número: Utilize 10 "
    "algarismos sendo os 2 primeiros o DDD de sua cidade e os ultimos 8 o número local de seu "
    "celular.\r\nPor exemplo, para informar o número \"(31)2222-3333\" (DDD 31 de Belo Horizonte) "
    "digite no campo celular: 3122223333"_cp;
inline constexpr std::string_view EmitindoCadastro =
    "Emitindo dados cadastrais ao servidor Tazu Messenger.\r\nIsso poderá levar alguns segundos."_cp;
inline constexpr std::string_view LembrarSenhaNoComputador = "Lembrar a senha neste computador"_cp;
inline constexpr std::string_view Masculino = "Masculino"_cp;
inline constexpr std::string_view Feminino = "Feminino"_cp;
inline constexpr std::string_view ExigirAutorizacao =
    "Quem quiser me adicionar precisa da minha autorização"_cp;
inline constexpr std::string_view PublicarDados = "Publicar meus dados na rede"_cp;
inline constexpr std::string_view TituloRegistro = "Registrar usuário neste computador"_cp;
inline constexpr std::string_view PeloNumero = "Pelo número (NIU):"_cp;
inline constexpr std::string_view PeloApelido = "Pelo apelido:"_cp;
inline constexpr std::string_view InformeNIU = "Informe um NIU válido."_cp;
inline constexpr std::string_view InformeApelido = "Informe um Apelido válido."_cp;
inline constexpr std::string_view InformeSenha = "Informe uma Senha válida."_cp;
inline constexpr std::string_view SenhasDiferentes =
    "O valor digitado em Senha não confere com o digitado em Confirmação da Senha.\r\nPor favor "
    "indique o mesmo valor nos dois campos."_cp;
inline constexpr std::string_view JaRegistrado = "Este Número já foi registrado.\r\nUsuário: "_cp;
inline constexpr std::string_view Registrando = "Registrando..."_cp;
inline constexpr std::string_view EnviandoRegistro =
    "Enviando dados de registro ao servidor.\r\nIsso poderá levar alguns segundos."_cp;
inline constexpr std::string_view NaoSalvouUsuario =
    "Não foi possível salvar as configurações do usuário."_cp;
inline constexpr std::string_view ConectadoAComunidade =
    "Conectado à comunidade Tazu Messenger."_cp;

// User information.
inline constexpr std::string_view TituloMinhasInformacoes = "Minhas Informações"_cp;
inline constexpr std::string_view InformacoesDeTitulo = "Informações de "_cp;
inline constexpr std::string_view EnviandoInformacoes =
    "Enviando dados de informações pessoais para o servidor."_cp;
inline constexpr std::string_view OutrosUsuarios =
    "Não é possível atualizar dados de outros usuários.\r\nPara atualizar seus dados, utilize o "
    "menu \"Minhas Informações\" na barra do sistema."_cp;

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
