// Registries of procedures and professionals on large tables: generates 20,000 procedures and
// 50,000 professionals (each linked to an entity, with a few procedures) in a fresh database and
// times loading and saving one row as the screens do, and the price adjustment of every procedure
// beside the bare UPDATE run by isql-fb.
//   bench_cadastros [procedures] [professionals] [folder]
#include "core/Banco.h"
#include "core/Cadastro.h"
#include "core/UDMCune.h"
#include "core/UProcuraNome.h"
#include "core/UVariaveis.h"
#include "core/schema/Esquema.h"
#include "registries/Procedimentos.h"
#include "registries/Profissionais.h"

#include "CargaLotes.h"
#include "BancoBench.h"
#include "Medida.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vx;

namespace {

void gera(Conexao& con, int procedimentos, int profissionais)
{
    Transacao tr(con);
    tr.inicia();
    for (int g = 1; g <= 20; ++g)
        tr.executa(QStringLiteral("insert into gruposproced (codigo, nome, grupocobr) values (%1, 'GRUPO %1', 'COBR %2')")
                       .arg(g)
                       .arg(g % 4));
    tr.executa(QStringLiteral("insert into cbo (codigo, descricao) values ('225125', 'MEDICO CLINICO')"));
    for (int e = 1; e <= 200; ++e)
        tr.executa(QStringLiteral("insert into entidades (codigo, razaosocial) values (%1, 'ENTIDADE %1 LTDA')").arg(e));
    tr.commit();
    bench::CarregaEmLotes(tr, procedimentos, [](int i) {
        return QStringLiteral("insert into procedimentos (codigo, nome, codgrupo, requerapac, cbo, quantmax, valor, valorsus, "
                              "valorpopular, registro, codtabsus) values (%1, 'PROCEDIMENTO %1', %2, 'N', '225125', 1, "
                              "%3.%4, 10.00, 0, 'I', '%5')")
            .arg(i + 1)
            .arg(i % 20 + 1)
            .arg(10 + i % 300)
            .arg(i % 100, 2, 10, QLatin1Char('0'))
            .arg(301000000 + i);
    });
    bench::CarregaEmLotes(tr, profissionais, [](int i) {
        return QStringLiteral("insert into profissionais (codigo, nome, cpf, cartaosus, cnsbpa, conselho, cbo) values "
                              "(%1, 'PROFISSIONAL %1', '   .   .   -  ', 'X', 'X', 'CRM %1', '225125')")
            .arg(i + 1);
    });
    bench::CarregaEmLotes(tr, profissionais, [](int i) {
        return QStringLiteral("insert into entidadesprofiss (codentidade, codprofissional) values (%1, %2)")
            .arg(i % 200 + 1)
            .arg(i + 1);
    });
    bench::CarregaEmLotes(tr, profissionais * 3, [procedimentos](int i) {
        const int p = i / 3;
        return QStringLiteral("insert into profissproced (codentidade, codprofissional, codprocedimento) values (%1, %2, %3)")
            .arg(p % 200 + 1)
            .arg(p + 1)
            .arg((p * 7 + (i % 3) * 101) % procedimentos + 1);
    });
    bench::AtualizaEstatisticas(tr);
}

// Seconds of an isql-fb run of `sql` on the database (connection included).
double isql(const QString& arquivo, const QString& sql)
{
    QProcess p;
    QElapsedTimer rel;
    rel.start();
    p.start(QStringLiteral("isql-fb"), {QStringLiteral("-q"), QStringLiteral("-user"), UsuarioBanco(),
                                        QStringLiteral("-password"), SenhaBanco(), arquivo});
    p.waitForStarted();
    p.write(sql.toUtf8());
    p.closeWriteChannel();
    p.waitForFinished(-1);
    return rel.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int nProc = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 20000;
    const int nProf = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 50000;
    const bench::BancoTemporario banco("cadastros", argc > 3 ? argv[3] : nullptr);
    const QString arquivo = banco.arquivo();
    SessaoAtual().UsuarioLogado = QStringLiteral("bench");
    const QDate hoje = QDate::currentDate();

    QElapsedTimer rel;
    rel.start();
    CriaBancoNovo(arquivo);
    auto con = std::make_unique<Conexao>();
    con->conecta(arquivo, UsuarioBanco(), SenhaBanco());
    gera(*con, nProc, nProf);
    std::printf("bench_cadastros: %d procedures, %d professionals (%d procedure links) generated in %.1f s\n", nProc,
                nProf, nProf * 3, rel.elapsed() / 1000.0);

    const int vezes = 40;
    {
        Transacao principal(*con), livre(*con);
        bench::Cabecalho();
        bench::Imprime("load a procedure (row, group and CBO names)", bench::Mede(vezes, [&](int i) {
                    const QString c = QString::number(1 + (i * 487) % nProc);
                    const auto l = LeLinha(livre, QStringLiteral("select * from PROCEDIMENTOS where codigo=") + c);
                    livre.inicia();
                    Consulta q(livre);
                    NomePorCodigo(q, l->texto(QStringLiteral("CODGRUPO")), QStringLiteral("codigo"), QStringLiteral("Nome"),
                                  QStringLiteral("GruposProced"));
                    NomePorCodigo(q, l->texto(QStringLiteral("CBO")), QStringLiteral("codigo"), QStringLiteral("Descricao"),
                                  QStringLiteral("CBO"));
                    livre.rollback();
                }));
        bench::Imprime("save a changed procedure (update + audit + commit)", bench::Mede(vezes, [&](int i) {
                    Procedimento p;
                    p.codigo = QString::number(1 + (i * 487) % nProc);
                    p.nome = QStringLiteral("PROCEDIMENTO ALTERADO %1").arg(i);
                    p.codGrupo = QStringLiteral("3");
                    p.cbo = QStringLiteral("225125");
                    p.quantMax = QStringLiteral("2");
                    p.valor = QStringLiteral("12,34");
                    p.valorSus = QStringLiteral("5,67");
                    p.valorPopular = QStringLiteral("0,00");
                    p.registro = QStringLiteral("I");
                    GravaProcedimento(principal, p);
                }));
        bench::Imprime("save a new procedure (code by the database)", bench::Mede(vezes, [&](int i) {
                    Procedimento p;
                    p.nome = QStringLiteral("PROCEDIMENTO NOVO %1").arg(i);
                    p.quantMax = QStringLiteral("1");
                    p.valor = QStringLiteral("20,00");
                    GravaProcedimento(principal, p);
                }));
        bench::Imprime("load a professional (row, links, grid)", bench::Mede(vezes, [&](int i) {
                    const QString c = QString::number(1 + (i * 1237) % nProf);
                    LeLinha(livre, QStringLiteral("select * from PROFISSIONAIS where codigo=") + c);
                    LeLinhas(livre, QStringLiteral("select codentidade from entidadesprofiss where codprofissional=") + c);
                    LeLinhas(livre, QStringLiteral("SELECT EP.CODENTIDADE AS COD, E.RAZAOSOCIAL AS ENTIDADE FROM ENTIDADESPROFISS EP "
                                                   "LEFT OUTER JOIN ENTIDADES E ON EP.CODENTIDADE=E.CODIGO WHERE EP.CODPROFISSIONAL=%1 "
                                                   "AND EP.DATAEXCLUSAO IS NULL ORDER BY E.RAZAOSOCIAL")
                                        .arg(c));
                }));
        bench::Imprime("save a changed professional with an entity", bench::Mede(vezes, [&](int i) {
                    Profissional p;
                    p.codigo = QString::number(1 + (i * 1237) % nProf);
                    p.nome = QStringLiteral("PROFISSIONAL ALTERADO %1").arg(i);
                    p.cpf = QStringLiteral("   .   .   -  ");
                    p.cartaoSus = QStringLiteral("X");
                    p.cbo = QStringLiteral("225125");
                    p.codEntidade = QString::number(1 + i % 200);
                    GravaProfissional(principal, p, false, hoje);
                }));
        bench::Imprime("save a new professional (highest code + 1)", bench::Mede(vezes, [&](int i) {
                    Profissional p;
                    p.nome = QStringLiteral("PROFISSIONAL NOVO %1").arg(i);
                    p.cpf = QStringLiteral("   .   .   -  ");
                    p.cartaoSus = QStringLiteral("X");
                    p.codEntidade = QStringLiteral("7");
                    GravaProfissional(principal, p, false, hoje);
                }));
        std::printf("\n%-58s %9s\n", "price adjustment of every procedure", "ms");
        for (const char* indice : {"10", "-7,5", "3,25"}) {
            QElapsedTimer r;
            r.start();
            ReajustaValores(principal, QString::fromLatin1(indice));
            std::printf("%-58s %9.1f\n", qPrintable(QStringLiteral("ReajustaValores %1 (%2 rows, audit, commit)")
                                                        .arg(QLatin1String(indice))
                                                        .arg(nProc + vezes)),
                        r.nsecsElapsed() / 1e6);
        }
    }
    // The floor: the bare statement in isql-fb (the embedded engine takes the file exclusively).
    con->desconecta();
    const double conexao = isql(arquivo, QStringLiteral("commit;\n"));
    const double bruto =
        isql(arquivo, QStringLiteral("update procedimentos set valor = valor+(valor*10/100);\ncommit;\n"));
    std::printf("%-58s %9.1f\n", "isql-fb: bare UPDATE + commit, connection excluded", bruto - conexao);
    std::printf("%-58s %9.1f\n", "isql-fb: connection alone", conexao);
    Conexao::finaliza();
    return 0;
}
