// Entities registry on a large provider: one entity with 500 professionals, each contracted for 200
// procedures (100,000 rows), beside 50 small entities. Times the entities screen (offscreen) as the
// clerk uses it: loading the entity with both grids, switching the selected professional, and
// adding and removing a group of procedures.
//   bench_entidades [professionals] [procedures each] [folder]
#include "core/Banco.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "core/schema/Esquema.h"
#include "core/widgets/GradeConsulta.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "registries/Entidades.h"
#include "registries/TFCadEntidades.h"

#include "CargaLotes.h"
#include "BancoBench.h"
#include "Medida.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRadioButton>

#include <cstdio>

using namespace vx;

namespace {

// Entity 1 holds professionals 1..nProf with procedures 1..nProc each; entities 2..51 hold two
// professionals of their own with ten procedures each.
void gera(Conexao& con, int nProf, int nProc)
{
    Transacao tr(con);
    tr.inicia();
    tr.executa(QStringLiteral("insert into ibgemunic (codigo, cidade, uf) values ('4314902', 'PORTO ALEGRE', 'RS')"));
    for (int g = 1; g <= 10; ++g)
        tr.executa(QStringLiteral("insert into gruposproced (codigo, nome) values (%1, 'GRUPO %1')").arg(g));
    for (int e = 1; e <= 51; ++e)
        tr.executa(QStringLiteral("insert into entidades (codigo, razaosocial, codmun) values (%1, 'ENTIDADE %1 LTDA', "
                                  "'4314902')").arg(e));
    tr.commit();
    const int procs = nProc + 200;
    bench::CarregaEmLotes(tr, procs, [](int i) {
        return QStringLiteral("insert into procedimentos (codigo, nome, codgrupo, valor) values (%1, 'PROCEDIMENTO %1', "
                              "%2, %3.%4)").arg(i + 1).arg(i % 10 + 1).arg(10 + i % 300).arg(i % 100, 2, 10, QLatin1Char('0'));
    });
    const int outros = 50 * 2;
    bench::CarregaEmLotes(tr, nProf + outros, [](int i) {
        return QStringLiteral("insert into profissionais (codigo, nome) values (%1, 'PROFISSIONAL %2')")
            .arg(i + 1)
            .arg(i * 7919 % 100000, 5, 10, QLatin1Char('0'));
    });
    bench::CarregaEmLotes(tr, nProf + outros, [nProf](int i) {
        const int e = i < nProf ? 1 : 2 + (i - nProf) / 2;
        return QStringLiteral("insert into entidadesprofiss (codentidade, codprofissional) values (%1, %2)").arg(e).arg(i + 1);
    });
    bench::CarregaEmLotes(tr, nProf * nProc + outros * 10, [nProf, nProc](int i) {
        if (i < nProf * nProc)
            return QStringLiteral("insert into profissproced (codentidade, codprofissional, codprocedimento) values "
                                  "(1, %1, %2)").arg(i / nProc + 1).arg(i % nProc + 1);
        const int k = i - nProf * nProc;
        const int prof = nProf + k / 10 + 1;
        return QStringLiteral("insert into profissproced (codentidade, codprofissional, codprocedimento) values "
                              "(%1, %2, %3)").arg(2 + (prof - nProf - 1) / 2).arg(prof).arg(k % 10 + 1);
    });
    bench::AtualizaEstatisticas(tr);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int nProf = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 500;
    const int nProc = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 200;
    const bench::BancoTemporario banco("entidades", argc > 3 ? argv[3] : nullptr);
    const QString arquivo = banco.arquivo();
    SessaoAtual().UsuarioLogado = QStringLiteral("bench");
    SessaoAtual().UsuarioInstalacao = QStringLiteral("CUNE");
    SessaoAtual().DataAtual = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));

    QElapsedTimer rel;
    rel.start();
    CriaBancoNovo(arquivo);
    {
        Conexao con;
        con.conecta(arquivo, UsuarioBanco(), SenhaBanco());
        gera(con, nProf, nProc);
    }
    std::printf("bench_entidades: entity 1 with %d professionals x %d procedures (%d rows), 50 small entities, "
                "generated in %.1f s\n", nProf, nProc, nProf * nProc, rel.elapsed() / 1000.0);

    {
        TDMCUNE dm;
        DefineDMCUNE(&dm);
        if (!dm.ConectaBanco(arquivo)) {
            std::fprintf(stderr, "%s\n", qPrintable(dm.MensagemFalha()));
            return 1;
        }
        auto* t = TFCadEntidades::Abre();
        t->setFechaAoPerderFoco(false);
        QCoreApplication::processEvents();
        const auto abre = [&](const QString& codigo) {
            t->PECodigo()->setText(codigo);
            t->PECodigoExit();
            QCoreApplication::processEvents();
        };
        const int vezes = 20;
        bench::Cabecalho();
        abre(QStringLiteral("1"));
        if (t->DBGrid1()->linhas() != nProf || t->DBGrid2()->linhas() != nProc) {
            std::fprintf(stderr, "unexpected grids: %d professionals, %d procedures\n", t->DBGrid1()->linhas(),
                         t->DBGrid2()->linhas());
            return 1;
        }
        bench::Imprime("open the large entity (row, name, both grids)", bench::Mede(vezes, [&](int) { abre(QStringLiteral("1")); }));
        bench::Imprime("open a small entity", bench::Mede(vezes, [&](int i) { abre(QString::number(2 + i % 50)); }));
        abre(QStringLiteral("1"));
        bench::Imprime("switch the selected professional (200 procedures)", bench::Mede(vezes * 5, [&](int i) {
                           t->DBGrid1()->setCurrentCell((i * 37) % nProf, 1);
                           QCoreApplication::processEvents();
                       }));
        bench::Imprime("add a group of procedures (update or insert)", bench::Mede(vezes, [&](int i) {
                           t->DBGrid1()->setCurrentCell(i, 1);
                           t->RBGrupo()->setChecked(true);
                           t->PECodProced()->setText(QString::number(1 + i % 10));
                           t->PBInserirProced()->executa();
                       }));
        bench::Imprime("remove a group of procedures", bench::Mede(vezes, [&](int i) {
                           t->DBGrid1()->setCurrentCell(i, 1);
                           t->RBGrupo()->setChecked(true);
                           t->PECodProced()->setText(QString::number(1 + i % 10));
                           t->PBExcluirProced()->executa();
                       }));
        delete t;
        DefineDMCUNE(nullptr);
    }
    Conexao::finaliza();
    return 0;
}
