// Search statements, their execution on a real database, the search indexes and NomePorCodigo.
#include "core/Banco.h"
#include "core/UFunc.h"
#include "core/UProcuraNome.h"
#include "core/schema/Catalogo.h"
#include "core/schema/IndicesBusca.h"
#include "core/Texto1252.h"
#include "support/Fixtures.h"
#include "support/Parecidos.h"
#include "support/Trechos.h"

#include <QtTest>

#include <memory>

using namespace vx;

namespace {

QStringList chaves(const QVector<LinhaBusca>& linhas)
{
    QStringList r;
    for (const auto& l : linhas)
        r << l.chave;
    return r;
}

// Names that exercise the ordering: case, accents, blanks, duplicates, a quote and a null.
const char* const kEspeciais[] = {
    "JOSE DA SILVA", "JOSE SILVA", "SILVA JOSE", "MARIA JOSE SILVANA", "ana paula", "ANA PAULA",
    "ÁLVARO SOUZA", "ÉDER LIMA", "ZÉ DO CAIXÃO", "O'BRIEN JOSE", "ANA  DUPLO", "JOSE SILVA",
};
// Names written with and without accents, in the order the name index gives them.
const char* const kAcentuados[] = {
    "ALVARO SANTANA", "ANA-LÚCIA SOUZA", "CONCEIÇÃO APARECIDA", "JOSE DA CONCEICAO", "JOSÉ DA CONCEIÇÃO",
    "JOÃO D'AVILA NETO", "José da Conceição", "LUCIA SOUZA", "MARIA D'ÁVILA", "MARIA DAVILA", "ÁLVARO SANTOS",
};
const char* const kPrimeiros[] = {"MARIA", "JOAO", "ANA", "PEDRO", "CARLOS", "LUCAS", "BRUNO", "RAFAEL"};
const char* const kUltimos[] = {"SANTOS", "OLIVEIRA", "SOUZA", "COSTA", "GOMES", "ALVES", "LOPES",
                                "MARTINS", "ROCHA", "DIAS", "NUNES", "PIRES"};

} // namespace

class TstProcura : public QObject {
    Q_OBJECT

    std::unique_ptr<test::BancoTeste> m_b;
    QHash<QString, int> m_codigoDe; // special name -> first code
    std::unique_ptr<test::BancoTeste> m_parecidos;
    std::unique_ptr<test::BancoTeste> m_acentos;

    // Patients and municipalities whose name, card or code hold each look-alike.
    test::BancoTeste& bancoParecidos()
    {
        if (m_parecidos)
            return *m_parecidos;
        m_parecidos = std::make_unique<test::BancoTeste>();
        m_parecidos->tr().inicia();
        test::InsereParecidos(m_parecidos->tr());
        m_parecidos->tr().commit();
        return *m_parecidos;
    }

    QVector<LinhaBusca> busca(const DefinicaoBusca& d, const QString& padrao, const AjusteBusca& a = {})
    {
        m_b->tr().inicia();
        auto r = ExecutaBusca(m_b->tr(), d, padrao, a);
        m_b->tr().commit();
        return r;
    }

private slots:
    void initTestCase()
    {
        m_b = std::make_unique<test::BancoTeste>();
        Transacao& tr = m_b->tr();
        tr.inicia();
        QVERIFY(catalogo::existeTabela(tr, "PESSOAS"));
        int codigo = 0;
        auto insere = [&](const QString& origem, const QVariant& nome, const QString& cartao) {
            ++codigo;
            tr.executa(QStringLiteral("insert into pessoas (cli_origem, codigo, nome, cartaosus) values (?, ?, ?, ?)"),
                       {origem, codigo, nome, cartao});
        };
        for (const char* n : kEspeciais) {
            insere(QStringLiteral("4314902"), QString::fromUtf8(n), QString());
            if (!m_codigoDe.contains(QString::fromUtf8(n)))
                m_codigoDe.insert(QString::fromUtf8(n), codigo);
        }
        // A patient without a name, found by the card only.
        insere(QStringLiteral("4314902"), QVariant(), QStringLiteral("898001234567890"));
        m_codigoDe.insert(QStringLiteral("<sem nome>"), codigo);
        // Another municipality's patient whose card matches a pattern used with a filter.
        insere(QStringLiteral("4300000"), QStringLiteral("FORA DO FILTRO"), QStringLiteral("700555000000001"));
        m_codigoDe.insert(QStringLiteral("FORA DO FILTRO"), codigo);
        for (const char* p : kPrimeiros)
            for (const char* u : kUltimos)
                for (const char* u2 : kUltimos)
                    insere(QStringLiteral("4314902"), QStringLiteral("%1 %2 %3").arg(p, u, u2),
                           QStringLiteral("70%1").arg(codigo, 13, 10, QLatin1Char('0')));
        tr.commit();
    }

    void cleanupTestCase()
    {
        m_b.reset();
        m_acentos.reset();
    }

    void semAcentos_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("modo");
        QTest::addColumn<QStringList>("nomes");
        const int trecho = int(ModoBusca::TrechoNome), inicio = int(ModoBusca::InicioNome),
                  qualquer = int(ModoBusca::QualquerPalavra);
        const QStringList conceicao{"CONCEIÇÃO APARECIDA", "JOSE DA CONCEICAO", "JOSÉ DA CONCEIÇÃO", "José da Conceição"};
        QTest::newRow("minusculas sem acento") << "conceic" << trecho << conceicao;
        QTest::newRow("maiusculas sem acento") << "CONCEIC" << trecho << conceicao;
        QTest::newRow("com cedilha") << "conceiç" << trecho << conceicao;
        QTest::newRow("inicio") << "conc" << inicio << QStringList{"CONCEIÇÃO APARECIDA"};
        QTest::newRow("inicio acentuado depois de Z") << "alvaro" << inicio << QStringList{"ALVARO SANTANA", "ÁLVARO SANTOS"};
        QTest::newRow("inicio com acento") << "josé da" << inicio << conceicao.mid(1);
        QTest::newRow("palavras") << "jose conceicao" << qualquer << conceicao.mid(1);
        QTest::newRow("apostrofo") << "d'avila" << trecho << QStringList{"JOÃO D'AVILA NETO", "MARIA D'ÁVILA"};
        QTest::newRow("apostrofo conta") << "davila" << trecho << QStringList{"MARIA DAVILA"};
        QTest::newRow("hifen") << "ana-lucia" << trecho << QStringList{"ANA-LÚCIA SOUZA"};
        QTest::newRow("trecho com branco") << "lucia souza" << trecho << QStringList{"ANA-LÚCIA SOUZA", "LUCIA SOUZA"};
        QTest::newRow("hifen nao e branco") << "ana lucia" << qualquer << QStringList{};
        QTest::newRow("duas letras") << "ão" << trecho
            << QStringList{"CONCEIÇÃO APARECIDA", "JOSE DA CONCEICAO", "JOSÉ DA CONCEIÇÃO", "JOÃO D'AVILA NETO",
                           "José da Conceição"};
        QTest::newRow("cartao") << "0123456" << trecho << QStringList{"LUCIA SOUZA"};
        QTest::newRow("fim de palavra") << "santo" << trecho << QStringList{"ÁLVARO SANTOS"};
        QTest::newRow("curinga digitado") << "s_nt" << trecho << QStringList{"ALVARO SANTANA", "ÁLVARO SANTOS"};
        QTest::newRow("dois trechos") << "vila%neto" << trecho << QStringList{"JOÃO D'AVILA NETO"};
        QTest::newRow("nada") << "conceicaoz" << trecho << QStringList{};
    }
    // What the clerk types finds the names however they were written, in every search form, with
    // the word pieces or without them (they change the speed, never the rows), as the statement
    // itself gives them.
    void semAcentos()
    {
        QFETCH(QString, texto);
        QFETCH(int, modo);
        QFETCH(QStringList, nomes);
        if (!m_acentos) {
            m_acentos = std::make_unique<test::BancoTeste>();
            int codigo = 0;
            for (const char* n : kAcentuados)
                m_acentos->executa(QStringLiteral("insert into pessoas (cli_origem, codigo, nome, cartaosus) values "
                                                  "('4314902', %1, '%2', %3)")
                                       .arg(++codigo)
                                       .arg(QString::fromUtf8(n).replace("'", "''"),
                                            QString::fromUtf8(n) == "LUCIA SOUZA" ? "'898001234567890'" : "null"));
        }
        Transacao& tr = m_acentos->tr();
        const QString padrao = PadraoBusca(ModoBusca(modo), texto);
        const DefinicaoBusca formas[] = {
            MontaProcura({"CODIGO", "NOME"}, "NOME", "PESSOAS"),
            MontaProcuraFiltro({"CODIGO", "NOME"}, "NOME", "PESSOAS", "CLI_ORIGEM='4314902'"),
            MontaProcuraSimples("CODIGO", "NOME", "PESSOAS"),
            MontaProcuraSimplesFiltro("P.CODIGO", "P.NOME", "PESSOAS P", "P.CLI_ORIGEM='4314902'"),
        };
        AjusteBusca semTrechos, comuns, listas, pequenos;
        semTrechos.trechos = false;
        comuns.poucos = comuns.muitos = 0; // every piece counts as common
        listas.poucos = 0;                 // the lists of every piece, crossed
        pequenos.amostra = 3;
        for (const DefinicaoBusca& f : formas) {
            const bool simples = f.forma == DefinicaoBusca::Forma::Simples || f.forma == DefinicaoBusca::Forma::SimplesFiltro;
            // The two-column forms do not match the card.
            const QStringList esperado = simples && QByteArray(QTest::currentDataTag()) == "cartao" ? QStringList{} : nomes;
            tr.inicia();
            DefinicaoBusca d = f;
            PreparaBusca(tr, d);
            QVERIFY(d.colunaSemAcentos);
            QCOMPARE(d.usaTrechos, true);
            QString sql = d.sql();
            sql.replace(":pdes", SqlLiteralTexto(padrao));
            Consulta q(tr);
            QStringList doComando;
            for (q.abre(sql); !q.eof(); q.proximo())
                doComando << q.campo(1).texto();
            q.fecha();
            QCOMPARE(doComando, esperado);
            for (const AjusteBusca& a : {AjusteBusca{}, semTrechos, comuns, listas, pequenos}) {
                QStringList vistos;
                for (const auto& l : ExecutaBusca(tr, d, padrao, a))
                    vistos << l.colunas.value(simples ? 1 : 0);
                QCOMPARE(vistos, esperado);
            }
            tr.commit();
        }
    }

    void outrasTabelas_data()
    {
        QTest::addColumn<QString>("tabela");
        QTest::addColumn<QString>("coluna");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("achado");
        QTest::newRow("procedimentos") << "PROCEDIMENTOS" << "NOME" << "consulta medica" << "CONSULTA MÉDICA";
        QTest::newRow("entidades pelo nome fantasia") << "V_ENTIDADES" << "RAZAOSOCIAL" << "sao jose" << "CLÍNICA LTDA";
        QTest::newRow("municipios") << "IBGEMUNIC" << "CIDADE" << "goiania" << "GOIÂNIA";
        QTest::newRow("cid") << "CID" << "DESCRICAO" << "colera" << "CÓLERA";
        QTest::newRow("ocupacoes") << "CBO" << "DESCRICAO" << "medico" << "MÉDICO CLÍNICO";
        QTest::newRow("profissionais pela ocupacao") << "V_PROFISSIONAIS" << "NOME" << "medico" << "PAULO RAMOS";
    }
    void outrasTabelas()
    {
        QFETCH(QString, tabela);
        QFETCH(QString, coluna);
        QFETCH(QString, texto);
        QFETCH(QString, achado);
        test::BancoTeste b;
        b.executa("insert into procedimentos (codigo, nome) values (1, 'CONSULTA MÉDICA')");
        b.executa("insert into entidades (codigo, razaosocial, nomefantasia) values (3, 'CLÍNICA LTDA', 'SÃO JOSÉ')");
        b.executa("insert into ibgemunic (codigo, cidade, uf) values ('5208707', 'GOIÂNIA', 'GO')");
        b.executa("insert into cid (codigo, descricao) values ('A00', 'CÓLERA')");
        b.executa("insert into cbo (codigo, descricao) values ('225125', 'MÉDICO CLÍNICO')");
        b.executa("insert into profissionais (codigo, nome, cbo) values (12, 'PAULO RAMOS', '225125')");
        b.executa("insert into entidadesprofiss (codentidade, codprofissional) values (3, 12)");
        const DefinicaoBusca d = MontaProcura({"CODIGO", coluna}, coluna, tabela);
        b.tr().inicia();
        const auto linhas = ExecutaBusca(b.tr(), d, PadraoBusca(ModoBusca::QualquerPalavra, texto));
        b.tr().commit();
        QCOMPARE(linhas.size(), 1);
        QCOMPARE(linhas.first().colunas.first(), achado);
    }

    // A column the collation does not apply to (another character set) is compared upper-cased.
    void colunaDeOutroConjunto()
    {
        test::BancoTeste b;
        b.executa("create table antiga (codigo integer, nome varchar(30) character set none)");
        b.executa("insert into antiga values (1, 'Jose da Silva')");
        DefinicaoBusca d = MontaProcuraSimples("CODIGO", "NOME", "ANTIGA");
        b.tr().inicia();
        PreparaBusca(b.tr(), d);
        QVERIFY(!d.colunaSemAcentos);
        QVERIFY(!d.usaTrechos);
        QCOMPARE(d.sql(), QString("select first 400 CODIGO,NOME as Campo from ANTIGA where Upper(NOME) like :pdes\n"
                                  "order by NOME"));
        QCOMPARE(ExecutaBusca(b.tr(), d, PadraoBusca(ModoBusca::TrechoNome, "jose")).size(), 1);
        b.tr().commit();
    }

    void padrao_data()
    {
        QTest::addColumn<int>("modo");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("padrao");
        QTest::newRow("trecho") << int(ModoBusca::TrechoNome) << "silva" << "%SILVA%";
        QTest::newRow("trecho vazio") << int(ModoBusca::TrechoNome) << "" << "%%";
        QTest::newRow("inicio") << int(ModoBusca::InicioNome) << "jos" << "JOS%";
        QTest::newRow("qualquer") << int(ModoBusca::QualquerPalavra) << "JOSE SILVA" << "%JOSE %SILVA%";
        QTest::newRow("qualquer tres") << int(ModoBusca::QualquerPalavra) << "a b c" << "%A %B %C%";
        QTest::newRow("acentos") << int(ModoBusca::TrechoNome) << "joão éder" << "%JOÃO ÉDER%";
    }
    void padrao()
    {
        QFETCH(int, modo);
        QFETCH(QString, texto);
        QFETCH(QString, padrao);
        QCOMPARE(PadraoBusca(ModoBusca(modo), texto), padrao);
    }

    void statements_data()
    {
        QTest::addColumn<QString>("chamada");
        QTest::addColumn<QString>("tabela");
        QTest::addColumn<QString>("sql");
        QTest::newRow("procura pessoas") << "Procura" << "PESSOAS"
            << "select first 400 CODIGO, NOME\nfrom PESSOAS where NOME collate WIN_PTBR like :pdes\n"
               "or Upper(cartaosus) like :pdes\norder by NOME";
        QTest::newRow("procura view minusculas") << "Procura" << "v_Profissionais"
            << "select first 400 CODIGO, NOME\nfrom v_Profissionais where NOME collate WIN_PTBR like :pdes\n"
               "or OCUPACAOENTIDADE collate WIN_PTBR like :pdes\norder by NOME";
        QTest::newRow("procura outra") << "Procura" << "PROCEDIMENTOS"
            << "select first 400 CODIGO, NOME\nfrom PROCEDIMENTOS where NOME collate WIN_PTBR like :pdes\norder by NOME";
        QTest::newRow("filtro entidades") << "ProcuraFiltro" << "V_ENTIDADES"
            << "select first 400 CODIGO, NOME\nfrom V_ENTIDADES where (DataExclusao is null) and "
               "(NOME collate WIN_PTBR like :pdes\nor NomeFantasia collate WIN_PTBR like :pdes)\norder by NOME";
        QTest::newRow("filtro outra") << "ProcuraFiltro" << "PROCEDIMENTOS"
            << "select first 400 CODIGO, NOME\nfrom PROCEDIMENTOS where (DataExclusao is null) and "
               "(NOME collate WIN_PTBR like :pdes)\norder by NOME";
        QTest::newRow("simples sem linha extra") << "ProcuraSimples" << "PESSOAS"
            << "select first 400 CODIGO,NOME as Campo from PESSOAS where NOME collate WIN_PTBR like :pdes\norder by NOME";
        QTest::newRow("simples filtro") << "ProcuraSimplesFiltro" << "PESSOAS"
            << "select first 400 CODIGO,NOME as Campo from PESSOAS where DataExclusao is null and "
               "NOME collate WIN_PTBR like :pdes order by NOME";
    }
    void statements()
    {
        QFETCH(QString, chamada);
        QFETCH(QString, tabela);
        QFETCH(QString, sql);
        const QStringList campos{"CODIGO", "", "NOME"};
        const QString cond = QStringLiteral("DataExclusao is null");
        DefinicaoBusca d;
        if (chamada == "Procura")
            d = MontaProcura(campos, "NOME", tabela);
        else if (chamada == "ProcuraFiltro")
            d = MontaProcuraFiltro(campos, "NOME", tabela, cond);
        else if (chamada == "ProcuraSimples")
            d = MontaProcuraSimples("CODIGO", "NOME", tabela);
        else
            d = MontaProcuraSimplesFiltro("CODIGO", "NOME", tabela, cond);
        QCOMPARE(d.sql(), sql);
        QCOMPARE(d.tituloErro, chamada == "Procura" ? QString("Erro, verifique os dados digitados")
                                                    : QString("Erro, verifique os dados digitados."));
    }

    void colunasDaLista()
    {
        // Expressions 2..n shown first, the key last; a converted column is named by its column.
        const DefinicaoBusca d = MontaProcura({"CAST(CODIGO AS VARCHAR(10))", "NOME", "cast(p.cartaosus as char(15))"},
                                              "NOME", "PESSOAS");
        QCOMPARE(d.exibicao, (QVector<int>{1, 2, 0}));
        QCOMPARE(d.titulos, (QStringList{"NOME", "p.cartaosus", "CODIGO"}));
        QVERIFY(!d.cortaHifen);
        QVERIFY(MontaProcura({"CodConcat", "NOME"}, "NOME", "V_PROFISSIONAIS").cortaHifen);
        QCOMPARE(MontaProcuraSimplesFiltro("P.CODIGO", "P.NOME", "PESSOAS P", "1=1").titulos.first(), QString("CODIGO"));
    }

    void primeiros400EmOrdem()
    {
        const DefinicaoBusca d = MontaProcura({"CODIGO", "NOME", "CARTAOSUS"}, "NOME", "PESSOAS");
        const auto linhas = busca(d, PadraoBusca(ModoBusca::TrechoNome, ""));
        QCOMPARE(linhas.size(), 400);
        // Same rows and order as the server's own "order by NOME" over every name.
        m_b->tr().inicia();
        Consulta q(m_b->tr());
        q.abre("select first 400 codigo from pessoas where upper(nome) like '%' or upper(cartaosus) like '%' "
               "order by nome");
        QStringList esperado;
        for (; !q.eof(); q.proximo())
            esperado << q.campo(0).texto();
        q.fecha();
        m_b->tr().commit();
        QCOMPARE(chaves(linhas), esperado);
        // The card-only patient has no name: nulls come first.
        QCOMPARE(linhas.at(0).chave, QString::number(m_codigoDe.value("<sem nome>")));
        QCOMPARE(linhas.at(1).colunas.first(), QString("ANA  DUPLO"));
    }

    // Whatever path a search takes (ordered walk, bounded walk, local sort), it returns what the
    // statement itself returns, in the same order.
    void igualAoComando_data()
    {
        QTest::addColumn<int>("forma");
        QTest::addColumn<QString>("padrao");
        QTest::addColumn<int>("ajuste");
        const QStringList padroes{"%",     "%%",      "%SILVA%", "ANA%",   "ANA  %", "JOSE %SILVA%", "%JOSE %SILVA%",
                                  "%ZZZ%", "%8001%",  "8980%",   "70%",    "7000000000003%", "O'%", "%'%",
                                  "É%",    "%É%",     "_NA%",    "ZZZ%",   "ana%",
                                  "%0%",   "%A%",     "%S %S%",  "%OS%",   "%MARIA %"};
        // Default; a 400-row sample (range read between sample bounds); walk up to the 400th sample
        // value; a range too small (ordered walk from the bound); a sample too small for bounds.
        const char* const ajustes[] = {"padrao", "amostra", "passo", "faixa", "pequena"};
        for (int forma = 0; forma < 4; ++forma)
            for (const QString& p : padroes)
                for (int a = 0; a < 5; ++a)
                    QTest::newRow(qPrintable(QStringLiteral("%1 %2 %3").arg(forma).arg(p, ajustes[a]))) << forma << p << a;
    }
    void igualAoComando()
    {
        QFETCH(int, forma);
        QFETCH(QString, padrao);
        QFETCH(int, ajuste);
        const int valores[][3] = {{2000, 20000, 8}, {400, 20000, 8}, {400, 20000, 400}, {400, 3, 8}, {5, 20000, 8}};
        AjusteBusca a;
        a.amostra = valores[ajuste][0];
        a.faixa = valores[ajuste][1];
        a.passo = valores[ajuste][2];
        // The filters include an OR, kept as written.
        const QString cond = QStringLiteral("CLI_ORIGEM='4314902' or CODIGO < 3");
        DefinicaoBusca d;
        switch (forma) {
        case 0: d = MontaProcura({"CODIGO", "NOME"}, "NOME", "PESSOAS"); break;
        case 1: d = MontaProcuraFiltro({"CODIGO", "NOME"}, "NOME", "Pessoas", cond); break;
        case 2: d = MontaProcuraSimples("CODIGO", "NOME", "PESSOAS"); break;
        default: d = MontaProcuraSimplesFiltro("CODIGO", "NOME", "PESSOAS", cond); break;
        }
        QString sql = d.sql();
        sql.replace(":pdes", "'" + QString(padrao).replace("'", "''") + "'");
        m_b->tr().inicia();
        Consulta q(m_b->tr());
        q.abre(sql);
        QStringList esperado;
        for (; !q.eof(); q.proximo())
            esperado << q.campo(0).texto();
        q.fecha();
        m_b->tr().commit();
        QCOMPARE(chaves(busca(d, padrao, a)), esperado);
    }

    void joseSilva_data()
    {
        QTest::addColumn<int>("modo");
        QTest::addColumn<QStringList>("nomes");
        QTest::newRow("trecho") << int(ModoBusca::TrechoNome)
                                << QStringList{"JOSE SILVA", "JOSE SILVA", "MARIA JOSE SILVANA"};
        QTest::newRow("inicio") << int(ModoBusca::InicioNome) << QStringList{"JOSE SILVA", "JOSE SILVA"};
        // Both JOSE DA SILVA and the exact JOSE SILVA; not SILVA JOSE (order of the words).
        QTest::newRow("qualquer") << int(ModoBusca::QualquerPalavra)
                                  << QStringList{"JOSE DA SILVA", "JOSE SILVA", "JOSE SILVA", "MARIA JOSE SILVANA"};
    }
    void joseSilva()
    {
        QFETCH(int, modo);
        QFETCH(QStringList, nomes);
        const DefinicaoBusca d = MontaProcura({"CODIGO", "NOME"}, "NOME", "PESSOAS");
        QStringList vistos;
        for (const auto& l : busca(d, PadraoBusca(ModoBusca(modo), "jose silva")))
            vistos << l.colunas.first();
        QCOMPARE(vistos, nomes);
    }

    void cartaoSus_data()
    {
        QTest::addColumn<bool>("simples");
        QTest::addColumn<int>("achados");
        QTest::newRow("Procura") << false << 1;
        QTest::newRow("ProcuraSimples") << true << 0;
    }
    void cartaoSus()
    {
        QFETCH(bool, simples);
        QFETCH(int, achados);
        const DefinicaoBusca d = simples ? MontaProcuraSimples("CODIGO", "NOME", "PESSOAS")
                                         : MontaProcura({"CODIGO", "NOME"}, "NOME", "Pessoas");
        const auto linhas = busca(d, PadraoBusca(ModoBusca::TrechoNome, "8001234"));
        QCOMPARE(linhas.size(), achados);
        if (achados)
            QCOMPARE(linhas.first().chave, QString::number(m_codigoDe.value("<sem nome>")));
    }

    void filtroEnvolveLinhaExtra()
    {
        // The card alternative stays inside the condition's parentheses.
        const DefinicaoBusca d = MontaProcuraFiltro({"CODIGO", "NOME"}, "NOME", "PESSOAS", "CLI_ORIGEM='4314902'");
        QVERIFY(busca(d, "%700555%").isEmpty());
        const DefinicaoBusca sem = MontaProcura({"CODIGO", "NOME"}, "NOME", "PESSOAS");
        QCOMPARE(chaves(busca(sem, "%700555%")), QStringList{QString::number(m_codigoDe.value("FORA DO FILTRO"))});
    }

    void condicaoComPdesEntreAspas_data()
    {
        QTest::addColumn<QString>("padrao");
        QTest::addColumn<QStringList>("nomes");
        QTest::newRow("nome") << "%JOSE SILVA%" << QStringList{"JOSE SILVA", "JOSE SILVA", "MARIA JOSE SILVANA"};
        QTest::newRow("aspas no padrao") << "%' OR 1=1 OR '%" << QStringList{};
    }
    // Only the placeholders of the statement take the pattern, not a quoted value of the condition.
    void condicaoComPdesEntreAspas()
    {
        QFETCH(QString, padrao);
        QFETCH(QStringList, nomes);
        const DefinicaoBusca d = MontaProcuraFiltro({"CODIGO", "NOME"}, "NOME", "PESSOAS", "NOME <> ':pdes'");
        QStringList vistos;
        for (const auto& l : busca(d, padrao))
            vistos << l.colunas.first();
        QCOMPARE(vistos, nomes);
    }

    void simplesFiltroComApelido()
    {
        const DefinicaoBusca d = MontaProcuraSimplesFiltro("P.CODIGO", "P.NOME", "PESSOAS P", "P.CLI_ORIGEM='4314902'");
        const auto linhas = busca(d, PadraoBusca(ModoBusca::InicioNome, "o'brien"));
        QCOMPARE(linhas.size(), 1);
        QCOMPARE(linhas.first().chave, QString::number(m_codigoDe.value("O'BRIEN JOSE")));
        QCOMPARE(linhas.first().colunas, (QStringList{linhas.first().chave, "O'BRIEN JOSE"}));
    }

    void codconcat()
    {
        test::BancoTeste b;
        b.executa("insert into entidades (codigo, razaosocial, nomefantasia) values (3, 'CLINICA CENTRAL', 'CENTRAL')");
        b.executa("insert into cbo (codigo, descricao) values ('225125', 'MEDICO CLINICO')");
        b.executa("insert into profissionais (codigo, nome, cbo) values (12, 'PAULO RAMOS', '225125')");
        b.executa("insert into entidadesprofiss (codentidade, codprofissional) values (3, 12)");
        const DefinicaoBusca d = MontaProcura({"codconcat", "NOME", "OCUPACAOENTIDADE"}, "NOME", "v_profissionais");
        b.tr().inicia();
        // Found by the occupation (extra line of the view), key cut before the "-".
        const auto linhas = ExecutaBusca(b.tr(), d, PadraoBusca(ModoBusca::TrechoNome, "clinica central"));
        b.tr().commit();
        QCOMPARE(linhas.size(), 1);
        QCOMPARE(linhas.first().chave, QString("12-3"));
        QCOMPARE(ChaveResultado(d, linhas.first().chave), QString("12"));
        QCOMPARE(linhas.first().colunas, (QStringList{"PAULO RAMOS", "MEDICO CLINICO => CLINICA CENTRAL", "12-3"}));
    }

    void colunaErradaFalha()
    {
        const DefinicaoBusca d = MontaProcura({"CODIGO", "NOMEX"}, "NOMEX", "PESSOAS");
        m_b->tr().inicia();
        QVERIFY_THROWS_EXCEPTION(ErroBanco, ExecutaBusca(m_b->tr(), d, "%"));
        m_b->tr().rollback();
    }

    void sqlNomePorCodigo_data()
    {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("sql");
        const QString base = "select NOME as Nome from CLIENTES where CODIGO=";
        QTest::newRow("numero") << "12345" << base + "12345";
        QTest::newRow("seis digitos") << "123456" << base + "'123456'";
        QTest::newRow("municipio") << "4314902" << base + "'4314902'";
        QTest::newRow("letra") << "12A" << base + "'12A'";
        QTest::newRow("branco") << "1 2" << base + "'1 2'";
        QTest::newRow("aspas") << "O'X" << base + "'O''X'";
        QTest::newRow("vazio") << "" << "select first 1 NOME as Nome from CLIENTES";
    }
    void sqlNomePorCodigo()
    {
        QFETCH(QString, codigo);
        QFETCH(QString, sql);
        QCOMPARE(SqlNomePorCodigo(codigo, "CODIGO", "NOME", "CLIENTES"), sql);
    }

    void nomePorCodigo_data()
    {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("chave");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("tabela");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("municipio texto") << "4314902" << "CODIGO" << "NOME" << "CLIENTES" << "PELOTAS";
        QTest::newRow("inteiro") << "12345" << "CODIGO" << "NOME" << "PROCEDIMENTOS" << "CONSULTA";
        QTest::newRow("nao achado") << "99" << "CODIGO" << "NOME" << "PROCEDIMENTOS" << "";
        QTest::newRow("vazio com chave") << "" << "CODIGO" << "NOME" << "CLIENTES" << "";
        QTest::newRow("vazio sem chave") << "" << "" << "NOME" << "CLIENTES" << "PELOTAS";
    }
    void nomePorCodigo()
    {
        QFETCH(QString, codigo);
        QFETCH(QString, chave);
        QFETCH(QString, nome);
        QFETCH(QString, tabela);
        QFETCH(QString, esperado);
        test::BancoTeste b;
        b.executa("insert into clientes (codigo, nome) values ('4314902', 'PELOTAS')");
        b.executa("insert into procedimentos (codigo, nome) values (12345, 'CONSULTA')");
        b.tr().inicia();
        Consulta q(b.tr());
        QCOMPARE(NomePorCodigo(q, codigo, chave, nome, tabela), esperado);
        b.tr().commit();
    }

    void nomePorCodigoDeixaErroPassar()
    {
        test::BancoTeste b;
        b.tr().inicia();
        Consulta q(b.tr());
        QVERIFY_THROWS_EXCEPTION(ErroBanco, NomePorCodigo(q, "1", "CODIGO", "NOME", "NAOEXISTE"));
        b.tr().rollback();
    }

    void aspasParecidas_data()
    {
        QTest::addColumn<QString>("c");
        QTest::addColumn<int>("forma");
        QTest::addColumn<int>("modo");
        const char* const formas[] = {"Procura", "ProcuraFiltro", "ProcuraSimples", "ProcuraSimplesFiltro"};
        const char* const modos[] = {"trecho", "inicio", "qualquer"};
        for (QChar c : test::ParecidosDeBusca())
            for (int f = 0; f < 4; ++f)
                for (int m = 0; m < 3; ++m)
                    QTest::newRow(qPrintable(QStringLiteral("%1 %2 %3").arg(test::NomeCodigo(c), formas[f], modos[m])))
                        << QString(c) << f << m;
    }
    // Texts with a look-alike in every search form and mode: the rows are those the statement gives
    // with the pattern as a parameter (the text as stored), never more, and no error.
    void aspasParecidas()
    {
        QFETCH(QString, c);
        QFETCH(int, forma);
        QFETCH(int, modo);
        test::BancoTeste& b = bancoParecidos();
        const QString cond = QStringLiteral("CLI_ORIGEM='4314902'");
        DefinicaoBusca d;
        switch (forma) {
        case 0: d = MontaProcura({"CODIGO", "NOME"}, "NOME", "PESSOAS"); break;
        case 1: d = MontaProcuraFiltro({"CODIGO", "NOME"}, "NOME", "PESSOAS", cond); break;
        case 2: d = MontaProcuraSimples("CODIGO", "NOME", "PESSOAS"); break;
        default: d = MontaProcuraSimplesFiltro("CODIGO", "NOME", "PESSOAS", cond); break;
        }
        for (const QString& t : test::TextosComParecido(c)) {
            const QString padrao = PadraoBusca(ModoBusca(modo), t);
            QString sql = d.sql();
            const int n = int(sql.count(":pdes"));
            sql.replace(":pdes", "cast(? as varchar(200))"); // a parameter takes the column's length otherwise
            b.tr().inicia();
            Consulta q(b.tr());
            q.abre(sql, QVariantList(n, ajustaPara1252(padrao)));
            QStringList esperado;
            for (; !q.eof(); q.proximo())
                esperado << q.campo(0).texto();
            q.fecha();
            QVector<LinhaBusca> linhas;
            try {
                linhas = ExecutaBusca(b.tr(), d, padrao);
            } catch (const ErroBanco& e) {
                QFAIL(qPrintable(t + ": " + e.texto()));
            }
            b.tr().commit();
            QCOMPARE(chaves(linhas), esperado);
        }
        // The typed character itself finds the rows that hold it as stored.
        if (modo == int(ModoBusca::TrechoNome) && forma == 2) {
            b.tr().inicia();
            const auto linhas = ExecutaBusca(b.tr(), d, PadraoBusca(ModoBusca::TrechoNome, "A" + c + "B"));
            b.tr().commit();
            QVERIFY(!linhas.isEmpty());
            for (const auto& l : linhas)
                QVERIFY2(l.colunas.value(1).startsWith("A" + ajustaPara1252(c) + "B") ||
                             ajustaPara1252(c) == "%" || ajustaPara1252(c) == "_",
                         qPrintable(l.colunas.value(1)));
        }
    }

    void nomePorCodigoParecidos_data()
    {
        QTest::addColumn<QString>("c");
        QTest::addColumn<int>("i");
        int i = 0;
        for (QChar c : test::ParecidosDeBusca()) {
            i += 2;
            QTest::newRow(qPrintable(test::NomeCodigo(c))) << QString(c) << i; // after its two patients
        }
    }
    void nomePorCodigoParecidos()
    {
        QFETCH(QString, c);
        QFETCH(int, i);
        test::BancoTeste& b = bancoParecidos();
        b.tr().inicia();
        Consulta q(b.tr());
        QCOMPARE(NomePorCodigo(q, QStringLiteral("K%1%2").arg(c).arg(i), "CODIGO", "NOME", "CLIENTES"),
                 QStringLiteral("CLIENTE %1").arg(i));
        for (const QString& codigo : {"Q" + c + " or " + c + c + "=" + c, c + " or 1=1 or " + c + "K",
                                      "K" + c + QString::number(i) + c + c})
            QCOMPARE(NomePorCodigo(q, codigo, "CODIGO", "NOME", "CLIENTES"), QString());
        b.tr().commit();
    }

    void indicesIdempotentes()
    {
        test::BancoTeste b;
        Transacao& tr = b.tr();
        for (int i = 0; i < 2; ++i) {
            tr.inicia();
            CriaIndicesBusca(tr);
            tr.commit();
        }
        tr.inicia();
        for (const char* ix : {"IX_PESSOAS_NOME", "IX_PESSOAS_NOME_UPPER", "IX_PESSOAS_CARTAOSUS_UPPER"})
            QVERIFY2(catalogo::existeIndice(tr, ix), ix);
        tr.commit();
        // A database without the table is left alone.
        test::BancoTeste vazio(false);
        vazio.tr().inicia();
        CriaIndicesBusca(vazio.tr());
        vazio.tr().commit();
    }
};

QTEST_GUILESS_MAIN(TstProcura)
#include "tst_procura.moc"
