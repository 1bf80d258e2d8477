#include "core/schema/Esquema.h"
#include "core/Banco.h"

namespace vx {

void CriaTabelasIniciais(Transacao& tr)
{
    Q_UNUSED(tr);
}

QString CriaBancoNovo(const QString& arquivo, const Progresso& progresso)
{
    Q_UNUSED(arquivo);
    Q_UNUSED(progresso);
    return QStringLiteral("0.00");
}

} // namespace vx
