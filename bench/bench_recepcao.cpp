// The consortium receiving N realization messages (default 10,000, a large consortium's month)
// from a local pyftpdlib server through the reception run itself: downloaded ahead on a second
// connection, imported with files sharing commits, registered and marked "okcune " after each
// commit, then the values completed; beside the program's own download and the curl
// command line merely downloading the same files over one connection. The resident memory is
// sampled along the run to show it does not grow with the number of files.
//   bench_recepcao [files]
#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "core/schema/Esquema.h"
#include "exchange/LoteImportacao.h"
#include "exchange/RecepcaoRealizacoes.h"
#include "exchange/ftp/FtpCliente.h"
#include "exchange/ftp/TransporteFtp.h"

#include "BancoBench.h"
#include "ServidorBench.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <cstdio>

using namespace vx;

namespace {

const QString kMun = QStringLiteral("4314902");

// A realization message as a provider writes it: the patient and two realized procedures, one
// without its total.
QByteArray mensagem(int id)
{
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><mensagemVXO xmlns=\"urn:sngpc-schema\"><cabecalho>"
               "<respEnvio>E1</respEnvio><nomeResp>CLINICA SAUDE INTEGRAL</nomeResp><codMun>%1</codMun>"
               "<dtEnvio>10/12/2026 09:00:00</dtEnvio><versao>2.28</versao></cabecalho><paciente><codigo>%2</codigo>"
               "<nome>PACIENTE %2 DA SILVA</nome><cartaosus>898000000000002</cartaosus><datanasc>10/05/1960</datanasc>"
               "<fones>(51) 99999-0001</fones><sexo>M</sexo><raca>01</raca><etnia></etnia><responsavel></responsavel>"
               "<nomemae>MARIA DA SILVA</nomemae><obs></obs><codtipolograd>81</codtipolograd><endereco>DOS ANDRADAS"
               "</endereco><endnum>500</endnum><bairro>CENTRO</bairro><cep>90020000</cep></paciente><marcacao>"
               "<id>%3</id><codentidade>1</codentidade><codprofissional>1</codprofissional><codpessoa>%2</codpessoa>"
               "<datalanc>01/12/2026</datalanc><datamarc>07/12/2026</datamarc><horamarc>08:30</horamarc>"
               "<carater>1</carater><datarealizacao>07/12/2026</datarealizacao><datadigitacao>07/12/2026"
               "</datadigitacao><codcid></codcid><chaveimpre>14902%4347</chaveimpre><obs>TRAZER EXAMES</obs>"
               "<procedimentos><det nSeq='1'><codigo>1</codigo><nome>CONSULTA</nome><quant>1</quant>"
               "<valortotal>30</valortotal></det><det nSeq='2'><codigo>2</codigo><nome>HEMOGRAMA</nome>"
               "<quant>2</quant><valortotal></valortotal></det></procedimentos></marcacao></mensagemVXO>")
        .arg(kMun)
        .arg(1 + id % 300)
        .arg(id)
        .arg(id, 5, 10, QLatin1Char('0'))
        .toLatin1();
}

// Resident memory of this process in KiB.
long memoriaKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& l : f.readAll().split('\n'))
        if (l.startsWith("VmRSS:"))
            return l.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 10000;
    const bench::BancoTemporario banco("recepcao", nullptr);
    const QString pasta = QFileInfo(banco.arquivo()).absolutePath();
    QDir d(pasta);
    const QString mes = QStringLiteral("2026_12");
    const QString remota = d.filePath(QStringLiteral("raiz/cune/faturamento/") + mes);
    d.mkpath(remota);
    d.mkpath(QStringLiteral("curl"));
    QByteArray curlCfg = "user = \"cune03:pw\"\n";

    QProcess srv;
    const int porta = bench::IniciaServidorFtp(srv, pasta, d.filePath(QStringLiteral("raiz")), QStringLiteral("cune03"),
                                               QStringLiteral("pw"));
    if (porta <= 0) {
        std::fprintf(stderr, "pyftpdlib did not start\n");
        return 1;
    }
    bench::InstalaBench(pasta, QStringLiteral("CUNE"), porta);
    SessaoAtual().DataAtual = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
    for (int i = 1; i <= n; ++i) {
        const QString nome = QStringLiteral("M%1_ID%2_E1.xml").arg(kMun).arg(i, 7, 10, QLatin1Char('0'));
        QFile f(remota + QLatin1Char('/') + nome);
        f.open(QIODevice::WriteOnly);
        f.write(mensagem(i));
        curlCfg += "url = \"" +
                   QStringLiteral("ftp://127.0.0.1:%1/cune/faturamento/%2/%3").arg(porta).arg(mes, nome).toUtf8() + "\"\n";
        curlCfg += "output = \"" + d.filePath(QStringLiteral("curl/") + nome).toUtf8() + "\"\n";
    }
    CriaBancoNovo(banco.arquivo(), {}, qEnvironmentVariableIsEmpty("VX_SEM_FSYNC"));
    Conexao con;
    con.conecta(banco.arquivo(), UsuarioBanco(), SenhaBanco());
    Transacao tr(con);
    tr.inicia();
    tr.executa(QStringLiteral("insert into procedimentos (codigo, nome, valor, valorsus) values (1, 'CONSULTA', 30, 10)"));
    tr.executa(QStringLiteral("insert into procedimentos (codigo, nome, valor, valorsus) values (2, 'HEMOGRAMA', 6.25, 4.11)"));
    tr.commit();

    // curl over one connection; the local server now and then stalls a small transfer for a while,
    // so the best of the runs counts and a run is cut after a minute.
    QElapsedTimer t;
    auto curl = [&](const QByteArray& cfg) {
        return bench::TempoCurl(d.filePath(QStringLiteral("curl.cfg")), cfg, 60000);
    };
    // Every transfer takes a local port that stays in TIME_WAIT for a minute: the curl runs (which
    // stall and retry) come after the measured run, so that it never waits for a free port.
    QList<double> sCurls;

    // The same downloads through the program's own client, nothing else done.
    double sSoBaixa = 0;
    {
        FtpCliente so;
        if (!ConectaFtp(so))
            return 1;
        so.mudaPasta(QStringLiteral("faturamento/") + mes);
        t.restart();
        for (const QString& nome : so.listaNomes(QStringLiteral("M*.xml")))
            so.recebe(nome, d.filePath(QStringLiteral("curl/") + nome));
        sSoBaixa = t.nsecsElapsed() / 1e9;
    }
    // Each transfer held two local ports (the server's passive one and the client's), which stay
    // in TIME_WAIT for a minute; the measured run starts when they are free again.
    bench::EsperaPortasLivres();

    FtpCliente ftp;
    LogErros erros(d.filePath(QStringLiteral("Erro.TXT")));
    PedidoRecepcao pedido;
    pedido.periodos = {QStringLiteral("2026-12")};
    ContextoRecepcao ctx;
    ctx.tr = &tr;
    ctx.ftp = &ftp;
    ctx.erros = &erros;
    // Beside the process's resident memory, what the engine itself holds for the database (its
    // page cache above all).
    Transacao monitor(con);
    auto memoriaMotor = [&] {
        monitor.inicia();
        const qint64 b = monitor.valor(QStringLiteral("select mon$memory_used from mon$memory_usage where "
                                                      "mon$stat_group=0")).toLongLong();
        monitor.rollback();
        return long(b / 1024);
    };
    struct Amostra {
        int arquivo;
        long processo, motor;
    };
    QList<Amostra> memoria;
    QList<double> decimos; // seconds at each tenth of the files
    ctx.progresso = [&](int feito, int total) {
        if (feito == 1 || feito % qMax(1, total / 5) == 0 || feito == total)
            memoria << Amostra{feito, memoriaKb(), memoriaMotor()};
        if (feito % qMax(1, total / 10) == 0)
            decimos << t.nsecsElapsed() / 1e9;
    };
    t.restart();
    const ResultadoRecepcao r = ExecutaRecepcao(ctx, pedido);
    const double total = t.nsecsElapsed() / 1e9;
    ftp.desconecta();
    const QByteArray cfgMarcados = QByteArray(curlCfg).replace("/2026_12/M", "/2026_12/okcune%20M");
    for (int i = 0; i < 3; ++i)
        sCurls << curl(cfgMarcados);
    double sCurl = 0;
    for (double s : sCurls)
        if (s > 0 && (sCurl == 0 || s < sCurl))
            sCurl = s;
    srv.kill();
    srv.waitForFinished(5000);

    tr.inicia();
    const int linhas = tr.valor(QStringLiteral("select count(*) from marcacao_proceds where valortotal is not null and "
                                               "valortotalsus is not null")).toInt();
    tr.rollback();
    const int marcados = int(QDir(remota).entryList({QStringLiteral("okcune *")}, QDir::Files).size());
    // Floor: one durable commit of one register row, as often as files would commit alone.
    QElapsedTimer tc;
    tc.start();
    constexpr int kCommits = 200;
    for (int i = 0; i < kCommits; ++i) {
        tr.inicia();
        tr.executa(QStringLiteral("insert into arquivos_importados (pasta, nome, sha256, tamanho, datahora) values "
                                  "('/medida', ?, ?, 1, current_timestamp)"),
                   {QString::number(i), QString(64, QLatin1Char('0'))});
        tr.commit();
    }
    const double msCommit = tc.nsecsElapsed() / 1e6 / kCommits;

    std::printf("bench_recepcao: %d realization messages of about %lld bytes, pyftpdlib on 127.0.0.1\n", n,
                qint64(mensagem(1).size()));
    std::printf("%-52s %10s %10s\n", "", "seconds", "files/s");
    for (int i = 0; i < sCurls.size(); ++i) {
        const QByteArray nome = QStringLiteral("curl CLI, download only, one connection, run %1").arg(i + 1).toLatin1();
        if (sCurls[i] > 0)
            std::printf("%-52s %10.2f %10.1f\n", nome.constData(), sCurls[i], n / sCurls[i]);
        else
            std::printf("%-52s %10s\n", nome.constData(), "> 60 (cut)");
    }
    std::printf("%-52s %10.2f %10.1f\n", "download only, the program's client", sSoBaixa, n / sSoBaixa);
    std::printf("%-52s %10.2f %10.1f\n", "reception run (download, import, mark, complete)", total, n / total);
    if (sCurl > 0)
        std::printf("reception time / curl's best run: %.2f (target <= 2.00)\n", total / sCurl);
    else
        std::printf("ratio to curl: none (every curl run stalled)\n");
    std::printf("reception time / the program's own download: %.2f (target <= 2)\n", total / sSoBaixa);
    std::printf("one durable commit of one row: %.2f ms (files share commits of up to %d files or 2 s)\n", msCommit,
                OpcoesLote().arquivosPorCommit);
    std::printf("seconds at each tenth of the files:");
    for (double x : decimos)
        std::printf(" %.1f", x);
    std::printf("\n");
    std::printf("memory along the run (file: process resident KiB / engine's database memory KiB):");
    for (const auto& m : memoria)
        std::printf(" %d: %ld/%ld", m.arquivo, m.processo, m.motor);
    std::printf("\ndatabase file at the end: %.1f MiB\n",
                QFileInfo(banco.arquivo()).size() / 1048576.0);
    std::printf("imported %d, procedure rows priced %d, marked on the server %d, failed %d\n", r.importados, linhas,
                marcados, r.falhados);
    return r.importados == n && linhas == 2 * n && marcados == n ? 0 : 1;
}
