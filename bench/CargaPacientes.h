#pragma once
// Bulk load of generated patients for the benchmarks: EXECUTE BLOCK batches with the secondary
// indexes of PESSOAS and the word-piece trigger off, then the indexes and the word pieces built
// once and the statistics refreshed.
#include "core/Banco.h"
#include "core/schema/Cadeia.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>

namespace vx::bench {

// `linha(i)` gives the values of row i for the columns in `colunas`, e.g. "('4314902', 1, 'ANA')".
inline void CarregaPacientes(Conexao& con, int linhas, const QString& colunas,
                             const std::function<QString(int)>& linha)
{
    Transacao tr(con);
    tr.inicia();
    QStringList indices;
    {
        Consulta q(tr);
        q.abre(QStringLiteral("select trim(rdb$index_name) from rdb$indices where rdb$relation_name = 'PESSOAS' "
                              "and rdb$index_name not in (select rdb$index_name from rdb$relation_constraints "
                              "where rdb$index_name is not null)"));
        for (; !q.eof(); q.proximo())
            indices << q.campo(0).texto();
    }
    for (const QString& ix : indices)
        tr.executa(QStringLiteral("drop index %1").arg(ix));
    // The word pieces are filled once after the load, as at the first start of an older database.
    tr.executa(QStringLiteral("alter trigger PESSOAS_AIUD_BUSCA inactive"));
    tr.executa(QStringLiteral("drop index IX_BUSCA_PESSOAS_TRECHO"));
    tr.commit();
    tr.inicia();
    const int lote = 250;
    for (int i = 0; i < linhas;) {
        QString sql = QStringLiteral("execute block as begin\n");
        for (int k = 0; k < lote && i < linhas; ++k, ++i)
            sql += QStringLiteral("insert into pessoas (%1) values %2;\n").arg(colunas, linha(i));
        sql += QStringLiteral("end");
        tr.executa(sql);
        if (i % 100000 == 0) {
            tr.commit();
            tr.inicia();
        }
    }
    tr.executa(QStringLiteral("alter trigger PESSOAS_AIUD_BUSCA active"));
    tr.commit();
    QElapsedTimer rel;
    rel.start();
    qint64 inicioTrechos = -1;
    // The word pieces are the last of it: their fill starts at the first progress line.
    ComplementaEsquema(tr, false, [&](const QString&) {
        if (inicioTrechos < 0)
            inicioTrechos = rel.elapsed();
    });
    std::printf("indexes of %d patients built in %.1f s, then their word pieces filled (and indexed) in %.1f s\n",
                linhas, qMax<qint64>(inicioTrechos, 0) / 1000.0, (rel.elapsed() - qMax<qint64>(inicioTrechos, 0)) / 1000.0);
    tr.inicia();
    for (const QString& ix : indices)
        tr.executa(QStringLiteral("set statistics index %1").arg(ix));
    tr.commit();
}

// Complete patients of municipality 4314902: code i + 1, card 700000000000000 + i, every column the
// registry fills.
inline void CarregaPacientesCompletos(Conexao& con, int linhas)
{
    CarregaPacientes(con, linhas,
                     QStringLiteral("cli_origem, codigo, nome, cartaosus, datanasc, sexo, raca, etnia, nomemae, endereco, "
                                    "endnum, bairro, cep"),
                     [](int i) {
                         return QStringLiteral("('4314902', %1, 'PACIENTE %1 DOS SANTOS OLIVEIRA', '%2', '1980-05-17', 'F', "
                                               "'99', '999', 'MARIA %1 DOS SANTOS', 'RUA DOUTOR JOAO PESSOA %1', 100, "
                                               "'CENTRO HISTORICO', '90000000')")
                             .arg(i + 1)
                             .arg(700000000000000LL + i);
                     });
}

} // namespace vx::bench
