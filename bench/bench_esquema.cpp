// Time to create a new database (initial tables + whole upgrade chain) and to open an up-to-date
// one (connect + version check + chain with nothing to do), beside isql-fb running the same DDL
// as one script (the floor).
#include "core/Banco.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "core/schema/Cadeia.h"
#include "core/schema/Esquema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vx;

namespace {

double mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

QString isql(const QStringList& args, const QByteArray& entrada = {})
{
    QProcess p;
    p.start(QStringLiteral("isql-fb"), args);
    p.write(entrada);
    p.closeWriteChannel();
    p.waitForFinished(120000);
    return QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    SessaoAtual().PerfilConsorcio = QStringLiteral("CUNE");
    QTemporaryDir dir;

    std::vector<double> criacao;
    for (int i = 0; i < n; ++i) {
        const QString f = dir.filePath(QStringLiteral("novo%1.fdb").arg(i));
        QElapsedTimer t;
        t.start();
        CriaBancoNovo(f);
        criacao.push_back(t.nsecsElapsed() / 1e6);
    }
    const QString modelo = dir.filePath(QStringLiteral("novo0.fdb"));

    // Floor: the same schema extracted as DDL and run by isql-fb in one script.
    const QString ddl = isql({QStringLiteral("-x"), QStringLiteral("-user"), UsuarioBanco(), QStringLiteral("-password"),
                              SenhaBanco(), modelo});
    std::vector<double> piso;
    for (int i = 0; i < n; ++i) {
        const QString f = dir.filePath(QStringLiteral("isql%1.fdb").arg(i));
        QString script = ddl;
        // Replace the extracted CREATE DATABASE line with one for the new file.
        const int a = script.indexOf(QLatin1String("/* CREATE DATABASE"));
        const int b = script.indexOf(QLatin1String("*/"), a);
        if (a >= 0 && b > a)
            script.replace(a, b + 2 - a, QStringLiteral("CREATE DATABASE '%1' USER '%2' PASSWORD '%3' PAGE_SIZE 16384 "
                                                    "DEFAULT CHARACTER SET WIN1252;")
                                         .arg(f, UsuarioBanco(), SenhaBanco()));
        script += QStringLiteral("\nCOMMIT;\n");
        QElapsedTimer t;
        t.start();
        isql({QStringLiteral("-q")}, script.toUtf8());
        piso.push_back(t.nsecsElapsed() / 1e6);
        if (!QFile::exists(f))
            std::fprintf(stderr, "isql-fb did not create %s\n", qPrintable(f));
    }

    // Opening an up-to-date database the way start-up does.
    std::vector<double> abertura, aberturaPiso;
    for (int i = 0; i < std::max(10, n * 4); ++i) {
        QElapsedTimer t;
        t.start();
        {
            TDMCUNE dm;
            dm.ConectaBanco(modelo);
            const ResultadoCadeia r = AtualizaEsquema(dm.IBTransaction);
            if (r.estado != ResultadoCadeia::Estado::Ok || !r.passos.isEmpty())
                std::fprintf(stderr, "unexpected chain result\n");
        }
        abertura.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        {
            Conexao c;
            c.conecta(modelo, UsuarioBanco(), SenhaBanco());
            Transacao tr(c);
            tr.valor(QStringLiteral("select first 1 versaobanco from tabdiv"));
        }
        aberturaPiso.push_back(t.nsecsElapsed() / 1e6);
    }

    std::printf("novo banco (tabelas iniciais + cadeia 0.00 -> %s): mediana %.0f ms (alvo < 3000 ms)\n",
                qPrintable(VersaoEsquemaAtual()), mediana(criacao));
    std::printf("  piso: isql-fb com o mesmo DDL num script:        mediana %.0f ms\n", mediana(piso));
    std::printf("abrir banco atualizado (conexao + versao + cadeia vazia): mediana %.1f ms (alvo < 150 ms)\n",
                mediana(abertura));
    std::printf("  piso: conexao + leitura da versao:                      mediana %.1f ms\n", mediana(aberturaPiso));
    Conexao::finaliza();
    return 0;
}
