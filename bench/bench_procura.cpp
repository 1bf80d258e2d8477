// Patient search on a large PESSOAS table: generates N patients (default 1,000,000, some names
// with accents, some without) in a fresh database, fills the word pieces, then times each search
// mode beside one full scan with the same filter, and the save of a patient with the piece trigger.
//   bench_procura [rows] [folder]
#include "core/Banco.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/UProcuraNome.h"
#include "core/schema/Esquema.h"
#include "CargaPacientes.h"

#include "BancoBench.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>

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
// Written with and without accents by different clerks.
const char* const kAcentuados[][2] = {
    {"JOSE", "JOSÉ"}, {"JOAO", "JOÃO"}, {"ANTONIO", "ANTÔNIO"}, {"GONCALVES", "GONÇALVES"}, {"ARAUJO", "ARAÚJO"},
    {"VITORIA", "VITÓRIA"}, {"LETICIA", "LETÍCIA"}, {"OTAVIO", "OTÁVIO"}, {"KATIA", "KÁTIA"},
};

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
    // Rare surnames: about 40 and 400 rows in a million.
    nome += QLatin1Char(' ') + (i % 25000 == 17   ? QStringLiteral("WESTPHALEN")
                                : i % 2500 == 3   ? QString::fromUtf8(i % 5000 == 3 ? "CONCEIÇÃO" : "CONCEICAO")
                                : i % 10000 == 9  ? QString::fromUtf8("D'ÁVILA")
                                                  : QString(um(kSobrenomes)));
    static const auto trocas = [] {
        std::vector<std::pair<QRegularExpression, QString>> r;
        for (const auto& a : kAcentuados)
            r.emplace_back(QRegularExpression(QStringLiteral("\\b%1\\b").arg(QLatin1String(a[0]))), QString::fromUtf8(a[1]));
        return r;
    }();
    if (pct(rnd) < 40)
        for (const auto& [de, para] : trocas)
            nome.replace(de, para);
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
            .arg(geraNome(rnd, i).replace(QLatin1Char('\''), QLatin1String("''")), QString::number(cartao(rnd)),
                 QLatin1String(i % 2 ? "F" : "M"));
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
    const QString existente = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    Conexao con;
    if (existente.isEmpty()) {
        CriaBancoNovo(arquivo);
        con.conecta(arquivo, UsuarioBanco(), SenhaBanco());
        gera(con, linhas);
    } else {
        con.conecta(existente, UsuarioBanco(), SenhaBanco());
    }
    std::printf("bench_procura: %d patients generated and indexed in %.1f s\n", linhas, rel.elapsed() / 1000.0);

    Transacao tr(con);
    tr.inicia();
    DefinicaoBusca d = MontaProcura({QStringLiteral("CODIGO"), QStringLiteral("NOME"), QStringLiteral("CARTAOSUS"),
                                     QStringLiteral("DATANASC")},
                                    QStringLiteral("NOME"), QStringLiteral("PESSOAS"));
    PreparaBusca(tr, d);
    // The floor: one natural pass over the table with the same filter (no index, no order).
    auto piso = [&](const QString& p) {
        const QString lit = SqlLiteralTexto(p);
        return mede(2, [&] {
            return tr.valor(QStringLiteral("select count(*) from pessoas where (nome || '') collate win_ptbr like %1 "
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
        {"Inicio do Nome 'MAR' (common)", ModoBusca::InicioNome, "MAR", false},
        {"Inicio do Nome 'jose' (accents)", ModoBusca::InicioNome, "jose", false},
        {"Inicio do Nome 'WES' (rare)", ModoBusca::InicioNome, "WES", false},
        {"Trecho do Nome 'SILVA' (common)", ModoBusca::TrechoNome, "SILVA", true},
        {"Trecho do Nome 'ARAUJO' (accents, mid)", ModoBusca::TrechoNome, "ARAUJO", true},
        {"Trecho do Nome 'conceic' (accents, rare)", ModoBusca::TrechoNome, "conceic", true},
        {"Trecho do Nome 'WESTPH' (rare)", ModoBusca::TrechoNome, "WESTPH", true},
        {"Trecho do Nome 'd'avila' (apostrophe)", ModoBusca::TrechoNome, "d'avila", true},
        {"Trecho do Nome card digits '12345678'", ModoBusca::TrechoNome, "12345678", true},
        {"Trecho do Nome 'LVA' (3 letters, common)", ModoBusca::TrechoNome, "LVA", true},
        {"Trecho do Nome 'XAV' (3 letters, mid)", ModoBusca::TrechoNome, "XAV", true},
        {"Qualquer Palavra 'JOSE SILVA'", ModoBusca::QualquerPalavra, "JOSE SILVA", true},
        {"Qualquer Palavra 'KATIA SILVA' (mid)", ModoBusca::QualquerPalavra, "KATIA SILVA", true},
        {"Qualquer Palavra 'TEREZINHA WEBER'", ModoBusca::QualquerPalavra, "TEREZINHA WEBER", true},
        {"Qualquer Palavra 'maria conceicao'", ModoBusca::QualquerPalavra, "maria conceicao", true},
    };
    AjusteBusca semTrechos;
    semTrechos.trechos = false;
    std::printf("%-44s %9s %9s %5s %12s %9s %8s\n", "search", "min ms", "median ms", "rows", "no pieces ms", "floor ms",
                "matches");
    for (const Caso& c : casos) {
        const QString p = PadraoBusca(c.modo, QString::fromUtf8(c.texto));
        const Medida m = mede(5, [&] { return int(ExecutaBusca(tr, d, p).size()); });
        const Medida sem = mede(3, [&] { return int(ExecutaBusca(tr, d, p, semTrechos).size()); });
        if (sem.linhas != m.linhas)
            std::printf("ROWS DIFFER without the pieces: %d\n", sem.linhas);
        std::printf("%-44s %9.1f %9.1f %5d %12.1f", c.nome, m.minimo, m.mediana, m.linhas, sem.mediana);
        if (c.comPiso) {
            const Medida f = piso(p);
            std::printf(" %9.1f %8d", f.minimo, f.linhas);
        }
        std::printf("\n");
        std::fflush(stdout);
    }
    tr.commit();

    // Saving a patient: insert, name change, delete, each committed, with the piece trigger and
    // without it.
    auto salva = [&](int base) {
        std::vector<double> t[3];
        for (int i = 0; i < 30; ++i) {
            const int codigo = base + i;
            const char* const sql[] = {
                "insert into pessoas (cli_origem, codigo, nome, cartaosus) values ('4314999', %1, "
                "'MARIA DA CONCEICAO DOS SANTOS %1', '898%1')",
                "update pessoas set nome = 'MARIA DA CONCEIÇÃO SANTOS %1' where cli_origem = '4314999' and codigo = %1",
                "delete from pessoas where cli_origem = '4314999' and codigo = %1"};
            for (int k = 0; k < 3; ++k) {
                QElapsedTimer r;
                r.start();
                tr.inicia();
                tr.executa(QString::fromLatin1(sql[k]).arg(codigo));
                tr.commit();
                t[k].push_back(r.nsecsElapsed() / 1e6);
            }
        }
        for (auto& v : t)
            std::sort(v.begin(), v.end());
        std::printf("  insert %.2f ms, name change %.2f ms, delete %.2f ms (medians, each committed)\n", t[0][15],
                    t[1][15], t[2][15]);
    };
    std::printf("saving a patient with the word-piece trigger:\n");
    salva(1);
    tr.inicia();
    tr.executa(QStringLiteral("alter trigger PESSOAS_AIUD_BUSCA inactive"));
    tr.commit();
    std::printf("the same without it:\n");
    salva(1001);
    tr.inicia();
    tr.executa(QStringLiteral("alter trigger PESSOAS_AIUD_BUSCA active"));
    tr.commit();
    con.desconecta();
    Conexao::finaliza();
    return 0;
}
