#include "core/Usuarios.h"
#include "core/Banco.h"
#include "core/UFunc.h"
#include "core/MenuPrincipal.h"
#include "core/RegistraLog.h"

namespace vx {

QString UnidadeSql(const QString& codUnidade)
{
    return SqlInteiro(codUnidade);
}

DadosUsuario CarregaUsuario(Transacao& tr, const QString& usuario)
{
    DadosUsuario u;
    Consulta q(tr);
    q.abre(QStringLiteral("select * from usuarios where usuario=%1").arg(SqlTexto(usuario)));
    if (!q.eof()) {
        u.existe = true;
        u.senha = q.campo(QStringLiteral("SENHA")).texto();
        u.codUnidade = q.campo(QStringLiteral("CODUNIDADE")).texto();
        u.podeFaturar = q.campo(QStringLiteral("PODEFATURAR")).texto() == QLatin1String("S");
    }
    q.fecha();
    if (!u.existe)
        return u;
    q.abre(QStringLiteral("select menu, permissao from menus where usuario=%1").arg(SqlTexto(usuario)));
    for (; !q.eof(); q.proximo()) {
        u.temMenus = true;
        if (PermissaoSim(q.campo(QStringLiteral("PERMISSAO")).texto()))
            u.menusPermitidos.insert(q.campo(QStringLiteral("MENU")).texto());
    }
    q.fecha();
    return u;
}

QVector<bool> MarcasUsuario(const DadosUsuario& u, const QStringList& entradas)
{
    QVector<bool> r(entradas.size(), false);
    if (!u.existe)
        return r;
    for (int i = 0; i < entradas.size(); ++i)
        r[i] = !u.temMenus || u.menusPermitidos.contains(entradas.at(i));
    return r;
}

QString GravaUsuario(Transacao& tr, const GravacaoUsuario& g)
{
    tr.inicia();
    try {
        const DadosUsuario atual = CarregaUsuario(tr, g.usuario);
        if (atual.existe) {
            if (atual.senha != g.senha && !g.senha.isEmpty()) {
                tr.rollback();
                return QString::fromUtf8(kMsgSenhaAtualErrada);
            }
        } else if (g.senha != g.confirmaSenha) {
            tr.rollback();
            return QString::fromUtf8(kMsgSenhasNaoConferem);
        }
        const QString nome = SqlTexto(g.usuario);
        const QString fatura = g.podeFaturar ? QStringLiteral("'S'") : QStringLiteral("'N'");
        const QString unidade = UnidadeSql(g.codUnidade);
        if (atual.existe) {
            QString sql = QStringLiteral("update Usuarios set ");
            if (!g.confirmaSenha.isEmpty())
                sql += QStringLiteral("Senha = ") + SqlTexto(g.confirmaSenha) + QLatin1Char(',');
            sql += QStringLiteral("CodUnidade = ") + unidade + QLatin1Char(',') + QStringLiteral("PodeFaturar=") + fatura
                + QStringLiteral(" where Usuario = ") + nome;
            tr.executa(sql);
        } else {
            tr.executa(QStringLiteral("insert into Usuarios (Usuario, Senha, CodUnidade, PodeFaturar) values (%1, %2, %3, %4)")
                           .arg(nome, SqlTexto(g.senha), unidade, fatura));
        }
        tr.executa(QStringLiteral("delete from Menus where usuario = ") + nome);
        const QStringList pais = PaisPermissoes(g.entradas);
        for (int i = 0; i < g.entradas.size(); ++i) {
            const bool marcada = i < g.marcadas.size() && g.marcadas.at(i);
            tr.executa(QStringLiteral("insert into Menus (Usuario, Menu, Pai, Permissao) values(%1, %2, %3, %4)")
                           .arg(nome, SqlTexto(g.entradas.at(i)), SqlTexto(pais.at(i)),
                                marcada ? QStringLiteral("'True'") : QStringLiteral("'False'")));
        }
        RegistraLog(tr, QStringLiteral("Usuarios"), atual.existe ? QStringLiteral("U") : QStringLiteral("I"),
                    g.usuario.left(20) + QLatin1Char('-') + g.codUnidade);
        tr.commit();
        return {};
    } catch (...) {
        tr.rollback();
        throw;
    }
}

void ExcluiUsuario(Transacao& tr, const QString& usuario)
{
    tr.inicia();
    try {
        tr.executa(QStringLiteral("delete from Usuarios where usuario = ") + SqlTexto(usuario));
        RegistraLog(tr, QStringLiteral("Usuarios"), QStringLiteral("E"), usuario.left(20));
        tr.commit();
    } catch (...) {
        tr.rollback();
        throw;
    }
}

} // namespace vx
