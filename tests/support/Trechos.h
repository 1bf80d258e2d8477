#pragma once
// Checks the patients' word pieces against their names and cards.
#include "core/Banco.h"
#include "core/schema/IndicesBusca.h"

#include <QMap>
#include <QStringList>

namespace vx::test {

// The first patient whose pieces in BUSCA_PESSOAS differ from those of its name and card, described;
// empty when every patient agrees (and no piece belongs to a patient that does not exist).
inline QString DiferencaTrechos(Transacao& tr)
{
    QMap<QString, QStringList> esperado, gravado;
    Consulta q(tr);
    for (q.abre(QStringLiteral("select cli_origem, codigo, nome, cartaosus from pessoas")); !q.eof(); q.proximo()) {
        const QStringList t = TrechosDe(q.campo(2).texto()) + TrechosDe(q.campo(3).texto());
        if (!t.isEmpty())
            esperado[q.campo(0).texto() + QLatin1Char('|') + q.campo(1).texto()] = t;
    }
    for (q.abre(QStringLiteral("select cli_origem, codigo, trecho from busca_pessoas")); !q.eof(); q.proximo())
        gravado[q.campo(0).texto() + QLatin1Char('|') + q.campo(1).texto()] << q.campo(2).texto();
    q.fecha();
    for (auto* m : {&esperado, &gravado})
        for (QStringList& l : *m)
            l.sort();
    if (esperado == gravado)
        return {};
    for (auto it = esperado.cbegin(); it != esperado.cend(); ++it)
        if (gravado.value(it.key()) != it.value())
            return it.key() + QStringLiteral(": ") + it.value().join(QLatin1Char(',')) + QStringLiteral(" / ") +
                   gravado.value(it.key()).join(QLatin1Char(','));
    for (auto it = gravado.cbegin(); it != gravado.cend(); ++it)
        if (!esperado.contains(it.key()))
            return it.key() + QStringLiteral(": left behind ") + it.value().join(QLatin1Char(','));
    return QStringLiteral("?");
}

// The same on a transaction of its own over `con`.
inline QString DiferencaTrechos(Conexao& con)
{
    Transacao tr(con);
    tr.inicia();
    const QString r = DiferencaTrechos(tr);
    tr.commit();
    return r;
}

} // namespace vx::test
