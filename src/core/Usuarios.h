#pragma once
// User registry: loading, saving and deleting a user with its menu permissions.
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

namespace vx {

class Transacao;

struct DadosUsuario {
    bool existe = false;
    QString senha;
    QString codUnidade;          // empty when null
    bool podeFaturar = false;
    bool temMenus = false;       // the user has MENUS rows
    QSet<QString> menusPermitidos; // MENUS.MENU (with its indentation) whose permission is yes
};

// "select * from usuarios where usuario=<name>" (exact name) and the user's MENUS rows.
DadosUsuario CarregaUsuario(Transacao& tr, const QString& usuario);

// Ticks shown for a user: every entry unticked first; an existing user without MENUS rows
// (who sees every item) gets every entry ticked; otherwise the permitted entries.
QVector<bool> MarcasUsuario(const DadosUsuario& u, const QStringList& entradas);

struct GravacaoUsuario {
    QString usuario;
    QString senha;          // "Senha Atual" (existing) / "Nova Senha" (new)
    QString confirmaSenha;  // "Nova Senha" (existing) / "Repetir Senha" (new)
    QString codUnidade;     // digits or empty
    bool podeFaturar = false;
    QStringList entradas;   // permission list entries, with their indentation
    QVector<bool> marcadas; // one per entry
};

inline constexpr const char* kMsgSenhaAtualErrada =
    "Para alterar este usuário insira a senha correta no campo [Senha Atual]";
inline constexpr const char* kMsgSenhasNaoConferem = "As Senhas não Conferem.";

// Saves in a fresh transaction `tr` (committed). Returns an empty text, or the validation
// message when nothing was written. Errors roll back and propagate (ErroBanco, ErroValor).
QString GravaUsuario(Transacao& tr, const GravacaoUsuario& g);
// Deletes the user (its MENUS rows go by the cascade rule), with its log row; commits.
void ExcluiUsuario(Transacao& tr, const QString& usuario);

// A care-unit code as an optional integer literal: "null" when empty or "0"; ErroValor when it
// is not a number.
QString UnidadeSql(const QString& codUnidade);

} // namespace vx
