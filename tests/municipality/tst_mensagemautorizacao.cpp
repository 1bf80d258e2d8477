#include "core/Banco.h"
#include "core/UVariaveis.h"
#include "exchange/MensagemXml.h"
#include "exchange/ftp/TransporteFtp.h"
#include "municipality/MensagemAutorizacao.h"
#include "support/Fixtures.h"

#include <QtTest>

using namespace vx;

namespace {

const QDateTime kAgora(QDate(2015, 3, 2), QTime(10, 20, 30));

QByteArray conteudo(const QString& p)
{
    QFile f(p);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<ausente>");
}

bool temColuna(test::BancoTeste& b, const char* tabela, const char* coluna)
{
    return b.valor(QStringLiteral("select 1 from rdb$relation_fields where rdb$relation_name='%1' and rdb$field_name='%2'")
                       .arg(QLatin1String(tabela), QLatin1String(coluna)))
        .isValid();
}

// A database at the current schema, or (while the schema lacks these columns) the tables of the
// message with their documented columns.
std::unique_ptr<test::BancoTeste> novoBanco()
{
    std::unique_ptr<test::BancoTeste> b;
    try {
        b = std::make_unique<test::BancoTeste>();
        if (temColuna(*b, "PESSOAS", "ETNIA") && temColuna(*b, "MARCACAO", "DATA_IMP_ADM") &&
            temColuna(*b, "MARCACAO_PROCEDS", "VALORTOTAL") && temColuna(*b, "MARCACAO", "CARATER"))
            return b;
    } catch (const std::exception&) {
    }
    b = std::make_unique<test::BancoTeste>(false);
    b->executa("create table CLIENTES (CODIGO varchar(7) not null primary key, NOME varchar(100))");
    b->executa("create table PROCEDIMENTOS (CODIGO integer not null primary key, NOME varchar(100), VALOR numeric(10,2))");
    b->executa("create table PESSOAS (CLI_ORIGEM varchar(7) not null, CODIGO integer not null, CARTAOSUS varchar(20), "
               "NOME varchar(100), DATANASC date, SEXO char(1), RACA varchar(2), RESPONSAVEL varchar(100), "
               "NOMEMAE varchar(100), ENDERECO varchar(100), FONES varchar(50), OBS varchar(500), ENDNUM integer, "
               "CODTIPOLOGRAD integer, CEP varchar(8), BAIRRO varchar(40), ETNIA varchar(3), primary key (CLI_ORIGEM, CODIGO))");
    b->executa("create table MARCACAO (CLI_ORIGEM varchar(7) not null, ID_MARCACAO integer not null, "
               "DATA_IMP_ADM varchar(15) not null, CODPESSOA integer, CODENTIDADE integer, CODPROFISSIONAL integer, "
               "DATALANC date, DATAMARC date, HORAMARC varchar(5), DATAREALIZACAO date, DATABLOQUEIO date, "
               "CODCID varchar(10), CHAVEIMPRE varchar(20), OBS varchar(100), CARATER integer, IDADE integer, "
               "DATA_DIGITACAO timestamp, DATA_IMPORTACAO timestamp, CODUNIDADE integer, USUARIO varchar(15), "
               "primary key (CLI_ORIGEM, ID_MARCACAO, DATA_IMP_ADM))");
    b->executa("create table MARCACAO_PROCEDS (CLI_ORIGEM varchar(7) not null, ID_MARCACAO integer not null, "
               "DATA_IMP_ADM varchar(15) not null, CODPROCEDIMENTO integer not null, QUANTIDADE integer, "
               "REALIZADO char(1), VALORTOTAL numeric(10,2), VALORTOTALSUS numeric(10,2), "
               "primary key (CLI_ORIGEM, ID_MARCACAO, CODPROCEDIMENTO, DATA_IMP_ADM))");
    return b;
}

void insereAutorizacao(test::BancoTeste& b, const QString& stamp, const QString& realizado1, const QString& realizado2)
{
    b.executa(QStringLiteral("insert into MARCACAO (CLI_ORIGEM, ID_MARCACAO, DATA_IMP_ADM, CODPESSOA, CODENTIDADE, "
                             "CODPROFISSIONAL, DATALANC, DATAMARC, HORAMARC, DATAREALIZACAO, CODCID, CHAVEIMPRE, OBS, "
                             "CARATER, DATA_DIGITACAO) values ('4314902', 123, '%1', 15, 12, 42, '2015-03-02', null, "
                             "'  :  ', null, 'M54', '1490200123347', 'Retorno & revisão', 1, '2015-03-02 10:11:12')")
                  .arg(stamp));
    b.executa(QStringLiteral("insert into MARCACAO_PROCEDS (CLI_ORIGEM, ID_MARCACAO, DATA_IMP_ADM, CODPROCEDIMENTO, "
                             "QUANTIDADE, VALORTOTAL, REALIZADO) values ('4314902', 123, '%1', 301010072, 3, 30.30, %2)")
                  .arg(stamp, realizado1));
    b.executa(QStringLiteral("insert into MARCACAO_PROCEDS (CLI_ORIGEM, ID_MARCACAO, DATA_IMP_ADM, CODPROCEDIMENTO, "
                             "QUANTIDADE, VALORTOTAL, REALIZADO) values ('4314902', 123, '%1', 202010503, 1, 12.00, %2)")
                  .arg(stamp, realizado2));
}

void cadastros(test::BancoTeste& b)
{
    b.executa(QString::fromUtf8("insert into CLIENTES (CODIGO, NOME) values ('4314902', 'Prefeitura de São Leopoldo & Região')"));
    b.executa(QString::fromUtf8("insert into PROCEDIMENTOS (CODIGO, NOME, VALOR) values "
                                "(301010072, 'CONSULTA MÉDICA EM ATENÇÃO ESPECIALIZADA', 10.10)"));
    b.executa("insert into PROCEDIMENTOS (CODIGO, NOME, VALOR) values (202010503, 'DOSAGEM DE GLICOSE', 12.00)");
    b.executa(QString::fromUtf8(
        "insert into PESSOAS (CLI_ORIGEM, CODIGO, CARTAOSUS, NOME, DATANASC, SEXO, RACA, RESPONSAVEL, NOMEMAE, "
        "ENDERECO, FONES, OBS, ENDNUM, CODTIPOLOGRAD, CEP, BAIRRO, ETNIA) values ('4314902', 15, '898001160671234', "
        "'José <Zé> da Conceição & Filhos', '1980-03-05', 'M', '01', null, 'Maria Antônia', 'Rua Açores', "
        "'(51) 3333-4444', 'paciente \"especial\" > 60', 123, null, '93000000', 'Centro', null)"));
}

} // namespace

class TstMensagemAutorizacao : public QObject {
    Q_OBJECT
private slots:
    void init();
    void nomeArquivo_data();
    void nomeArquivo();
    void finalizacaoByteAByte();
    void recriadaMunicipio();
    void leituraDevolveOsDados();
    void autorizacaoInexistente();
    void recriadaPrestadorUmaCopia();
    void realizacaoByteAByte();

private:
    std::unique_ptr<test::BancoTeste> m_b;
};

void TstMensagemAutorizacao::init()
{
    m_b = novoBanco();
    cadastros(*m_b);
    test::InstalaConfiguracao(m_b->pasta(), {"USUARIO=M4314902", "CONSORCIO=CUNE"});
    CarregaIdentidade();
}

void TstMensagemAutorizacao::nomeArquivo_data()
{
    QTest::addColumn<QString>("origem");
    QTest::addColumn<qint64>("id");
    QTest::addColumn<QString>("usuario");
    QTest::addColumn<QString>("nome");
    QTest::newRow("authorization 123") << "4314902" << qint64(123) << "" << "M4314902_ID0000123.xml";
    QTest::newRow("short origin padded") << "431490" << qint64(5) << "" << "M0431490_ID0000005.xml";
    QTest::newRow("consortium number") << "4314902" << qint64(1000001) << "" << "M4314902_ID1000001.xml";
    QTest::newRow("provider copy") << "4314902" << qint64(123) << "E12" << "M4314902_ID0000123_E12.xml";
}

void TstMensagemAutorizacao::nomeArquivo()
{
    QFETCH(QString, origem);
    QFETCH(qint64, id);
    QFETCH(QString, usuario);
    QFETCH(QString, nome);
    QCOMPARE(NomeMensagemAutorizacao(origem, id, usuario), nome);
    if (usuario.isEmpty())
        QCOMPARE(nome.size(), 22);
}

void TstMensagemAutorizacao::finalizacaoByteAByte()
{
    insereAutorizacao(*m_b, "M", "null", "null");
    m_b->tr().inicia();
    const QString nome = GravaMensagemAutorizacao(m_b->tr(), "4314902", QString::fromUtf8("São Leopoldo"), 123, kAgora);
    QCOMPARE(nome, QStringLiteral("M4314902_ID0000123.xml"));
    QCOMPARE(conteudo(PastaEnvio() + nome), conteudo(VX_TEST_DATA_DIR "/mensagem_autorizacao.xml"));
}

void TstMensagemAutorizacao::recriadaMunicipio()
{
    insereAutorizacao(*m_b, "M", "null", "null");
    m_b->tr().inicia();
    // An older file of the same name is replaced.
    QFile velho(PastaEnvio() + "M4314902_ID0000123.xml");
    velho.open(QIODevice::WriteOnly);
    velho.write(QByteArray(5000, 'x'));
    velho.close();
    QCOMPARE(RecriaMensagem(m_b->tr(), "4314902", 123, "M4314902_ID0000123.xml", kAgora), qint64(42));
    QCOMPARE(conteudo(PastaEnvio() + "M4314902_ID0000123.xml"), conteudo(VX_TEST_DATA_DIR "/mensagem_autorizacao_recriada.xml"));
}

void TstMensagemAutorizacao::leituraDevolveOsDados()
{
    insereAutorizacao(*m_b, "M", "null", "null");
    m_b->tr().inicia();
    RecriaMensagem(m_b->tr(), "4314902", 123, "M4314902_ID0000123.xml", kAgora);
    const LeitorMensagem m = LeitorMensagem::doArquivo(PastaEnvio() + "M4314902_ID0000123.xml");
    QCOMPARE(m.raiz().nome, QStringLiteral("mensagemVXO"));
    QCOMPARE(m.raiz().atributo("xmlns"), QStringLiteral("urn:sngpc-schema"));

    Consulta q(m_b->tr());
    q.abre("select p.nome, p.obs, c.nome as nomemun, m.obs as obsm, m.horamarc from pessoas p, marcacao m, clientes c "
           "where p.cli_origem=m.cli_origem and p.codigo=m.codpessoa and c.codigo=m.cli_origem");
    QCOMPARE(m.valor("paciente/nome"), q.campo("NOME").texto());
    QCOMPARE(m.valor("paciente/obs"), q.campo("OBS").texto());
    QCOMPARE(m.valor("cabecalho/municipio"), q.campo("NOMEMUN").texto());
    QCOMPARE(m.valor("marcacao/obs"), q.campo("OBSM").texto());
    QCOMPARE(m.valor("marcacao/horamarc"), QStringLiteral("  :  "));
    QCOMPARE(m.valor("marcacao/datamarc"), QString());
    QCOMPARE(m.valor("marcacao/naoexiste"), QString());

    const auto dets = m.elementos("marcacao/procedimentos/det");
    QCOMPARE(dets.size(), 2);
    QCOMPARE(dets.at(0)->atributo("nSeq"), QStringLiteral("1"));
    QCOMPARE(dets.at(1)->atributo("nSeq"), QStringLiteral("2"));
    Consulta p(m_b->tr());
    p.abre("select sum(valortotal) as t, count(*) as n from marcacao_proceds");
    Decimal soma;
    for (const auto* d : dets)
        soma = soma + *Decimal::parse(d->valor("valortotal"));
    QCOMPARE(soma, p.campo("T").decimal());
    QCOMPARE(dets.at(0)->valor("nome"), QString::fromUtf8("CONSULTA MÉDICA EM ATENÇÃO ESPECIALIZADA"));
}

void TstMensagemAutorizacao::autorizacaoInexistente()
{
    m_b->tr().inicia();
    QVERIFY_THROWS_EXCEPTION(ErroMensagem, RecriaMensagem(m_b->tr(), "4314902", 999, "M4314902_ID0000999.xml", kAgora));
    QVERIFY(!QFile::exists(PastaEnvio() + "M4314902_ID0000999.xml"));
    QVERIFY_THROWS_EXCEPTION(ErroMensagem, MontaMensagemAutorizacao(m_b->tr(), "4314902", "X", 999, kAgora));
}

void TstMensagemAutorizacao::recriadaPrestadorUmaCopia()
{
    // A provider keeps one copy per import; only the first copy with realized procedures counts.
    test::InstalaConfiguracao(m_b->pasta(), {"USUARIO=e12", "CONSORCIO=CUNE"});
    CarregaIdentidade();
    m_b->executa("insert into MARCACAO (CLI_ORIGEM, ID_MARCACAO, DATA_IMP_ADM, CODPESSOA, CODPROFISSIONAL, OBS) "
                 "values ('4314902', 123, '01/03/2015 111', 15, 7, 'sem procedimentos')");
    insereAutorizacao(*m_b, "02/03/2015 222", "'S'", "null");
    insereAutorizacao(*m_b, "03/03/2015 333", "'S'", "null");
    m_b->executa("update MARCACAO set DATAREALIZACAO='2015-03-10' where DATA_IMP_ADM<>'01/03/2015 111'");
    m_b->tr().inicia();
    const QString nome = NomeMensagemAutorizacao("4314902", 123, "E12");
    QCOMPARE(RecriaMensagem(m_b->tr(), "4314902", 123, nome, kAgora), qint64(42));
    const LeitorMensagem m = LeitorMensagem::doArquivo(PastaEnvio() + nome);
    QCOMPARE(m.valor("cabecalho/respEnvio"), QStringLiteral("e12")); // as configured
    QCOMPARE(m.valor("cabecalho/nomeResp"), QStringLiteral("(Arquivo Recriado)"));
    QCOMPARE(m.valor("cabecalho/codMun"), QStringLiteral("4314902"));
    QCOMPARE(m.valor("cabecalho/municipio"), QString());
    QCOMPARE(m.valor("marcacao/datarealizacao"), QStringLiteral("10/03/2015"));
    QCOMPARE(m.valor("marcacao/datadigitacao"), QStringLiteral("02/03/2015"));
    const auto dets = m.elementos("marcacao/procedimentos/det");
    QStringList codigos;
    for (const auto* d : dets)
        codigos << d->valor("codigo");
    QCOMPARE(codigos, QStringList{"301010072"}); // realized only, one copy only
    QCOMPARE(dets.first()->atributo("nSeq"), QStringLiteral("1"));
    QVERIFY(!conteudo(PastaEnvio() + nome).endsWith("\r\n"));
}

void TstMensagemAutorizacao::realizacaoByteAByte()
{
    // Confirmed by entity 12: one of the two procedures realized, the sender's name escaped.
    test::InstalaConfiguracao(m_b->pasta(), {"USUARIO=e12", "CONSORCIO=CUNE"});
    CarregaIdentidade();
    insereAutorizacao(*m_b, "02/03/2015 222", "'S'", "null");
    m_b->executa("update MARCACAO set DATAREALIZACAO='2015-03-09', DATA_DIGITACAO='2015-03-10 08:15:00'");
    m_b->executa("update MARCACAO_PROCEDS set VALORTOTAL=150 where CODPROCEDIMENTO=301010072");
    const MensagemRealizacao m =
        GravaMensagemRealizacao(m_b->tr(), "1490200123347", QString::fromUtf8("CLÍNICA <VIDA> & CIA"), kAgora);
    QCOMPARE(m.arquivo, QStringLiteral("M4314902_ID0000123_E12.xml"));
    QCOMPARE(m.cliOrigem, QStringLiteral("4314902"));
    QCOMPARE(m.idMarcacao, qint64(123));
    QCOMPARE(conteudo(PastaEnvio() + m.arquivo), conteudo(VX_TEST_DATA_DIR "/mensagem_realizacao.xml"));
    QVERIFY_THROWS_EXCEPTION(ErroMensagem, MontaMensagemRealizacao(m_b->tr(), "999", "X", kAgora));
}

QTEST_GUILESS_MAIN(TstMensagemAutorizacao)
#include "tst_mensagemautorizacao.moc"
