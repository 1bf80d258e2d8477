// The SIGTAP import of a full current table: N procedures (default 5,000, 336-character records
// with the layout file), 2,700 occupations and 6,000 registration lines against a consortium of
// 600 procedures whose national codes are in the table. Times the whole import (files read and
// checked, CBO replaced, prices and instruments, audit, commit) with a progress callback per line
// as the screen has. Target: < 10 s.
//   bench_sigtap [procedures] [folder]
#include "core/Banco.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "core/schema/Esquema.h"
#include "registries/SigTap.h"

#include "BancoBench.h"
#include "CargaLotes.h"
#include "Medida.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

using namespace vx;

namespace {

QString codigoProc(int i)
{
    return QString::number(201010000LL + qint64(i) * 37).rightJustified(10, QLatin1Char('0'));
}

QByteArray digitos(qint64 v, int largura)
{
    return QByteArray::number(v).rightJustified(largura, '0');
}

void grava(const QString& arquivo, const QByteArray& dados)
{
    QFile f(arquivo);
    if (!f.open(QIODevice::WriteOnly) || f.write(dados) != dados.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(arquivo));
}

// The four files and the layout file, Latin-1 with CR LF.
void geraTabela(const QDir& d, int procedimentos, int ocupacoes, int registros)
{
    QByteArray t;
    for (int i = 0; i < procedimentos; ++i) {
        const bool hospitalar = i % 5 == 0;
        QByteArray l = codigoProc(i).toLatin1() +
                       QStringLiteral("PROCEDIMENTO %1 DE ATENÇÃO ESPECIALIZADA").arg(i).toLatin1().leftJustified(250, ' ') +
                       "M" + "I" + "9999" + "0000" + "0000" + "0000" + "9999";
        l += digitos(hospitalar ? 15000 + i : 0, 12) + digitos(hospitalar ? 0 : 100 + i * 3, 12) +
             digitos(hospitalar ? 3200 : 0, 12) + "06" + "000000" + "9999" + "202601";
        t += l + "\r\n";
    }
    grava(d.filePath(QLatin1String(kSigTapProcedimento)), t);
    t.clear();
    for (int i = 0; i < ocupacoes; ++i) {
        const QByteArray codigo = i % 90 == 0 ? "2231F" + QByteArray::number(i % 10) : digitos(200000 + i * 31, 6);
        t += codigo + QStringLiteral("OCUPAÇÃO %1 DA SAÚDE").arg(i).toLatin1().leftJustified(150, ' ') + "\r\n";
    }
    grava(d.filePath(QLatin1String(kSigTapOcupacao)), t);
    t.clear();
    static const char* const instrumentos[] = {"01", "02", "03", "06", "02"};
    for (int i = 0; i < registros; ++i)
        t += codigoProc(i % procedimentos).toLatin1() + instrumentos[(i / procedimentos + i) % 5] + "202601\r\n";
    grava(d.filePath(QLatin1String(kSigTapRegistro)), t);
    t.clear();
    for (int i = 0; i < procedimentos; i += 3)
        t += codigoProc(i).toLatin1() + digitos(200000 + i % ocupacoes * 31, 6) + "202601\r\n";
    grava(d.filePath(QLatin1String(kSigTapProcedOcupacao)), t);
    grava(d.filePath(QLatin1String(kSigTapLayout)),
          "Coluna,Tamanho,Inicio,Fim,Tipo\r\nCO_PROCEDIMENTO,10,1,10,VARCHAR2\r\nNO_PROCEDIMENTO,250,11,260,VARCHAR2\r\n"
          "TP_COMPLEXIDADE,1,261,261,VARCHAR2\r\nTP_SEXO,1,262,262,VARCHAR2\r\nQT_MAXIMA_EXECUCAO,4,263,266,NUMBER\r\n"
          "QT_DIAS_PERMANENCIA,4,267,270,NUMBER\r\nQT_PONTOS,4,271,274,NUMBER\r\nVL_IDADE_MINIMA,4,275,278,NUMBER\r\n"
          "VL_IDADE_MAXIMA,4,279,282,NUMBER\r\nVL_SH,12,283,294,NUMBER\r\nVL_SA,12,295,306,NUMBER\r\n"
          "VL_SP,12,307,318,NUMBER\r\nCO_FINANCIAMENTO,2,319,320,VARCHAR2\r\nCO_RUBRICA,6,321,326,VARCHAR2\r\n"
          "QT_TEMPO_PERMANENCIA,4,327,330,NUMBER\r\nDT_COMPETENCIA,6,331,336,CHAR\r\n");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int nProc = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 5000;
    const int nOcup = 2700, nReg = 6000, nConsorcio = 600;
    const bench::BancoTemporario banco("sigtap", argc > 2 ? argv[2] : nullptr);
    const QDir pasta(QFileInfo(banco.arquivo()).absoluteDir().filePath(QStringLiteral("sigtap")));
    QDir().mkpath(pasta.path());
    SessaoAtual().UsuarioLogado = QStringLiteral("bench");

    geraTabela(pasta, nProc, nOcup, nReg);
    CriaBancoNovo(banco.arquivo());
    {
        Conexao con;
        con.conecta(banco.arquivo(), UsuarioBanco(), SenhaBanco());
        Transacao tr(con);
        // Consortium procedures spread over the table, a few sharing a code, some without one.
        bench::CarregaEmLotes(tr, nConsorcio + 50, [&](int i) {
            const QString cod = i < nConsorcio ? QStringLiteral("'%1'").arg(codigoProc((i * 8) % nProc)) : QStringLiteral("null");
            return QStringLiteral("insert into procedimentos (codigo, nome, valor, valorsus, codtabsus, registro) values "
                                  "(%1, 'PROCEDIMENTO %1', 30, 1, %2, 'I')")
                .arg(i + 1)
                .arg(cod);
        });
        bench::AtualizaEstatisticas(tr);

        std::printf("bench_sigtap: %d procedures (336-character records), %d occupations, %d registration lines; "
                    "%d consortium procedures\n",
                    nProc, nOcup, nReg, nConsorcio + 50);
        bench::Cabecalho();
        ResultadoSigTap r;
        qint64 chamadas = 0;
        const bench::Medida m = bench::Mede(3, [&](int) {
            r = ImportaSigTap(tr, pasta.path(), {}, [&](const QString&) { ++chamadas; });
        });
        bench::Imprime("whole import (read, check, CBO, prices, instruments, commit)", m);
        std::printf("  %d CBO rows, %d price updates, %d instrument letters; %lld progress calls per run\n", r.ocupacoes,
                    r.precos, r.registros, chamadas / 3);
        std::printf("  %s (target < 10 s)\n", m.maximo < 10000 ? "within target" : "OVER TARGET");
    }
    Conexao::finaliza();
    return 0;
}
