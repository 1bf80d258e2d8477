// Funding sources over a consortium-sized month: 200,000 realized procedure lines received in the
// period (and 50,000 before it) over 50 municipalities holding SUS1, SUS2 and POPULAR credits.
// Times the credit consumption (first run and a repeated run) and the apportionment of a transfer
// base among the 50 municipalities.
//   bench_rateio [procedure lines of the period] [folder]
#include "billing/Rateio.h"
#include "core/Banco.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "core/schema/Esquema.h"

#include "BancoBench.h"
#include "CargaLotes.h"
#include "Medida.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <functional>
#include <sys/resource.h>

using namespace vx;

namespace {
constexpr int kMunicipios = 50;
constexpr int kPorAutorizacao = 4;
const QDate kIni(2026, 3, 1);
const QDate kFim(2026, 3, 31);

QString municipio(int m) { return QString::number(4300000 + m * 11); }

// Credits of each source sized to run out around the middle of the month; a fifth of the lines are
// received in February (use before the period); one authorization in twenty blocked.
void gera(Conexao& con, int linhasPeriodo)
{
    Transacao tr(con);
    tr.inicia();
    for (int m = 0; m < kMunicipios; ++m) {
        tr.executa(QStringLiteral("insert into clientes (codigo, nome, populacao) values ('%1', 'MUNICIPIO %2', %3)")
                       .arg(municipio(m))
                       .arg(m)
                       .arg(5000 + m * 731));
        const int porMunicipio = linhasPeriodo / kMunicipios;
        for (auto [tipo, valor] : {std::pair{"SUS1", porMunicipio * 6}, {"SUS2", porMunicipio * 3}, {"POPULAR", porMunicipio * 2}})
            tr.executa(QStringLiteral("insert into creditos (cli_origem, tipo, data, valor) values ('%1', '%2', '2026-01-01', %3)")
                           .arg(municipio(m), QLatin1String(tipo))
                           .arg(valor));
        tr.executa(QStringLiteral("insert into fat_municipio (tipo, dataini, datafim, codcliente, valorbruto) values "
                                  "('FAT', '2026-02-01', '2026-02-28', '%1', %2)")
                       .arg(municipio(m))
                       .arg(10000 + m * 137));
    }
    for (int p = 1; p <= kPorAutorizacao; ++p)
        tr.executa(QStringLiteral("insert into procedimentos (codigo, nome, valor, valorsus, valorpopular) values "
                                  "(%1, 'PROC %1', %2, %3, %4)")
                       .arg(p)
                       .arg(20 * p)
                       .arg(5 * p)
                       .arg(p % 2 ? 4 : 0));
    tr.executa(QStringLiteral("insert into rateiosus (idrateio, descricao, valortotal, databaseini, databasefim) values "
                              "(1, 'REPASSE', 123456.78, '2026-02-01', '2026-02-28')"));
    tr.commit();
    const int noPeriodo = linhasPeriodo / kPorAutorizacao;
    const int autorizacoes = noPeriodo + noPeriodo / 4;
    bench::CarregaEmLotes(tr, autorizacoes, [noPeriodo](int a) {
        const QDateTime recebida = a < noPeriodo ? QDateTime(kIni.addDays(a % 31), QTime(8 + a % 10, a % 60))
                                                 : QDateTime(kIni.addDays(-1 - a % 28), QTime(12, 0));
        return QStringLiteral("insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codentidade, data_importacao, "
                              "databloqueio) values ('%1', %2, 'M', 1, '%3', %4)")
            .arg(municipio(a % kMunicipios))
            .arg(a / kMunicipios + 1)
            .arg(recebida.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
                 a % 20 == 0 ? QStringLiteral("'2026-03-15'") : QStringLiteral("null"));
    });
    bench::CarregaEmLotes(tr, autorizacoes * kPorAutorizacao, [noPeriodo](int i) {
        const int a = i / kPorAutorizacao;
        const int p = i % kPorAutorizacao + 1;
        return QStringLiteral("insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, "
                              "quantidade, realizado, valortotal, valorsus1, valorsus2, valorpopular) "
                              "values ('%1', %2, 'M', %3, 1, 'S', %4, %5)")
            .arg(municipio(a % kMunicipios))
            .arg(a / kMunicipios + 1)
            .arg(p)
            .arg(20 * p)
            .arg(a < noPeriodo ? QStringLiteral("null, null, null") : QStringLiteral("%1, 0, 0").arg(5 * p));
    });
    bench::AtualizaEstatisticas(tr);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int linhas = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 200000;
    const bench::BancoTemporario banco("rateio", argc > 2 ? argv[2] : nullptr);
    const QString arquivo = banco.arquivo();
    SessaoAtual().UsuarioInstalacao = QStringLiteral("CUNE");
    SessaoAtual().UsuarioLogado = QStringLiteral("bench");

    QElapsedTimer rel;
    rel.start();
    CriaBancoNovo(arquivo);
    TDMCUNE dm;
    DefineDMCUNE(&dm);
    if (!dm.ConectaBanco(arquivo)) {
        std::fprintf(stderr, "no database\n");
        return 1;
    }
    gera(dm.IBDatabase, linhas);
    std::printf("bench_rateio: %d procedure lines in the period (%d before it), %d municipalities with 3 sources each, "
                "generated in %.1f s\n",
                linhas, linhas / 4, kMunicipios, rel.elapsed() / 1000.0);

    Transacao& tr = dm.IBTransaction;
    ResumoConsumo r;
    const auto consome = [&](const char* nome, int vezes, const std::function<void()>& antes = {}) {
        bench::Imprime(nome, bench::Mede(vezes, [&](int) {
                           if (antes)
                               antes();
                           tr.inicia();
                           r = ConsomeCreditos(tr, kIni, kFim);
                           tr.commit();
                       }));
        std::printf("  %d lines of the period over %d municipalities, %d written\n", r.linhas, r.municipios, r.alteradas);
    };
    bench::Cabecalho();
    consome("credit consumption, first run (target < 10 s)", 1);
    consome("credit consumption again after a reception of nothing new", 3);
    // Every line's values change: the prices the lines draw double between runs.
    int vez = 0;
    consome("credit consumption after every line's values changed", 3, [&] {
        tr.inicia();
        tr.executa(QStringLiteral("update procedimentos set valorsus=%1*codigo, valorpopular=%2*mod(codigo,2)")
                       .arg(++vez % 2 ? 10 : 5)
                       .arg(vez % 2 ? 8 : 4));
        tr.commit();
    });

    PedidoAplicacao p;
    p.base = *LeBaseRateio(tr, QStringLiteral("1"));
    p.inicio = kIni;
    p.fim = kFim;
    p.usuario = QStringLiteral("bench");
    p.agora = QDateTime::currentDateTime();
    QVector<LinhaAplicacao> grade;
    for (int m = 0; m < kMunicipios; ++m)
        grade.push_back({municipio(m), QStringLiteral("1.000,00")});
    bench::Imprime("apportionment of a base among 50 municipalities", bench::Mede(3, [&](int) {
                       AplicaRateio(tr, p, grade);
                   }));

    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    std::printf("peak memory %.1f MB\n", ru.ru_maxrss / 1024.0);
    DefineDMCUNE(nullptr);
    return 0;
}
