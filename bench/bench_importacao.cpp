// A provider importing N authorization messages (default 10,000) from a local pyftpdlib server in
// bulk: downloaded ahead on a second connection, imported with files sharing commits, registered
// and marked "ok " after each commit; beside the program's own client and the curl command line
// merely downloading the same files over one connection.
//   bench_importacao [files]
#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "core/schema/Esquema.h"
#include "exchange/ImportacaoMensagens.h"
#include "exchange/ftp/FtpCliente.h"
#include "exchange/ftp/TransporteFtp.h"
#include "municipality/MensagemAutorizacao.h"

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

// An authorization message as a municipality writes it: the patient and three procedures.
QByteArray mensagem(int id)
{
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><mensagemVXO xmlns=\"urn:sngpc-schema\"><cabecalho>"
               "<respEnvio>%1</respEnvio><municipio>PORTO ALEGRE</municipio><dtEnvio>10/12/2026 09:00:00</dtEnvio>"
               "<versao>2.28</versao></cabecalho><paciente><codigo>%2</codigo><nome>PACIENTE %2 DA SILVA</nome>"
               "<cartaosus>898000000000002</cartaosus><datanasc>10/05/1960</datanasc><fones>(51) 99999-0001</fones>"
               "<sexo>M</sexo><raca>01</raca><etnia></etnia><responsavel></responsavel><nomemae>MARIA DA SILVA</nomemae>"
               "<obs></obs><codtipolograd>81</codtipolograd><endereco>DOS ANDRADAS</endereco><endnum>500</endnum>"
               "<bairro>CENTRO</bairro><cep>90020000</cep></paciente><marcacao><id>%3</id><codentidade>1</codentidade>"
               "<codprofissional>1</codprofissional><codpessoa>%2</codpessoa><datalanc>10/12/2026</datalanc>"
               "<datamarc>17/12/2026</datamarc><horamarc>08:30</horamarc><carater>1</carater><codcid></codcid>"
               "<chaveimpre>14902%4347</chaveimpre><obs>TRAZER EXAMES</obs><procedimentos>"
               "<det nSeq='1'><codigo>1</codigo><nome>CONSULTA</nome><quant>1</quant><valortotal>30</valortotal></det>"
               "<det nSeq='2'><codigo>2</codigo><nome>HEMOGRAMA</nome><quant>1</quant><valortotal>12,5</valortotal></det>"
               "<det nSeq='3'><codigo>3</codigo><nome>GLICOSE</nome><quant>2</quant><valortotal>9,8</valortotal></det>"
               "</procedimentos></marcacao></mensagemVXO>\r\n")
        .arg(kMun)
        .arg(1 + id % 300)
        .arg(id)
        .arg(id, 5, 10, QLatin1Char('0'))
        .toLatin1();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 10000;
    const bench::BancoTemporario banco("importacao", nullptr);
    const QString pasta = QFileInfo(banco.arquivo()).absolutePath();
    QDir d(pasta);
    const QString remota = d.filePath(QStringLiteral("raiz/cune/marcacao/profiss00001"));
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
    bench::InstalaBench(pasta, QStringLiteral("E1"), porta);
    SessaoAtual().DataAtual = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
    for (int i = 1; i <= n; ++i) {
        const QString nome = NomeMensagemAutorizacao(kMun, i);
        QFile f(remota + QLatin1Char('/') + nome);
        f.open(QIODevice::WriteOnly);
        f.write(mensagem(i));
        curlCfg += "url = \"" + QStringLiteral("ftp://127.0.0.1:%1/cune/marcacao/profiss00001/%2").arg(porta).arg(nome).toUtf8() +
                   "\"\n";
        curlCfg += "output = \"" + d.filePath(QStringLiteral("curl/") + nome).toUtf8() + "\"\n";
    }
    CriaBancoNovo(banco.arquivo(), {}, qEnvironmentVariableIsEmpty("VX_SEM_FSYNC"));
    Conexao con;
    con.conecta(banco.arquivo(), UsuarioBanco(), SenhaBanco());
    Transacao tr(con);

    // curl over one connection; the local server now and then stalls a small transfer for a while,
    // so the best of three runs counts and a run is cut after 20 s.
    QElapsedTimer t;
    auto curl = [&](const QByteArray& cfg) {
        return bench::TempoCurl(d.filePath(QStringLiteral("curl.cfg")), cfg, 20000);
    };
    // Every transfer takes a local port that stays in TIME_WAIT for a minute: the curl runs (which
    // stall and retry) come after the measured run, so that it never waits for a free port.
    QList<double> sCurls;

    // The same downloads through the program's own client (libcurl as well), nothing else done.
    double sSoBaixa = 0;
    {
        FtpCliente so;
        if (!ConectaFtp(so))
            return 1;
        so.mudaPasta(QStringLiteral("marcacao/profiss00001"));
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
    CriaPastasTroca();
    int importados = 0;
    double sLista = 0, sImporta = 0;
    t.restart();
    if (!ConectaFtp(ftp)) {
        std::fprintf(stderr, "no connection\n");
        return 1;
    }
    ftp.mudaPasta(QStringLiteral("marcacao/profiss00001"));
    QElapsedTimer parcial;
    parcial.start();
    const QStringList nomes = ftp.listaNomes(QStringLiteral("M*.xml"));
    sLista = parcial.nsecsElapsed() / 1e9;
    // The provider's bulk import: downloads ahead on a second connection, files sharing commits.
    QList<ItemLote> itens;
    for (const QString& nome : nomes)
        itens.append({ftp.pastaAtual(), nome});
    OpcoesLote op;
    op.marca = MarcaDoModo(ModoImportacao::EmLote);
    parcial.restart();
    const ResultadoLote lote =
        ImportaLote(tr, ftp, itens, op, ImportadorDeMensagem(ModoImportacao::EmLote), erros);
    sImporta = parcial.nsecsElapsed() / 1e9;
    importados = lote.importados;
    const double total = t.nsecsElapsed() / 1e9;
    ftp.desconecta();
    // The files now carry their mark.
    const QByteArray cfgMarcados = QByteArray(curlCfg).replace("/profiss00001/M", "/profiss00001/ok%20M");
    for (int i = 0; i < 3; ++i)
        sCurls << curl(cfgMarcados);
    double sCurl = 0;
    for (double s : sCurls)
        if (s > 0 && (sCurl == 0 || s < sCurl))
            sCurl = s;
    srv.kill();
    srv.waitForFinished(5000);

    tr.inicia();
    const int linhas = tr.valor(QStringLiteral("select count(*) from marcacao_proceds")).toInt();
    tr.rollback();
    const int marcados = int(QDir(remota).entryList({QStringLiteral("ok *")}, QDir::Files).size());

    std::printf("bench_importacao: %d authorization messages of about %lld bytes, pyftpdlib on 127.0.0.1\n", n,
                qint64(mensagem(1).size()));
    std::printf("%-52s %10s %10s\n", "", "seconds", "files/s");
    for (int i = 0; i < sCurls.size(); ++i) {
        const QByteArray nome = QStringLiteral("curl CLI, download only, one connection, run %1").arg(i + 1).toLatin1();
        if (sCurls[i] > 0)
            std::printf("%-52s %10.2f %10.1f\n", nome.constData(), sCurls[i], n / sCurls[i]);
        else
            std::printf("%-52s %10s\n", nome.constData(), "> 20 (cut)");
    }
    std::printf("%-52s %10.2f %10.1f\n", "download only, the program's client", sSoBaixa, n / sSoBaixa);
    std::printf("%-52s %10.2f %10.1f\n", "fetched, imported and marked \"ok \" (bulk)", total, n / total);
    std::printf("  listing %.2f s, downloads with imports, commits and renames %.2f s (%d files per commit at most)\n",
                sLista, sImporta, op.arquivosPorCommit);
    if (sCurl > 0)
        std::printf("ratio to curl's best run: %.2f (target >= 0.50)\n", sCurl / total);
    else
        std::printf("ratio to curl: none (every curl run stalled)\n");
    std::printf("run / the program's own download: %.2f (target <= 2)\n", total / sSoBaixa);
    std::printf("imported %d, procedure rows %d, marked on the server %d, failed %d\n", importados, linhas, marcados,
                int(erros.linhas().size() / 4));
    return importados == n && linhas == 3 * n && marcados == n ? 0 : 1;
}
