// The registry base of a large consortium (default 20,000 procedures, 50,000 professionals,
// 5,000 entities and 300,000 contracted procedures): BaseCUNE.xml written from the consortium's
// database, then merged into a municipality's database three times: empty, up to date (nothing
// to write), and with 1% of the prices changed. The peak resident memory is reported after each
// phase.
//   bench_base [scale]      (1 = the sizes above; 0.1 for a quick look)
#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "core/schema/Esquema.h"
#include "exchange/BaseCadastral.h"

#include "BancoBench.h"
#include "ServidorBench.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

using namespace vx;

namespace {

// Peak resident memory of this process in MiB.
double picoMemoriaMb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& l : f.readAll().split('\n'))
        if (l.startsWith("VmHWM:"))
            return l.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

void popula(Transacao& tr, int procs, int profs, int ents, int contratos)
{
    tr.inicia();
    tr.executa(QStringLiteral("insert into clientes (codigo, nome, populacao, apac, mostrarvalor) values "
                              "('4314902', 'PORTO ALEGRE', 1409351, 'N', 'S')"));
    tr.executa(QStringLiteral("insert into clilimites (codcliente, periodo, valor) values ('4314902', '12-2026', 150000)"));
    tr.executa(QStringLiteral("insert into gruposproced (codigo, nome) values (1, 'CONSULTAS')"));
    tr.executa(QStringLiteral(
                   "execute block as declare i int = 1; begin while (i <= %1) do begin "
                   "insert into procedimentos (codigo, nome, codgrupo, requeraPac, cbo, quantmax, valor, valorsus, "
                   "codtabsus, registro) values (:i, 'PROCEDIMENTO ' || :i || ' D''AGUA & CIA', 1, 'N', '225125', 1, "
                   ":i / 100.0 + 10.05, 8.5, '0301010072', 'C'); i = i + 1; end end")
                   .arg(procs));
    tr.executa(QStringLiteral("execute block as declare i int = 1; begin while (i <= %1) do begin "
                              "insert into profissionais (codigo, nome, contato, cpf, cartaosus, conselho, cbo, obs) "
                              "values (:i, 'PROFISSIONAL ' || :i || ' DA SILVA', 'RUA DOS ANDRADAS, ' || :i, "
                              "'123.456.789-00', '898000000000000', 'CRM 1234', '225125', 'ATENDE < 2 ANOS'); "
                              "i = i + 1; end end")
                   .arg(profs));
    tr.executa(QStringLiteral("execute block as declare i int = 1; begin while (i <= %1) do begin "
                              "insert into entidades (codigo, razaosocial, nomefantasia, endereco, codmun, cep, fones, "
                              "cnpj, ocultarmunic) values (:i, 'ENTIDADE ' || :i || ' LTDA', 'CLINICA ' || :i, "
                              "'AV. IPIRANGA, ' || :i, '4314902', '90010000', '(51) 3333-4444', '12.345.678/0001-90', "
                              "'N'); i = i + 1; end end")
                   .arg(ents));
    // Each professional linked to one entity; the contracts spread over them.
    tr.executa(QStringLiteral("execute block as declare i int = 1; begin while (i <= %1) do begin "
                              "insert into entidadesprofiss (codentidade, codprofissional) values (mod(:i, %2) + 1, :i); "
                              "i = i + 1; end end")
                   .arg(profs)
                   .arg(ents));
    tr.executa(QStringLiteral("execute block as declare i int = 0; begin while (i < %1) do begin "
                              "insert into profissproced (codentidade, codprofissional, codprocedimento) values "
                              "(mod(mod(:i, %2) + 1, %3) + 1, mod(:i, %2) + 1, mod(:i / %2, %4) + 1); i = i + 1; end end")
                   .arg(contratos)
                   .arg(profs)
                   .arg(ents)
                   .arg(procs));
    tr.commit();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const double escala = argc > 1 ? QString::fromLatin1(argv[1]).toDouble() : 1.0;
    const int procs = int(20000 * escala), profs = int(50000 * escala), ents = int(5000 * escala),
              contratos = int(300000 * escala);
    const bench::BancoTemporario consorcio("base-consorcio", nullptr);
    const bench::BancoTemporario municipio("base-municipio", nullptr);
    const QString pasta = QFileInfo(consorcio.arquivo()).absolutePath();
    bench::InstalaBench(pasta, QStringLiteral("CUNE"), 0);
    SessaoAtual().DataAtual = QStringLiteral("10/12/2026");
    const bool fsync = qEnvironmentVariableIsEmpty("VX_SEM_FSYNC");
    CriaBancoNovo(consorcio.arquivo(), {}, fsync);
    CriaBancoNovo(municipio.arquivo(), {}, fsync);

    Conexao cc;
    cc.conecta(consorcio.arquivo(), UsuarioBanco(), SenhaBanco());
    Transacao tc(cc);
    popula(tc, procs, profs, ents, contratos);
    std::printf("base of %d procedures, %d professionals, %d entities, %d contracted procedures\n", procs, profs, ents,
                contratos);

    QElapsedTimer t;
    t.start();
    tc.inicia();
    QByteArray base = MontaBaseCune(tc, QDate(2026, 12, 10));
    tc.rollback();
    const QString arquivo = pasta + QStringLiteral("/BaseCUNE.xml");
    {
        QFile f(arquivo);
        f.open(QIODevice::WriteOnly);
        f.write(base);
    }
    const double escrita = t.elapsed() / 1000.0;
    std::printf("%-44s %8.2f s  (%.1f MB; target 5 s)  peak memory %.0f MB\n", "write BaseCUNE.xml", escrita,
                base.size() / 1e6, picoMemoriaMb());
    base.clear();
    base.squeeze();

    Conexao cm;
    cm.conecta(municipio.arquivo(), UsuarioBanco(), SenhaBanco());
    Transacao tm(cm);
    const auto mescla = [&](const char* nome, const char* meta) {
        QElapsedTimer m;
        m.start();
        tm.inicia();
        ValidaBase(tm, arquivo, ConteudoBase::Municipio);
        tm.rollback();
        const double validacao = m.elapsed() / 1000.0;
        const ResultadoBase r = ImportaBase(tm, arquivo, ConteudoBase::Municipio, {});
        std::printf("%-44s %8.2f s  (check %.2f s; %d written, %d unchanged, %d refused%s)  peak memory %.0f MB\n", nome,
                    m.elapsed() / 1000.0, validacao, r.linhasGravadas, r.linhasIguais, r.linhasComErro, meta,
                    picoMemoriaMb());
        std::fflush(stdout);
    };
    mescla("merge into an empty database", "");
    mescla("merge into an up-to-date database", "; target 20 s");
    tc.inicia();
    tc.executa(QStringLiteral("update procedimentos set valor=valor+1 where mod(codigo, 100)=0"));
    tc.commit();
    tc.inicia();
    base = MontaBaseCune(tc, QDate(2026, 12, 10));
    tc.rollback();
    {
        QFile f(arquivo);
        f.open(QIODevice::WriteOnly);
        f.write(base);
    }
    base.clear();
    mescla("merge with 1% of the prices changed", "");
    return 0;
}
