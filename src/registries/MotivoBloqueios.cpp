#include "registries/MotivoBloqueios.h"
#include "core/UFunc.h"

namespace vx {

namespace {
const QString kTabelaLog = QStringLiteral("MotivoBloqueios");
}

RegistroLog GravaMotivoBloqueio(Transacao& tr, const QString& codigo, const QString& descricao, bool novo)
{
    const QString c = codigo.trimmed();
    return EmTransacao(tr, [&](Consulta& q) {
        if (novo)
            q.executa(QStringLiteral("insert into motivobloqueios (Codigo, Descricao) values(%1,%2)")
                          .arg(SqlInteiro(c), SqlTexto(descricao)));
        else
            q.executa(QStringLiteral("update MOTIVOBLOQUEIOS set Descricao = %1 where Codigo = %2")
                          .arg(SqlTexto(descricao), SqlInteiro(c)));
        return RegistroLog{kTabelaLog, novo ? QStringLiteral("I") : QStringLiteral("U"), DescricaoLog(c, descricao, 20)};
    });
}

RegistroLog ExcluiMotivoBloqueio(Transacao& tr, const QString& codigo, const QString& descricao)
{
    const QString c = codigo.trimmed();
    return EmTransacao(tr, [&](Consulta& q) {
        q.executa(QStringLiteral("delete from MOTIVOBLOQUEIOS where Codigo = %1").arg(SqlInteiro(c)));
        return RegistroLog{kTabelaLog, QStringLiteral("E"), DescricaoLog(c, descricao, 20)};
    });
}

} // namespace vx
