#include "billing/Planilha.h"
#include "core/Configuracao.h"
#include "support/RoteiroMensagens.h"
#include "support/Xlsx.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace vx;

namespace {

using Folha = test::FolhaXlsx;
const auto le = test::LeXlsx;

QString n(const char* valor, const char* formato = kFormatoValor)
{
    return QStringLiteral("n:%1@%2").arg(QLatin1String(valor), QLatin1String(formato));
}

QVector<bool> marcadas(std::initializer_list<int> colunas)
{
    QVector<bool> m(kColunasExportEntidades, false);
    for (int c : colunas)
        m[c - 1] = true;
    return m;
}

Decimal d(const char* v)
{
    return *Decimal::parse(QLatin1String(v));
}

const LinhaExportEntidade kClinica{"0012345", "Clínica São José \"Centro\"", "2.1.3", "041", "Ag 0100 / CC 35.123-4",
                                   d("12345.67"), d("-100.00"), d("185.19"), d("370.37"), d("2.50"), d("246.91"),
                                   d("80.25"), d("123.46"), "N", "S", "000123", "ALEGRETE-CACEQUI-",
                                   "Pagar após conferência", "financeiro@clinica.com.br"};
const LinhaExportEntidade kLaboratorio{"7", "Laboratório Ômega Ltda", "", "", "", d("1000.00"), d("50.00"), d("15.00"),
                                       d("0"), d("0"), d("0"), d("0"), d("0"), "", "", "", "", "", ""};

} // namespace

Q_DECLARE_METATYPE(vx::LinhaExportEntidade)

class TstPlanilha : public QObject {
    Q_OBJECT
private slots:
    void entidades_data();
    void entidades();
    void municipios();
    void textos_data();
    void textos();
    void larguras();
    void falhaDeGravacao_data();
    void falhaDeGravacao();
    void exportacao();
    void nomes();

private:
    QTemporaryDir m_dir;
    QString arquivo(const QString& nome) const { return m_dir.filePath(nome); }
};

void TstPlanilha::entidades_data()
{
    QTest::addColumn<QVector<LinhaExportEntidade>>("linhas");
    QTest::addColumn<QVector<bool>>("marcadas");
    QTest::addColumn<QVector<QStringList>>("esperado");

    const QVector<LinhaExportEntidade> duas{kClinica, kLaboratorio};
    QStringList titulos;
    for (const QString& t : TitulosExportEntidades())
        titulos << "t:" + t;
    QTest::newRow("todas") << duas << QVector<bool>(kColunasExportEntidades, true)
        << QVector<QStringList>{
               titulos,
               {"t:0012345", "t:Clínica São José \"Centro\"", "t:2.1.3", "t:041", "t:Ag 0100 / CC 35.123-4",
                n("12345.67"), n("-100.00"), n("12245.67"), n("185.19"), n("370.37"), n("2.50"), n("246.91"),
                n("80.25"), n("123.46"), n("11236.99"), "t:N", "t:S", "t:000123", "", "t:ALEGRETE-CACEQUI-",
                "t:Pagar após conferência", "t:financeiro@clinica.com.br"},
               {"t:7", "t:Laboratório Ômega Ltda", "", "", "", n("1000.00"), n("50.00"), n("1050.00"), n("15.00"),
                n("0.00"), n("0.00"), n("0.00"), n("0.00"), n("0.00"), n("1035.00")},
               {"", "", "", "", "", n("13345.67", kFormatoTotalPrincipal), n("-50.00", kFormatoTotal), "",
                n("200.19", kFormatoTotal), n("370.37", kFormatoTotal), n("2.50", kFormatoTotal),
                n("246.91", kFormatoTotal), n("80.25", kFormatoTotal), n("123.46", kFormatoTotal),
                n("12271.99", kFormatoTotalPrincipal)}};
    QTest::newRow("codigo e liquido") << duas << marcadas({1, 15})
        << QVector<QStringList>{{"t:Código", "t:Vlr.Liquido"}, {"t:0012345", n("11236.99")}, {"t:7", n("1035.00")},
                                {"", n("12271.99", kFormatoTotalPrincipal)}};
    QTest::newRow("so textos: sem linha de totais") << duas << marcadas({2, 19, 21})
        << QVector<QStringList>{{"t:Razão Social", "t:Dt.Pgto.", "t:Obs"},
                                {"t:Clínica São José \"Centro\"", "", "t:Pagar após conferência"},
                                {"t:Laboratório Ômega Ltda"}};
    LinhaExportEntidade glosa = kLaboratorio, retencao = kLaboratorio;
    glosa.bruto = d("0.00");
    glosa.acrescDesc = d("-200.50");
    glosa.irrf = d("0.00");
    retencao.bruto = d("100.00");
    retencao.acrescDesc = d("0.00");
    retencao.irrf = d("150.00");
    QTest::newRow("negativos") << QVector<LinhaExportEntidade>{glosa, retencao} << marcadas({6, 7, 8, 9, 15})
        << QVector<QStringList>{{"t:Vlr.Bruto", "t:Acr./Desc.", "t:SubTotal", "t:IRRF", "t:Vlr.Liquido"},
                                {n("0.00"), n("-200.50"), n("-200.50"), n("0.00"), n("-200.50")},
                                {n("100.00"), n("0.00"), n("100.00"), n("150.00"), n("-50.00")},
                                {n("100.00", kFormatoTotalPrincipal), n("-200.50", kFormatoTotal), "",
                                 n("150.00", kFormatoTotal), n("-250.50", kFormatoTotalPrincipal)}};
    QTest::newRow("sem entidades: totais zerados") << QVector<LinhaExportEntidade>{} << marcadas({2, 12})
        << QVector<QStringList>{{"t:Razão Social", "t:ISSQN"}, {"", n("0.00", kFormatoTotal)}};
    QTest::newRow("nenhuma coluna") << duas << QVector<bool>(kColunasExportEntidades, false) << QVector<QStringList>{};
}

void TstPlanilha::entidades()
{
    QFETCH(QVector<LinhaExportEntidade>, linhas);
    QFETCH(QVector<bool>, marcadas);
    QFETCH(QVector<QStringList>, esperado);
    const QString f = arquivo(QStringLiteral("entidades.xlsx"));
    QString erro;
    QVERIFY2(GravaPlanilha(f, PlanilhaEntidades(linhas, marcadas), &erro), qPrintable(erro));
    const Folha folha = le(f);
    QCOMPARE(folha.linhas.size(), esperado.size());
    for (int r = 0; r < esperado.size(); ++r)
        QCOMPARE(folha.linhas[r], esperado[r]);
}

void TstPlanilha::municipios()
{
    const QStringList titulos{"Código", "Município", "Vlr.Bruto", "Acr/Desc.", "Obs"};
    const QVector<QStringList> grade{{"4314902", "PORTO ALEGRE", "1.234,56", "-0,50", "1.234,56"},
                                     {"0012345", "SANT'ANA", "abc", "", "Pago"},
                                     {"4300406", "ALEGRETE", "0,00", "12"}};
    const QString f = arquivo(QStringLiteral("municipios.xlsx"));
    QString erro;
    QVERIFY2(GravaPlanilha(f, PlanilhaMunicipios(titulos, grade, {2, 3}), &erro), qPrintable(erro));
    const Folha folha = le(f);
    QCOMPARE(folha.linhas, (QVector<QStringList>{
                               {"t:Código", "t:Município", "t:Vlr.Bruto", "t:Acr/Desc.", "t:Obs"},
                               {"t:4314902", "t:PORTO ALEGRE", n("1234.56"), n("-0.50"), "t:1.234,56"},
                               {"t:0012345", "t:SANT'ANA", "t:abc", "", "t:Pago"},
                               {"t:4300406", "t:ALEGRETE", n("0.00"), n("12.00")}}));
}

void TstPlanilha::textos_data()
{
    QTest::addColumn<QString>("texto");
    QTest::newRow("acentos") << QStringLiteral("Ação Médica Ltda — ÇÃÕÉÍÚâêô");
    QTest::newRow("aspas e marcação") << QStringLiteral("\"A\" & 'B' <c> </t>");
    QTest::newRow("quebra de linha") << QStringLiteral("linha 1\nlinha 2");
    QTest::newRow("parece numero") << QStringLiteral("00123,40");
}

void TstPlanilha::textos()
{
    QFETCH(QString, texto);
    const QString f = arquivo(QStringLiteral("textos.xlsx"));
    Planilha p;
    p.linhas = {{CelulaPlanilha::vazia(), CelulaPlanilha::deTexto(texto)}};
    QString erro;
    QVERIFY2(GravaPlanilha(f, p, &erro), qPrintable(erro));
    QCOMPARE(le(f).linhas, (QVector<QStringList>{{QString(), "t:" + texto}}));
}

void TstPlanilha::larguras()
{
    Planilha p;
    p.linhas = {{CelulaPlanilha::deTexto("A"), CelulaPlanilha::deTexto(QString(30, 'x')), CelulaPlanilha::vazia(),
                 CelulaPlanilha::deTexto(QString(500, 'y'))},
                {CelulaPlanilha::deNumero(d("1234567.89")), CelulaPlanilha::deTexto("curto\n" + QString(40, 'z'))}};
    const QString f = arquivo(QStringLiteral("larguras.xlsx"));
    QVERIFY(GravaPlanilha(f, p, nullptr));
    const QMap<int, double> l = le(f).larguras;
    QVERIFY2(l.value(0) >= 12, "\"1.234.567,89\" fits");
    QVERIFY2(l.value(1) >= 40 && l.value(1) < 50, "the longest line counts");
    QVERIFY(!l.contains(2));
    QVERIFY2(l.value(3) > 50 && l.value(3) < 81, "a huge text is capped");
}

void TstPlanilha::falhaDeGravacao_data()
{
    QTest::addColumn<QString>("relativo");
    QTest::addColumn<QString>("folha");
    QTest::addColumn<int>("tamanhoTexto");
    QTest::newRow("pasta inexistente") << "nao/existe/p.xlsx" << "Planilha1" << 10;
    QTest::newRow("pasta que e arquivo") << "arquivo.txt/p.xlsx" << "Planilha1" << 10;
    QTest::newRow("nome de folha invalido") << "existente.xlsx" << "A[1]" << 10;
    QTest::newRow("texto longo demais") << "existente.xlsx" << "Planilha1" << 40000;
}

void TstPlanilha::falhaDeGravacao()
{
    QFETCH(QString, relativo);
    QFETCH(QString, folha);
    QFETCH(int, tamanhoTexto);
    QFile txt(arquivo(QStringLiteral("arquivo.txt")));
    QVERIFY(txt.open(QIODevice::WriteOnly));
    txt.close();
    const QString f = arquivo(relativo);
    Planilha anterior;
    anterior.linhas = {{CelulaPlanilha::deTexto("anterior")}};
    QVERIFY(relativo != u"existente.xlsx" || GravaPlanilha(f, anterior, nullptr));

    Planilha p;
    p.nome = folha;
    p.linhas = {{CelulaPlanilha::deTexto(QString(tamanhoTexto, 'a'))}};
    QString erro;
    QVERIFY(!GravaPlanilha(f, p, &erro));
    QVERIFY(!erro.isEmpty());
    QVERIFY2(erro.contains(f), qPrintable(erro));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Hidden | QDir::Files).filter(".part"), QStringList());
    if (relativo == u"existente.xlsx") // the earlier file is kept whole
        QCOMPARE(le(f).linhas, (QVector<QStringList>{{"t:anterior"}}));
}

void TstPlanilha::exportacao()
{
    test::RoteiroMensagens msgs;
    QStringList abertos;
    bool abre = true;
    DefineAcoesPlanilha({[&](const QString& a) { abertos << a; return abre; }});
    Planilha p;
    p.linhas = {{CelulaPlanilha::deTexto("x")}};

    const QString f = arquivo(QStringLiteral("exporta.xlsx"));
    QVERIFY(ExportaPlanilha(f, p));
    QCOMPARE(abertos, QStringList{f});
    QCOMPARE(msgs.quantidade(), 0);

    abre = false;
    QVERIFY(!ExportaPlanilha(f, p));
    QCOMPARE(abertos.size(), 2);
    QCOMPARE(msgs.ultima().titulo, QStringLiteral("Erro"));
    QCOMPARE(msgs.ultima().texto, QStringLiteral("Não foi possível abrir o MS-Excel"));

    QString erro;
    QVERIFY(!GravaPlanilha(arquivo("nao/existe.xlsx"), p, &erro));
    QVERIFY(!ExportaPlanilha(arquivo("nao/existe.xlsx"), p));
    QCOMPARE(abertos.size(), 2);
    QCOMPARE(msgs.ultima().titulo, QStringLiteral("Erro"));
    QCOMPARE(msgs.ultima().texto, "Aconteceu um durante a conversão da tabela para o Ms-Excel\n" + erro);
    DefineAcoesPlanilha({});
}

void TstPlanilha::nomes()
{
    const QDate ini(2026, 3, 1), fim(2026, 3, 31);
    QCOMPARE(NomeArquivoPlanilha("Faturamento Entidades", ini, fim),
             QStringLiteral("Faturamento Entidades 01-03-2026 a 31-03-2026.xlsx"));
    QCOMPARE(NomeArquivoPlanilha("Fat. 03/2026: \"TAXA\"", ini, fim),
             QStringLiteral("Fat. 03-2026- -TAXA- 01-03-2026 a 31-03-2026.xlsx"));

    QTemporaryDir inst;
    DefinePastaInstalacao(inst.path());
    const QString c = CaminhoPlanilha("Faturamento Municípios", ini, fim);
    QCOMPARE(c, inst.filePath("planilhas/Faturamento Municípios 01-03-2026 a 31-03-2026.xlsx"));
    QVERIFY(QFileInfo(inst.filePath("planilhas")).isDir());
    QVERIFY(GravaPlanilha(c, PlanilhaEntidades({kClinica}, marcadas({1})), nullptr));
}

QTEST_GUILESS_MAIN(TstPlanilha)
#include "tst_planilha.moc"
