// Billing of a month on a consortium-sized database: 200,000 realized procedure lines received in
// the period (plus as many in the months around it, some blocked or not realized) over 50
// municipalities and 300 entities. Times the listings and the save of both modes beside the bare
// aggregate statement, and each statement laid out and written to PDF.
//   bench_faturamento [procedure lines of the period] [folder]
#include "billing/Demonstrativos.h"
#include "billing/Faturamento.h"
#include "billing/TRFaturamento.h"
#include "core/Banco.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "core/schema/Esquema.h"
#include "reports/Relatorio.h"

#include "BancoBench.h"
#include "CargaLotes.h"
#include "Medida.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

using namespace vx;

namespace {
constexpr int kMunicipios = 50;
constexpr int kEntidades = 300;
constexpr int kPorAutorizacao = 4;
const QDate kIni(2026, 3, 1);
const QDate kFim(2026, 3, 31);

QString municipio(int m) { return QString::number(4300000 + m * 11); }

// Authorization a: its municipality a % 50, entity a % 300; the first half received in March,
// the rest in February or April; one in twenty blocked; one line in ten not realized.
void gera(Conexao& con, int linhasPeriodo)
{
    Transacao tr(con);
    tr.inicia();
    for (int m = 0; m < kMunicipios; ++m)
        tr.executa(QStringLiteral("insert into clientes (codigo, nome, apelido, valortaxa, cobrtaxa) values "
                                  "('%1', 'MUNICIPIO %2', 'MUN%2', %3, 'B')")
                       .arg(municipio(m))
                       .arg(m, 2, 10, QLatin1Char('0'))
                       .arg(m % 3 ? 250 : 0));
    for (int e = 1; e <= kEntidades; ++e)
        tr.executa(QStringLiteral("insert into entidades (codigo, razaosocial, isentoir, simplesnac, issqn, pis, cofins, "
                                  "csll, codcontabil, banco, agencia, conta, cnpj) values (%1, 'ENTIDADE PRESTADORA %1 LTDA', "
                                  "'%2', '%3', 2, 0.65, 3, 1, '%1', '041', '0100', '12345-6', '12.345.678/0001-90')")
                       .arg(e)
                       .arg(e % 7 == 0 ? 'S' : 'N')
                       .arg(e % 5 == 0 ? 'S' : 'N'));
    tr.executa(QStringLiteral("insert into gruposproced (codigo, nome, grupocobr) values (1, 'CONSULTAS', 'CONSULTAS')"));
    tr.executa(QStringLiteral("insert into gruposproced (codigo, nome, grupocobr) values (2, 'EXAMES', 'EXAMES')"));
    for (int p = 1; p <= kPorAutorizacao; ++p)
        tr.executa(QStringLiteral("insert into procedimentos (codigo, nome, codgrupo, valor) values (%1, 'PROC %1', %2, 10)")
                       .arg(p)
                       .arg(p % 2 + 1));
    tr.commit();
    const int autorizacoes = 2 * linhasPeriodo / kPorAutorizacao;
    bench::CarregaEmLotes(tr, autorizacoes, [autorizacoes](int a) {
        const bool noPeriodo = a < autorizacoes / 2;
        const QDateTime recebida = noPeriodo ? QDateTime(kIni.addDays(a % 31), QTime(8 + a % 10, a % 60))
                                             : QDateTime(a % 2 ? kIni.addDays(-1 - a % 28) : kFim.addDays(1 + a % 30),
                                                         QTime(12, 0));
        return QStringLiteral("insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codentidade, data_importacao, "
                              "databloqueio) values ('%1', %2, 'M', %3, '%4', %5)")
            .arg(municipio(a % kMunicipios))
            .arg(a / kMunicipios + 1)
            .arg(a % kEntidades + 1)
            .arg(recebida.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
                 a % 20 == 0 ? QStringLiteral("'2026-03-15'") : QStringLiteral("null"));
    });
    bench::CarregaEmLotes(tr, autorizacoes * kPorAutorizacao, [](int i) {
        const int a = i / kPorAutorizacao;
        return QStringLiteral("insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, "
                              "quantidade, realizado, valortotal, valorsus1, valorsus2, valorpopular) "
                              "values ('%1', %2, 'M', %3, 1, '%4', %5.%6, 1, 0.5, 0.25)")
            .arg(municipio(a % kMunicipios))
            .arg(a / kMunicipios + 1)
            .arg(i % kPorAutorizacao + 1)
            .arg(i % 10 == 9 ? 'N' : 'S')
            .arg(10 + i % 90)
            .arg(i % 100, 2, 10, QLatin1Char('0'));
    });
    bench::AtualizaEstatisticas(tr);
}

GravacaoFatura gravacao(ModoFaturamento modo)
{
    GravacaoFatura g;
    g.modo = modo;
    g.inicio = QStringLiteral("01/03/2026");
    g.fim = QStringLiteral("31/03/2026");
    g.emissao = QStringLiteral("05/04/2026");
    g.vencimento = QStringLiteral("20/04/2026");
    g.hoje = QDate(2026, 4, 5);
    return g;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int linhas = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 200000;
    const bench::BancoTemporario banco("faturamento", argc > 2 ? argv[2] : nullptr);
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
    std::printf("bench_faturamento: %d procedure lines in the period (%d in all), %d municipalities, %d entities, "
                "generated in %.1f s\n",
                linhas, 2 * linhas, kMunicipios, kEntidades, rel.elapsed() / 1000.0);

    Transacao& tr = dm.IBTransaction;
    GradeFaturamento mun, ent;
    const auto pedido = [](ModoFaturamento modo, bool recalcular, const char* perfil) {
        PedidoFatura p;
        p.modo = modo;
        p.inicio = kIni;
        p.fim = kFim;
        p.recalcular = recalcular;
        p.regras = RegrasFaturamento::DoPerfil(QString::fromLatin1(perfil));
        return p;
    };
    bench::Cabecalho();
    bench::Imprime("bare aggregate, per municipality (target: listing < 10 s)", bench::Mede(3, [&](int) {
                       tr.inicia();
                       ConsultaProducao(tr, ModoFaturamento::Municipio, kIni, kFim);
                       tr.commit();
                   }));
    bench::Imprime("bare aggregate, per entity", bench::Mede(3, [&](int) {
                       tr.inicia();
                       ConsultaProducao(tr, ModoFaturamento::Entidade, kIni, kFim);
                       tr.commit();
                   }));
    bench::Imprime("(Re)Calcular Fatura, municipalities (CULVAR)", bench::Mede(3, [&](int) {
                       mun = ListaFatura(tr, pedido(ModoFaturamento::Municipio, true, "CULVAR"));
                   }));
    bench::Imprime("(Re)Calcular Fatura, entities with withholdings (CUNE)", bench::Mede(3, [&](int) {
                       ent = ListaFatura(tr, pedido(ModoFaturamento::Entidade, true, "CUNE"));
                   }));
    bench::Imprime("save, municipalities", bench::Mede(3, [&](int) {
                       GravaFatura(tr, gravacao(ModoFaturamento::Municipio), mun);
                   }));
    bench::Imprime("save, entities with their payables", bench::Mede(3, [&](int) {
                       GravaFatura(tr, gravacao(ModoFaturamento::Entidade), ent);
                   }));
    bench::Imprime("Consultar Fatura (stored), entities", bench::Mede(3, [&](int) {
                       ent = ListaFatura(tr, pedido(ModoFaturamento::Entidade, false, "CUNE"));
                   }));

    QTemporaryDir dir;
    const auto pdf = [&](const char* nome, PedidoDemonstrativo p) {
        bench::Imprime(nome, bench::Mede(3, [&](int i) {
                           auto doc = TRFaturamento::Gera(dm.IBTLivre, p);
                           rel::GravaPdf(*doc, dir.filePath(QStringLiteral("d%1.pdf").arg(i)));
                           dm.IBTLivre.rollback();
                       }));
    };
    PedidoDemonstrativo p;
    p.inicio = kIni;
    p.fim = kFim;
    p.perfil = QStringLiteral("CUNE");
    pdf("municipality statement to PDF (target < 10 s)", p);
    p.entidades = true;
    pdf("entity statement to PDF", p);
    p.listarMunicipios = true;
    pdf("entity statement with the top five municipalities to PDF", p);
    p.perfil = QStringLiteral("CULVAR");
    p.listarMunicipios = false;
    pdf("entity statement, CULVAR columns, to PDF", p);
    p.entidades = false;
    p.perfil = QStringLiteral("CUMBEL");
    pdf("CUMBEL municipality statement with group lines to PDF", p);

    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    std::printf("peak memory %.1f MB\n", ru.ru_maxrss / 1024.0);
    DefineDMCUNE(nullptr);
    return 0;
}
