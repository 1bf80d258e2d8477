// Balances of the authorization screen on a large consortium-sized database: 1,000,000 procedure
// lines of 250,000 authorizations over 50 municipalities and 24 months, some at care units and
// some blocked. Times the balance of one municipality for a month (with and without an appointment
// date and a unit) beside a full scan of MARCACAO_PROCEDS.
//   bench_saldos [procedure lines] [folder]
#include "core/Banco.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "core/schema/Esquema.h"
#include "municipality/Saldos.h"

#include "CargaLotes.h"
#include "BancoBench.h"
#include "Medida.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

#include <cstdio>

using namespace vx;

namespace {
constexpr int kMunicipios = 50;
constexpr int kMeses = 24;
constexpr int kPorAutorizacao = 4;
const QDate kInicio(2025, 1, 1);

QString municipio(int m)
{
    return QString::number(4300000 + m * 11);
}

// Authorization a: municipality a % 50, a day spread over the 24 months, a unit for one in three,
// blocked one in twenty; four procedure lines each.
void gera(Conexao& con, int linhas)
{
    Transacao tr(con);
    tr.inicia();
    for (int u = 1; u <= 5; ++u)
        tr.executa(QStringLiteral("insert into unidades (codigo, nome) values (%1, 'UNIDADE %1')").arg(u));
    for (int m = 0; m < kMunicipios; ++m)
        for (int k = 0; k < kMeses; ++k)
            tr.executa(QStringLiteral("insert into clilimites values ('%1', '%2', 50000, null)")
                           .arg(municipio(m), kInicio.addMonths(k).toString(QStringLiteral("MM-yyyy"))));
    tr.executa(QStringLiteral("insert into limitesunidades values (3, '2025-01-01', '2026-12-31', 900000, null)"));
    tr.commit();
    const int autorizacoes = linhas / kPorAutorizacao;
    const int dias = int(kInicio.daysTo(kInicio.addMonths(kMeses)));
    bench::CarregaEmLotes(tr, autorizacoes, [dias](int a) {
        const QDate lanc = kInicio.addDays((a / kMunicipios) * 7919 % dias);
        return QStringLiteral("insert into marcacao (cli_origem, id_marcacao, data_imp_adm, datalanc, datamarc, "
                              "codunidade, databloqueio) values ('%1', %2, 'M', '%3', '%4', %5, %6)")
            .arg(municipio(a % kMunicipios))
            .arg(a / kMunicipios + 1)
            .arg(lanc.toString(Qt::ISODate), lanc.addDays(a % 40).toString(Qt::ISODate),
                 a % 3 == 0 ? QString::number(a % 5 + 1) : QStringLiteral("null"),
                 a % 20 == 0 ? QStringLiteral("'") + lanc.addDays(2).toString(Qt::ISODate) + QLatin1Char('\'')
                             : QStringLiteral("null"));
    });
    bench::CarregaEmLotes(tr, autorizacoes * kPorAutorizacao, [](int i) {
        const int a = i / kPorAutorizacao;
        return QStringLiteral("insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, "
                              "quantidade, valortotal) values ('%1', %2, 'M', %3, 1, %4.%5)")
            .arg(municipio(a % kMunicipios))
            .arg(a / kMunicipios + 1)
            .arg(i % kPorAutorizacao + 1)
            .arg(10 + i % 90)
            .arg(i % 100, 2, 10, QLatin1Char('0'));
    });
    bench::AtualizaEstatisticas(tr);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int linhas = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000000;
    const bench::BancoTemporario banco("saldos", argc > 2 ? argv[2] : nullptr);
    const QString arquivo = banco.arquivo();
    SessaoAtual().UsuarioInstalacao = QStringLiteral("CUNE");

    QElapsedTimer rel;
    rel.start();
    CriaBancoNovo(arquivo);
    Conexao con;
    con.conecta(arquivo, UsuarioBanco(), SenhaBanco());
    gera(con, linhas);
    std::printf("bench_saldos: %d procedure lines, %d authorizations, %d municipalities x %d months, generated in "
                "%.1f s\n", linhas, linhas / kPorAutorizacao, kMunicipios, kMeses, rel.elapsed() / 1000.0);

    Transacao tr(con);
    const auto data = [](int i) { return kInicio.addMonths(i % kMeses).addDays(i % 28); };
    const int vezes = 50;
    Decimal total;
    bench::Cabecalho();
    bench::Imprime("month balance of one municipality", bench::Mede(vezes, [&](int i) {
                       total = CalcSaldos(tr, {municipio(i % kMunicipios), data(i), {}, std::nullopt, true, true}).autorizado;
                   }));
    bench::Imprime("... with an appointment date and a care unit", bench::Mede(vezes, [&](int i) {
                       CalcSaldos(tr, {municipio(i % kMunicipios), data(i), data(i + 1), qint64(i % 5 + 1), true, true});
                   }));
    bench::Imprime("full scan: sum of MARCACAO_PROCEDS.VALORTOTAL", bench::Mede(3, [&](int) {
                       tr.inicia();
                       tr.valor(QStringLiteral("select sum(valortotal) from marcacao_proceds"));
                       tr.rollback();
                   }));
    std::printf("(last month balance authorized: %s)\n", qPrintable(total.toSql()));
    return 0;
}
