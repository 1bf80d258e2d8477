// Patient registry without the screen: loading, checks, saves, deletes and the duplicate warning
// on a real database.
#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "municipality/Pacientes.h"
#include "support/Fixtures.h"

#include <QtTest>

#include <memory>

using namespace vx;

namespace {
Paciente completo(const QString& origem, const QString& codigo, const QString& nome)
{
    Paciente p;
    p.cliOrigem = origem;
    p.codigo = codigo;
    p.cartaoSus = QStringLiteral("898001234567890");
    p.nome = nome;
    p.dataNasc = QStringLiteral("25/12/1980");
    p.sexo = QStringLiteral("F");
    p.raca = QStringLiteral("03");
    p.etnia = QStringLiteral("999");
    p.responsavel = QString();
    p.nomeMae = QStringLiteral("MARIA DA SILVA");
    p.endereco = QStringLiteral("DAS FLORES");
    p.endNum = QStringLiteral("120");
    p.bairro = QStringLiteral("CENTRO");
    p.cep = QStringLiteral("98700000");
    p.fones = QStringLiteral("55 3332-1000");
    p.obs = QStringLiteral("Obs");
    return p;
}

QString texto(test::BancoTeste& b, const QString& sql)
{
    return b.valor(sql).toString();
}
} // namespace

class TstPacientes : public QObject {
    Q_OBJECT
    std::unique_ptr<test::BancoTeste> m_dup;

private slots:
    void cleanupTestCase() { m_dup.reset(); }

    void init()
    {
        SessaoAtual().UsuarioLogado = QStringLiteral("ana");
    }

    void listas_data()
    {
        QTest::addColumn<QString>("raca");
        QTest::addColumn<int>("indiceRaca");
        QTest::addColumn<QString>("etnia");
        QTest::addColumn<int>("indiceEtnia");
        QTest::newRow("primeiros") << "01" << 0 << "058" << 0;
        QTest::newRow("indigena") << "05" << 4 << "208" << 4;
        QTest::newRow("sem informacao") << "99" << 5 << "999" << 5;
        QTest::newRow("vazios") << "" << 5 << "" << 5;
        QTest::newRow("fora da lista") << "07" << 5 << "100" << 5;
        QTest::newRow("sem zero") << "3" << 5 << "58" << 5;
        QTest::newRow("com brancos") << "02 " << 1 << " 077" << 1;
    }
    void listas()
    {
        QFETCH(QString, raca);
        QFETCH(int, indiceRaca);
        QFETCH(QString, etnia);
        QFETCH(int, indiceEtnia);
        QCOMPARE(IndiceRaca(raca), indiceRaca);
        QCOMPARE(IndiceEtnia(etnia), indiceEtnia);
    }

    void insereERecarrega()
    {
        test::BancoTeste b;
        test::InstalaConfiguracao(b.pasta(), {QStringLiteral("USUARIO=M4314902")});
        Paciente p = completo(QStringLiteral("4314902"), QStringLiteral("7"), QStringLiteral("ANA D'AVILA"));
        p.codTipoLograd = QStringLiteral("0");
        p.endNum = QStringLiteral("0");
        const GravacaoPaciente g = GravaPaciente(b.tr(), p, false);
        QCOMPARE(g.situacao, QStringLiteral("I"));
        QCOMPARE(g.codigo, QStringLiteral("7"));
        // Zero integers are stored as null, texts quoted as typed.
        QVERIFY(!b.valor("select codtipolograd from pessoas where codigo=7").isValid());
        QVERIFY(!b.valor("select endnum from pessoas where codigo=7").isValid());
        QCOMPARE(texto(b, "select nome from pessoas where codigo=7"), QStringLiteral("ANA D'AVILA"));
        QCOMPARE(b.valor("select datanasc from pessoas where codigo=7").toDate(), QDate(1980, 12, 25));
        QCOMPARE(texto(b, "select outrasinfo from logs where tabela='Pessoas' and situacao='I' and usuario='ana'"),
                 QStringLiteral("7-ANA D'AVILA"));
        QCOMPARE(Ini().le("GERAL", "CEP"), QStringLiteral("98700000"));

        b.tr().inicia();
        Paciente lido;
        QVERIFY(CarregaPaciente(b.tr(), "4314902", "7", lido));
        QVERIFY(!CarregaPaciente(b.tr(), "4300000", "7", lido) ); // other origin
        b.tr().rollback();
        QCOMPARE(lido.nome, p.nome);
        QCOMPARE(lido.dataNasc, p.dataNasc);
        QCOMPARE(lido.codTipoLograd, QStringLiteral("0"));
        QCOMPARE(lido.cep, p.cep);
        QCOMPARE(lido.raca, QStringLiteral("03"));
    }

    void carregaValoresForaDaLista()
    {
        test::BancoTeste b;
        b.executa("insert into pessoas (cli_origem, codigo, nome, raca, etnia, datanasc) "
                  "values ('4314902', 3, 'JOAO', '7', '100', null)");
        b.tr().inicia();
        Paciente p;
        QVERIFY(CarregaPaciente(b.tr(), "4314902", "3", p));
        b.tr().rollback();
        QCOMPARE(p.raca, QStringLiteral("99"));
        QCOMPARE(p.etnia, QStringLiteral("999"));
        QCOMPARE(p.dataNasc, QStringLiteral("  /  /    "));
        QCOMPARE(p.endNum, QStringLiteral("0"));
    }

    void codigoNaoNumerico_data()
    {
        QTest::addColumn<QString>("codigo");
        QTest::newRow("letra") << "12A";
        QTest::newRow("injecao") << "1 or 1=1";
    }
    void codigoNaoNumerico()
    {
        QFETCH(QString, codigo);
        test::BancoTeste b;
        b.executa("insert into pessoas (cli_origem, codigo, nome) values ('4314902', 1, 'JOAO')");
        b.tr().inicia();
        Paciente p;
        QVERIFY_THROWS_EXCEPTION(ErroValor, CarregaPaciente(b.tr(), "4314902", codigo, p));
        b.tr().rollback();
        QVERIFY_THROWS_EXCEPTION(ErroValor, ExcluiPaciente(b.tr(), "4314902", codigo, "JOAO"));
        QCOMPARE(b.valor("select count(*) from pessoas").toInt(), 1);
    }

    // Municipality, entity and professional installations leave the code to the database.
    void codigoDoBancoPorOrigem()
    {
        test::BancoTeste b;
        b.executa("insert into pessoas (cli_origem, codigo, nome) values ('4314902', 41, 'A')");
        b.executa("insert into pessoas (cli_origem, codigo, nome) values ('4300000', 900, 'B')");
        const GravacaoPaciente g1 = GravaPaciente(b.tr(), completo("4314902", "", "NOVO UM"), false);
        const GravacaoPaciente g2 = GravaPaciente(b.tr(), completo("4314902", "0", "NOVO DOIS"), false);
        const GravacaoPaciente g3 = GravaPaciente(b.tr(), completo("4399999", "", "NOVO TRES"), false);
        QCOMPARE(g1.codigo, QStringLiteral("42"));
        QCOMPARE(g2.codigo, QStringLiteral("43"));
        QCOMPARE(g3.codigo, QStringLiteral("1"));
        QCOMPARE(texto(b, "select nome from pessoas where cli_origem='4314902' and codigo=43"), QStringLiteral("NOVO DOIS"));
        // The audit row carries the code the database gave.
        QCOMPARE(texto(b, "select outrasinfo from logs where outrasinfo like '%NOVO UM'"), QStringLiteral("42-NOVO UM"));
    }

    void codigoConsorcio_data()
    {
        QTest::addColumn<QList<int>>("existentes");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("vazio") << QList<int>{} << "95001";
        QTest::newRow("ate 95000 ignorados") << QList<int>{1, 500, 95000} << "95001";
        QTest::newRow("seguinte") << QList<int>{3, 95001, 95007} << "95008";
    }
    void codigoConsorcio()
    {
        QFETCH(QList<int>, existentes);
        QFETCH(QString, esperado);
        test::BancoTeste b;
        for (int c : existentes)
            b.executa(QStringLiteral("insert into pessoas (cli_origem, codigo, nome) values ('0000000', %1, 'X')").arg(c));
        // Other origins do not count.
        b.executa("insert into pessoas (cli_origem, codigo, nome) values ('4314902', 99000, 'Y')");
        const GravacaoPaciente g = GravaPaciente(b.tr(), completo("0000000", "", "CONSORCIADO"), true);
        QCOMPARE(g.codigo, esperado);
        QCOMPARE(g.situacao, QStringLiteral("I"));
        QCOMPARE(texto(b, QStringLiteral("select nome from pessoas where cli_origem='0000000' and codigo=") + esperado),
                 QStringLiteral("CONSORCIADO"));
    }

    void verificacoesMunicipio_data()
    {
        QTest::addColumn<QString>("campo");
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QString>("pendencia");
        QTest::addColumn<QString>("mensagem");
        QTest::newRow("ok") << "" << "" << "" << "";
        QTest::newRow("mae curta") << "nomeMae" << "ANA" << "PENomeMae" << "Valor inválido para o campo [Nome Mãe]";
        QTest::newRow("mae em branco") << "nomeMae" << "      " << "PENomeMae" << "Valor inválido para o campo [Nome Mãe]";
        QTest::newRow("mae 4") << "nomeMae" << "ANAS" << "" << "";
        QTest::newRow("endereco") << "endereco" << "RUA" << "PEEndereco" << "Valor inválido para o campo [Endereco]";
        QTest::newRow("bairro") << "bairro" << "" << "PEBairro" << "Valor inválido para o campo [Bairro]";
        QTest::newRow("cep 7") << "cep" << "9870000" << "PECep" << "Valor inválido para o campo [CEP]";
        QTest::newRow("indigena sem etnia") << "etnia" << "999" << "CBEtnia"
                                            << "Para Raça Indígena é obrigatório informar o campo [ETNIA]";
        QTest::newRow("indigena etnia vazia") << "etnia" << "" << "CBEtnia"
                                              << "Para Raça Indígena é obrigatório informar o campo [ETNIA]";
        QTest::newRow("indigena com etnia") << "etnia" << "143" << "" << "";
    }
    void verificacoesMunicipio()
    {
        QFETCH(QString, campo);
        QFETCH(QString, valor);
        QFETCH(QString, pendencia);
        QFETCH(QString, mensagem);
        Paciente p = completo("4314902", "", "FULANO");
        if (campo == "nomeMae") p.nomeMae = valor;
        if (campo == "endereco") p.endereco = valor;
        if (campo == "bairro") p.bairro = valor;
        if (campo == "cep") p.cep = valor;
        if (campo == "etnia") {
            p.raca = QStringLiteral("05");
            p.etnia = valor;
        }
        const Pendencia r = VerificaPacienteMunicipio(p);
        QCOMPARE(r.campo, pendencia);
        QCOMPARE(r.mensagem, mensagem);
    }

    void idade_data()
    {
        QTest::addColumn<QString>("nasc");
        QTest::addColumn<QString>("mensagem");
        QTest::newRow("vazia") << "  /  /    " << "";
        QTest::newRow("120 anos") << "10/06/1906" << "";
        QTest::newRow("121 anos") << "10/06/1905" << "Data Inválida (121 anos)";
        QTest::newRow("futuro") << "11/06/2026" << "Data Inválida (-1 anos)";
        QTest::newRow("hoje") << "10/06/2026" << "";
    }
    void idade()
    {
        QFETCH(QString, nasc);
        QFETCH(QString, mensagem);
        QCOMPARE(VerificaIdade(nasc, QDate(2026, 6, 10)).mensagem, mensagem);
    }

    void duplicidade_data()
    {
        QTest::addColumn<QString>("coluna");
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QString>("codigoTela");
        QTest::addColumn<QString>("aviso");
        QTest::newRow("nome de outro") << "Nome" << "JOSE DA SILVA" << "" << "Nome já cadastrado para JOSE DA SILVA, de código 10";
        QTest::newRow("o proprio") << "Nome" << "JOSE DA SILVA" << "10" << "";
        QTest::newRow("outra origem") << "Nome" << "PEDRO ALVES" << "4" << "Nome já cadastrado para PEDRO ALVES, de código 3";
        QTest::newRow("nome curto") << "Nome" << "ANA" << "" << "";
        QTest::newRow("dois brancos") << "Nome" << "  JOSE DA SILVA" << "" << "";
        QTest::newRow("cartao") << "CartaoSUS" << "700000000000001" << "" << "CartaoSUS já cadastrado para PEDRO ALVES, de código 3";
        QTest::newRow("nao cadastrado") << "Nome" << "NINGUEM" << "" << "";
        QTest::newRow("aspas") << "Nome" << "D'AVILA" << "" << "Nome já cadastrado para D'AVILA, de código 11";
        QTest::newRow("sem acentos") << "Nome" << "JOSE DA CONCEICAO" << ""
                                     << "Nome já cadastrado para JOSÉ DA CONCEIÇÃO, de código 13";
        QTest::newRow("acentos e minusculas") << "Nome" << "josé da conceiÇão" << ""
                                              << "Nome já cadastrado para JOSÉ DA CONCEIÇÃO, de código 13";
        QTest::newRow("apostrofo nao e ignorado") << "Nome" << "DAVILA" << "" << "";
    }
    void duplicidade()
    {
        QFETCH(QString, coluna);
        QFETCH(QString, valor);
        QFETCH(QString, codigoTela);
        QFETCH(QString, aviso);
        if (!m_dup) {
            m_dup = std::make_unique<test::BancoTeste>();
            test::BancoTeste* b = m_dup.get();
            b->executa("insert into pessoas (cli_origem, codigo, nome) values ('4314902', 10, 'JOSE DA SILVA')");
            b->executa("insert into pessoas (cli_origem, codigo, nome) values ('4314902', 11, 'D''AVILA')");
            b->executa("insert into pessoas (cli_origem, codigo, nome) values ('4314902', 12, 'ANA')");
            b->executa("insert into pessoas (cli_origem, codigo, nome) values ('4314902', 13, 'JOSÉ DA CONCEIÇÃO')");
            b->executa("insert into pessoas (cli_origem, codigo, nome, cartaosus) values ('4300000', 3, 'PEDRO ALVES', "
                       "'700000000000001')");
        }
        m_dup->tr().inicia();
        QCOMPARE(AvisoDuplicidade(m_dup->tr(), coluna, valor, codigoTela), aviso);
        m_dup->tr().rollback();
    }

    void exclusao_data()
    {
        QTest::addColumn<bool>("comAutorizacao");
        QTest::addColumn<bool>("comAgendamento");
        QTest::addColumn<QString>("recusa");
        QTest::newRow("livre") << false << false << "";
        QTest::newRow("autorizacao") << true << false
                                     << "Este paciente não pode ser excluído, pois possui 1 autorização(ões).";
        QTest::newRow("agendamento") << false << true
                                     << "Este paciente não pode ser excluído, pois possui 1 agendamento(s).";
        QTest::newRow("ambos") << true << true
                               << "Este paciente não pode ser excluído, pois possui 1 autorização(ões) e 1 agendamento(s).";
    }
    void exclusao()
    {
        QFETCH(bool, comAutorizacao);
        QFETCH(bool, comAgendamento);
        QFETCH(QString, recusa);
        test::BancoTeste b;
        b.executa("insert into clientes (codigo, nome) values ('4314902', 'ALEGRIA')");
        b.executa("insert into profissionais (codigo, nome) values (1, 'DR')");
        b.executa("insert into pessoas (cli_origem, codigo, nome) values ('4314902', 8, 'OITO')");
        // Same code in another origin: its rows do not hold this patient.
        b.executa("insert into pessoas (cli_origem, codigo, nome) values ('4300000', 8, 'OUTRO OITO')");
        b.executa("insert into marcacao (cli_origem, id_marcacao, codpessoa, data_imp_adm) values ('4300000', 1, 8, 'M')");
        if (comAutorizacao)
            b.executa("insert into marcacao (cli_origem, id_marcacao, codpessoa, data_imp_adm) values ('4314902', 5, 8, 'M')");
        if (comAgendamento)
            b.executa("insert into agenda (id_agenda, codprofissional, data, cli_origem, codpessoa) "
                      "values (1, 1, '2026-06-10', '4314902', 8)");
        QCOMPARE(ExcluiPaciente(b.tr(), "4314902", "8", "OITO"), recusa);
        QVERIFY(!b.tr().ativa());
        const int restantes = recusa.isEmpty() ? 0 : 1;
        QCOMPARE(b.valor("select count(*) from pessoas where cli_origem='4314902'").toInt(), restantes);
        QCOMPARE(b.valor("select count(*) from pessoas where cli_origem='4300000'").toInt(), 1);
        QCOMPARE(b.valor("select count(*) from logs where tabela='Pessoas' and situacao='D' and outrasinfo='8-OITO'").toInt(),
                 1 - restantes);
    }
};

QTEST_GUILESS_MAIN(TstPacientes)
#include "tst_pacientes.moc"
