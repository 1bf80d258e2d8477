// The BPA file of a month with 100,000 procedure lines received: 90% consolidated (30 procedures,
// 40 occupations, ages), 9,000 individualized lines of patients over 20 municipalities, plus as
// many lines in the months around it. Times the bare selections, the file built in memory and
// written with its copy.
//   bench_bpa [procedure lines of the period] [folder]
#include "billing/Bpa.h"
#include "core/Banco.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "core/schema/Esquema.h"

#include "BancoBench.h"
#include "CargaLotes.h"
#include "Medida.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

using namespace vx;

namespace {
constexpr int kMunicipios = 20;
constexpr int kProcedimentos = 30;
constexpr int kProfissionais = 40;
constexpr int kPacientes = 5000;
const QDate kIni(2026, 3, 1);
const QDate kFim(2026, 3, 31);

QString municipio(int m) { return QString::number(4300000 + m * 11); }

void gera(Transacao& tr, int linhasPeriodo)
{
    const int individualizados = qMin(9000, linhasPeriodo / 10);
    tr.inicia();
    for (int m = 0; m < kMunicipios; ++m)
        tr.executa(QStringLiteral("insert into clientes (codigo, nome, cep) values ('%1', 'MUNICIPIO %2', '9%2000-000')")
                       .arg(municipio(m))
                       .arg(m, 2, 10, QLatin1Char('0')));
    for (int p = 0; p <= kProcedimentos; ++p) {
        const QString codigo = QStringLiteral("03010%1").arg(10000 + p);
        tr.executa(QStringLiteral("insert into s_pa (pa_id, pa_dv, pa_idebpa, pa_ctf) values ('%1', '%2', '%3', '06')")
                       .arg(codigo.left(9), codigo.right(1), p % 3 ? QStringLiteral("N") : QStringLiteral("S")));
        tr.executa(QStringLiteral("insert into procedimentos (codigo, nome, codtabsus, registro) values (%1, 'PROC %1', '%2', '%3')")
                       .arg(p + 1)
                       .arg(codigo, p == kProcedimentos ? QStringLiteral("I") : QStringLiteral("C")));
    }
    for (int f = 1; f <= kProfissionais; ++f)
        tr.executa(QStringLiteral("insert into profissionais (codigo, nome, cbo, cnsbpa) values (%1, 'PROF %1', '2251%2', '700000000000005')")
                       .arg(f)
                       .arg(f % 40, 2, 10, QLatin1Char('0')));
    tr.commit();
    bench::CarregaEmLotes(tr, kPacientes, [](int i) {
        return QStringLiteral("insert into pessoas (cli_origem, codigo, nome, cartaosus, sexo, raca, datanasc, codtipolograd, "
                              "endereco, endnum, fones, bairro) values ('%1', %2, 'PACIENTE %2 DA SILVA', '123456789010000', "
                              "'F', '01', '1980-05-10', 81, 'RUA DOS ANDRADAS', %2, '(51) 3333-4444', 'CENTRO')")
            .arg(municipio(i % kMunicipios))
            .arg(i + 1);
    });
    // One procedure line per authorization; the first `individualizados` of the period are BPA-I.
    const int autorizacoes = 2 * linhasPeriodo;
    bench::CarregaEmLotes(tr, autorizacoes, [&](int a) {
        const bool noPeriodo = a < linhasPeriodo;
        const QDateTime recebida = noPeriodo ? QDateTime(kIni.addDays(a % 31), QTime(8 + a % 10, a % 60))
                                             : QDateTime(a % 2 ? kIni.addDays(-1 - a % 28) : kFim.addDays(1 + a % 30),
                                                         QTime(12, 0));
        return QStringLiteral("insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codpessoa, codprofissional, idade, "
                              "datarealizacao, data_importacao, codcid, chaveimpre) values ('%1', %2, 'M', %3, %4, %5, '%6', "
                              "'%7', 'M545', '%8')")
            .arg(municipio(a % kMunicipios))
            .arg(a + 1)
            .arg(a / kMunicipios % (kPacientes / kMunicipios) * kMunicipios + a % kMunicipios + 1)
            .arg(a % kProfissionais + 1)
            .arg(a % 90)
            .arg(recebida.date().toString(Qt::ISODate), recebida.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")))
            .arg(1490200000000LL + a);
    });
    bench::CarregaEmLotes(tr, autorizacoes, [&](int a) {
        const int proc = a < individualizados ? kProcedimentos + 1 : a % kProcedimentos + 1;
        return QStringLiteral("insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, "
                              "quantidade, realizado, valortotalsus) values ('%1', %2, 'M', %3, %4, 'S', 10)")
            .arg(municipio(a % kMunicipios))
            .arg(a + 1)
            .arg(proc)
            .arg(1 + a % 3);
    });
    bench::AtualizaEstatisticas(tr);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int linhas = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    const bench::BancoTemporario banco("bpa", argc > 2 ? argv[2] : nullptr);
    SessaoAtual().UsuarioInstalacao = QStringLiteral("CUNE");
    QElapsedTimer rel;
    rel.start();
    CriaBancoNovo(banco.arquivo());
    TDMCUNE dm;
    DefineDMCUNE(&dm);
    if (!dm.ConectaBanco(banco.arquivo())) {
        std::fprintf(stderr, "no database\n");
        return 1;
    }
    gera(dm.IBTransaction, linhas);
    std::printf("bench_bpa: %d procedure lines in the period (%d in all), generated in %.1f s\n", linhas, 2 * linhas,
                rel.elapsed() / 1000.0);

    const bpa::Identificacao id{QStringLiteral("1234567"), QStringLiteral("CUNE"), QStringLiteral("12.345.678/0001-90"),
                                QStringLiteral("2.28")};
    Transacao& tr = dm.IBTLivre;
    QTemporaryDir dir;
    bpa::ArquivoBpa a;
    bench::Cabecalho();
    bench::Imprime("file built in memory (target < 3 s)", bench::Mede(3, [&](int) {
                       a = bpa::MontaArquivoBpa(tr, kIni, kFim, true, id);
                   }));
    bench::Imprime("file written with its copy", bench::Mede(3, [&](int) {
                       bpa::GravaArquivoBpa(a, dir.filePath(QStringLiteral("exp")), dir.filePath(QStringLiteral("ARQBPA")));
                   }));
    std::printf("%d records (%d lines with errors), %d sheets, control %d, %lld bytes\n", a.registros,
                int(a.erros.size()), a.folhas, a.controle, qint64(a.conteudo.size()));
    DefineDMCUNE(nullptr);
    return 0;
}
