// The professional search by occupation or procedure, and the procedures window, offscreen on a
// real database.
#include "core/MenuPrincipal.h"
#include "core/widgets/GradeConsulta.h"
#include "municipality/TFPesquisaProfissionais.h"
#include "support/AmbienteTela.h"
#include "support/Galeria.h"

#include <QAction>
#include <QComboBox>

using namespace vx;

namespace {

// Professionals: 1 cardiologist at entities 10 and 11; 2 without occupation (CBO null) performing
// ECOCARDIOGRAMA at 10; 3 excluded, performing ECOCARDIOGRAMA at 11; 4 without occupation whose
// only CARDIO procedure is named in lower case; 5 without occupation, link to ECOCARDIOGRAMA closed.
void Prepara(test::AmbienteTela& a)
{
    auto& b = a.b;
    b.executa("insert into ibgemunic (codigo, cidade, uf) values ('4314902', 'PORTO ALEGRE', 'RS')");
    b.executa("insert into ibgemunic (codigo, cidade, uf) values ('4300406', 'ALEGRETE', 'RS')");
    b.executa("insert into cbo (codigo, descricao) values ('225120', 'Medico cardiologista')");
    b.executa("insert into entidades (codigo, razaosocial, codmun, fones) values (10, 'CLINICA VIDA', '4314902', '5133331111')");
    b.executa("insert into entidades (codigo, razaosocial, codmun, fones) values (11, 'HOSPITAL SUL', '4300406', '5534442222')");
    b.executa("insert into profissionais (codigo, nome, cbo, contato) values (1, 'DRA. LUCIA ALVES', '225120', 'RAMAL 20')");
    b.executa("insert into profissionais (codigo, nome, cbo) values (2, 'DR. PAULO REIS', null)");
    b.executa("insert into profissionais (codigo, nome, dataexclusao) values (3, 'DR. ICARO LIMA', '2020-01-01')");
    b.executa("insert into profissionais (codigo, nome) values (4, 'DR. BRUNO DIAS')");
    b.executa("insert into profissionais (codigo, nome) values (5, 'DRA. ELISA MOTA')");
    for (const char* l : {"10,1", "11,1", "10,2", "11,3", "10,4", "10,5"})
        b.executa(QStringLiteral("insert into entidadesprofiss (codentidade, codprofissional) values (%1)").arg(QLatin1String(l)));
    b.executa("insert into procedimentos (codigo, nome, codtabsus, valor) values (101, 'ECOCARDIOGRAMA', '0205010032', 165.00)");
    b.executa("insert into procedimentos (codigo, nome, codtabsus, valor) values (102, 'consulta cardio', '0301010072', 10.00)");
    b.executa("insert into procedimentos (codigo, nome, codtabsus, valor) values (103, 'RAIO X TORAX', '0204030153', 9.50)");
    for (const char* l : {"10,2,101", "10,2,103", "11,3,101", "10,4,102", "10,1,103"})
        b.executa(QStringLiteral("insert into profissproced (codentidade, codprofissional, codprocedimento) values (%1)")
                      .arg(QLatin1String(l)));
    b.executa("insert into profissproced (codentidade, codprofissional, codprocedimento, dataexclusao) values (10, 5, 101, '2024-01-01')");
}

QStringList Linhas(GradeConsulta* g, const QStringList& colunas)
{
    QStringList r;
    for (int i = 0; i < g->linhas(); ++i) {
        QStringList l;
        for (const QString& c : colunas)
            l << g->valor(c, i);
        r << l.join(QLatin1Char('|'));
    }
    return r;
}

} // namespace

class TstPesquisaProfissionais : public QObject {
    Q_OBJECT
private slots:
    void pesquisa_data();
    void pesquisa();
    void procedimentos();
};

void TstPesquisaProfissionais::pesquisa_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<int>("ordem");
    QTest::addColumn<QStringList>("linhas");   // codigo|cidade
    QTest::newRow("ocupação ou procedimento, sem CBO e excluído")
        << "CARDIO" << 0 << QStringList{"1|PORTO ALEGRE", "1|ALEGRETE", "3|ALEGRETE", "2|PORTO ALEGRE"};
    QTest::newRow("por município") << "CARDIO" << 1 << QStringList{"1|ALEGRETE", "3|ALEGRETE", "1|PORTO ALEGRE", "2|PORTO ALEGRE"};
    QTest::newRow("vazio") << "" << 0 << QStringList{"1|PORTO ALEGRE", "1|ALEGRETE", "4|PORTO ALEGRE", "3|ALEGRETE", "2|PORTO ALEGRE"};
    QTest::newRow("nada") << "NEUROLOGISTA" << 0 << QStringList{};
}

void TstPesquisaProfissionais::pesquisa()
{
    QFETCH(QString, texto);
    QFETCH(int, ordem);
    QFETCH(QStringList, linhas);
    test::AmbienteTela a(QStringLiteral("M4314902"));
    Prepara(a);
    QVERIFY(TelaRegistrada(QStringLiteral("PesquisadeProfissionais1")));
    auto* t = test::AbreTelaTeste(CriaTela<TFPesquisaProfissionais>());
    test::Digita(t->PEEspecialidade(), texto.toLower());
    QCOMPARE(t->PEEspecialidade()->text(), texto);
    t->CBOrdem()->setCurrentIndex(ordem);
    t->PBPesquisarClick();
    QStringList r = Linhas(t->Grade(), {QStringLiteral("CODIGO"), QStringLiteral("CIDADE")});
    // Rows of one professional (or one city) come in the database's order.
    const auto chave = [&](const QString& l) { return ordem == 0 ? l.section('|', 0, 0) : l.section('|', 1, 1); };
    for (int i = 1; i < r.size(); ++i)
        QVERIFY2(ordem == 0 || chave(r[i - 1]) <= chave(r[i]), qPrintable(r.join(' ')));
    QStringList esperado = linhas;
    std::sort(r.begin(), r.end());
    std::sort(esperado.begin(), esperado.end());
    QCOMPARE(r, esperado);
    // The entity's telephones and the professional's contact, either shown without the other.
    for (const QString& l : Linhas(t->Grade(), {"CODIGO", "CIDADE", "CONTATO"})) {
        if (l.startsWith(QLatin1String("1|PORTO")))
            QCOMPARE(l, QStringLiteral("1|PORTO ALEGRE|5133331111 RAMAL 20"));
        if (l.startsWith(QLatin1String("2|")))
            QCOMPARE(l, QStringLiteral("2|PORTO ALEGRE|5133331111"));
    }
    t->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TstPesquisaProfissionais::procedimentos()
{
    test::AmbienteTela a(QStringLiteral("M4314902"));
    Prepara(a);
    a.b.executa("insert into profissproced (codentidade, codprofissional, codprocedimento, dataexclusao) "
                "values (11, 2, 102, '2024-01-01')");
    auto* t = test::AbreTelaTeste(CriaTela<TFPesquisaProfissionais>());
    test::Digita(t->PEEspecialidade(), QStringLiteral("ECO"));
    t->PBPesquisarClick();
    // Paulo's procedures: the one matching the search, then all of them (the closed link too).
    int paulo = -1;
    for (int i = 0; i < t->Grade()->linhas(); ++i)
        if (t->Grade()->valor(QStringLiteral("CODIGO"), i) == QLatin1String("2"))
            paulo = i;
    QVERIFY(paulo >= 0);
    t->Grade()->selectRow(paulo);
    t->AcaoConformePesquisa()->trigger();
    QVERIFY(!t->fechaAoPerderFoco());
    auto* p = InstanciaTela<TFPesqProfissionaisProcedimentos>();
    QVERIFY(p);
    QCOMPARE(p->windowTitle(), QStringLiteral("Procedimentos conveniados para o Profissional DR. PAULO REIS"));
    QCOMPARE(Linhas(p->Grade(), {"CODTABSUS", "NOME", "VALOR"}), QStringList{"0205010032|ECOCARDIOGRAMA|165,00"});
    t->AcaoTodos()->trigger();
    QCOMPARE(Linhas(p->Grade(), {"CODTABSUS", "NOME"}),
             (QStringList{"0205010032|ECOCARDIOGRAMA", "0204030153|RAIO X TORAX", "0301010072|consulta cardio"}));
    test::SalvaTela(t, QStringLiteral("pesquisaprofissionais"));
    p->close();
    t->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QTEST_MAIN(TstPesquisaProfissionais)
#include "tst_pesquisaprofissionais.moc"
