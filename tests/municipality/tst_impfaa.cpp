#include "core/Configuracao.h"
#include "core/UVariaveis.h"
#include "exchange/MensagemXml.h"
#include "municipality/TRImpFAA.h"
#include "support/Fixtures.h"
#include "support/Galeria.h"
#include "support/Pdf.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

using namespace vx;

namespace {

const QDateTime kAgora(QDate(2015, 3, 2), QTime(14, 35, 10));
const QString kVias[] = {QStringLiteral("1ª Via - Consórcio"), QStringLiteral("2ª Via - Entidade"),
                         QStringLiteral("3ª Via - Município")};

QString todos(const rel::Documento& doc, int pagina) { return doc.textos(pagina).join(QLatin1Char('\n')); }

} // namespace

class TstImpFAA : public QObject {
    Q_OBJECT
private slots:
    void init();
    void titulos_data();
    void titulos();
    void linhaProcedimento_data();
    void linhaProcedimento();
    void pagamento_data();
    void pagamento();
    void cartaoSus_data();
    void cartaoSus();
    void tresViasNoPdf();
    void conteudoDaAutorizacao();
    void valoresOcultos();
    void marcadoPara();
    void reimpresso_data();
    void reimpresso();
    void paginaApac();
    void procedimentosDaMesmaCopia();
    void inexistente();
    void logo_data();
    void logo();
    void galeria();

private:
    void configura(const QStringList& extra = {});
    void insere(const QString& dataMarc = QStringLiteral("null"));
    PedidoFAA pedido(bool apac = false, bool reimpresso = false) const
    {
        PedidoFAA p;
        p.cliOrigem = QStringLiteral("4314902");
        p.idMarcacao = 123;
        p.apac = apac;
        p.reimpresso = reimpresso;
        return p;
    }

    std::unique_ptr<test::BancoTeste> m_b;
    QTemporaryDir m_dir;
};

void TstImpFAA::configura(const QStringList& extra)
{
    // A key given in extra replaces the default one (the first occurrence of a key is the one read).
    QStringList linhas{"USUARIO=M4314902", "CONSORCIO=CUNE", "CNES=2233445"};
    for (const QString& e : extra)
        linhas.removeIf([&](const QString& l) { return l.section(QLatin1Char('='), 0, 0) == e.section(QLatin1Char('='), 0, 0); });
    test::InstalaConfiguracao(m_b->pasta(), linhas + extra);
    CarregaIdentidade();
    SessaoAtual().UsuarioLogado = QStringLiteral("MARIA");
}

void TstImpFAA::insere(const QString& dataMarc)
{
    m_b->executa(QString::fromUtf8("update CLIENTES set NOME='São Leopoldo', FONES='(51) 3590-1234 ramal 22' "
                                   "where CODIGO='4314902'"));
    m_b->executa(QString::fromUtf8("insert into CID (CODIGO, DESCRICAO) values ('M54', 'DORSALGIA')"));
    m_b->executa(QString::fromUtf8("insert into ENTIDADES (CODIGO, RAZAOSOCIAL, CNES, ENDERECO) values "
                                   "(12, 'CLÍNICA VIDA LTDA', '7654321', 'Av. Brasil, 500')"));
    m_b->executa(QString::fromUtf8("insert into PROFISSIONAIS (CODIGO, NOME, CONTATO) values (42, 'DR. PAULO', null)"));
    m_b->executa(QString::fromUtf8(
        "insert into PROCEDIMENTOS (CODIGO, NOME, VALOR, CODTABSUS) values "
        "(301010072, 'CONSULTA MÉDICA EM ATENÇÃO ESPECIALIZADA', 10.10, '0301010072')"));
    m_b->executa(QString::fromUtf8(
        "insert into PROCEDIMENTOS (CODIGO, NOME, VALOR, CODTABSUS) values "
        "(202010503, 'DOSAGEM DE GLICOSE', 1234.00, '0202010503')"));
    m_b->executa(QString::fromUtf8(
        "insert into PESSOAS (CLI_ORIGEM, CODIGO, CARTAOSUS, NOME, DATANASC, SEXO, RACA, RESPONSAVEL, NOMEMAE, "
        "ENDERECO, FONES, OBS, ENDNUM, CODTIPOLOGRAD, CEP, BAIRRO) values ('4314902', 15, '898001160671234', "
        "'JOSÉ DA CONCEIÇÃO', '1980-03-05', 'M', '01', null, 'MARIA ANTÔNIA', 'AÇORES', '(51) 3333-4444', "
        "'obs da pessoa', 123, 81, '93000000', 'CENTRO')"));
    m_b->executa(QStringLiteral(
        "insert into MARCACAO (CLI_ORIGEM, ID_MARCACAO, DATA_IMP_ADM, CODPESSOA, CODENTIDADE, CODPROFISSIONAL, "
        "DATALANC, DATAMARC, HORAMARC, CODCID, CHAVEIMPRE, OBS) values ('4314902', 123, 'M', 15, 12, 42, "
        "'2015-03-02', %1, '08:30', 'M54', '1490200123347', 'Trazer exames anteriores')").arg(dataMarc));
    m_b->executa("insert into MARCACAO_PROCEDS (CLI_ORIGEM, ID_MARCACAO, DATA_IMP_ADM, CODPROCEDIMENTO, QUANTIDADE, "
                 "VALORTOTAL) values ('4314902', 123, 'M', 301010072, 3, 30.30)");
    m_b->executa("insert into MARCACAO_PROCEDS (CLI_ORIGEM, ID_MARCACAO, DATA_IMP_ADM, CODPROCEDIMENTO, QUANTIDADE, "
                 "VALORTOTAL) values ('4314902', 123, 'M', 202010503, 1, 1234.00)");
}

void TstImpFAA::init()
{
    m_b = std::make_unique<test::BancoTeste>();
    m_b->executa("insert into CLIENTES (CODIGO, NOME) values ('4314902', 'X')");
    configura();
    insere();
}

void TstImpFAA::titulos_data()
{
    QTest::addColumn<QString>("perfil");
    QTest::addColumn<QString>("titulo");
    QTest::addColumn<bool>("siaSus");
    QTest::newRow("cune") << "CUNE" << "AUTORIZAÇÃO PARA SERVIÇO ESPECIALIZADO VIA CUNE" << true;
    QTest::newRow("lower case") << "Cune Norte" << "AUTORIZAÇÃO PARA SERVIÇO ESPECIALIZADO VIA CUNE" << true;
    QTest::newRow("cevrandosa") << "CEVRANDOSA" << "AUTORIZAÇÃO P/ SERVIÇO ESPECIALIZADO VIA CEVRANDOSA" << true;
    QTest::newRow("caslune") << "caslune" << "AUTORIZAÇÃO PARA ATENDIMENTO VIA CASLUNE" << true;
    QTest::newRow("corvane") << "CORVANE" << "AUTORIZAÇÃO PARA ATENDIMENTO VIA CORVANE" << true;
    QTest::newRow("culvar") << "CULVAR" << "AUTORIZAÇÃO PARA ATENDIMENTO VIA CULVAR" << false;
    QTest::newRow("first row wins") << "CORVANE/CULVAR" << "AUTORIZAÇÃO PARA ATENDIMENTO VIA CORVANE" << true;
    QTest::newRow("other") << "OUTRO" << "AUTORIZAÇÃO PARA ATENDIMENTO VIA CUMBEL" << true;
    QTest::newRow("empty") << "" << "AUTORIZAÇÃO PARA ATENDIMENTO VIA CUMBEL" << true;
}

void TstImpFAA::titulos()
{
    QFETCH(QString, perfil);
    QFETCH(QString, titulo);
    QFETCH(bool, siaSus);
    QCOMPARE(TituloFAA(perfil), titulo);
    QCOMPARE(RotuloSiaSusFAA(perfil).isEmpty(), !siaSus);

    configura({QStringLiteral("CONSORCIO=") + perfil});
    auto doc = TRImpFAA::Gera(m_b->tr(), pedido(), kAgora);
    const QStringList t = doc->textos(0);
    QVERIFY(t.contains(titulo));
    QCOMPARE(t.contains(QStringLiteral("SIA/SUS")), siaSus);
}

void TstImpFAA::linhaProcedimento_data()
{
    QTest::addColumn<qint64>("qt");
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("valor");
    QTest::addColumn<bool>("mostra");
    QTest::addColumn<QString>("linha");
    const QString pad = QStringLiteral("0301010072 - CONSULTA").leftJustified(60);
    QTest::newRow("one") << qint64(1) << "CONSULTA" << "10.10" << true << pad + "  R$ 10,10";
    QTest::newRow("zero has no prefix") << qint64(0) << "CONSULTA" << "0" << true << pad + "  R$ 0,00";
    QTest::newRow("three") << qint64(3) << "CONSULTA" << "30.30" << true
                           << QStringLiteral("3 x 0301010072 - CONSULTA").leftJustified(60) + "  R$ 30,30";
    QTest::newRow("thousands") << qint64(1) << "CONSULTA" << "12345.6" << true << pad + "  R$ 12.345,60";
    QTest::newRow("hidden amount") << qint64(1) << "CONSULTA" << "10.10" << false << pad;
    const QString longo = QStringLiteral("TOMOGRAFIA COMPUTADORIZADA DE ABDOMEN SUPERIOR COM CONTRASTE");
    QTest::newRow("cut at 60") << qint64(2) << longo << "99.00" << true
                               << QStringLiteral("2 x 0301010072 - ") + longo.left(43) + "  R$ 99,00";
}

void TstImpFAA::linhaProcedimento()
{
    QFETCH(qint64, qt);
    QFETCH(QString, nome);
    QFETCH(QString, valor);
    QFETCH(bool, mostra);
    QFETCH(QString, linha);
    const QString l = LinhaProcedimentoFAA(qt, QStringLiteral("0301010072"), nome, *Decimal::parse(valor), mostra);
    QCOMPARE(l, linha);
    QVERIFY(l.left(60).size() == 60 && (mostra || l.size() == 60));
}

void TstImpFAA::pagamento_data()
{
    QTest::addColumn<QString>("municipio");
    QTest::addColumn<QString>("perfil");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<bool>("aviso");
    QTest::newRow("paid") << "São Leopoldo" << "CUNE" << "Atendimento pago pelo Município de SÃO LEOPOLDO" << true;
    QTest::newRow("campina") << "Nova Campina" << "CUNE" << "Atend. encaminhado pelo Município de NOVA CAMPINA" << false;
    QTest::newRow("corvane") << "Canoas" << "corvane" << "Atend. encaminhado pelo Município de CANOAS" << false;
}

void TstImpFAA::pagamento()
{
    QFETCH(QString, municipio);
    QFETCH(QString, perfil);
    QFETCH(QString, texto);
    QFETCH(bool, aviso);
    const PagamentoFAA p = TextoPagamentoFAA(municipio, perfil);
    QCOMPARE(p.texto, texto);
    QCOMPARE(p.avisoCobranca, aviso);

    m_b->executa(QStringLiteral("update CLIENTES set NOME=%1 where CODIGO='4314902'")
                     .arg(QLatin1Char('\'') + municipio + QLatin1Char('\'')));
    configura({QStringLiteral("CONSORCIO=") + perfil});
    const QStringList t = TRImpFAA::Gera(m_b->tr(), pedido(), kAgora)->textos(2);
    QVERIFY(t.contains(texto));
    QCOMPARE(t.contains(QStringLiteral("PROIBIDA A COBRANÇA DE VALORES AO PACIENTE!")), aviso);
}

void TstImpFAA::cartaoSus_data()
{
    QTest::addColumn<QString>("numero");
    QTest::addColumn<QString>("formatado");
    QTest::newRow("15 digits") << "898001160671234" << "898.0011.6067.1234";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("short") << "1234567" << "123.4567";
}

void TstImpFAA::cartaoSus()
{
    QFETCH(QString, numero);
    QFETCH(QString, formatado);
    QCOMPARE(FormataCartaoSusFAA(numero), formatado);
}

void TstImpFAA::tresViasNoPdf()
{
    // Two jobs in a row: the second starts again at the first copy.
    TRImpFAA::Gera(m_b->tr(), pedido(), kAgora);
    auto doc = TRImpFAA::Gera(m_b->tr(), pedido(), kAgora);
    QCOMPARE(doc->numPaginas(), 3);
    const QString pdf = m_dir.filePath(QStringLiteral("faa.pdf"));
    QVERIFY(rel::GravaPdf(*doc, pdf));
    const QStringList pg = test::PaginasPdf(pdf);
    QCOMPARE(pg.size(), 3);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            QCOMPARE(pg[i].contains(kVias[j]), i == j);
        QVERIFY(pg[i].contains(QStringLiteral("1490200123347")));
        QVERIFY(pg[i].contains(QStringLiteral("Ass.Usuário/Resp.")));
        QCOMPARE(pg[i].contains(QStringLiteral("Ass. Profissional")), i < 2);
        QCOMPARE(pg[i].contains(QStringLiteral("Ass. Autorizador")), i == 2);
        QVERIFY(pg[i].contains(QStringLiteral("JOSÉ DA CONCEIÇÃO")));
        QVERIFY(!pg[i].contains(QStringLiteral("DOCUMENTO REIMPRESSO")));
    }
}

void TstImpFAA::conteudoDaAutorizacao()
{
    auto doc = TRImpFAA::Gera(m_b->tr(), pedido(), kAgora);
    const QStringList t = doc->textos(0);
    // The birthday is three days away: still 34.
    QVERIFY(t.contains(QStringLiteral("Nasc.: 05/03/1980 => 34 anos.   Sexo: M   Raça: 01")));
    QVERIFY(t.contains(QStringLiteral("898.0011.6067.1234")));
    QVERIFY(t.contains(QStringLiteral("Nome Mãe: MARIA ANTÔNIA")));
    QVERIFY(!todos(*doc, 0).contains(QStringLiteral("Responsável:")));
    QVERIFY(t.contains(QStringLiteral("Endereço: RUA AÇORES, 123")));
    QVERIFY(t.contains(QStringLiteral("Bairro: CENTRO - CEP: 93000000")));
    QVERIFY(t.contains(QStringLiteral("Trazer exames anteriores")));
    QVERIFY(!t.contains(QStringLiteral("obs da pessoa")));
    QVERIFY(t.contains(QStringLiteral("02/03/2015 14:35")));
    QVERIFY(t.contains(QStringLiteral("12-CLÍNICA VIDA LTDA")));
    QVERIFY(t.contains(QStringLiteral("42-DR. PAULO")));
    QVERIFY(t.contains(QStringLiteral("Av. Brasil, 500"))); // the professional has no contact
    QVERIFY(t.contains(QStringLiteral("M54")));
    QVERIFY(t.contains(QStringLiteral("DORSALGIA")));
    QVERIFY(t.contains(QStringLiteral("3 x 0301010072 - CONSULTA MÉDICA EM ATENÇÃO ESPECIALIZADA")));
    QVERIFY(t.contains(QStringLiteral("0202010503 - DOSAGEM DE GLICOSE")));
    QVERIFY(t.contains(QStringLiteral("R$ 30,30")));
    QVERIFY(t.contains(QStringLiteral("R$ 1.234,00")));
    QVERIFY(t.contains(QStringLiteral("SÃO LEOPOLDO")));
    QVERIFY(t.contains(QStringLiteral("(51) 3590-1234"))); // first 15 characters
    QVERIFY(t.contains(QStringLiteral("Atendimento pago pelo Município de SÃO LEOPOLDO")));
    QVERIFY(t.contains(QStringLiteral("CUNE")));
    QVERIFY(t.contains(QStringLiteral("2233445")));
    QVERIFY(t.contains(QStringLiteral("Versão %1  Op.: MARIA").arg(QLatin1String(VersaoPrograma))));

    m_b->executa("update PESSOAS set RESPONSAVEL='PEDRO' where CODIGO=15");
    m_b->executa("update PROFISSIONAIS set CONTATO='Rua da Praia, 10' where CODIGO=42");
    const QStringList t2 = TRImpFAA::Gera(m_b->tr(), pedido(), kAgora)->textos(0);
    QVERIFY(t2.contains(QStringLiteral("Responsável: PEDRO")));
    QVERIFY(t2.contains(QStringLiteral("Rua da Praia, 10")));
    QVERIFY(!t2.contains(QStringLiteral("Av. Brasil, 500")));
}

void TstImpFAA::valoresOcultos()
{
    m_b->executa("update CLIENTES set MOSTRARVALOR='N' where CODIGO='4314902'");
    auto doc = TRImpFAA::Gera(m_b->tr(), pedido(true), kAgora);
    for (int i = 0; i < doc->numPaginas(); ++i) {
        QVERIFY(!todos(*doc, i).contains(QStringLiteral("R$")));
        QVERIFY(!todos(*doc, i).contains(QStringLiteral("30,30")));
    }
    QVERIFY(doc->textos(0).contains(QStringLiteral("3 x 0301010072 - CONSULTA MÉDICA EM ATENÇÃO ESPECIALIZADA")));
}

void TstImpFAA::marcadoPara()
{
    auto sem = TRImpFAA::Gera(m_b->tr(), pedido(), kAgora);
    for (int i = 0; i < 3; ++i)
        QVERIFY(!todos(*sem, i).contains(QStringLiteral("Marcado para:")));

    m_b->executa("update MARCACAO set DATAMARC='2015-03-10' where ID_MARCACAO=123");
    const QStringList t = TRImpFAA::Gera(m_b->tr(), pedido(), kAgora)->textos(1);
    QVERIFY(t.contains(QStringLiteral("Marcado para:")));
    QVERIFY(t.contains(QStringLiteral("10/03/2015  08:30")));
}

void TstImpFAA::reimpresso_data()
{
    QTest::addColumn<bool>("reimpresso");
    QTest::newRow("first print") << false;
    QTest::newRow("reprint") << true;
}

void TstImpFAA::reimpresso()
{
    QFETCH(bool, reimpresso);
    auto doc = TRImpFAA::Gera(m_b->tr(), pedido(false, reimpresso), kAgora);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(doc->textos(i).contains(QStringLiteral("DOCUMENTO REIMPRESSO")), reimpresso);
}

void TstImpFAA::paginaApac()
{
    auto doc = TRImpFAA::Gera(m_b->tr(), pedido(true), kAgora);
    QCOMPARE(doc->numPaginas(), 4);
    const QString pdf = m_dir.filePath(QStringLiteral("apac.pdf"));
    QVERIFY(rel::GravaPdf(*doc, pdf));
    const QStringList pg = test::PaginasPdf(pdf);
    QCOMPARE(pg.size(), 4);
    QVERIFY(pg[2].contains(kVias[2]));
    QVERIFY(!pg[3].contains(kVias[2]));
    QVERIFY(pg[3].contains(QStringLiteral("LAUDO MÉDICO PARA PROCEDIMENTOS DE ALTA COMPLEXIDADE")));

    const QStringList t = doc->textos(3);
    QVERIFY(t.contains(QStringLiteral("LAUDO MÉDICO PARA PROCEDIMENTOS DE ALTA COMPLEXIDADE   -  APAC")));
    for (const char* v : {"CUNE", "2233445", "JOSÉ DA CONCEIÇÃO", "898001160671234", "05/03/1980", "M", "01",
                          "MARIA ANTÔNIA", "(51) 3333-4444", "RUA AÇORES, 123 - CENTRO", "SÃO LEOPOLDO", "4314902",
                          "RS", "93000000", "12-CLÍNICA VIDA LTDA", "7654321", "DORSALGIA", "M54", "0301010072",
                          "CONSULTA MÉDICA EM ATENÇÃO ESPECIALIZADA", "0202010503", "DOSAGEM DE GLICOSE"})
        QVERIFY2(t.contains(QString::fromUtf8(v)), v);
    QCOMPARE(t.count(QStringLiteral("01")), 3); // race and each procedure's quantity
    QVERIFY(!t.contains(QStringLiteral("3")));
    QVERIFY(t.contains(QStringLiteral("AUTORIZAÇÃO")));
    QVERIFY(t.contains(QStringLiteral("SOLICITAÇÃO")));
}

void TstImpFAA::procedimentosDaMesmaCopia()
{
    // The same authorization received again under another DATA_IMP_ADM with other procedures.
    m_b->executa("insert into MARCACAO (CLI_ORIGEM, ID_MARCACAO, DATA_IMP_ADM, CODPESSOA, CHAVEIMPRE) "
                 "values ('4314902', 123, '107000000000000', 15, 'OUTRA')");
    m_b->executa("insert into MARCACAO_PROCEDS (CLI_ORIGEM, ID_MARCACAO, DATA_IMP_ADM, CODPROCEDIMENTO, QUANTIDADE, "
                 "VALORTOTAL) values ('4314902', 123, '107000000000000', 202010503, 5, 50.00)");
    const QString t = todos(*TRImpFAA::Gera(m_b->tr(), pedido(), kAgora), 0);
    QVERIFY(t.contains(QStringLiteral("1490200123347")));
    QVERIFY(!t.contains(QStringLiteral("OUTRA")));
    QVERIFY(!t.contains(QStringLiteral("5 x ")));

    PedidoFAA p = pedido();
    p.dataImpAdm = QStringLiteral("107000000000000");
    const QString o = todos(*TRImpFAA::Gera(m_b->tr(), p, kAgora), 0);
    QVERIFY(o.contains(QStringLiteral("OUTRA")));
    QVERIFY(o.contains(QStringLiteral("5 x 0202010503 - DOSAGEM DE GLICOSE")));
    QVERIFY(!o.contains(QStringLiteral("CONSULTA")));
}

void TstImpFAA::inexistente()
{
    PedidoFAA p = pedido();
    p.idMarcacao = 999;
    QVERIFY_THROWS_EXCEPTION(ErroMensagem, TRImpFAA::Gera(m_b->tr(), p, kAgora));
}

void TstImpFAA::logo_data()
{
    QTest::addColumn<QString>("configurado");
    QTest::addColumn<bool>("usaConfigurado");
    QTest::newRow("empty") << "" << false;
    QTest::newRow("windows path") << "C:\\Consorcio\\logo.bmp" << false;
    QTest::newRow("missing file") << "/nao/existe/logo.png" << false;
    QTest::newRow("existing file") << "<arquivo>" << true;
}

void TstImpFAA::logo()
{
    QFETCH(QString, configurado);
    QFETCH(bool, usaConfigurado);
    // The installation's logo is red, the configured one blue.
    QImage vermelho(200, 100, QImage::Format_RGB32);
    vermelho.fill(Qt::red);
    QVERIFY(vermelho.save(CaminhoInstalacao(QStringLiteral("logoconsorcio.jpg")), "JPG", 95));
    if (configurado == QLatin1String("<arquivo>")) {
        configurado = m_dir.filePath(QStringLiteral("logo.png"));
        QImage azul(200, 100, QImage::Format_RGB32);
        azul.fill(Qt::blue);
        QVERIFY(azul.save(configurado));
    }
    configura({QStringLiteral("LOGO=") + configurado});
    QCOMPARE(CaminhoLogoFAA(configurado),
             usaConfigurado ? configurado : CaminhoInstalacao(QStringLiteral("logoconsorcio.jpg")));

    auto doc = TRImpFAA::Gera(m_b->tr(), pedido(), kAgora);
    const QImage pagina = rel::ImagemPagina(*doc, 0, 50);
    // Middle of the logo area, 10 mm margin + 18 mm across and 13 mm down.
    const QRgb c = pagina.pixel(qRound(28 / 25.4 * 50), qRound(23 / 25.4 * 50));
    if (usaConfigurado)
        QVERIFY(qBlue(c) > 200 && qRed(c) < 60);
    else
        QVERIFY(qRed(c) > 200 && qBlue(c) < 60);
}

void TstImpFAA::galeria()
{
    QVERIFY(test::InstalaLogoDemo());
    m_b->executa("update MARCACAO set DATAMARC='2015-03-10' where ID_MARCACAO=123");
    m_b->executa("update PESSOAS set RESPONSAVEL='PEDRO DA CONCEIÇÃO' where CODIGO=15");
    const QString pasta = test::PastaTelas();
    auto normal = TRImpFAA::Gera(m_b->tr(), pedido(false, true), kAgora);
    for (int i = 0; i < normal->numPaginas(); ++i)
        QVERIFY(rel::ImagemPagina(*normal, i, 110).save(pasta + QStringLiteral("/faa_normal_%1.png").arg(i + 1)));
    auto apac = TRImpFAA::Gera(m_b->tr(), pedido(true), kAgora);
    QCOMPARE(apac->numPaginas(), 4);
    for (int i = 0; i < apac->numPaginas(); ++i)
        QVERIFY(rel::ImagemPagina(*apac, i, 110).save(pasta + QStringLiteral("/faa_apac_%1.png").arg(i + 1)));
}

QTEST_MAIN(TstImpFAA)
#include "tst_impfaa.moc"
