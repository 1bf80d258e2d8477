#pragma once
// Login check and the program version stamp written at login.
#include <QString>

namespace vx {

class Conexao;
class Transacao;

enum class ResultadoLogin {
    Vazio,       // no user name typed: nothing happens
    Recusado,    // unknown name or wrong password
    Usuario,     // a registered user: the menu permissions apply
    Manutencao,  // the maintenance password: every menu item stays visible
};

// Compares name and password without regard to case against USUARIOS; the maintenance
// password is accepted with any name.
ResultadoLogin VerificaLogin(Transacao& tr, const QString& usuario, const QString& senha);
bool EhSenhaManutencao(const QString& senha);

inline constexpr const char* kMsgLoginRecusado = "Usuário ou Senha Não Cadastrados!";

// Session name of the user: the typed name, first 15 characters.
QString NomeLogado(const QString& digitado);

// Writes TABDIV.VERSAOEXE (insert when TABDIV has no row) in a transaction of its own.
void GravaVersaoExe(Conexao& con, const QString& versao);

} // namespace vx
