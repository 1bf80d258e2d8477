// The transmission run of a municipality with N pending messages of about 2 KB (default 1,000)
// for 10 professionals, against a local pyftpdlib server: sending them (each checked on the server
// and renamed into place), then the server check of the same N authorizations; beside the curl
// command line uploading the same files over one connection. Memory is sampled along the run.
//   bench_transmissao [files]
#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "core/schema/Esquema.h"
#include "exchange/ftp/FtpCliente.h"
#include "municipality/MensagemAutorizacao.h"
#include "municipality/Transmissao.h"

#include "BancoBench.h"
#include "CargaLotes.h"
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
constexpr int kProfissionais = 10;

int profissional(int id) { return 1 + id % kProfissionais; }

// Resident memory in KiB.
long residente()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& l : f.readAll().split('\n'))
        if (l.startsWith("VmRSS:"))
            return l.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

QByteArray mensagem(int id)
{
    QByteArray b = QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><mensagemVXO xmlns=\"urn:sngpc-schema\">"
                                  "<cabecalho><respEnvio>%1</respEnvio><municipio>PORTO ALEGRE</municipio></cabecalho>"
                                  "<marcacao><id>%2</id><codprofissional>%3</codprofissional><obs>")
                       .arg(kMun)
                       .arg(id)
                       .arg(profissional(id))
                       .toLatin1();
    const QByteArray fim = "</obs></marcacao></mensagemVXO>\r\n";
    b += QByteArray(2048 - fim.size() - b.size(), 'x');
    return b + fim;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 1000;
    const bench::BancoTemporario banco("transmissao", nullptr);
    const QString pasta = QFileInfo(banco.arquivo()).absolutePath();
    QDir d(pasta);
    for (const char* p : {"raiz/cune/marcacao", "raiz/curl"})
        d.mkpath(QString::fromLatin1(p));

    QProcess srv;
    const int porta = bench::IniciaServidorFtp(srv, pasta, d.filePath(QStringLiteral("raiz")), QStringLiteral("cune01"),
                                               QStringLiteral("pw"));
    if (porta <= 0) {
        std::fprintf(stderr, "pyftpdlib did not start\n");
        return 1;
    }
    bench::InstalaBench(pasta, "M" + kMun, porta);
    SessaoAtual().UsuarioLogado = QStringLiteral("bench");

    CriaBancoNovo(banco.arquivo());
    Conexao con;
    con.conecta(banco.arquivo(), UsuarioBanco(), SenhaBanco());
    Transacao principal(con), leitura(con), marca(con);
    principal.inicia();
    principal.executa(QStringLiteral("insert into clientes (codigo, nome) values ('%1', 'PORTO ALEGRE')").arg(kMun));
    principal.executa(QStringLiteral("insert into pessoas (cli_origem, codigo, nome) values ('%1', 1, 'PACIENTE')").arg(kMun));
    principal.commit();
    bench::CarregaEmLotes(principal, n, [](int i) {
        return QStringLiteral("insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codpessoa, codentidade, "
                              "codprofissional, datalanc, chaveimpre) values ('%1', %2, 'M', 1, 1, %3, current_date, 'K%2')")
            .arg(kMun)
            .arg(i + 1)
            .arg(profissional(i + 1));
    });
    CriaPastasTroca();
    QByteArray curlCfg = "user = \"cune01:pw\"\n";
    for (int i = 1; i <= n; ++i) {
        const QString nome = NomeMensagemAutorizacao(kMun, i);
        QFile f(PastaEnvio() + nome);
        f.open(QIODevice::WriteOnly);
        f.write(mensagem(i));
        curlCfg += "upload-file = \"" + (PastaEnvio() + nome).toUtf8() + "\"\n";
        curlCfg += "url = \"" + QStringLiteral("ftp://127.0.0.1:%1/curl/%2").arg(porta).arg(nome).toUtf8() + "\"\n";
    }

    // curl before and after the run (file creation on the server costs more as the file system
    // fills with recently deleted entries: both sides of the comparison get the same share).
    QElapsedTimer t;
    auto curlLote = [&](const char* pastaRemota) {
        QByteArray c = curlCfg;
        c.replace("/curl/", QByteArray("/") + pastaRemota + "/");
        QFile f(d.filePath(QStringLiteral("curl.cfg")));
        f.open(QIODevice::WriteOnly);
        f.write(c);
        f.close();
        d.mkpath(QStringLiteral("raiz/") + QLatin1String(pastaRemota));
        t.restart();
        QProcess curl;
        curl.start(QStringLiteral("curl"), {QStringLiteral("-s"), QStringLiteral("-S"), QStringLiteral("-K"), f.fileName()});
        curl.waitForFinished(-1);
        return t.nsecsElapsed() / 1e9;
    };
    // The run renames its files: curl reads copies.
    d.mkpath(QStringLiteral("copias"));
    for (int i = 1; i <= n; ++i)
        QFile::copy(PastaEnvio() + NomeMensagemAutorizacao(kMun, i), d.filePath(QStringLiteral("copias/")) + NomeMensagemAutorizacao(kMun, i));
    curlCfg.replace(PastaEnvio().toUtf8(), d.filePath(QStringLiteral("copias/")).toUtf8());
    const double sCurlAntes = curlLote("curl1");

    FtpCliente ftp, lista;
    ContextoTransmissao ctx;
    ctx.principal = &principal;
    ctx.leitura = &leitura;
    ctx.marca = &marca;
    ctx.ftp = &ftp;
    ctx.lista = &lista;
    ctx.dataAtual = QDate::currentDate();
    double fimFase1 = 0;
    long rssInicio = 0, rssDecimo = 0, rssFase1 = 0;
    ctx.progresso = [&](int feitos, int total) {
        if (feitos == total / 10)
            rssDecimo = residente();
    };
    double marcaAnterior = 0, emFtp = 0, local = 0;
    ctx.status = [&](const QString& l) {
        const double agora = t.nsecsElapsed() / 1e9;
        if (l.endsWith(QStringLiteral(" => Arquivo enviado OK!")))
            emFtp += agora - marcaAnterior;
        else if (l.endsWith(QStringLiteral(" => Renomeado OK!")))
            local += agora - marcaAnterior;
        marcaAnterior = agora;
        if (l.endsWith(QStringLiteral(" => Conferindo autorizações enviadas..."))) {
            fimFase1 = t.nsecsElapsed() / 1e9;
            rssFase1 = residente();
        }
    };
    rssInicio = residente();
    t.restart();
    const ResultadoTransmissao r = ExecutaTransmissao(ctx, false);
    const double total = t.nsecsElapsed() / 1e9;
    const long rssFim = residente();
    const double sCurlDepois = curlLote("curl2");
    const double sCurl = (sCurlAntes + sCurlDepois) / 2;
    ftp.desconecta();
    lista.desconecta();
    srv.kill();
    srv.waitForFinished(5000);

    int noServidor = 0;
    for (int i = 1; i <= n; ++i)
        if (QFileInfo(d.filePath(QStringLiteral("raiz/cune/marcacao/profiss%1/%2")
                                     .arg(profissional(i), 5, 10, QLatin1Char('0'))
                                     .arg(NomeMensagemAutorizacao(kMun, i))))
                .size() == 2048)
            ++noServidor;

    std::printf("bench_transmissao: %d pending files of 2048 bytes, %d professional folders, pyftpdlib on 127.0.0.1\n", n,
                kProfissionais);
    std::printf("%-52s %10s %10s\n", "", "seconds", "files/s");
    std::printf("%-52s %10.2f %10.1f\n", "curl CLI, upload only, one connection, before", sCurlAntes, n / sCurlAntes);
    std::printf("%-52s %10.2f %10.1f\n", "curl CLI, the same after the run", sCurlDepois, n / sCurlDepois);
    std::printf("%-52s %10.2f %10.1f\n", "pending files sent (checked, renamed, marked)", fimFase1, n / fimFase1);
    std::printf("%-52s %10.2f %10.1f\n", "server check of the same authorizations", total - fimFase1, n / (total - fimFase1));
    std::printf("  of which in the upload (store, size, rename on the server): %.2f s; local mark: %.2f s\n", emFtp, local);
    std::printf("ratio to curl's mean (sending): %.2f (target >= 0.50)\n", sCurl / fimFase1);
    std::printf("resident memory KiB: before %ld, after 10%% %ld, after sending %ld, at the end %ld\n", rssInicio, rssDecimo,
                rssFase1, rssFim);
    std::printf("sent %d, failed %d, checked %d, re-created %d; on the server with their size: %d\n", r.enviados, r.falhados,
                r.conferidos, r.recriados, noServidor);
    return r.tudoEnviado() && noServidor == n ? 0 : 1;
}
