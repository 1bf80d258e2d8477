// Patient registry on a large PESSOAS table: generates N patients (default 1,000,000) in a fresh
// database and times loading a patient and the whole save of a new or changed one (code,
// duplicate-warning queries, insert/update, audit row, commit).
//   bench_pacientes [rows] [folder]
#include "core/Banco.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "core/schema/Esquema.h"
#include "CargaPacientes.h"
#include "municipality/Pacientes.h"

#include "BancoBench.h"
#include "Medida.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

using namespace vx;

namespace {

const char* const kPrimeiros[] = {"MARIA", "JOSE", "ANA", "JOAO", "ANTONIO", "FRANCISCO", "CARLOS", "PAULO",
                                  "PEDRO", "LUCAS", "JULIANA", "ADRIANA", "MARCIA", "FERNANDA", "PATRICIA",
                                  "ALINE", "SANDRA", "CAMILA", "HELENA", "TEREZINHA", "OTAVIO", "IVONE"};
const char* const kSobrenomes[] = {"SILVA", "SANTOS", "OLIVEIRA", "SOUZA", "RODRIGUES", "FERREIRA", "ALVES",
                                   "PEREIRA", "LIMA", "GOMES", "COSTA", "RIBEIRO", "MARTINS", "CARVALHO",
                                   "KRAUSE", "SCHMIDT", "BECKER", "WEBER", "BRUM", "FONSECA", "PORTO"};

const char* const kMunicipio = "4314902";
const int kConsorciados = 50000; // the rest belong to the municipality

QString geraNome(std::mt19937& rnd)
{
    std::uniform_int_distribution<int> p(0, int(std::size(kPrimeiros)) - 1);
    std::uniform_int_distribution<int> s(0, int(std::size(kSobrenomes)) - 1);
    return QStringLiteral("%1 %2 %3")
        .arg(QLatin1String(kPrimeiros[p(rnd)]), QLatin1String(kSobrenomes[s(rnd)]), QLatin1String(kSobrenomes[s(rnd)]));
}

void gera(Conexao& con, int linhas)
{
    std::mt19937 rnd(20261209);
    std::uniform_int_distribution<qint64> cartao(700000000000000LL, 799999999999999LL);
    const int municipais = std::max(0, linhas - kConsorciados);
    bench::CarregaPacientes(
        con, linhas,
        QStringLiteral("cli_origem, codigo, nome, cartaosus, datanasc, sexo, raca, etnia, nomemae, endereco, endnum, "
                       "bairro, cep"),
        [&](int i) {
            const bool doMunicipio = i < municipais;
            const int codigo = doMunicipio ? i + 1 : 95001 + (i - municipais);
            return QStringLiteral("('%1', %2, '%3', '%4', '1980-05-17', 'F', '99', '999', 'MAE', 'RUA', 1, 'CENTRO', "
                                  "'90000000')")
                .arg(QLatin1String(doMunicipio ? kMunicipio : kCliOrigemNenhum))
                .arg(codigo)
                .arg(geraNome(rnd), QString::number(cartao(rnd)));
        });
}

Paciente novo(int i, const QString& origem)
{
    Paciente p;
    p.cliOrigem = origem;
    p.cartaoSus = QStringLiteral("8980%1").arg(i, 11, 10, QLatin1Char('0'));
    p.nome = QStringLiteral("MARIA SILVA SANTOS"); // a frequent name: the warning finds rows
    p.dataNasc = QStringLiteral("10/10/1975");
    p.sexo = QStringLiteral("F");
    p.raca = QStringLiteral("03");
    p.nomeMae = QStringLiteral("JOANA DA SILVA");
    p.endereco = QStringLiteral("DAS FLORES");
    p.endNum = QStringLiteral("12");
    p.bairro = QStringLiteral("CENTRO");
    p.cep = QStringLiteral("90010000");
    return p;
}

// One save as the screen runs it: both duplicate warnings (on leaving the fields), then the save.
void salva(Transacao& livre, Transacao& principal, const Paciente& p, bool consorcio)
{
    livre.inicia();
    AvisoDuplicidade(livre, QStringLiteral("CartaoSUS"), p.cartaoSus, p.codigo);
    AvisoDuplicidade(livre, QStringLiteral("Nome"), p.nome, p.codigo);
    livre.rollback();
    GravaPaciente(principal, p, consorcio);
}

void rodada(Conexao& con, int linhas, const char* titulo)
{
    Transacao principal(con), livre(con);
    const int municipais = std::max(1, linhas - kConsorciados);
    std::mt19937 rnd(7);
    std::uniform_int_distribution<int> cod(1, municipais);
    const int vezes = 40;
    static int serie = 0;
    ++serie;
    std::printf("-- %s\n%-58s %9s %9s %9s\n", titulo, "operation", "min ms", "median ms", "max ms");
    bench::Imprime("load a patient (select * by origin and code)", bench::Mede(vezes, [&](int) {
                Paciente p;
                livre.inicia();
                CarregaPaciente(livre, QLatin1String(kMunicipio), QString::number(cod(rnd)), p);
                livre.rollback();
            }));
    bench::Imprime("duplicate warning, CartaoSUS", bench::Mede(vezes, [&](int i) {
                livre.inicia();
                AvisoDuplicidade(livre, QStringLiteral("CartaoSUS"), novo(i, {}).cartaoSus, QString());
                livre.rollback();
            }));
    bench::Imprime("duplicate warning, Nome (frequent name)", bench::Mede(vezes, [&](int) {
                livre.inicia();
                AvisoDuplicidade(livre, QStringLiteral("Nome"), QStringLiteral("MARIA SILVA SANTOS"), QString());
                livre.rollback();
            }));
    bench::Imprime("save new, municipality (code by the database)", bench::Mede(vezes, [&](int i) {
                salva(livre, principal, novo(serie * 1000 + i, QLatin1String(kMunicipio)), false);
            }));
    bench::Imprime("save new, consortium (code 95001+ by max)", bench::Mede(vezes, [&](int i) {
                salva(livre, principal, novo(serie * 1000 + 500 + i, QLatin1String(kCliOrigemNenhum)), true);
            }));
    // The floor of every save: one audit row and the commit (forced writes).
    bench::Imprime("floor: one LOGS insert + commit", bench::Mede(vezes, [&](int) {
                principal.inicia();
                principal.executa(QStringLiteral("insert into logs (usuario, tabela, situacao) values ('bench', 'x', 'I')"));
                principal.commit();
            }));
    bench::Imprime("save changed patient (update)", bench::Mede(vezes, [&](int i) {
                Paciente p = novo(serie * 1000 + 900 + i % 50, QLatin1String(kMunicipio));
                p.codigo = QString::number(cod(rnd));
                salva(livre, principal, p, false);
            }));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int linhas = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000000;
    const bench::BancoTemporario banco("pacientes", argc > 2 ? argv[2] : nullptr);
    const QString arquivo = banco.arquivo();
    SessaoAtual().UsuarioLogado = QStringLiteral("bench");

    QElapsedTimer rel;
    rel.start();
    CriaBancoNovo(arquivo);
    Conexao con;
    con.conecta(arquivo, UsuarioBanco(), SenhaBanco());
    gera(con, linhas);
    if (banco.mantido())
        std::printf("bench_pacientes: database %s\n", qPrintable(arquivo));
    std::printf("bench_pacientes: %d patients generated and indexed in %.1f s (forced writes on)\n", linhas,
                rel.elapsed() / 1000.0);

    rodada(con, linhas, "schema as created");

    // Equality on the card number cannot use the UPPER(CARTAOSUS) search index.
    Transacao tr(con);
    tr.inicia();
    if (!tr.valor(QStringLiteral("select 1 from rdb$indices where rdb$relation_name = 'PESSOAS' and "
                                 "rdb$expression_source is null and exists (select 1 from rdb$index_segments s "
                                 "where s.rdb$index_name = rdb$indices.rdb$index_name and "
                                 "s.rdb$field_name = 'CARTAOSUS' and s.rdb$field_position = 0)")).isValid()) {
        tr.executa(QStringLiteral("create index IX_BENCH_PESSOAS_CARTAOSUS on PESSOAS (CARTAOSUS)"));
        tr.commit();
        rodada(con, linhas, "with a plain index on PESSOAS.CARTAOSUS");
    } else {
        tr.commit();
    }
    con.desconecta();
    Conexao::finaliza();
    return 0;
}
