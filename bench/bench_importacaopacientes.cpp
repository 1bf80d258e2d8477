// Import of a municipal patient file into a large registry: N patients (default 1,000,000) in a
// fresh database, then a text file of L lines (default 100,000), half of them cards already
// registered in the municipality (updates), half new patients (inserts), imported in one run.
// Target: under 60 s for the import.
//   bench_importacaopacientes [patients] [lines] [folder]
#include "core/Banco.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/schema/Esquema.h"
#include "municipality/ImportacaoPacientes.h"

#include "BancoBench.h"
#include "CargaPacientes.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

using namespace vx;

namespace {

const char* const kMunicipio = "4314902";
const qint64 kCartaoBase = 700000000000000LL;   // cards of the generated patients

// Even lines: the card of an existing patient spread over the table; odd lines: a new patient.
void escreveArquivo(const QString& arquivo, int linhas, int pacientes)
{
    QFile f(arquivo);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(arquivo));
    const qint64 passo = qMax<qint64>(1, pacientes / qMax(1, linhas / 2));
    for (int i = 0; i < linhas; ++i) {
        const bool existente = i % 2 == 0;
        const qint64 k = existente ? (i / 2) * passo % pacientes : i;
        const QString cartao = QString::number(existente ? kCartaoBase + k : 800000000000000LL + k);
        const QString nome = existente ? QStringLiteral("PACIENTE %1 DOS SANTOS").arg(k + 1)
                                       : QStringLiteral("NOVO PACIENTE %1 DA SILVA").arg(k);
        const QString linha = AjustaTexto(QString::number(i + 1).rightJustified(7, QLatin1Char('0')), 7)
                              + AjustaTexto(nome, 35) + QStringLiteral("12/10/1975")
                              + AjustaTexto(QStringLiteral("JOANA %1 DA SILVA").arg(i), 35) + QStringLiteral("F")
                              + AjustaTexto(cartao, 15) + AjustaTexto(QStringLiteral("RUA DAS ACACIAS, %1").arg(i), 35)
                              + AjustaTexto(QStringLiteral("CENTRO"), 25) + QString(33, QLatin1Char(' '))
                              + AjustaTexto(QStringLiteral("5133330000"), 12);
        f.write(linha.toLatin1());
        f.write("\r\n");
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int pacientes = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000000;
    const int linhas = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 100000;
    const bench::BancoTemporario banco("importacaopacientes", argc > 3 ? argv[3] : nullptr);
    const QString arquivo = banco.arquivo();
    SessaoAtual().UsuarioLogado = QStringLiteral("bench");
    SessaoAtual().DataAtual = QStringLiteral("10/03/2026");

    QElapsedTimer rel;
    rel.start();
    CriaBancoNovo(arquivo);
    Conexao con;
    con.conecta(arquivo, UsuarioBanco(), SenhaBanco());
    bench::CarregaPacientesCompletos(con, pacientes);
    // The import runs in a later program session: requests compiled during the load (the code
    // trigger ran while the indexes were dropped) keep their plans while the attachment lives.
    con.desconecta();
    con.conecta(arquivo, UsuarioBanco(), SenhaBanco());
    std::printf("bench_importacaopacientes: %d patients generated and indexed in %.1f s (forced writes on)\n",
                pacientes, rel.elapsed() / 1000.0);
    if (banco.mantido())
        std::printf("bench_importacaopacientes: database %s\n", qPrintable(arquivo));

    const QString texto = QFileInfo(arquivo).dir().filePath(QStringLiteral("cadastro.txt"));
    escreveArquivo(texto, linhas, pacientes);

    Transacao tr(con);
    ParametrosImportacao p;
    p.fonte = FonteImportacao::ArquivoMunicipal;
    p.arquivo = texto;
    p.municipio = QLatin1String(kMunicipio);
    p.hoje = SessaoAtual().DataAtual;
    ResumoImportacao r;
    int chamadas = 0;
    rel.restart();
    ImportaPacientes(tr, p, r, [&](int, int, const QString&) { ++chamadas; });
    const double segundos = rel.elapsed() / 1000.0;
    std::printf("bench_importacaopacientes: %d lines imported in %.1f s (%.0f lines/s; target < 60 s): "
                "%d inserted, %d updated, %d other municipality, %d refused, %d progress calls\n",
                r.lidos, segundos, r.lidos / qMax(0.001, segundos), r.inseridos, r.atualizados, r.outroMunicipio,
                int(r.recusadas.size()), chamadas);
    con.desconecta();
    Conexao::finaliza();
    return r.inseridos + r.atualizados == linhas ? 0 : 1;
}
