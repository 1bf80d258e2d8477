#pragma once
// Bulk load of the benchmarks: generated statements run in EXECUTE BLOCK batches of 200,
// committed every 20,000 rows.
#include "core/Banco.h"

#include <QString>

#include <functional>

namespace vx::bench {

inline void CarregaEmLotes(Transacao& tr, int linhas, const std::function<QString(int)>& comando)
{
    tr.inicia();
    for (int i = 0; i < linhas;) {
        QString sql = QStringLiteral("execute block as begin\n");
        for (int k = 0; k < 200 && i < linhas; ++k, ++i)
            sql += comando(i) + QStringLiteral(";\n");
        sql += QStringLiteral("end");
        tr.executa(sql);
        if (i % 20000 == 0) {
            tr.commit();
            tr.inicia();
        }
    }
    tr.commit();
}

// Refreshes the selectivity of every user index after a load.
inline void AtualizaEstatisticas(Transacao& tr)
{
    tr.inicia();
    tr.executa(QStringLiteral("execute block as declare n varchar(63); begin for select rdb$index_name from "
                              "rdb$indices where rdb$system_flag = 0 into :n do execute statement "
                              "'set statistics index ' || trim(:n); end"));
    tr.commit();
}

} // namespace vx::bench
