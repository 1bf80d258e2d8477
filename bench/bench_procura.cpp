// Patient search on a large PESSOAS table: generates N patients (default 1,000,000) in a fresh
// database, then times each search form.
//   bench_procura [rows] [folder]
#include "core/Banco.h"
#include "core/UDMCune.h"
#include "core/UProcuraNome.h"
#include "core/schema/Esquema.h"
#include "core/schema/IndicesBusca.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <random>

using namespace vx;

namespace {

const char* const kPrimeiros[] = {
    "MARIA", "JOSE", "ANA", "JOAO", "ANTONIO", "FRANCISCO", "CARLOS", "PAULO", "PEDRO", "LUCAS", "LUIZ",
    "MARCOS", "LUIS", "GABRIEL", "RAFAEL", "DANIEL", "MARCELO", "BRUNO", "EDUARDO", "FELIPE", "RAIMUNDO",
    "RODRIGO", "MANOEL", "MATEUS", "ANDRE", "FERNANDO", "FABIO", "LEONARDO", "GUSTAVO", "GUILHERME",
    "JULIANA", "ADRIANA", "MARCIA", "FERNANDA", "PATRICIA", "ALINE", "SANDRA", "CAMILA", "AMANDA",
    "BRUNA", "JESSICA", "LETICIA", "JULIA", "LUCIANA", "VANESSA", "MARIANA", "GABRIELA", "VERA", "VITORIA",
    "LARISSA", "CLAUDIA", "BEATRIZ", "RITA", "LUANA", "SONIA", "RENATA", "ELIANE", "JOSEFA", "HELENA",
    "TEREZINHA", "OTAVIO", "IVONE", "NELSON", "WAGNER", "YARA", "ZILDA", "HUGO", "IGOR", "KATIA",
};
const char* const kSobrenomes[] = {
    "SILVA", "SANTOS", "OLIVEIRA", "SOUZA", "RODRIGUES", "FERREIRA", "ALVES", "PEREIRA", "LIMA", "GOMES",
    "COSTA", "RIBEIRO", "MARTINS", "CARVALHO", "ALMEIDA", "LOPES", "SOARES", "FERNANDES", "VIEIRA",
    "BARBOSA", "ROCHA", "DIAS", "NASCIMENTO", "ANDRADE", "MOREIRA", "NUNES", "MARQUES", "MACHADO",
    "MENDES", "FREITAS", "CARDOSO", "RAMOS", "GONCALVES", "SANTANA", "TEIXEIRA", "ARAUJO", "PINTO",
    "CORREA", "BORGES", "CAMPOS", "MOURA", "MONTEIRO", "KRAUSE", "SCHMIDT", "BECKER", "WEBER", "MULLER",
    "BRUM", "FONSECA", "PORTO", "XAVIER", "VARGAS", "QUADROS", "BITENCOURT", "ZANETTI", "HOFFMANN",
};
const char* const kLigacoes[] = {"DA", "DOS", "DE"};

QString geraNome(std::mt19937& rnd, int i)
{
    auto um = [&](auto& lista) {
        const int n = int(std::size(lista));
        // Skewed: the first entries are much more frequent, as real names are.
        std::uniform_real_distribution<double> u(0, 1);
        const double x = u(rnd);
        return QLatin1String(lista[std::min(n - 1, int(n * x * x))]);
    };
    QString nome = um(kPrimeiros);
    std::uniform_int_distribution<int> pct(0, 99);
    if (pct(rnd) < 30)
        nome += QLatin1Char(' ') + um(kPrimeiros);
    if (pct(rnd) < 40)
        nome += QLatin1Char(' ') + QLatin1String(kLigacoes[pct(rnd) % 3]);
    nome += QLatin1Char(' ') + um(kSobrenomes);
    // A rare surname: about 40 rows in a million.
    nome += QLatin1Char(' ') + (i % 25000 == 17 ? QStringLiteral("WESTPHALEN") : QString(um(kSobrenomes)));
    return nome;
}

void gera(Conexao& con, int linhas)
{
    Transacao tr(con);
    tr.inicia();
    // Bulk load without the search indexes, then build them once.
    for (const char* ix : {"IX_PESSOAS_NOME", "IX_PESSOAS_NOME_UPPER", "IX_PESSOAS_CARTAOSUS_UPPER"})
        if (tr.valor(QStringLiteral("select 1 from rdb$indices where rdb$index_name = ?"), {QLatin1String(ix)}).isValid())
            tr.executa(QStringLiteral("drop index %1").arg(QLatin1String(ix)));
    tr.commit();
    tr.inicia();
    std::mt19937 rnd(20261209);
    std::uniform_int_distribution<qint64> cartao(100000000000000LL, 999999999999999LL);
    const int lote = 250;
    QString sql;
    for (int i = 0; i < linhas;) {
        sql = QStringLiteral("execute block as begin\n");
        for (int k = 0; k < lote && i < linhas; ++k, ++i)
            sql += QStringLiteral("insert into pessoas (cli_origem, codigo, nome, cartaosus, sexo) values "
                                  "('4314902', %1, '%2', '%3', '%4');\n")
                       .arg(i + 1)
                       .arg(geraNome(rnd, i), QString::number(cartao(rnd)), QLatin1String(i % 2 ? "F" : "M"));
        sql += QStringLiteral("end");
        tr.executa(sql);
        if (i % 200000 == 0) {
            tr.commit();
            tr.inicia();
        }
    }
    tr.commit();
    tr.inicia();
    CriaIndicesBusca(tr);
    tr.commit();
    // Fresh index statistics for the optimizer.
    tr.inicia();
    for (const char* ix : {"IX_PESSOAS_NOME", "IX_PESSOAS_NOME_UPPER", "IX_PESSOAS_CARTAOSUS_UPPER"})
        tr.executa(QStringLiteral("set statistics index %1").arg(QLatin1String(ix)));
    tr.commit();
}

struct Medida {
    double minimo = 0, mediana = 0;
    int linhas = 0;
};

template <class F>
Medida mede(int vezes, F&& f)
{
    std::vector<double> t;
    int n = 0;
    for (int i = 0; i < vezes; ++i) {
        QElapsedTimer rel;
        rel.start();
        n = f();
        t.push_back(rel.nsecsElapsed() / 1e6);
    }
    std::sort(t.begin(), t.end());
    return {t.front(), t[t.size() / 2], n};
}

void imprime(const char* nome, const Medida& m)
{
    std::printf("%-46s %9.1f ms (median %9.1f ms)  %4d rows\n", nome, m.minimo, m.mediana, m.linhas);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int linhas = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000000;
    QTemporaryDir tmp(argc > 2 ? QDir(QString::fromLocal8Bit(argv[2])).filePath(QStringLiteral("procura-XXXXXX"))
                               : QDir::temp().filePath(QStringLiteral("procura-XXXXXX")));
    const QString arquivo = tmp.filePath(QStringLiteral("procura.fdb"));

    QElapsedTimer rel;
    rel.start();
    CriaBancoNovo(arquivo);
    Conexao con;
    con.conecta(arquivo, UsuarioBanco(), SenhaBanco());
    gera(con, linhas);
    std::printf("bench_procura: %d patients generated and indexed in %.1f s\n", linhas, rel.elapsed() / 1000.0);

    Transacao tr(con);
    tr.inicia();
    const DefinicaoBusca d = MontaProcura({QStringLiteral("CODIGO"), QStringLiteral("NOME"), QStringLiteral("CARTAOSUS"),
                                           QStringLiteral("DATANASC")},
                                          QStringLiteral("NOME"), QStringLiteral("PESSOAS"));
    auto busca = [&](ModoBusca modo, const QString& texto, int limite = kLimiteOrdenacaoLocal) {
        return [&, modo, texto, limite] { return int(ExecutaBusca(tr, d, PadraoBusca(modo, texto), limite).size()); };
    };
    const int vezes = 5;
    imprime("opening (empty text, first 400)", mede(vezes, busca(ModoBusca::TrechoNome, QString())));
    imprime("Inicio do Nome 'MAR'", mede(vezes, busca(ModoBusca::InicioNome, QStringLiteral("MAR"))));
    imprime("Inicio do Nome 'ROD'", mede(vezes, busca(ModoBusca::InicioNome, QStringLiteral("ROD"))));
    imprime("Inicio do Nome 'WES' (rare)", mede(vezes, busca(ModoBusca::InicioNome, QStringLiteral("WES"))));
    imprime("Trecho do Nome 'SILVA' (common)", mede(vezes, busca(ModoBusca::TrechoNome, QStringLiteral("SILVA"))));
    imprime("Trecho do Nome 'WESTPH' (rare)", mede(vezes, busca(ModoBusca::TrechoNome, QStringLiteral("WESTPH"))));
    imprime("Qualquer Palavra 'JOSE SILVA'", mede(vezes, busca(ModoBusca::QualquerPalavra, QStringLiteral("JOSE SILVA"))));
    imprime("Trecho do Nome card digits '12345678'", mede(vezes, busca(ModoBusca::TrechoNome, QStringLiteral("12345678"))));
    const Medida piso = mede(vezes, [&] {
        return tr.valor(QStringLiteral("select count(*) from pessoas where upper(nome) like '%WESTPH%' "
                                       "or upper(cartaosus) like '%WESTPH%'")).toInt();
    });
    imprime("floor: one full scan (count, same filter)", piso);
    imprime("rare fragment ordered by the server only", mede(1, busca(ModoBusca::TrechoNome, QStringLiteral("WESTPH"), 0)));
    tr.commit();
    con.desconecta();
    Conexao::finaliza();
    return 0;
}
