// Patient search on a large PESSOAS table: generates N patients (default 1,000,000) in a fresh
// database, then times each search form.
//   bench_procura [rows] [folder]
#include "core/Banco.h"
#include "core/UDMCune.h"
#include "core/UProcuraNome.h"
#include "core/schema/Esquema.h"
#include "CargaPacientes.h"

#include "BancoBench.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

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
    std::mt19937 rnd(20261209);
    std::uniform_int_distribution<qint64> cartao(100000000000000LL, 999999999999999LL);
    QElapsedTimer rel;
    rel.start();
    bench::CarregaPacientes(con, linhas, QStringLiteral("cli_origem, codigo, nome, cartaosus, sexo"), [&](int i) {
        return QStringLiteral("('4314902', %1, '%2', '%3', '%4')")
            .arg(i + 1)
            .arg(geraNome(rnd, i), QString::number(cartao(rnd)), QLatin1String(i % 2 ? "F" : "M"));
    });
    std::printf("bench_procura: %d rows loaded and indexed in %.1f s\n", linhas, rel.elapsed() / 1000.0);
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


} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int linhas = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000000;
    const bench::BancoTemporario banco("procura", argc > 2 ? argv[2] : nullptr);
    const QString arquivo = banco.arquivo();

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
    auto padrao = [](ModoBusca modo, const QString& texto) { return PadraoBusca(modo, texto); };
    // The floor: one natural pass over the table with the same filter (no index, no order).
    auto piso = [&](const QString& p) {
        const QString lit = QLatin1Char('\'') + p + QLatin1Char('\'');
        return mede(2, [&] {
            return tr.valor(QStringLiteral("select count(*) from pessoas where upper(nome) || '' like %1 "
                                           "or upper(cartaosus) || '' like %1").arg(lit)).toInt();
        });
    };
    struct Caso {
        const char* nome;
        ModoBusca modo;
        const char* texto;
        bool comPiso;
    };
    const Caso casos[] = {
        {"opening (empty text, first 400)", ModoBusca::TrechoNome, "", false},
        {"Inicio do Nome 'MAR' (3 letters, common)", ModoBusca::InicioNome, "MAR", true},
        {"Inicio do Nome 'ROD' (3 letters)", ModoBusca::InicioNome, "ROD", false},
        {"Inicio do Nome 'WES' (rare)", ModoBusca::InicioNome, "WES", false},
        {"Trecho do Nome 'SILVA' (common)", ModoBusca::TrechoNome, "SILVA", true},
        {"Trecho do Nome 'WESTPH' (rare)", ModoBusca::TrechoNome, "WESTPH", true},
        {"Trecho do Nome card digits '12345678'", ModoBusca::TrechoNome, "12345678", true},
        {"Qualquer Palavra 'JOSE SILVA'", ModoBusca::QualquerPalavra, "JOSE SILVA", true},
        {"Qualquer Palavra 'KATIA SILVA' (mid density)", ModoBusca::QualquerPalavra, "KATIA SILVA", true},
        {"Qualquer Palavra 'TEREZINHA WEBER'", ModoBusca::QualquerPalavra, "TEREZINHA WEBER", true},
    };
    std::printf("%-46s %12s %12s %6s %12s %8s\n", "search", "min ms", "median ms", "rows", "floor ms", "matches");
    for (const Caso& c : casos) {
        const QString p = padrao(c.modo, QLatin1String(c.texto));
        const Medida m = mede(5, [&] { return int(ExecutaBusca(tr, d, p).size()); });
        std::printf("%-46s %12.1f %12.1f %6d", c.nome, m.minimo, m.mediana, m.linhas);
        if (c.comPiso) {
            const Medida f = piso(p);
            std::printf(" %12.1f %8d", f.minimo, f.linhas);
        }
        std::printf("\n");
        std::fflush(stdout);
    }
    AjusteBusca soOrdenada;
    soOrdenada.amostra = 0;
    const Medida soServidor = mede(1, [&] {
        return int(ExecutaBusca(tr, d, padrao(ModoBusca::TrechoNome, QStringLiteral("WESTPH")), soOrdenada).size());
    });
    std::printf("%-46s %12.1f\n", "rare fragment ordered by the server alone", soServidor.minimo);
    tr.commit();
    con.desconecta();
    Conexao::finaliza();
    return 0;
}
