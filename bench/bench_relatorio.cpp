// 10,000-row listing with two group levels, laid out and written to PDF.
// Prints layout and PDF times, pages per second and peak memory. Target: < 5 s, < 300 MB.
#include "MedidaPdf.h"

#include <QGuiApplication>


using namespace vx;
using namespace vx::rel;

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int n = argc > 1 ? atoi(argv[1]) : 10000;

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
