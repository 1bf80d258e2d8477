// The authorization screen's writes on a database of 1,000,000 authorizations (2,000,000 procedure
// lines) over 50 municipalities: inserting a procedure with the balance recomputation, finalizing
// without FTP (update, the printed form as PDF, the message file), beside the bare INSERTs.
//   bench_marcacao [authorizations] [folder]
#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "core/schema/Esquema.h"
#include "municipality/Marcacao.h"
#include "municipality/Saldos.h"
#include "municipality/TRImpFAA.h"

#include "BancoBench.h"
#include "CargaLotes.h"
#include "Medida.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>

using namespace vx;

namespace {
constexpr int kMunicipios = 50;
constexpr int kPorAutorizacao = 2;
const QDate kInicio(2025, 1, 1);

QString municipio(int m) { return QString::number(4300000 + m * 11); }

void gera(Conexao& con, int autorizacoes)
{
    Transacao tr(con);
    tr.inicia();
    tr.executa(QStringLiteral("insert into unidades (codigo, nome) values (1, 'UBS CENTRO')"));
    tr.executa(QStringLiteral("insert into entidades (codigo, razaosocial, endereco) values (1, 'CLINICA', 'RUA A, 1')"));
    tr.executa(QStringLiteral("insert into profissionais (codigo, nome) values (1, 'DRA. ANA')"));
    tr.executa(QStringLiteral("insert into entidadesprofiss (codentidade, codprofissional) values (1, 1)"));
    for (int p = 1; p <= 40; ++p) {
        tr.executa(QStringLiteral("insert into procedimentos (codigo, nome, quantmax, valor, valorsus, codtabsus) "
                                  "values (%1, 'PROCEDIMENTO %1', 5, %2.50, 3.10, '0301010072')")
                       .arg(p)
                       .arg(p));
        tr.executa(QStringLiteral("insert into profissproced (codentidade, codprofissional, codprocedimento) "
                                  "values (1, 1, %1)")
                       .arg(p));
    }
    for (int m = 0; m < kMunicipios; ++m) {
        tr.executa(QStringLiteral("insert into ibgemunic (codigo, cidade, uf) values ('%1', 'CIDADE %1', 'RS')")
                       .arg(municipio(m)));
        tr.executa(QStringLiteral("insert into clientes (codigo, nome, apac, mostrarvalor) values ('%1', 'CIDADE %1', "
                                  "'N', 'S')")
                       .arg(municipio(m)));
        tr.executa(QStringLiteral("insert into pessoas (cli_origem, codigo, nome, cartaosus, datanasc, sexo) "
                                  "values ('%1', 1, 'PACIENTE', '898000000000002', '1970-01-01', 'F')")
                       .arg(municipio(m)));
        tr.executa(QStringLiteral("insert into clilimites values ('%1', '%2', 99999999, null)")
                       .arg(municipio(m), QDate::currentDate().toString(QStringLiteral("MM-yyyy"))));
    }
    tr.commit();
    const int dias = 700;
    bench::CarregaEmLotes(tr, autorizacoes, [dias](int a) {
        const QDate lanc = kInicio.addDays((a / kMunicipios) * 7919 % dias);
        return QStringLiteral("insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codpessoa, codentidade, "
                              "codprofissional, datalanc, codunidade, chaveimpre) values ('%1', %2, 'M', 1, 1, 1, '%3', "
                              "%4, '%5')")
            .arg(municipio(a % kMunicipios))
            .arg(a / kMunicipios + 1)
            .arg(lanc.toString(Qt::ISODate), a % 3 == 0 ? QStringLiteral("1") : QStringLiteral("null"))
            .arg(a);
    });
    bench::CarregaEmLotes(tr, autorizacoes * kPorAutorizacao, [](int i) {
        const int a = i / kPorAutorizacao;
        return QStringLiteral("insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, "
                              "quantidade, valortotal) values ('%1', %2, 'M', %3, 1, 12.50)")
            .arg(municipio(a % kMunicipios))
            .arg(a / kMunicipios + 1)
            .arg(i % kPorAutorizacao + 1);
    });
    bench::AtualizaEstatisticas(tr);
}

Autorizacao autorizacao(const QString& mun)
{
    Autorizacao a;
    a.municipio = mun;
    a.paciente = QStringLiteral("1");
    a.entidade = QStringLiteral("1");
    a.profissional = QStringLiteral("1");
    a.dataLanc = SessaoAtual().DataAtual;
    a.dataMarc = QStringLiteral("  /  /    ");
    a.horaMarc = QStringLiteral("  :  ");
    a.carater = QStringLiteral("1");
    a.unidade = QStringLiteral("1");
    a.usuario = QStringLiteral("bench");
    a.dataAtual = SessaoAtual().DataAtual;
    return a;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int autorizacoes = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000000;
    const bench::BancoTemporario banco("marcacao", argc > 2 ? argv[2] : nullptr);
    const QString arquivo = banco.arquivo();
    // The installation folder (message files) is the database's folder.
    const QString pasta = QFileInfo(arquivo).absolutePath();
    QDir().mkpath(pasta);
    {
        QFile conf(QDir(pasta).filePath(QStringLiteral("vornex.conf")));
        conf.open(QIODevice::WriteOnly);
        conf.write("[GERAL]\r\nUSUARIO=M4300000\r\nCONSORCIO=CUNE\r\nATIVARFTP=False\r\n");
    }
    DefinePastaInstalacao(pasta);
    CarregaConfiguracao();
    CarregaIdentidade();
    SessaoAtual().UsuarioLogado = QStringLiteral("bench");
    SessaoAtual().DataAtual = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));

    QElapsedTimer rel;
    rel.start();
    CriaBancoNovo(arquivo);
    Conexao con;
    con.conecta(arquivo, UsuarioBanco(), SenhaBanco());
    gera(con, autorizacoes);
    std::printf("bench_marcacao: %d authorizations, %d procedure lines, %d municipalities, generated in %.1f s\n",
                autorizacoes, autorizacoes * kPorAutorizacao, kMunicipios, rel.elapsed() / 1000.0);

    Transacao escrita(con);
    Transacao leitura(con);
    const int vezes = 40;
    QVector<AutorizacaoAberta> abertas(vezes);
    auto saldos = [&](const QString& mun) {
        EntradaSaldos e;
        e.municipio = mun;
        e.dataLanc = QDate::currentDate();
        e.unidade = 1;
        return CalcSaldos(leitura, e);
    };
    bench::Cabecalho();
    bench::Imprime("first procedure (new number and key) + balances + list", bench::Mede(vezes, [&](int i) {
                       const QString mun = municipio(i % kMunicipios);
                       abertas[i] = InsereProcedimento(escrita, autorizacao(mun), {}, 1 + i % 20, 1);
                       saldos(mun);
                       LeProcedimentosMarcacao(leitura, mun, abertas[i].numero);
                   }));
    bench::Imprime("next procedure + balances + list", bench::Mede(vezes, [&](int i) {
                       const QString mun = municipio(i % kMunicipios);
                       InsereProcedimento(escrita, autorizacao(mun), abertas[i], 21 + i % 20, 2);
                       saldos(mun);
                       LeProcedimentosMarcacao(leitura, mun, abertas[i].numero);
                   }));
    const QString pdf = QDir(pasta).filePath(QStringLiteral("faa.pdf"));
    bench::Imprime("finalize without FTP: update, form as PDF, message file", bench::Mede(vezes, [&](int i) {
                       const QString mun = municipio(i % kMunicipios);
                       GravaFinalizacao(escrita, autorizacao(mun), abertas[i]);
                       const auto doc = TRImpFAA::Gera(leitura, PedidoFAA{mun, abertas[i].numero});
                       rel::GravaPdf(*doc, pdf);
                       EnviaAutorizacao(escrita, nullptr, mun, QStringLiteral("CIDADE"), abertas[i].numero,
                                        QStringLiteral("1"), {});
                   }));
    bench::Imprime("bare INSERTs: authorization + one procedure, committed", bench::Mede(vezes, [&](int i) {
                       escrita.inicia();
                       escrita.executa(QStringLiteral("insert into marcacao (cli_origem, id_marcacao, data_imp_adm, "
                                                      "datalanc) values ('%1', %2, 'M', current_date)")
                                           .arg(municipio(0))
                                           .arg(900000 + i));
                       escrita.executa(QStringLiteral("insert into marcacao_proceds (cli_origem, id_marcacao, "
                                                      "data_imp_adm, codprocedimento, quantidade, valortotal) values "
                                                      "('%1', %2, 'M', 1, 1, 12.50)")
                                           .arg(municipio(0))
                                           .arg(900000 + i));
                       escrita.commit();
                   }));
    return 0;
}
