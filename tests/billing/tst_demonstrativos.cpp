#include "billing/Demonstrativos.h"
#include "billing/TRFaturamento.h"
#include "core/Utilitarios.h"
#include "support/Fixtures.h"
#include "support/Pdf.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace vx;

namespace {

const QDate kInicio(2015, 3, 1), kFim(2015, 3, 31);
const QString kCinco = QStringLiteral("CANOAS-P.ALEGRE-S.LEO-ALV-N.HAMB-");

PedidoDemonstrativo pedido(const QString& perfil, bool entidades, bool taxas = false, bool listar = false)
{
    PedidoDemonstrativo p;
    p.inicio = kInicio;
    p.fim = kFim;
    p.perfil = perfil;
    p.entidades = entidades;
    p.taxas = taxas;
    p.listarMunicipios = listar;
    return p;
}

// Texts on the line of the "Total Geral:" label (last page), label left out, in band order.
QStringList linhaTotais(rel::Documento& doc)
{
    const QVector<rel::Comando>& cmds = doc.paginas().last().comandos;
    double y = -1;
    for (const rel::Comando& c : cmds)
        if (c.tipo == rel::Comando::Tipo::Texto && c.texto == QLatin1String("Total Geral:"))
            y = c.r.top();
    QStringList r;
    for (const rel::Comando& c : cmds)
        if (c.tipo == rel::Comando::Tipo::Texto && qAbs(c.r.top() - y) < 1 && c.texto != QLatin1String("Total Geral:"))
            r << c.texto;
    return r;
}

} // namespace

class TstDemonstrativos : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void filtro_data();
    void filtro();
    void municipiosMaisAtendidos_data();
    void municipiosMaisAtendidos();
    void entidadesPorPerfil_data();
    void entidadesPorPerfil();
    void linhasDaEntidade();
    void municipios_data();
    void municipios();
    void cumbel_data();
    void cumbel();
    void cumbelUmaBasePorMunicipio();
    void galeria();

private:
    QString pdf(const rel::Documento& doc, const QString& nome);
    std::unique_ptr<test::BancoTeste> m_b;
    QTemporaryDir m_dir;
};

void TstDemonstrativos::initTestCase()
{
    m_b = std::make_unique<test::BancoTeste>();
    test::InstalaConfiguracao(m_b->pasta(), {"USUARIO=CUNE", "CONSORCIO=CUNE"});
    test::BancoTeste& b = *m_b;
    const char* clientes[][3] = {{"4314902", "PORTO ALEGRE", "P.ALEGRE"}, {"4304606", "CANOAS", "CANOAS"},
                                 {"4318705", "SAO LEOPOLDO", "S.LEO"},    {"4313409", "NOVO HAMBURGO", "N.HAMB"},
                                 {"4310207", "IJUI", "IJUI"},             {"4300604", "ALVORADA", "ALV"}};
    for (const auto& c : clientes)
        b.executa(QStringLiteral("insert into CLIENTES (CODIGO, NOME, APELIDO) values ('%1', '%2', '%3')").arg(c[0], c[1], c[2]));
    b.executa("insert into IBGEMUNIC (CODIGO, CIDADE, UF) values ('4314902', 'PORTO ALEGRE', 'RS')");
    b.executa("insert into ENTIDADES (CODIGO, RAZAOSOCIAL, CODMUN, CODCONTABIL, BANCO, AGENCIA, CONTA, ISENTOIR, "
              "SIMPLESNAC, CNPJ) values (1, 'CLINICA ALFA LTDA', '4314902', '2110001', '041', '0100', '06.123456.0-7', "
              "'N', 'S', '12.345.678/0001-95')");
    b.executa("insert into ENTIDADES (CODIGO, RAZAOSOCIAL, ISENTOIR, SIMPLESNAC) values (2, 'LABORATORIO BETA', 'S', 'N')");
    b.executa(QString::fromUtf8("insert into CALENDARIOS (DATAINICIAL, DATAFINAL, DESCRICAO) values "
                                "('2015-03-01', '2015-03-31', 'MARÇO/2015')"));
    b.executa("insert into FAT_ENTIDADE (DATAINI, DATAFIM, CODENTIDADE, VALORBRUTO, ACRESCDESC, IRRF, COFINS, TARIFA, "
              "ISSQN, PIS, CSLL, DOCNF, OBS) values ('2015-03-01', '2015-03-31', 1, 1000, 50, 15, 46.50, 10, 20, 6.50, "
              "10, '123', 'PAGAR EM CONTA')");
    b.executa("insert into FAT_ENTIDADE (DATAINI, DATAFIM, CODENTIDADE, VALORBRUTO, ACRESCDESC, IRRF, COFINS, TARIFA, "
              "ISSQN, PIS, CSLL, OBS) values ('2015-03-01', '2015-03-31', 2, 2500, -100, 36, 0, 25, 0, 0, 0, '')");
    b.executa("insert into FAT_ENTIDADE (DATAINI, DATAFIM, CODENTIDADE, VALORBRUTO, ACRESCDESC, IRRF, COFINS, TARIFA, "
              "ISSQN, PIS, CSLL) values ('2015-04-01', '2015-04-30', 1, 777, 0, 0, 0, 0, 0, 0, 0)");

    // Two apportionment bases on the period; each row was billed with base 1.
    b.executa("insert into RATEIOSUS (IDRATEIO, DESCRICAO) values (1, 'BASE 1')");
    b.executa("insert into RATEIOSUS (IDRATEIO, DESCRICAO) values (2, 'BASE 2')");
    for (const char* d : {"1, '4314902', 180, 120", "2, '4314902', 999, 888", "1, '4304606', 200, 140",
                          "2, '4304606', 77, 66"})
        b.executa(QStringLiteral("insert into RATEIOSUSDET (IDRATEIO, CODCLIENTE, VALORFIXO, VALORVAR, DATAINI, DATAFIM) "
                                 "values (%1, '2015-03-01', '2015-03-31')").arg(QLatin1String(d)));
    const QString fm = QStringLiteral("insert into FAT_MUNICIPIO (TIPO, DATAINI, DATAFIM, CODCLIENTE, VALORBRUTO, DESCSUS, "
                                      "DESCCUNE, DESCPPC, ACRESCDESC, OBS, IDRATEIOSUS) values ");
    b.executa(fm + "('FAT', '2015-03-01', '2015-03-31', '4314902', 1000, 300, 0, 50, 20, 'OK', 1)");
    b.executa(fm + "('FAT', '2015-03-01', '2015-03-31', '4304606', 200, 350, 10, 0, 0, '', 1)");
    b.executa(fm + "('FAT', '2015-03-01', '2015-03-31', '4318705', 500, 100, 0, 0, -10, '', null)");
    b.executa(fm + "('TAXA', '2015-03-01', '2015-03-31', '4314902', 1500, 0, 0, 0, 0, '', null)");
    b.executa(fm + "('TAXA', '2015-03-01', '2015-03-31', '4304606', 800, 0, 0, 0, 0, '', null)");

    b.executa("insert into GRUPOSPROCED (CODIGO, NOME, GRUPOCOBR) values (1, 'CONSULTAS', 'CONSULTAS')");
    b.executa("insert into GRUPOSPROCED (CODIGO, NOME, GRUPOCOBR) values (2, 'EXAMES', 'EXAMES')");
    b.executa("insert into GRUPOSPROCED (CODIGO, NOME, GRUPOCOBR) values (4, 'CONSULTAS ESPEC.', 'CONSULTAS')");
    b.executa("insert into PROCEDIMENTOS (CODIGO, NOME, CODGRUPO) values (1, 'CONSULTA', 1)");
    b.executa("insert into PROCEDIMENTOS (CODIGO, NOME, CODGRUPO) values (2, 'HEMOGRAMA', 2)");
    b.executa("insert into PROCEDIMENTOS (CODIGO, NOME, CODGRUPO) values (3, 'CARDIOLOGIA', 4)");
    // origin, number, stamp, entity, received, blocked, procedure, realized, total, sus1, sus2, popular
    const char* linhas[][12] = {
        {"4314902", "1", "A1", "1", "2015-03-10 10:00", "null", "1", "S", "120", "30", "20", "10"},
        {"4314902", "1", "A2", "1", "2015-03-11 10:00", "null", "3", "S", "100", "5", "0", "0"}, // same number, other copy
        {"4304606", "2", "A1", "1", "2015-03-12 10:00", "null", "2", "S", "400", "null", "null", "null"},
        {"4318705", "3", "A1", "1", "2015-03-13 10:00", "null", "1", "S", "150", "50", "0", "0"},
        {"4313409", "4", "A1", "1", "2015-03-14 10:00", "null", "1", "S", "100", "0", "0", "0"},
        {"4310207", "5", "A1", "1", "2015-03-15 10:00", "null", "1", "S", "80", "0", "0", "0"},
        {"4300604", "6", "A1", "1", "2015-03-16 10:00", "null", "1", "S", "50", "0", "0", "0"},
        {"4300604", "7", "A1", "1", "2015-03-31 10:00", "null", "1", "S", "90", "0", "0", "0"},
        {"4314902", "8", "A1", "1", "2015-03-01 00:00:30", "null", "2", "S", "1000", "200", "100", "0"},
        {"4314902", "9", "A1", "1", "2015-03-15 10:00", "null", "1", "N", "5000", "0", "0", "0"},
        {"4314902", "10", "A1", "1", "2015-03-15 10:00", "'2015-03-20'", "1", "S", "5000", "0", "0", "0"},
        {"4310207", "11", "A1", "2", "2015-03-20 10:00", "null", "1", "S", "700", "100", "0", "0"},
        {"4314902", "12", "A1", "2", "2015-03-31 23:59:30", "null", "1", "S", "5", "0", "0", "0"},
        {"4314902", "13", "A1", "2", "2015-04-01 00:00:00", "null", "1", "S", "7", "0", "0", "0"},
        {"4314902", "14", "A1", "2", "2015-03-01 00:00:00", "null", "1", "S", "3", "0", "0", "0"},
    };
    for (const auto& l : linhas) {
        b.executa(QStringLiteral("insert into MARCACAO (CLI_ORIGEM, ID_MARCACAO, DATA_IMP_ADM, CODENTIDADE, "
                                 "DATA_IMPORTACAO, DATABLOQUEIO) values ('%1', %2, '%3', %4, '%5', %6)")
                      .arg(l[0], l[1], l[2], l[3], l[4], l[5]));
        b.executa(QStringLiteral("insert into MARCACAO_PROCEDS (CLI_ORIGEM, ID_MARCACAO, DATA_IMP_ADM, CODPROCEDIMENTO, "
                                 "QUANTIDADE, REALIZADO, VALORTOTAL, VALORSUS1, VALORSUS2, VALORPOPULAR) values "
                                 "('%1', %2, '%3', %4, 1, '%5', %6, %7, %8, %9)")
                      .arg(l[0], l[1], l[2], l[6], l[7], l[8], l[9], l[10], l[11]));
    }
}

QString TstDemonstrativos::pdf(const rel::Documento& doc, const QString& nome)
{
    const QString arq = m_dir.filePath(nome + QStringLiteral(".pdf"));
    if (!rel::GravaPdf(doc, arq))
        return {};
    return test::PaginasPdf(arq).join(QLatin1Char('\n'));
}

void TstDemonstrativos::filtro_data()
{
    QTest::addColumn<QDate>("inicio");
    QTest::addColumn<QDate>("fim");
    QTest::addColumn<QString>("linha");
    QTest::newRow("calendar") << kInicio << kFim << QString::fromUtf8("Período: 01/03/2015 e 31/03/2015 (MARÇO/2015)");
    QTest::newRow("other end") << kInicio << QDate(2015, 3, 30) << QString::fromUtf8("Período: 01/03/2015 e 30/03/2015 ()");
}

void TstDemonstrativos::filtro()
{
    QFETCH(QDate, inicio);
    QFETCH(QDate, fim);
    QFETCH(QString, linha);
    QCOMPARE(LinhaFiltroDemonstrativo(inicio, fim, DescricaoCalendario(m_b->tr(), inicio, fim)), linha);
    PedidoDemonstrativo p = pedido(QStringLiteral("CUNE"), false);
    p.inicio = inicio;
    p.fim = fim;
    const QStringList t = TRFaturamento::Gera(m_b->tr(), p)->textos(0);
    QVERIFY(t.contains(linha));
    QCOMPARE(t.first(), QStringLiteral("CUNE"));
}

void TstDemonstrativos::municipiosMaisAtendidos_data()
{
    QTest::addColumn<qint64>("entidade");
    QTest::addColumn<QString>("lista");
    // Received from 00:01 to 23:59; both copies of an authorization counted once each.
    QTest::newRow("six municipalities") << qint64(1) << kCinco;
    QTest::newRow("last minute out") << qint64(2) << QStringLiteral("IJUI-");
    QTest::newRow("no production") << qint64(3) << QString();
}

void TstDemonstrativos::municipiosMaisAtendidos()
{
    QFETCH(qint64, entidade);
    QFETCH(QString, lista);
    QCOMPARE(MunicipiosMaisAtendidos(m_b->tr(), entidade, kInicio, kFim), lista);
}

void TstDemonstrativos::entidadesPorPerfil_data()
{
    QTest::addColumn<QString>("perfil");
    QTest::addColumn<bool>("cune");
    QTest::addColumn<bool>("culvar");
    QTest::newRow("CUNE") << "CUNE" << true << false;
    QTest::newRow("lower case") << "Cune Norte" << true << false;
    QTest::newRow("CULVAR") << "CULVAR" << false << true;
    QTest::newRow("CUMBEL") << "CUMBEL" << false << false;
    QTest::newRow("CORVANE") << "CORVANE" << false << false;
}

void TstDemonstrativos::entidadesPorPerfil()
{
    QFETCH(QString, perfil);
    QFETCH(bool, cune);
    QFETCH(bool, culvar);
    auto doc = TRFaturamento::Gera(m_b->tr(), pedido(perfil, true));
    QCOMPARE(doc->numPaginas(), 1);
    const QString texto = pdf(*doc, QStringLiteral("entidades"));
    QVERIFY(texto.contains(QStringLiteral("Planilha de Pagamento Mensal por Entidade")));
    for (const char* c : {"Vlr.Bruto", "IRRF", "Cofins", "Tar.Cred.", "ISSQN", "PIS", "CSLL", "Vlr.Líq.", "Cont",
                          "Info Bancárias", "IR/SN", "CNPJ", "Município", "NF/Doc", "Dt.Pgto."})
        QVERIFY2(texto.contains(QString::fromUtf8(c)), c);
    QCOMPARE(texto.contains(QStringLiteral("Acr/Des.")), cune);
    QCOMPARE(texto.contains(QStringLiteral("SubTotal")), cune);
    for (const char* c : {"SUS1", "SUS2", "POP.", "MUN."})
        QCOMPARE(texto.contains(QString::fromLatin1(c)), culvar);

    // Net total = gross + addition/discount − the six withholdings.
    QStringList totais{"3.500,00", "51,00", "46,50", "35,00", "20,00", "6,50", "10,00", "3.281,00"};
    if (cune)
        totais = totais.mid(0, 1) + QStringList{"-50,00", "3.450,00"} + totais.mid(1);
    if (culvar)
        totais << QStringList{"385,00", "120,00", "10,00", "2.188,00"};
    QCOMPARE(linhaTotais(*doc), totais);
    const QStringList t = doc->textos(0);
    QCOMPARE(t.contains(QStringLiteral("1.050,00")), cune);
    // MUN. = billed value − SUS1 − SUS2 − popular, lines received between the two dates.
    for (const char* v : {"1.585,00", "603,00", "285,00", "100,00"})
        QCOMPARE(t.contains(QString::fromLatin1(v)), culvar);
    QVERIFY(t.contains(QStringLiteral("942,00")));
    QVERIFY(t.contains(QStringLiteral("2.339,00")));
    QVERIFY(!t.contains(QStringLiteral("777,00")));
}

void TstDemonstrativos::linhasDaEntidade()
{
    for (bool listar : {false, true}) {
        auto doc = TRFaturamento::Gera(m_b->tr(), pedido(QStringLiteral("CUNE"), true, false, listar));
        const QStringList t = doc->textos(0);
        QVERIFY(t.contains(QStringLiteral("1 - CLINICA ALFA LTDA")));
        QVERIFY(t.indexOf(QStringLiteral("1 - CLINICA ALFA LTDA")) < t.indexOf(QStringLiteral("2 - LABORATORIO BETA")));
        QVERIFY(t.contains(QStringLiteral("041 / 0100 / 06.123456.0-7")));
        QVERIFY(t.contains(QStringLiteral("N/S")));
        QVERIFY(t.contains(QStringLiteral("PORTO ALEGRE")));
        // The remark line only where there is one.
        QCOMPARE(t.filter(QStringLiteral("Obs.: ")), QStringList{QStringLiteral("Obs.: PAGAR EM CONTA")});
        const QStringList mun = t.filter(QStringLiteral("c/ mais atendimentos: "));
        QCOMPARE(mun.size(), listar ? 2 : 0);
        if (listar) {
            QVERIFY(mun[0].endsWith(QLatin1Char(' ') + kCinco));
            QVERIFY(mun[1].endsWith(QStringLiteral(" IJUI-")));
        }
        // Alternating rows: the second entity's line is grey.
        bool cinza = false;
        for (const rel::Comando& c : doc->paginas()[0].comandos)
            cinza = cinza || (c.tipo == rel::Comando::Tipo::Retangulo && c.fundo == QColor(0xE6, 0xE6, 0xE6));
        QVERIFY(cinza);
    }
}

void TstDemonstrativos::municipios_data()
{
    QTest::addColumn<QString>("perfil");
    QTest::addColumn<bool>("taxas");
    QTest::addColumn<QStringList>("linhas");
    QTest::addColumn<QStringList>("totais");
    QTest::newRow("CUNE production") << "CUNE" << false << QStringList{"4304606 - CANOAS", "4314902 - PORTO ALEGRE", "4318705 - SAO LEOPOLDO"}
                                     << QStringList{"1.700,00", "750,00", "10,00", "740,00", "50,00", "10,00", "920,00"};
    QTest::newRow("CORVANE fees") << "CORVANE" << true << QStringList{"4304606 - CANOAS", "4314902 - PORTO ALEGRE"}
                                  << QStringList{"2.300,00", "0,00", "0,00", "0,00", "0,00", "0,00", "2.300,00"};
}

void TstDemonstrativos::municipios()
{
    QFETCH(QString, perfil);
    QFETCH(bool, taxas);
    QFETCH(QStringList, linhas);
    QFETCH(QStringList, totais);
    auto doc = TRFaturamento::Gera(m_b->tr(), pedido(perfil, false, taxas));
    const QString texto = pdf(*doc, QStringLiteral("municipios"));
    for (const char* c : {"Faturamento por Município", "Vlr.Bruto", "Desc.SUS", "CUNE", "Desc.SUS Líq.", "Des.PPC",
                          "Acr/Desc.", "Vlr.Líquido", "Obs", "Data", "Op", "Conta"})
        QVERIFY2(texto.contains(QString::fromUtf8(c)), c);
    const QStringList t = doc->textos(0);
    QCOMPARE(t.filter(QStringLiteral(" - ")), linhas);
    QCOMPARE(linhaTotais(*doc), totais);
    QCOMPARE(t.contains(QStringLiteral("-140,00")), !taxas); // CANOAS' net as it is
}

void TstDemonstrativos::cumbel_data()
{
    QTest::addColumn<bool>("taxas");
    QTest::addColumn<QStringList>("totais");
    QTest::newRow("production") << false << QStringList{"1.700,00", "740,00", "380,00", "260,00", "10,00", "1.060,00", " - 140,00"};
    QTest::newRow("fees") << true << QStringList{"2.300,00", "0,00", "0,00", "0,00", "0,00", "2.300,00"};
}

void TstDemonstrativos::cumbel()
{
    QFETCH(bool, taxas);
    QFETCH(QStringList, totais);
    auto doc = TRFaturamento::Gera(m_b->tr(), pedido(QStringLiteral("CUMBEL"), false, taxas));
    const QString texto = pdf(*doc, QStringLiteral("cumbel"));
    for (const char* c : {"Faturamento por Município", "Desc.SUS", "(Fixo", "Variável)", "V.Líquido", "Diferença"})
        QVERIFY2(texto.contains(QString::fromUtf8(c)), c);
    QVERIFY(!texto.contains(QStringLiteral("Des.PPC")));
    const QStringList t = doc->textos(0);
    QCOMPARE(linhaTotais(*doc), totais);
    QCOMPARE(texto.contains(QStringLiteral(" - 140,00")), !taxas);
    if (taxas)
        return;
    // CANOAS: net −140 → 0,00 and the excess under "Diferença"; then its groups, then the next town.
    const int canoas = int(t.indexOf(QStringLiteral("4304606 - CANOAS")));
    QCOMPARE(t.mid(canoas, 8), (QStringList{"4304606 - CANOAS", "200,00", "340,00", "200,00", "140,00", "0,00", "0,00",
                                             "140,00"}));
    const int pa = int(t.indexOf(QStringLiteral("4314902 - PORTO ALEGRE")));
    const int sl = int(t.indexOf(QStringLiteral("4318705 - SAO LEOPOLDO")));
    QVERIFY(canoas < pa && pa < sl);
    QVERIFY(t.mid(canoas, pa - canoas).contains(QStringLiteral("EXAMES")));
    // Lines received from 00:00:01 to 23:59:59, realized, not blocked, groups by charging group.
    const QStringList grupos = t.mid(pa, sl - pa);
    QVERIFY(grupos.contains(QStringLiteral("CONSULTAS")));
    QCOMPARE(grupos.at(grupos.indexOf(QStringLiteral("CONSULTAS")) + 1), QStringLiteral("225,00"));
    QCOMPARE(grupos.at(grupos.indexOf(QStringLiteral("EXAMES")) + 1), QStringLiteral("1.000,00"));
    QCOMPARE(t.mid(sl).at(t.mid(sl).indexOf(QStringLiteral("CONSULTAS")) + 1), QStringLiteral("150,00"));
}

void TstDemonstrativos::cumbelUmaBasePorMunicipio()
{
    // Two bases on the period: each row joins only the base it was billed with.
    const ConsultaDemonstrativo c = SqlDemonstrativoCumbel(pedido(QStringLiteral("CUMBEL"), false));
    Consulta q(m_b->tr());
    q.abre(c.sql, c.parametros);
    QCOMPARE(q.todas().size(), 3);
    auto doc = TRFaturamento::Gera(m_b->tr(), pedido(QStringLiteral("CUMBEL"), false));
    const QStringList t = doc->textos(0);
    QCOMPARE(t.count(QStringLiteral("4314902 - PORTO ALEGRE")), 1);
    QCOMPARE(t.count(QStringLiteral("4304606 - CANOAS")), 1);
    QVERIFY(!t.contains(QStringLiteral("999,00")));
    QVERIFY(!t.contains(QStringLiteral("77,00")));
}

void TstDemonstrativos::galeria()
{
    const struct {
        const char* nome;
        PedidoDemonstrativo p;
    } casos[] = {{"entidades_cune", pedido(QStringLiteral("CUNE"), true, false, true)},
                 {"entidades_culvar", pedido(QStringLiteral("CULVAR"), true, false, true)},
                 {"municipios", pedido(QStringLiteral("CUNE"), false)},
                 {"municipios_cumbel", pedido(QStringLiteral("CUMBEL"), false)}};
    for (const auto& c : casos) {
        auto doc = TRFaturamento::Gera(m_b->tr(), c.p);
        QVERIFY(rel::ImagemPagina(*doc, 0, 150).save(test::PastaTelas() + QStringLiteral("/demonstrativo_%1.png")
                                                                                  .arg(QLatin1String(c.nome))));
    }
}

QTEST_MAIN(TstDemonstrativos)
#include "tst_demonstrativos.moc"
