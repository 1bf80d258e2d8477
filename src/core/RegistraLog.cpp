#include "core/RegistraLog.h"
#include "core/Banco.h"
#include "core/UVariaveis.h"

namespace vx {

QDateTime HoraLog(const QDateTime& agora)
{
    const QTime t = agora.time();
    return QDateTime(agora.date(), QTime(t.hour(), t.minute()));
}

void RegistraLog(Transacao& tr, const QString& tabela, const QString& situacao, const QString& outrasInfo)
{
    tr.executa(QStringLiteral("insert into Logs(Usuario, Datahora, Tabela, Situacao, OutrasInfo) "
                              "values(?, ?, ?, ?, ?)"),
               {SessaoAtual().UsuarioLogado, HoraLog(), tabela, situacao.toUpper(), outrasInfo});
}

void RegistraLog(Consulta& q, const QString& tabela, const QString& situacao, const QString& outrasInfo)
{
    RegistraLog(q.transacao(), tabela, situacao, outrasInfo);
}

} // namespace vx
