// Band report engine.
// 1. 10,000-row listing with two group levels, laid out and written to PDF (target < 5 s, < 300 MB).
// 2. 100,000-row listing of ten columns, two group levels with subtotals, in memory: layout, the
//    first page as the preview paints it, the whole PDF and the spreadsheet of the listing.
//    Targets: first page (layout + image) < 1.5 s (the query takes the rest of the 2 s), whole PDF
//    < 30 s, peak memory < 500 MB.
#include "MedidaPdf.h"
#include "billing/Planilha.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <ctime>

using namespace vx;
using namespace vx::rel;

namespace {

double segundos(const QElapsedTimer& t) { return t.nsecsElapsed() / 1e9; }

// Processor time of the process, which a busy machine does not inflate.
double cpu()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

double picoMb()
{
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss / 1024.0;
}

int listagemCurta(int n)
{
    QVector<QVariantList> linhas;
    linhas.reserve(n);
    for (int i = 0; i < n; ++i)
        linhas.append({QStringLiteral("43%1").arg(i / 500, 5, 10, QLatin1Char('0')),
                       QStringLiteral("MUNICIPIO %1").arg(i / 500),
                       QStringLiteral("ENTIDADE %1").arg(i / 50),
                       i, QStringLiteral("PACIENTE DE NOME BEM COMPRIDO NUMERO %1").arg(i),
                       QDate(2015, 3, 1).addDays(i % 28), qint64(1 + i % 3),
                       QVariant::fromValue(Decimal::cents(1000 + (i * 37) % 50000))});

    return bench::MedePdf("bench_relatorio", QStringLiteral("%1 rows").arg(n), 5, 300, [&] {
        Relatorio r;
        r.dados = std::make_unique<DadosMemoria>(
            QStringList{"CODMUN", "MUNICIPIO", "ENTIDADE", "ID", "PACIENTE", "DATA", "QUANT", "VALOR"}, linhas);
        r.cabecalhoPadrao(QStringLiteral("CONSÓRCIO DE TESTE"), QStringLiteral("Relação de Atendimentos por Município"),
                          QStringLiteral("  Entre 01/03/2015 e 31/03/2015"));
        r.coluna(QStringLiteral("Id."), QStringLiteral("ID"), 15, Alinha::Direita);
        r.coluna(QStringLiteral("Paciente"), QStringLiteral("PACIENTE"), 0);
        r.coluna(QStringLiteral("Data"), QStringLiteral("DATA"), 20);
        r.coluna(QStringLiteral("Quant."), QStringLiteral("QUANT"), 14, Alinha::Direita).soma().formatado(Formato::Inteiro);
        r.coluna(QStringLiteral("Valor"), QStringLiteral("VALOR"), 26).soma();
        r.zebrado = true;
        const double w = r.pagina.larguraUtilMm();
        Grupo& gm = r.grupo(QStringLiteral("CODMUN"));
        gm.cabecalho = Banda(6);
        gm.cabecalho.texto(QRectF(0, 0.5, w, 5), QStringLiteral("{CODMUN}-{MUNICIPIO}")).tamanho(10).negrito();
        gm.rodape = r.bandaTotais(QStringLiteral("Total do município:"), w);
        Grupo& ge = r.grupo(QStringLiteral("ENTIDADE"));
        ge.cabecalho = Banda(5);
        ge.cabecalho.texto(QRectF(4, 0.5, w - 4, 4.5), QStringLiteral("{ENTIDADE}")).negrito();
        ge.rodape = r.bandaTotais(QStringLiteral("SubTotal:"), w);
        r.resumo = r.bandaTotais(QStringLiteral("Total Geral:"), w);

        return MontaDocumento(r);
    });
}

int listagemLonga(int n)
{
    QVector<QVariantList> linhas;
    linhas.reserve(n);
    for (int i = 0; i < n; ++i) {
        const qint64 quant = 1 + i % 3;
        const Decimal unit = Decimal::cents(1000 + (qint64(i) * 37) % 50000);
        linhas.append({QStringLiteral("43%1").arg(i / 2000, 5, 10, QLatin1Char('0')),
                       QStringLiteral("MUNICIPIO %1").arg(i / 2000),
                       QStringLiteral("ENTIDADE %1").arg(i / 100),
                       i, QStringLiteral("PACIENTE DE NOME BEM COMPRIDO NUMERO %1").arg(i),
                       QStringLiteral("%1").arg(10000000000LL + qint64(i) * 7919, 11, 10, QLatin1Char('0')),
                       QDate(2015, 3, 1).addDays(i % 28),
                       QStringLiteral("03010100%1").arg(i % 90 + 10),
                       QStringLiteral("CONSULTA MEDICA EM ATENCAO ESPECIALIZADA %1").arg(i % 90),
                       quant, QVariant::fromValue(unit), QVariant::fromValue(unit * Decimal::fromInt(quant))});
    }
    const QStringList nomes{"CODMUN", "MUNICIPIO", "ENTIDADE", "ID", "PACIENTE", "CPF", "DATA",
                            "CODPROC", "PROCEDIMENTO", "QUANT", "UNITARIO", "VALOR"};

    Relatorio r;
    r.dados = std::make_unique<DadosMemoria>(nomes, linhas);
    r.paisagem();
    r.cabecalhoPadrao(QStringLiteral("CONSÓRCIO DE TESTE"), QStringLiteral("Produção por Município e Entidade"),
                      QStringLiteral("  Entre 01/03/2015 e 31/03/2015"));
    r.coluna(QStringLiteral("Id."), QStringLiteral("ID"), 14, Alinha::Direita);
    r.coluna(QStringLiteral("Paciente"), QStringLiteral("PACIENTE"), 0);
    r.coluna(QStringLiteral("CPF"), QStringLiteral("CPF"), 22);
    r.coluna(QStringLiteral("Data"), QStringLiteral("DATA"), 18);
    r.coluna(QStringLiteral("Código"), QStringLiteral("CODPROC"), 20);
    r.coluna(QStringLiteral("Procedimento"), QStringLiteral("PROCEDIMENTO"), 60);
    r.coluna(QStringLiteral("Quant."), QStringLiteral("QUANT"), 12, Alinha::Direita).soma().formatado(Formato::Inteiro);
    r.coluna(QStringLiteral("Unitário"), QStringLiteral("UNITARIO"), 20, Alinha::Direita).formatado(Formato::Moeda);
    r.coluna(QStringLiteral("Valor"), QStringLiteral("VALOR"), 24).soma();
    r.coluna(QStringLiteral("Mun."), QStringLiteral("CODMUN"), 14);
    r.zebrado = true;
    const double w = r.pagina.larguraUtilMm();
    Grupo& gm = r.grupo(QStringLiteral("CODMUN"));
    gm.cabecalho = Banda(6);
    gm.cabecalho.texto(QRectF(0, 0.5, w, 5), QStringLiteral("{CODMUN}-{MUNICIPIO}")).tamanho(10).negrito();
    gm.rodape = r.bandaTotais(QStringLiteral("Total do município:"), w);
    Grupo& ge = r.grupo(QStringLiteral("ENTIDADE"));
    ge.cabecalho = Banda(5);
    ge.cabecalho.texto(QRectF(4, 0.5, w - 4, 4.5), QStringLiteral("{ENTIDADE}")).negrito();
    ge.rodape = r.bandaTotais(QStringLiteral("SubTotal:"), w);
    r.resumo = r.bandaTotais(QStringLiteral("Total Geral:"), w);

    QElapsedTimer t;
    t.start();
    const double c0 = cpu();
    const std::shared_ptr<Documento> doc = MontaDocumento(r);
    const double tLayout = segundos(t);
    const double cLayout = cpu() - c0;
    QElapsedTimer ti;
    ti.start();
    const QImage img = ImagemPagina(*doc, 0, 96);
    const double tImagem = segundos(ti);
    const double mbMontado = picoMb();

    QTemporaryDir dir;
    QElapsedTimer tp;
    tp.start();
    if (!GravaPdf(*doc, dir.filePath(QStringLiteral("longo.pdf")))) {
        std::fprintf(stderr, "PDF falhou\n");
        return 1;
    }
    const double tPdf = segundos(tp);
    const double mbPdf = picoMb();

    // The preview keeps only the document: a query streams its rows, so the rows are let go
    // before the spreadsheet is asked for.
    r.dados.reset();
    linhas = {};
    QElapsedTimer tx;
    tx.start();
    const Planilha pl = PlanilhaDoDocumento(*doc);
    const double tTabela = segundos(tx);
    QString erro;
    if (!GravaPlanilha(dir.filePath(QStringLiteral("longo.xlsx")), pl, &erro)) {
        std::fprintf(stderr, "XLSX falhou: %s\n", qPrintable(erro));
        return 1;
    }
    const double tXlsx = segundos(tx);
    const double mb = picoMb();

    const double primeira = tLayout + tImagem;
    std::printf("bench_relatorio: %d rows, 10 columns, landscape, %d pages, %lld sheet rows\n", n, doc->numPaginas(),
                qint64(pl.linhas.size()));
    std::printf("  layout %.3f s (processor %.3f s), first page image %.3f s, first page %.3f s (target < 1.5 s)\n",
                tLayout, cLayout, tImagem, primeira);
    std::printf("  whole pdf %.3f s (target < 30 s)\n", tPdf);
    std::printf("  peak memory %.1f MB after layout, %.1f MB after the pdf (target < 500 MB)\n", mbMontado, mbPdf);
    std::printf("  %s\n", primeira < 1.5 && tPdf < 30 && mbPdf < 500 && !img.isNull() ? "within target" : "OVER TARGET");
    std::printf("  spreadsheet: table to sheet %.3f s, with the xlsx written %.3f s, peak memory %.1f MB\n", tTabela, tXlsx,
                mb);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // bench_relatorio [rows of the short listing] [rows of the long one]
    const int curta = argc > 1 ? atoi(argv[1]) : 10000;
    const int longa = argc > 2 ? atoi(argv[2]) : 100000;
    if (const int r = listagemCurta(curta))
        return r;
    return listagemLonga(longa);
}
