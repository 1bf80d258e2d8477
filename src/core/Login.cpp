#include "core/Login.h"
#include "core/Banco.h"
#include "core/UFunc.h"

#include <QCryptographicHash>

namespace vx {

bool EhSenhaManutencao(const QString& senha)
{
    // Kept as a digest so that the text does not show in the program's strings.
    static const QByteArray esperado = QByteArrayLiteral("b5bc0a9137fcc1292b952d34069d38608db6918d58f6d699ec02eadf35ef3269");
    return senha.size() == 6
        && QCryptographicHash::hash(senha.toLower().toLatin1(), QCryptographicHash::Sha256).toHex() == esperado;
}

ResultadoLogin VerificaLogin(Transacao& tr, const QString& usuario, const QString& senha)
{
    if (usuario.isEmpty())
        return ResultadoLogin::Vazio;
    Consulta q(tr);
    q.abre(QStringLiteral("select * from Usuarios where Upper(Usuario)=%1 and Upper(Senha)=%2")
               .arg(SqlTexto(usuario.toUpper()), SqlTexto(senha.toUpper())));
    const bool achou = !q.eof();
    q.fecha();
    if (EhSenhaManutencao(senha))
        return ResultadoLogin::Manutencao;
    return achou ? ResultadoLogin::Usuario : ResultadoLogin::Recusado;
}

QString NomeLogado(const QString& digitado)
{
    return digitado.left(15);
}

void GravaVersaoExe(Conexao& con, const QString& versao)
{
    Transacao tr(con);
    tr.inicia();
    try {
        if (tr.valor(QStringLiteral("select first 1 1 from TabDiv")).isValid())
            tr.executa(QStringLiteral("update TABDIV set VersaoExe=%1").arg(SqlTexto(versao)));
        else
            tr.executa(QStringLiteral("insert into TABDIV (VersaoExe) values (%1)").arg(SqlTexto(versao)));
        tr.commit();
    } catch (...) {
        tr.rollback();
        throw;
    }
}

} // namespace vx
