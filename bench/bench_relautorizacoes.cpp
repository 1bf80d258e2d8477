// The largest authorization report: the statement of a month with 100,000 realized procedures
// (50 municipalities, 20 entities, 2 procedures per authorization, one in fifty blocked and listed
// with "Todos os Lançados"), and the totals by procedure over the same month.
// Times the query and layout (what the preview waits for), the first page painted, the whole PDF
// and the peak memory.
//   bench_relautorizacoes [procedures] [folder]
#include "core/Banco.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "core/schema/Esquema.h"
#include "reports/TRAutorizacoes.h"

#include "BancoBench.h"
#include "CargaLotes.h"

#include <QGuiApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

using namespace vx;

namespace {
constexpr int kMunicipios = 50;
constexpr int kEntidades = 20;
constexpr int kPorAutorizacao = 2;
const QDate kIni(2026, 3, 1), kFim(2026, 3, 31);

QString municipio(int m) { return QString::number(4300000 + m * 11); }

void gera(Conexao& con, int procedimentos)
{
    Transacao tr(con);
    tr.inicia();
    for (int m = 0; m < kMunicipios; ++m)
        tr.executa(QStringLiteral("insert into clientes (codigo, nome) values ('%1', 'MUNICIPIO %2')").arg(municipio(m)).arg(m));
    for (int e = 1; e <= kEntidades; ++e)
        tr.executa(QStringLiteral("insert into entidades (codigo, razaosocial, nomefantasia) values (%1, 'ENTIDADE %1 LTDA', "
                                  "'ENTIDADE %1')").arg(e));
    tr.executa(QStringLiteral("insert into gruposproced (codigo, nome, grupocobr) values (1, 'CONSULTAS', 'AMBULAT')"));
    tr.executa(QStringLiteral("insert into gruposproced (codigo, nome, grupocobr) values (2, 'EXAMES', 'EXAMES')"));
    for (int p = 1; p <= 40; ++p)
        tr.executa(QStringLiteral("insert into procedimentos (codigo, nome, codgrupo, valor, codtabsus, registro) values "
                                  "(%1, 'PROCEDIMENTO DE SAUDE NUMERO %1', %2, %3, '02020%1', 'C')")
                       .arg(p).arg(p % 2 + 1).arg(10 + p));
    tr.executa(QStringLiteral("insert into motivobloqueios (codigo, descricao) values (1, 'DUPLICIDADE')"));
    tr.commit();
    const int autorizacoes = procedimentos / kPorAutorizacao;
    bench::CarregaEmLotes(tr, autorizacoes, [](int a) {
        return QStringLiteral("insert into pessoas (cli_origem, codigo, nome) values ('%1', %2, 'PACIENTE %3 DA SILVA')")
            .arg(municipio(a % kMunicipios)).arg(a / kMunicipios + 1).arg(a);
    });
    bench::CarregaEmLotes(tr, autorizacoes, [](int a) {
        const QDateTime recebida(kIni.addDays(a % 31), QTime(8 + a % 10, a % 60));
        return QStringLiteral("insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codpessoa, codentidade, "
                              "datarealizacao, data_importacao, databloqueio, codmotivobloqueio) values ('%1', %2, 'M', %2, "
                              "%3, '%4', '%5', %6)")
            .arg(municipio(a % kMunicipios))
            .arg(a / kMunicipios + 1)
            .arg(a % kEntidades + 1)
            .arg(recebida.date().toString(Qt::ISODate), recebida.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
                 a % 50 == 0 ? QStringLiteral("'2026-03-20', 1") : QStringLiteral("null, null"));
    });
    bench::CarregaEmLotes(tr, autorizacoes * kPorAutorizacao, [](int i) {
        const int a = i / kPorAutorizacao;
        const int p = (a + i % kPorAutorizacao * 7) % 40 + 1;
        return QStringLiteral("insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, "
                              "quantidade, realizado, valortotal, valortotalsus) values ('%1', %2, 'M', %3, 1, 'S', %4, %5)")
            .arg(municipio(a % kMunicipios))
            .arg(a / kMunicipios + 1)
            .arg(p)
            .arg(10 + p)
            .arg(5 + p);
    });
    bench::AtualizaEstatisticas(tr);
}

// Lays out, paints the first page, writes the PDF; prints the figures.
void mede(const char* nome, Transacao& tr, const FiltroAutorizacoes& f)
{
    QElapsedTimer t;
    t.start();
    tr.inicia();
    {
        // Floor: the query's rows read and converted, nothing laid out.
        const ConsultaRelatorio c = f.totaliza ? SqlTotais(f) : SqlExtrato(f);
        rel::DadosSql d(tr, c.sql, c.parametros);
        rel::Linha l;
        while (d.proxima(l)) {
        }
    }
    const double tConsulta = t.nsecsElapsed() / 1e9;
    t.restart();
    const auto doc = GeraRelatorioAutorizacoes(tr, f);
    tr.commit();
    const double tLayout = t.nsecsElapsed() / 1e9;
    const QImage primeira = rel::ImagemPagina(*doc, 0, 96);
    const double tPrimeira = t.nsecsElapsed() / 1e9;
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("bench.pdf"));
    QElapsedTimer t2;
    t2.start();
    const bool ok = rel::GravaPdf(*doc, pdf);
    const double tPdf = t2.nsecsElapsed() / 1e9;
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    std::printf("%s: %lld rows, %d pages, PDF %.1f MB%s\n", nome, static_cast<long long>(doc->linhas()), doc->numPaginas(),
                QFileInfo(pdf).size() / 1048576.0, ok && !primeira.isNull() ? "" : " FAILED");
    std::printf("  query alone %.2f s\n", tConsulta);
    std::printf("  query + layout %.2f s, first page shown after %.2f s (target < 2 s), whole PDF %.2f s (target < 30 s), "
                "peak memory %.0f MB (target < 500 MB)\n",
                tLayout, tPrimeira, tPdf, ru.ru_maxrss / 1024.0);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int procedimentos = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    const bench::BancoTemporario banco("relautorizacoes", argc > 2 ? argv[2] : nullptr);
    const QString arquivo = banco.arquivo();
    SessaoAtual().UsuarioInstalacao = QStringLiteral("CUNE");
    SessaoAtual().UsuarioLogado = QStringLiteral("bench");
    CriaBancoNovo(arquivo);
    TDMCUNE dm;
    DefineDMCUNE(&dm);
    if (!dm.ConectaBanco(arquivo)) {
        std::fprintf(stderr, "no database\n");
        return 1;
    }
    QElapsedTimer t;
    t.start();
    gera(dm.IBDatabase, procedimentos);
    std::printf("bench_relautorizacoes: %d procedures of %d authorizations, %d municipalities, %d entities, generated in "
                "%.1f s\n",
                procedimentos, procedimentos / kPorAutorizacao, kMunicipios, kEntidades, t.elapsed() / 1000.0);

    FiltroAutorizacoes f;
    f.chamador = chamador::AdministrativoR;
    f.papel = QLatin1Char('C');
    f.identidade = f.perfil = QStringLiteral("CUNE");
    f.data1 = kIni;
    f.data2 = kFim;
    f.bloqueio = Bloqueio::Todos;
    mede("statement by municipality", dm.IBTransaction, f);
    f.porEntidade = true;
    mede("statement by entity", dm.IBTransaction, f);
    f.totaliza = true;
    f.ordem = int(Totalizacao::Procedimento);
    f.ordemTexto = QStringLiteral("Procedimento");
    mede("totals by procedure", dm.IBTransaction, f);
    DefineDMCUNE(nullptr);
    return 0;
}
