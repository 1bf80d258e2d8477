// Duplicate patients on a large register: 1,000,000 patients (one pair in a thousand registered
// twice), 200,000 authorizations, and two records of one person with 1,000 authorizations and
// bookings each. Times the merge of those two (target under 1 s), the likely-duplicate groups over
// the whole register and the whole-register run.
//   bench_unificacao [patients] [folder]
#include "core/Banco.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "core/schema/Esquema.h"
#include "municipality/Unificacao.h"

#include "BancoBench.h"
#include "CargaLotes.h"
#include "CargaPacientes.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

using namespace vx;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int linhas = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000000;
    const bench::BancoTemporario banco("unificacao", argc > 2 ? argv[2] : nullptr);
    SessaoAtual().UsuarioLogado = QStringLiteral("bench");
    CriaBancoNovo(banco.arquivo());
    QElapsedTimer t;
    t.start();
    Conexao con;
    con.conecta(banco.arquivo(), UsuarioBanco(), SenhaBanco());
    // Patient i+1; every thousandth (i % 1000 == 1) repeats the name of the one before it.
    bench::CarregaPacientes(con, linhas, QStringLiteral("cli_origem, codigo, nome, cartaosus, datanasc, nomemae"), [](int i) {
        const int n = i % 1000 == 1 ? i - 1 : i;
        return QStringLiteral("('4314902', %1, 'PACIENTE %2 DOS SANTOS OLIVEIRA', '%3', '1980-05-17', 'MARIA %1')")
            .arg(i + 1)
            .arg(n + 1)
            .arg(700000000000000LL + i);
    });
    Transacao tr(con);
    tr.inicia();
    tr.executa(QStringLiteral("insert into clientes (codigo, nome) values ('4314902', 'PORTO ALEGRE')"));
    tr.executa(QStringLiteral("insert into profissionais (codigo, nome) values (1, 'DRA. LUCIA ALVES')"));
    tr.commit();
    const int gerais = 200000, cada = 1000;
    const qint64 a = linhas / 2 + 3, b = linhas / 2 + 4;   // not one of the generated pairs
    bench::CarregaEmLotes(tr, gerais + 2 * cada, [&](int i) {
        const qint64 pessoa = i < gerais ? (qint64(i) * 7919) % linhas + 1 : (i - gerais) % 2 ? b : a;
        return QStringLiteral("insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codpessoa) "
                              "values ('4314902', %1, 'M', %2)").arg(i + 1).arg(pessoa);
    });
    bench::CarregaEmLotes(tr, 2 * cada, [&](int i) {
        return QStringLiteral("insert into agenda (id_agenda, codprofissional, data, cli_origem, codpessoa) "
                              "values (%1, 1, current_date + %2, '4314902', %3)").arg(i + 1).arg(i % 60).arg(i % 2 ? b : a);
    });
    bench::AtualizaEstatisticas(tr);
    std::printf("bench_unificacao: %d patients, %d authorizations, %d bookings generated in %.1f s\n", linhas,
                gerais + 2 * cada, 2 * cada, t.elapsed() / 1000.0);

    tr.inicia();
    const qint64 antes = tr.valor(QStringLiteral("select count(*) from marcacao where codpessoa in (%1, %2)").arg(a).arg(b)).toLongLong();
    tr.rollback();
    t.restart();
    UnificaPacientes(tr, QStringLiteral("4314902"), a, {b});
    const double tPar = t.elapsed() / 1000.0;
    tr.inicia();
    const qint64 movidas = tr.valor(QStringLiteral("select count(*) from marcacao where codpessoa=%1").arg(a)).toLongLong();
    tr.rollback();
    std::printf("  merge of two records with %d authorizations and %d bookings each  %6.3f s  [target < 1 s]%s\n", cada,
                cada, tPar, movidas == antes ? "" : " WRONG COUNT");

    t.restart();
    tr.inicia();
    const QVector<GrupoDuplicados> grupos = ProvaveisDuplicados(tr);
    tr.rollback();
    std::printf("  likely duplicates over the register (%d groups)                   %6.1f s\n", int(grupos.size()),
                t.elapsed() / 1000.0);

    t.restart();
    const ResultadoUnificacao r = ExecutaUnificacao(tr);
    std::printf("  whole-register run (%d read, %d merged)                      %6.1f s\n", r.verificados, r.unificados,
                t.elapsed() / 1000.0);
    con.desconecta();
    Conexao::finaliza();
    return tPar < 1.0 && movidas == antes ? 0 : 1;
}
