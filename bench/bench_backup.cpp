// Backup at close on a large database: 1,000,000 patients and 1,000,000 authorizations (two
// procedures each). Times the engine's own gbak on the file, then the program's backup service
// with the same options, then the program's whole close-time backup (service, check, copy,
// deflate), and prints the sizes.
//   bench_backup [patients] [folder]
#include "core/Backup.h"
#include "core/Banco.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "core/schema/Esquema.h"

#include "BancoBench.h"
#include "CargaLotes.h"
#include "CargaPacientes.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

#include <cstdio>

using namespace vx;

namespace {

void gera(Conexao& con, int linhas)
{
    bench::CarregaPacientesCompletos(con, linhas);
    Transacao tr(con);
    bench::CarregaEmLotes(tr, linhas, [](int a) {
        return QStringLiteral("insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codpessoa, codentidade, "
                              "datarealizacao, data_importacao) values ('4314902', %1, 'M', %1, %2, '2026-03-%3', "
                              "'2026-03-%3 10:00:00')")
            .arg(a + 1)
            .arg(a % 20 + 1)
            .arg(a % 28 + 1, 2, 10, QLatin1Char('0'));
    });
    bench::CarregaEmLotes(tr, linhas * 2, [](int i) {
        return QStringLiteral("insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, "
                              "quantidade, realizado, valortotal, valortotalsus) values ('4314902', %1, 'M', %2, 1, 'S', "
                              "%3, %4)")
            .arg(i / 2 + 1)
            .arg(i % 40 + 1)
            .arg(10 + i % 40)
            .arg(5 + i % 40);
    });
}

double mb(const QString& arquivo) { return QFileInfo(arquivo).size() / 1048576.0; }

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int linhas = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000000;
    const bench::BancoTemporario banco("backup", argc > 2 ? argv[2] : nullptr);
    const QString arquivo = banco.arquivo();
    const QDir pasta = QFileInfo(arquivo).dir();
    SessaoAtual().UsuarioLogado = QStringLiteral("bench");
    CriaBancoNovo(arquivo);
    QElapsedTimer t;
    t.start();
    {
        Conexao con;
        con.conecta(arquivo, UsuarioBanco(), SenhaBanco());
        gera(con, linhas);
    }
    // Detached: the file is free for gbak's own process.
    std::printf("bench_backup: %d patients, %d authorizations, %d procedures generated in %.1f s; database %.0f MB\n",
                linhas, linhas, linhas * 2, t.elapsed() / 1000.0, mb(arquivo));

    // The engine's own tool, in its own process.
    const QString gbakArq = pasta.filePath(QStringLiteral("gbak.gbk"));
    t.restart();
    QProcess gbak;
    gbak.start(QStringLiteral("gbak"), {QStringLiteral("-b"), QStringLiteral("-g"), QStringLiteral("-user"), UsuarioBanco(),
                                        QStringLiteral("-password"), SenhaBanco(), arquivo, gbakArq});
    gbak.waitForFinished(-1);
    const double tGbak = t.elapsed() / 1000.0;
    std::printf("  gbak -b -g                        %7.1f s  (%.0f MB)%s\n", tGbak, mb(gbakArq),
                gbak.exitCode() ? " FAILED" : "");
    QFile::remove(gbakArq);

    // The program's backup service call, as the backup screen runs it.
    const QString svcArq = pasta.filePath(QStringLiteral("servico.gbk"));
    t.restart();
    qint64 linhasServico = 0;
    ExecutaBackup({QStringLiteral("service_mgr"), arquivo, svcArq, UsuarioBanco(), SenhaBanco(),
                   [&](const QString&) { ++linhasServico; }, {}});
    const double tServico = t.elapsed() / 1000.0;
    std::printf("  backup service (ignore limbo, verbose) %5.1f s  (%.0f MB, %lld log lines)  %.2fx gbak  [target <= 1.2x]\n",
                tServico, mb(svcArq), linhasServico, tServico / tGbak);
    QFile::remove(svcArq);

    // The whole close-time backup: service, check, copy and deflate.
    TDMCUNE dm;
    dm.ConectaBanco(arquivo);
    PassosBackup p;
    p.destino = DestinoDoBackup(arquivo, QStringLiteral("bench"), pasta.path());
    p.arquivo = pasta.filePath(QStringLiteral("BACKUP CUNE.GBK"));
    p.pastaTrabalho = pasta.path();
    p.usuario = UsuarioBanco();
    p.senha = SenhaBanco();
    QElapsedTimer etapa;
    etapa.start();
    QString ultima;
    p.log = [&](const QString& l) {
        if (l == QLatin1String("Arquivo .GBK criado com sucesso...") || l == QLatin1String("Compactando arquivo ...")
            || l == QLatin1String("Compactação concluída!")) {
            std::printf("    %-36s at %6.1f s\n", qPrintable(l), etapa.elapsed() / 1000.0);
        }
        ultima = l;
    };
    t.restart();
    const bool ok = ExecutaPassosBackup(p, &dm);
    std::printf("  whole close-time backup           %7.1f s  %s; bdcopia.zlib %.0f MB\n", t.elapsed() / 1000.0,
                ok ? "completed" : qPrintable(QStringLiteral("FAILED: ") + ultima),
                mb(pasta.filePath(QStringLiteral("bdcopia.zlib"))));
    for (const char* f : {"BACKUP CUNE.GBK", "bdcopia.bkp", "bdcopia.zlib"})
        QFile::remove(pasta.filePath(QLatin1String(f)));
    Conexao::finaliza();
    return ok ? 0 : 1;
}
